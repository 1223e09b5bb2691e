#include "FieldSetupDialog.h"

#include "Skin.h"
#include "settings/DialogLook.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace kestrum {

FieldSetupDialog::FieldSetupDialog(Configuration& config, FieldSetupServices services, QWidget* parent)
    : QDialog(parent, dialogFlags()),
      config_(config),
      services_(std::move(services)),
      add_(new AddSkinDialog(config, services_, this))
{
    setObjectName(QStringLiteral("fieldSetupDialog"));
    setWindowTitle(QStringLiteral("Field setup"));
    makeBlackDialog(this, 348, 233);
    aliasList = new QListWidget(this);
    aliasList->setObjectName(QStringLiteral("aliasList"));
    aliasList->setGeometry(12, 8, 173, 214);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(13);
    font.setBold(true);
    aliasList->setFont(font);
    aliasList->setStyleSheet(QStringLiteral(
        "QListWidget { color: yellow; background: black; }"
        "QListWidget::item { height: 15px; }"
        "QListWidget::item:selected { color: black; background: yellow; }"));
    previewFrame = new QFrame(this);
    previewFrame->setObjectName(QStringLiteral("previewFrame"));
    previewFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    previewFrame->setGeometry(192, 8, 57, 215);
    preview = new QLabel(this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setGeometry(193, 9, 54, 213);
    addButton = makeButton(this, "addButton", QStringLiteral("Add"), {260, 97, 75, 25}, false);
    deleteButton = makeButton(this, "deleteButton", QStringLiteral("Delete"), {260, 129, 75, 25}, false);
    cancelButton = makeButton(this, "cancelButton", QStringLiteral("Cancel"), {260, 161, 75, 25}, false);
    okButton = makeButton(this, "okButton", QStringLiteral("OK"), {260, 193, 75, 25}, false);
    connect(aliasList, &QListWidget::currentRowChanged, this, [this] { showSelected(); });
    connect(addButton, &QPushButton::clicked, this, &FieldSetupDialog::openAddDialog);
    connect(deleteButton, &QPushButton::clicked, this, &FieldSetupDialog::deleteSelected);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(okButton, &QPushButton::clicked, this, &FieldSetupDialog::chooseSelected);
    add_->setList(this);

    for (int i = 1; i <= config_.AlCount; ++i)
        aliasList->addItem(config_.SkinAliases[static_cast<size_t>(i - 1)].Name);
    // An alias in use outside the list would leave nothing selected.
    if (config_.ActiveAl < 1 || config_.ActiveAl > config_.AlCount)
        config_.ActiveAl = 1;
    {
        const QSignalBlocker quiet(aliasList);
        aliasList->setCurrentRow(config_.ActiveAl - 1);
    }
    centreOnScreen(this);
}

void FieldSetupDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    showSelected();
}

void FieldSetupDialog::showPreview(int alias)
{
    if (alias < 1 || alias > kSkinAliases)
        return;
    const QString file = QFileInfo(config_.SkinAliases[static_cast<size_t>(alias - 1)].File).fileName();
    const QString folder = services_.skinsFolder ? services_.skinsFolder() : QStringLiteral("Skins/");
    QString error;
    const QImage strip = loadBitmap(folder + file, &error);
    if (strip.isNull()) {
        if (services_.report)
            services_.report(error);
        return;
    }
    preview->setPixmap(QPixmap::fromImage(paintSkinPreview(strip, preview->width(), preview->height())));
}

void FieldSetupDialog::showSelected()
{
    const int row = aliasList->currentRow();
    if (row >= 0)
        showPreview(row + 1);
}

void FieldSetupDialog::appendName(const QString& name)
{
    const QSignalBlocker quiet(aliasList);
    aliasList->addItem(name);
}

void FieldSetupDialog::openAddDialog()
{
    // The add dialog stays beside this one, which can still be used.
    add_->show();
    add_->raise();
    add_->activateWindow();
    showSelected();
}

void FieldSetupDialog::deleteSelected()
{
    if (config_.AlCount <= 1)
        return;
    const int k = aliasList->currentRow() + 1;
    if (k < 1 || k > config_.AlCount)
        return;
    {
        // The row change is not a click: the preview follows once, below.
        const QSignalBlocker quiet(aliasList);
        delete aliasList->takeItem(k - 1);
    }
    for (int i = k; i < config_.AlCount; ++i)
        config_.SkinAliases[static_cast<size_t>(i - 1)] = config_.SkinAliases[static_cast<size_t>(i)];
    config_.AlCount -= 1;
    config_.ActiveAl = 1;
    {
        const QSignalBlocker quiet(aliasList);
        aliasList->setCurrentRow(0);
    }
    showPreview(1);
}

void FieldSetupDialog::done(int result)
{
    add_->reject();
    QDialog::done(result);
}

void FieldSetupDialog::chooseSelected()
{
    const int row = std::max(aliasList->currentRow(), 0);
    config_.ActiveAl = row + 1;
    SkinFileName = QFileInfo(config_.SkinAliases[static_cast<size_t>(row)].File).fileName();
    const QString question = services_.text ? services_.text(82) : QString();
    QString error;
    if (services_.ask && services_.ask(question)) {
        config_.FileCells = SkinFileName;
        if (!config_.writeDefaultSkin(&error) && services_.report)
            services_.report(error);
    }
    if (!config_.writeAliases(&error) && services_.report)
        services_.report(error);
    accept();
}

}  // namespace kestrum
