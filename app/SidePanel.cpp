#include "SidePanel.h"

#include <algorithm>

#include "render/PanelCartoon.h"
#include "render/Skin.h"

#include <QMouseEvent>
#include <QFontMetrics>
#include <QPainter>

namespace kestrum {

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

// Start-up paints the still picture only, beside the making of the window; the other
// frames wait for the first play.
CartoonWidget::CartoonWidget(QWidget* parent)
    : QWidget(parent), still_(std::async(std::launch::async, [] { return paintPanelCartoonFrame(0); }))
{
    setObjectName(QStringLiteral("cartoon"));
    setFixedSize(kCartoonSize, kCartoonSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kCartoonFrameMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (++frame_ >= static_cast<int>(frames_.size())) {
            frame_ = 0;
            timer_.stop();
        }
        update();
    });
}

void CartoonWidget::takeStill()
{
    if (still_.valid())
        frames_ = {still_.get()};
}

void CartoonWidget::play()
{
    takeStill();
    if (frames_.size() < static_cast<size_t>(kCartoonFrames))
        frames_ = paintPanelCartoon();
    frame_ = 0;
    timer_.start();
    update();
}

void CartoonWidget::paintEvent(QPaintEvent*)
{
    takeStill();
    QPainter p(this);
    if (frame_ >= 0 && frame_ < static_cast<int>(frames_.size()))
        p.drawImage(0, 0, frames_[static_cast<size_t>(frame_)]);
}

namespace {

QFont panelFont(const char* family, int pixels, bool bold, bool italic = false)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

template <typename T = QLabel>
T* makeLabel(QWidget* parent, const char* name, QRect r, const QString& text, const QFont& font,
             const QColor& colour)
{
    auto* label = new T(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setGeometry(r);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    return label;
}

QFrame* makeBevel(QWidget* parent, const char* name, QRect r, QFrame::Shadow shadow = QFrame::Sunken)
{
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QString::fromLatin1(name));
    bevel->setFrameStyle(QFrame::Box | shadow);
    bevel->setGeometry(r);
    bevel->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    return bevel;
}

QLabel* makePicture(QWidget* parent, const char* name, QRect r)
{
    auto* picture = new QLabel(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setGeometry(r);
    return picture;
}

}  // namespace

ExitBar::ExitBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("exitBar"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ExitBar::setProgress(int length, int needed, bool open)
{
    if (length == length_ && needed == needed_ && open == open_)
        return;
    length_ = length;
    needed_ = std::max(needed, 1);
    open_ = open;
    update();
}

int ExitBar::filled() const
{
    if (open_)
        return width();
    return static_cast<int>(static_cast<long long>(width()) * std::clamp(length_, 0, needed_) / needed_);
}

void ExitBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(35, 35, 60));
    p.fillRect(QRect(0, 0, filled(), height()), open_ ? QColor(0, 255, 255) : QColor(0, 0, 255));
}

