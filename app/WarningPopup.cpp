#include "WarningPopup.h"

#include "settings/DialogLook.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>

namespace kestrum {

WarningPopup::WarningPopup(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("warningPopup"));
    makeBlackDialog(this, 242, 46);
    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevel->setGeometry(0, 0, 242, 46);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("text"));
    label_->setGeometry(6, 10, 230, 40);
    label_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label_->setWordWrap(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setBold(true);
    label_->setFont(font);
    label_->setStyleSheet(QStringLiteral("color: rgb(0, 255, 0); background: transparent;"));
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);  // a coarse timer may close it 5 % early
    timer_.setInterval(kShowMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        timer_.stop();
        accept();
    });
}

void WarningPopup::showText(const QString& text)
{
    label_->setText(text);
    centreOnScreen(this);
    timer_.start();
    exec();
    timer_.stop();
}

void WarningPopup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

QString WarningPopup::text() const { return label_->text(); }

}  // namespace kestrum
