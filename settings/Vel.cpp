#include "Vel.h"

#include "DialogLook.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

namespace kestrum {

TFormVel::TFormVel(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormVel"));
    setWindowTitle(QStringLiteral("Spe"));
    makeBlackDialog(this, 238, 115);

    TrackBar1 = new QSlider(Qt::Horizontal, this);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setGeometry(16, 12, 206, 29);
    TrackBar1->setRange(kMin, kMax);
    TrackBar1->setValue(150);
    TrackBar1->setTickInterval(50);
    TrackBar1->setTickPosition(QSlider::NoTicks);
    TrackBar1->setPageStep(10);

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
    Label3 = label("Label3", QStringLiteral("3d g"), 13, 56);
    Label2 = label("Label2", QStringLiteral("2nd g"), 69, 56);
    Label1 = label("Label1", QStringLiteral("1st g"), 125, 56);
    Label4 = label("Label4", QStringLiteral("Park"), 181, 56);
    Label7 = label("Label7", QStringLiteral("|          I             I                          I"), 47, 43);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(30, 80, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(134, 80, 75, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormVel::FormActivate(int interval) { TrackBar1->setValue(std::clamp(interval, kMin, kMax)); }

std::optional<int> TFormVel::choose(int interval)
{
    FormActivate(interval);
    centreOnScreen(this);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return TrackBar1->value();
}

}  // namespace kestrum
