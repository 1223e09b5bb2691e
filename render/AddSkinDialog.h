// The add-picture dialog: the name and the file of a new skin alias, appended to the field
// setup dialog's list.
#pragma once

#include "FieldSetupServices.h"
#include "settings/Configuration.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kestrum {

class FieldSetupDialog;

class AddSkinDialog : public QDialog {
    Q_OBJECT
public:
    AddSkinDialog(Configuration& config, FieldSetupServices services, QWidget* parent);
    void setList(FieldSetupDialog* set) { set_ = set; }

    void browse();
    void addAlias();

    QLabel* nameLabel;
    QLineEdit* nameEdit;
    QLabel* fileLabel;
    QLineEdit* fileEdit;
    QToolButton* browseButton;
    QPushButton* addButton;
    QPushButton* cancelButton;
    QString openDialogTitle = QStringLiteral("Open file");

private:
    Configuration& config_;
    FieldSetupServices services_;
    FieldSetupDialog* set_ = nullptr;
};

}  // namespace kestrum
