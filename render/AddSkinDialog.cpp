#include "AddSkinDialog.h"

#include "FieldSetupDialog.h"
#include "settings/DialogLook.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace kestrum {

namespace {

// A small folder picture for the browse button, drawn here.
QIcon folderIcon()
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(150, 110, 30));
    p.setBrush(QColor(240, 200, 90));
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1.5, 1.5);
    p.drawRect(QRectF(1.5, 3, 5, 2));
    return QIcon(QPixmap::fromImage(img));
}

}  // namespace

AddSkinDialog::AddSkinDialog(Configuration& config, FieldSetupServices services, QWidget* parent)
    : QDialog(parent, dialogFlags(true)),
      config_(config),
      services_(std::move(services))
{
    setObjectName(QStringLiteral("addSkinDialog"));
    setWindowTitle(QStringLiteral("Add picture"));
    // Each box with its label above it: the name shown in the list, the picture's file.
    makeBlackDialog(this, 235, 135);
    const auto label = [this](const char* name, const QString& text, int top) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(13, top, 209, 16);
        l->setStyleSheet(QStringLiteral("QLabel { color: silver; }"));
        return l;
    };
    nameLabel = label("nameLabel", QStringLiteral("Name"), 6);
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    nameEdit->setGeometry(13, 23, 209, 21);
    fileLabel = label("fileLabel", QStringLiteral("Picture file"), 51);
    fileEdit = new QLineEdit(this);
    fileEdit->setObjectName(QStringLiteral("fileEdit"));
    fileEdit->setGeometry(13, 68, 187, 21);
    nameLabel->setBuddy(nameEdit);
    fileLabel->setBuddy(fileEdit);
    browseButton = new QToolButton(this);
    browseButton->setObjectName(QStringLiteral("browseButton"));
    browseButton->setGeometry(203, 69, 20, 20);
    browseButton->setIcon(folderIcon());
    addButton = makeButton(this, "addButton", QStringLiteral("Add"), {27, 102, 75, 25}, false);
    addButton->setDefault(true);
    cancelButton = makeButton(this, "cancelButton", QStringLiteral("Cancel"), {133, 102, 75, 25}, false);
    connect(browseButton, &QToolButton::clicked, this, &AddSkinDialog::browse);
    connect(addButton, &QPushButton::clicked, this, &AddSkinDialog::addAlias);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    const SkinAlias& active = config_.SkinAliases[static_cast<size_t>(std::clamp(config_.ActiveAl, 1, kSkinAliases) - 1)];
    nameEdit->setText(active.Name);
    fileEdit->setText(active.File);
}

void AddSkinDialog::browse()
{
    if (!services_.chooseFile)
        return;
    const QString chosen = services_.chooseFile(openDialogTitle);
    if (!chosen.isEmpty())
        fileEdit->setText(QFileInfo(chosen).fileName());
}

void AddSkinDialog::addAlias()
{
    // The table holds fifty aliases.
    if (config_.AlCount >= kSkinAliases) {
        if (services_.report)
            services_.report(QStringLiteral("The list holds %1 pictures at most; delete one first.")
                                 .arg(kSkinAliases));
        return;
    }
    config_.AlCount += 1;
    config_.ActiveAl = config_.AlCount;
    SkinAlias& entry = config_.SkinAliases[static_cast<size_t>(config_.AlCount - 1)];
    entry.Name = nameEdit->text().left(kAliasNameLength);
    entry.File = fileEdit->text();
    if (set_)
        set_->appendName(entry.Name);
    accept();
}

}  // namespace kestrum
