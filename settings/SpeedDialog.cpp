#include "SpeedDialog.h"

#include "DialogLook.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

namespace kestrum {

SpeedDialog::SpeedDialog(QWidget* parent) : QDialog(parent, dialogFlags(true))
{
    setObjectName(QStringLiteral("speedDialog"));
    setWindowTitle(QStringLiteral("Spe"));
    makeBlackDialog(this, 238, 115);

    intervalSlider = new QSlider(Qt::Horizontal, this);
    intervalSlider->setObjectName(QStringLiteral("intervalSlider"));
    intervalSlider->setGeometry(16, 12, 206, 29);
    intervalSlider->setRange(kMin, kMax);
    intervalSlider->setValue(150);
    intervalSlider->setTickInterval(50);
    intervalSlider->setTickPosition(QSlider::NoTicks);
    intervalSlider->setPageStep(10);

    QFont bold = font();
    bold.setBold(true);
    const auto label = [&](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(bold);
        l->setStyleSheet(QStringLiteral("color: yellow; background: transparent;"));
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    thirdGearLabel = label("thirdGearLabel", QStringLiteral("3d g"), 13, 56);
    secondGearLabel = label("secondGearLabel", QStringLiteral("2nd g"), 69, 56);
    firstGearLabel = label("firstGearLabel", QStringLiteral("1st g"), 125, 56);
    parkLabel = label("parkLabel", QStringLiteral("Park"), 181, 56);
    gearMarks = label("gearMarks", QStringLiteral("|          I             I                          I"), 47, 43);

    okButton = makeButton(this, "okButton", QStringLiteral("OK"), {30, 80, 75, 25});
    okButton->setDefault(true);
    cancelButton = makeButton(this, "cancelButton", QStringLiteral("Cancel"), {134, 80, 75, 25});
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void SpeedDialog::showInterval(int interval) { intervalSlider->setValue(std::clamp(interval, kMin, kMax)); }

std::optional<int> SpeedDialog::choose(int interval)
{
    showInterval(interval);
    centreOnScreen(this);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return intervalSlider->value();
}

}  // namespace kestrum
