#include "QtTranslation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

namespace kestrum {

QtTranslation::~QtTranslation() { remove(); }

QLocale QtTranslation::localeOfFile(const QString& languageFile)
{
    const QString name = QFileInfo(languageFile).completeBaseName();
    if (name.isEmpty())
        return QLocale::c();
    const QLocale coded(name);
    if (coded.language() != QLocale::C)
        return coded;
    for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
        const auto language = static_cast<QLocale::Language>(l);
        if (QLocale::languageToString(language).compare(name, Qt::CaseInsensitive) == 0)
            return QLocale(language);
    }
    return QLocale::c();
}

void QtTranslation::remove()
{
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
    installed_ = false;
}

bool QtTranslation::follow(const QString& languageFile)
{
    remove();
    const QLocale locale = localeOfFile(languageFile);
    // Dates and the file dialogs' type names follow the language too, in the user's own
    // country's forms where the user speaks it already.
    const QLocale system = QLocale::system();
    QLocale::setDefault(locale.language() == QLocale::C || locale.language() == system.language() ? system : locale);
    if (locale.language() == QLocale::C || locale.language() == QLocale::English)
        return true;
    if (!translator_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    installed_ = QCoreApplication::installTranslator(&translator_);
    return installed_;
}

}  // namespace kestrum
