#include "AboutBox.h"

#include "settings/DialogLook.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrum {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent, dialogFlags())
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("about"));
    setFixedSize(320, 230);
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/kestrum.png")).scaled(64, 64, Qt::KeepAspectRatio,
                                                                   Qt::SmoothTransformation));
    icon->setAlignment(Qt::AlignCenter);
    productLabel = new QLabel(QStringLiteral("<b style='font-size:18px'>Kestrum</b>"), this);
    productLabel->setAlignment(Qt::AlignCenter);
    versionLabel = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(KESTRUM_VERSION)), this);
    versionLabel->setAlignment(Qt::AlignCenter);
    commentsLabel = new QLabel(QStringLiteral("A snake arcade game. Steer the snake with the arrow "
                                         "keys, eat the apples and leave each level through "
                                         "its exit."),
                          this);
    commentsLabel->setWordWrap(true);
    commentsLabel->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(icon);
    layout->addWidget(productLabel);
    layout->addWidget(versionLabel);
    layout->addWidget(commentsLabel);
    layout->addWidget(ok, 0, Qt::AlignCenter);
}

}  // namespace kestrum
