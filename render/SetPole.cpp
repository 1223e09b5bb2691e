#include "SetPole.h"

#include "settings/DialogLook.h"

#include "Skin.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace kestrum {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text, QRect r)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(r);
    b->setAutoDefault(false);
    return b;
}

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

TFormAdd::TFormAdd(Configuration& config, SetPoleServices services, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      config_(config),
      services_(std::move(services))
{
    setObjectName(QStringLiteral("FormAdd"));
    setWindowTitle(QStringLiteral("Add picture"));
    makeBlackDialog(this, 235, 107);
    EditNamePic = new QLineEdit(this);
    EditNamePic->setObjectName(QStringLiteral("EditNamePic"));
    EditNamePic->setGeometry(13, 8, 209, 21);
    EditFileN = new QLineEdit(this);
    EditFileN->setObjectName(QStringLiteral("EditFileN"));
    EditFileN->setGeometry(13, 39, 187, 21);
    OpenFile = new QToolButton(this);
    OpenFile->setObjectName(QStringLiteral("OpenFile"));
    OpenFile->setGeometry(203, 40, 20, 20);
    OpenFile->setIcon(folderIcon());
    BtnAddN = button(this, "BtnAddN", QStringLiteral("Add"), {27, 74, 75, 25});
    BtnAddN->setDefault(true);
    BtnCan = button(this, "BtnCan", QStringLiteral("Cancel"), {133, 74, 75, 25});
    connect(OpenFile, &QToolButton::clicked, this, &TFormAdd::OpenFileClick);
    connect(BtnAddN, &QPushButton::clicked, this, &TFormAdd::BtnAddNClick);
    connect(BtnCan, &QPushButton::clicked, this, &QDialog::reject);
    const SkinAlias& active = config_.SkinAliases[static_cast<size_t>(std::clamp(config_.ActiveAl, 1, kSkinAliases) - 1)];
    EditNamePic->setText(active.Name);
    EditFileN->setText(active.File);
}

void TFormAdd::OpenFileClick()
{
    if (!services_.chooseFile)
        return;
    const QString chosen = services_.chooseFile(openDialogTitle);
    if (!chosen.isEmpty())
        EditFileN->setText(QFileInfo(chosen).fileName());
}

void TFormAdd::BtnAddNClick()
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
    entry.Name = EditNamePic->text().left(kAliasNameLength);
    entry.File = EditFileN->text();
    if (set_)
        set_->appendName(entry.Name);
    accept();
}

TFormSet::TFormSet(Configuration& config, SetPoleServices services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      config_(config),
      services_(std::move(services)),
      add_(new TFormAdd(config, services_, this))
{
    setObjectName(QStringLiteral("FormSet"));
    setWindowTitle(QStringLiteral("Field setup"));
    makeBlackDialog(this, 348, 233);
    ListNamePic = new QListWidget(this);
    ListNamePic->setObjectName(QStringLiteral("ListNamePic"));
    ListNamePic->setGeometry(12, 8, 173, 214);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(13);
    font.setBold(true);
    ListNamePic->setFont(font);
    ListNamePic->setStyleSheet(QStringLiteral(
        "QListWidget { color: yellow; background: black; }"
        "QListWidget::item { height: 15px; }"
        "QListWidget::item:selected { color: black; background: yellow; }"));
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(192, 8, 57, 215);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(193, 9, 54, 213);
    BtnAdd = button(this, "BtnAdd", QStringLiteral("Add"), {260, 97, 75, 25});
    BtnDel = button(this, "BtnDel", QStringLiteral("Delete"), {260, 129, 75, 25});
    BtnCan = button(this, "BtnCan", QStringLiteral("Cancel"), {260, 161, 75, 25});
    BtnOk = button(this, "BtnOk", QStringLiteral("OK"), {260, 193, 75, 25});
    connect(ListNamePic, &QListWidget::currentRowChanged, this, [this] { ListNamePicClick(); });
    connect(BtnAdd, &QPushButton::clicked, this, &TFormSet::BtnAddClick);
    connect(BtnDel, &QPushButton::clicked, this, &TFormSet::BtnDelClick);
    connect(BtnCan, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnOk, &QPushButton::clicked, this, &TFormSet::BtnOkClick);
    add_->setList(this);

    for (int i = 1; i <= config_.AlCount; ++i)
        ListNamePic->addItem(config_.SkinAliases[static_cast<size_t>(i - 1)].Name);
    // An alias in use outside the list would leave nothing selected.
    if (config_.ActiveAl < 1 || config_.ActiveAl > config_.AlCount)
        config_.ActiveAl = 1;
    {
        const QSignalBlocker quiet(ListNamePic);
        ListNamePic->setCurrentRow(config_.ActiveAl - 1);
    }
    centreOnScreen(this);
}

void TFormSet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ListNamePicClick();
}

void TFormSet::showPreview(int alias)
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
    Image1->setPixmap(QPixmap::fromImage(paintSkinPreview(strip, Image1->width(), Image1->height())));
}

void TFormSet::ListNamePicClick()
{
    const int row = ListNamePic->currentRow();
    if (row >= 0)
        showPreview(row + 1);
}

void TFormSet::appendName(const QString& name)
{
    const QSignalBlocker quiet(ListNamePic);
    ListNamePic->addItem(name);
}

void TFormSet::BtnAddClick()
{
    // The add dialog stays beside this one, which can still be used.
    add_->show();
    add_->raise();
    add_->activateWindow();
    ListNamePicClick();
}

void TFormSet::BtnDelClick()
{
    if (config_.AlCount <= 1)
        return;
    const int k = ListNamePic->currentRow() + 1;
    if (k < 1 || k > config_.AlCount)
        return;
    {
        // The row change is not a click: the preview follows once, below.
        const QSignalBlocker quiet(ListNamePic);
        delete ListNamePic->takeItem(k - 1);
    }
    for (int i = k; i < config_.AlCount; ++i)
        config_.SkinAliases[static_cast<size_t>(i - 1)] = config_.SkinAliases[static_cast<size_t>(i)];
    config_.AlCount -= 1;
    config_.ActiveAl = 1;
    {
        const QSignalBlocker quiet(ListNamePic);
        ListNamePic->setCurrentRow(0);
    }
    showPreview(1);
}

void TFormSet::done(int result)
{
    add_->reject();
    QDialog::done(result);
}

void TFormSet::BtnOkClick()
{
    const int row = std::max(ListNamePic->currentRow(), 0);
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
