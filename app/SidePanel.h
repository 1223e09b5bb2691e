// panel_: the side panel with the score, the counters, the legend, the cartoon and the
// mushroom indicator.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QTimer>

#include <future>
#include <vector>

namespace kestrum {

class CellPictures;

// A label that reports clicks and double clicks.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Anim: plays its frames once per start and then rests on the first one.
class CartoonWidget : public QWidget {
    Q_OBJECT
public:
    explicit CartoonWidget(QWidget* parent);
    void play();
    bool playing() const { return timer_.isActive(); }
    int frame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The still picture is painted on another thread while the window is being made.
    void takeStill();
    std::future<QImage> still_;
    std::vector<QImage> frames_;
    QTimer timer_;
    int frame_ = 0;
};

// A thin bar along the length box's foot: how far the snake has grown towards the length
// at which food opens the exit; full and in the exit's colour once it is open.
class ExitBar : public QWidget {
    Q_OBJECT
public:
    explicit ExitBar(QWidget* parent);
    void setProgress(int length, int needed, bool open);
    // The filled width in pixels, out of width().
    int filled() const;
    bool exitOpen() const { return open_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int length_ = 0;
    int needed_ = 1;
    bool open_ = false;
};

class SidePanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 102;
    static constexpr int kLargestPicture = 24;
    explicit SidePanel(QWidget* parent);

    // Sizes, places and paints the pictures for the cell size of a new skin.
    void layoutForSkin(const CellPictures& pictures, int fieldHeight);

    ClickLabel* scoreLabel;
    ClickLabel* livesLabel;
    ClickLabel* eatenLabel;
    QLabel* levelLabel;
    QLabel* lengthCaption;
    QLabel* lengthLabel;
    QLabel* livesPicture;
    QLabel* eatenPicture;
    QFrame* scoreFrame;
    QFrame* countersFrame;
    QFrame* levelFrame;
    QFrame* lengthFrame;
    ExitBar* exitBar;
    QFrame* legend;
    QLabel* legendFoodPicture;
    QLabel* legendLifePicture;
    QLabel* legendCropPicture;
    QLabel* legendBonusPicture;
    QLabel* legendDeathPicture;
    QLabel* legendNextPicture;
    QLabel* legendFood;
    QLabel* legendLife;
    QLabel* legendCrop;
    QLabel* legendBonus;
    QLabel* legendDeath;
    QLabel* legendNext;
    CartoonWidget* Anim;
    QLabel* mushroomIndicator;

    // Auto-sized labels grow with their text, as a label of this panel does.
    void setText(QLabel* label, const QString& text);
};

}  // namespace kestrum
