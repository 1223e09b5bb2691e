// Qt's own texts (the standard buttons, the file dialogs) in the language of the chosen
// language file, so that the whole window speaks one language.
#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

namespace kestrum {

class QtTranslation {
public:
    ~QtTranslation();
    // The language a file's name gives: a language's English name ("Russian.lng") or a
    // locale code ("ru.lng", "pt_BR.lng"); QLocale::C when it gives none.
    static QLocale localeOfFile(const QString& languageFile);
    // Installs Qt's translation for that language, or none for English or a name that
    // gives no language (Qt speaks English then), and makes it the default locale (dates,
    // the type names of files). False when Qt has no translation for it.
    bool follow(const QString& languageFile);
    bool installed() const { return installed_; }

private:
    void remove();
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace kestrum