SidePanel::SidePanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("sidePanel"));
    setFixedWidth(kWidth);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    const QColor lime(0, 255, 0), red(255, 0, 0), fuchsia(255, 0, 255), blue(0, 0, 255),
        yellow(255, 255, 0), maroon(128, 0, 0), aqua(0, 255, 255);

    scoreFrame = makeBevel(this, "scoreFrame", {3, 2, 97, 33});
    scoreLabel = makeLabel<ClickLabel>(this, "scoreLabel", {5, 2, 94, 32}, QStringLiteral("0"),
                                   panelFont("Arial", 27, true, true), red);
    scoreLabel->setAlignment(Qt::AlignCenter);
    scoreLabel->setToolTip(QStringLiteral("Click here twice"));

    countersFrame = makeBevel(this, "countersFrame", {3, 38, 97, 56});
    livesPicture = makePicture(this, "livesPicture", {22, 46, 22, 22});
    livesLabel = makeLabel<ClickLabel>(this, "livesLabel", {51, 41, 24, 22}, QStringLiteral("x 3"),
                                  panelFont("Times New Roman", 19, true), lime);
    livesLabel->setToolTip(QStringLiteral("Lives"));
    livesPicture->setToolTip(livesLabel->toolTip());
    eatenPicture = makePicture(this, "eatenPicture", {22, 70, 22, 22});
    eatenLabel = makeLabel<ClickLabel>(this, "eatenLabel", {51, 65, 24, 22}, QStringLiteral("x 0"),
                                  panelFont("Times New Roman", 19, true), red);
    eatenLabel->setToolTip(QStringLiteral("Eated"));
    eatenPicture->setToolTip(eatenLabel->toolTip());

    levelFrame = makeBevel(this, "levelFrame", {3, 98, 97, 22});
    levelFrame->setToolTip(QStringLiteral("Level"));
    levelLabel = makeLabel(this, "levelLabel", {26, 101, 44, 19}, QStringLiteral("0 level"),
                     panelFont("Times New Roman", 16, true), fuchsia);

    lengthFrame = makeBevel(this, "lengthFrame", {3, 125, 97, 22});
    lengthFrame->setToolTip(QStringLiteral("Length"));
    lengthCaption = makeLabel(this, "lengthCaption", {15, 126, 41, 19}, QStringLiteral("length"),
                            panelFont("Times New Roman", 16, true), blue);
    lengthLabel = makeLabel(this, "lengthLabel", {65, 126, 29, 19}, QStringLiteral("3"),
                       panelFont("Times New Roman", 16, true), blue);
    lengthLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    exitBar = new ExitBar(this);
    exitBar->setGeometry(5, 143, 93, 3);
    exitBar->lower();

    legend = new QFrame(this);
    legend->setObjectName(QStringLiteral("legend"));
    legend->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    legend->setGeometry(3, 155, 97, 156);
    legend->setCursor(Qt::ForbiddenCursor);
    struct Row {
        QLabel** picture;
        const char* pictureName;
        int pictureWidth;
        QLabel** caption;
        const char* captionName;
        const char* text;
        QColor colour;
    };
    const Row rows[] = {
        {&legendFoodPicture, "legendFoodPicture", 21, &legendFood, "legendFood", "Food", red},
        {&legendLifePicture, "legendLifePicture", 22, &legendLife, "legendLife", "Life", yellow},
        {&legendCropPicture, "legendCropPicture", 22, &legendCrop, "legendCrop", "Crop", fuchsia},
        {&legendBonusPicture, "legendBonusPicture", 22, &legendBonus, "legendBonus", "Bonus", blue},
        {&legendDeathPicture, "legendDeathPicture", 22, &legendDeath, "legendDeath", "Death", maroon},
        {&legendNextPicture, "legendNextPicture", 44, &legendNext, "legendNext", "Next", aqua},
    };
    int top = 7;
    for (const Row& row : rows) {
        *row.picture = makePicture(legend, row.pictureName, {8, top, row.pictureWidth, 22});
        const int left = row.pictureWidth > 22 ? 53 : 38;
        *row.caption = makeLabel(legend, row.captionName, {left, top + 1, 55, 19},
                                 QString::fromLatin1(row.text),
                                 panelFont("Times New Roman", 16, true), row.colour);
        (*row.caption)->adjustSize();
        top += 24;
    }

    Anim = new CartoonWidget(this);
    Anim->move(1, 192);

    mushroomIndicator = makePicture(this, "mushroomIndicator", {40, 344, 105, 105});
    mushroomIndicator->hide();

    for (QLabel* l : {static_cast<QLabel*>(livesLabel), static_cast<QLabel*>(eatenLabel), levelLabel, lengthCaption})
        l->adjustSize();
}

