// Panel1: the side panel with the score, the counters, the legend, the cartoon and the
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

class SidePanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 102;
    static constexpr int kLargestPicture = 24;
    explicit SidePanel(QWidget* parent);

    // Sizes, places and paints the pictures for the cell size of a new skin.
    void layoutForSkin(const CellPictures& pictures, int fieldHeight);

    ClickLabel* LScore;
    ClickLabel* LHead;
    ClickLabel* LLong;
    QLabel* Llev;
    QLabel* LabelLength;
    QLabel* LabLon;
    QLabel* IHeadU;
    QLabel* ILong;
    QFrame* Bevel1;
    QFrame* Bevel2;
    QFrame* Bevel3;
    QFrame* Bevel4;
    QFrame* PanelHelp;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
    QLabel* Image4;
    QLabel* Image5;
    QLabel* Image6;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    CartoonWidget* Anim;
    QLabel* ImgDrug;

    // Auto-sized labels grow with their text, as a label of this panel does.
    void setText(QLabel* label, const QString& text);
};

}  // namespace kestrum
