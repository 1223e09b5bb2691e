#include "PlayerNameDialog.h"

#include "settings/DialogLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kestrum {

QFont fameFont()
{
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(19);
    f.setBold(true);
    f.setItalic(true);
    return f;
}

PlayerNameDialog::PlayerNameDialog(FameState& state, QWidget* parent)
    : QDialog(parent, dialogFlags(true)), state_(state)
{
    setObjectName(QStringLiteral("playerNameDialog"));
    setWindowTitle(QStringLiteral("Enter your name"));
    makeBlackDialog(this, 178, 103);
    promptLabel = new QLabel(QStringLiteral("Enter your name"), this);
    promptLabel->setObjectName(QStringLiteral("promptLabel"));
    promptLabel->setGeometry(11, 6, 156, 20);
    promptLabel->setAlignment(Qt::AlignCenter);
    promptLabel->setStyleSheet(QStringLiteral("QLabel { color: yellow; }"));
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    nameEdit->setGeometry(11, 30, 156, 30);
    nameEdit->setFont(fameFont());
    nameEdit->setStyleSheet(QStringLiteral("QLineEdit { color: yellow; background: black; }"));
    okButton = makeButton(this, "okButton", QStringLiteral("OK"), {11, 72, 156, 26});
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &PlayerNameDialog::takeName);
}

void PlayerNameDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
    nameEdit->setText(state_.PlayerName);
    nameEdit->selectAll();
    nameEdit->setFocus();
}

void PlayerNameDialog::takeName()
{
    state_.PlayerName = nameEdit->text().left(kPlayerNameLength);
    accept();
}

}  // namespace kestrum
