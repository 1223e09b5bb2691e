// The field setup dialog: lists the skin aliases, previews them, adds and deletes them and
// chooses the one in use.
#pragma once

#include "AddSkinDialog.h"
#include "FieldSetupServices.h"
#include "settings/Configuration.h"

#include <QDialog>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace kestrum {

// Owns the add-picture dialog: a window of its own, made with this one, so that it takes
// input while this dialog runs modally.
class FieldSetupDialog : public QDialog {
    Q_OBJECT
public:
    FieldSetupDialog(Configuration& config, FieldSetupServices services, QWidget* parent);
    AddSkinDialog* addDialog() const { return add_; }
    // Closing this dialog closes the add dialog too.
    void done(int result) override;

    void showSelected();
    void openAddDialog();
    void deleteSelected();
    void chooseSelected();
    // Shows the preview of alias i (1-based); an unreadable picture is reported and the
    // previous preview stays.
    void showPreview(int alias);
    // Appends a new alias's name to the list; the selection stays where it is.
    void appendName(const QString& name);
    // The skin file name the field is to load after OK: the file part of the alias.
    QString SkinFileName;

    QListWidget* aliasList;
    QLabel* preview;
    QFrame* previewFrame;
    QPushButton* addButton;
    QPushButton* deleteButton;
    QPushButton* cancelButton;
    QPushButton* okButton;

protected:
    // The preview is drawn when the dialog comes up, so that a missing picture is
    // reported to a player who is looking.
    void showEvent(QShowEvent* event) override;

private:
    Configuration& config_;
    FieldSetupServices services_;
    AddSkinDialog* add_;
};

}  // namespace kestrum
