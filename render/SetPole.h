// SetPole and AddName: the field setup dialog TFormSet, which lists the skin aliases,
// previews them, adds and deletes them and chooses the one in use, and the add-picture
// dialog TFormAdd that takes a new alias.
#pragma once

#include "settings/Configuration.h"

#include <QDialog>
#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace kestrum {

class TFormSet;

// What the dialogs need from the main window.
struct SetPoleServices {
    std::function<QString(int line)> text;
    std::function<bool(const QString& question)> ask;  // Yes or No
    std::function<void(const QString& message)> report;
    std::function<QString(const QString& title)> chooseFile;  // empty when cancelled
    std::function<QString()> skinsFolder;  // where the field reads its skins
};

class TFormAdd : public QDialog {
    Q_OBJECT
public:
    TFormAdd(Configuration& config, SetPoleServices services, QWidget* parent);
    void setList(TFormSet* set) { set_ = set; }

    void OpenFileClick();
    void BtnAddNClick();

    QLineEdit* EditNamePic;
    QLineEdit* EditFileN;
    QToolButton* OpenFile;
    QPushButton* BtnAddN;
    QPushButton* BtnCan;
    QString openDialogTitle = QStringLiteral("Open file");

private:
    Configuration& config_;
    SetPoleServices services_;
    TFormSet* set_ = nullptr;
};

// Owns the add-picture dialog: a window of its own, made with this one, so that it takes
// input while this dialog runs modally.
class TFormSet : public QDialog {
    Q_OBJECT
public:
    TFormSet(Configuration& config, SetPoleServices services, QWidget* parent);
    TFormAdd* addDialog() const { return add_; }
    // Closing this dialog closes the add dialog too.
    void done(int result) override;

    void ListNamePicClick();
    void BtnAddClick();
    void BtnDelClick();
    void BtnOkClick();
    // Shows the preview of alias i (1-based); an unreadable picture is reported and the
    // previous preview stays.
    void showPreview(int alias);
    // Appends a new alias's name to the list; the selection stays where it is.
    void appendName(const QString& name);
    // The skin file name the field is to load after OK: the file part of the alias.
    QString SkinFileName;

    QListWidget* ListNamePic;
    QLabel* Image1;
    QFrame* Bevel1;
    QPushButton* BtnAdd;
    QPushButton* BtnDel;
    QPushButton* BtnCan;
    QPushButton* BtnOk;

protected:
    // The preview is drawn when the dialog comes up, so that a missing picture is
    // reported to a player who is looking.
    void showEvent(QShowEvent* event) override;

private:
    Configuration& config_;
    SetPoleServices services_;
    TFormAdd* add_;
};

}  // namespace kestrum