void SidePanel::setText(QLabel* label, const QString& text)
{
    label->setText(text);
    if (label == scoreLabel || label == lengthLabel)
        return;
    // The panel is narrow: a long text (another language) gets a smaller font rather than
    // running out of its frame.
    const QWidget* box = label->parentWidget();
    const int room = (box == legend ? legend->width() - 3 : width() - 4) - label->x();
    QFont font = label->font();
    const int design = label->property("designPixels").toInt();
    if (design > 0)
        font.setPixelSize(design);
    else
        label->setProperty("designPixels", font.pixelSize());
    while (font.pixelSize() > 9 && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    label->setFont(font);
    label->adjustSize();
}

void SidePanel::layoutForSkin(const CellPictures& pictures, int fieldHeight)
{
    // The pictures take the skin's cell size; past 24 pixels they are shown smaller, so
    // that the narrow panel's rows and captions stay clear of each other.
    const int size = std::min(pictures.cellSize(), kLargestPicture);
    const auto pix = [&](int t) {
        return QPixmap::fromImage(pictures.tile(t).scaled(size, size, Qt::IgnoreAspectRatio,
                                                          Qt::SmoothTransformation));
    };

    legend->move(legend->x(), height() - legend->height() - 4);
    for (QLabel* picture : {legendFoodPicture, legendLifePicture, legendCropPicture, legendBonusPicture, legendDeathPicture})
        picture->resize(size, size);
    legendNextPicture->resize(2 * size, size);

    const auto centreOn = [&](QLabel* picture, const QLabel* label, int labelHeight) {
        picture->move(picture->x(), label->y() + labelHeight / 2 - size / 2);
    };
    centreOn(livesPicture, livesLabel, legendFood->height());
    centreOn(eatenPicture, eatenLabel, legendFood->height());
    centreOn(legendFoodPicture, legendFood, legendFood->height());
    centreOn(legendLifePicture, legendLife, legendLife->height());
    centreOn(legendCropPicture, legendCrop, legendCrop->height());
    centreOn(legendBonusPicture, legendBonus, legendBonus->height());
    centreOn(legendDeathPicture, legendDeath, legendDeath->height());
    centreOn(legendNextPicture, legendNext, legendNext->height());
    livesPicture->resize(size, size);
    eatenPicture->resize(size, size);

    livesPicture->setPixmap(pix(13));
    eatenPicture->setPixmap(pix(8));
    legendFoodPicture->setPixmap(pix(8));
    legendLifePicture->setPixmap(pix(10));
    legendCropPicture->setPixmap(pix(9));
    legendBonusPicture->setPixmap(pix(12));
    legendDeathPicture->setPixmap(pix(11));
    QImage exitPair(2 * size, size, QImage::Format_RGB32);
    {
        QPainter p(&exitPair);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(0, 0, size, size), pictures.tile(29));
        p.drawImage(QRect(size, 0, size, size), pictures.tile(30));
    }
    legendNextPicture->setPixmap(QPixmap::fromImage(exitPair));

    Anim->move(Anim->x(), lengthFrame->y() + lengthFrame->height() + 2 + (fieldHeight > 480 ? 26 : 0));

    const int side = static_cast<int>(1.3 * pictures.tile(12).height());
    mushroomIndicator->resize(side, side);
    // Above the cartoon as far as the gap allows; where the gap is narrower than the
    // picture it comes down over the cartoon's top rather than over the length box.
    const int belowLength = lengthFrame->y() + lengthFrame->height() + 3;
    mushroomIndicator->move((width() - side) / 2, std::max(Anim->y() - side - 4, belowLength));
    mushroomIndicator->raise();
    QImage indicator(std::max(side, 1), std::max(side, 1), QImage::Format_RGB32);
    indicator.fill(Qt::black);
    {
        QPainter p(&indicator);
        p.setPen(QColor(255, 255, 255));
        p.drawRect(0, 0, side - 1, side - 1);
        p.drawImage(QRect(1, 1, side - 2, side - 2), pictures.tile(12));
    }
    mushroomIndicator->setPixmap(QPixmap::fromImage(indicator));
    mushroomIndicator->hide();
}

}  // namespace kestrum
