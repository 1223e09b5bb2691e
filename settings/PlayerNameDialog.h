// The name prompt of a score good enough for the hall of fame.
#pragma once

#include "FameTable.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrum {

class PlayerNameDialog : public QDialog {
    Q_OBJECT
public:
    PlayerNameDialog(FameState& state, QWidget* parent);
    QLabel* promptLabel;  // what the box asks for, above it
    QLineEdit* nameEdit;
    QPushButton* okButton;
    void takeName();

protected:
    // Offers the name last entered, selected.
    void showEvent(QShowEvent* event) override;

private:
    FameState& state_;
};

// The font of the names in the hall of fame and of the name being entered.
QFont fameFont();

}  // namespace kestrum
