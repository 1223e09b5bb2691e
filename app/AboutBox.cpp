#include "AboutBox.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrum {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("about"));
    setFixedSize(320, 230);
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/kestrum.png")).scaled(64, 64, Qt::KeepAspectRatio,
                                                                   Qt::SmoothTransformation));
    icon->setAlignment(Qt::AlignCenter);
    ProductName = new QLabel(QStringLiteral("<b style='font-size:18px'>Kestrum</b>"), this);
    ProductName->setAlignment(Qt::AlignCenter);
    Version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(KESTRUM_VERSION)), this);
    Version->setAlignment(Qt::AlignCenter);
    Comments = new QLabel(QStringLiteral("A snake arcade game. Steer the snake with the arrow "
                                         "keys, eat the apples and leave each level through "
                                         "its exit."),
                          this);
    Comments->setWordWrap(true);
    Comments->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(icon);
    layout->addWidget(ProductName);
    layout->addWidget(Version);
    layout->addWidget(Comments);
    layout->addWidget(ok, 0, Qt::AlignCenter);
}

}  // namespace kestrum
