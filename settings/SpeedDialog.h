// The custom speed dialog: a track bar from 20 ms (fast) to 300 ms (slow).
#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QSlider;

namespace kestrum {

class SpeedDialog : public QDialog {
    Q_OBJECT
public:
    explicit SpeedDialog(QWidget* parent);
    static constexpr int kMin = 20;
    static constexpr int kMax = 300;

    // Shows the dialog for an interval (out-of-range values at the nearer end); returns
    // the chosen interval on OK, or nothing.
    std::optional<int> choose(int interval);
    // showInterval: the bar shows the interval.
    void showInterval(int interval);

    QSlider* intervalSlider;
    QLabel* firstGearLabel;
    QLabel* secondGearLabel;
    QLabel* thirdGearLabel;
    QLabel* parkLabel;
    QLabel* gearMarks;
    QPushButton* okButton;
    QPushButton* cancelButton;
};

}  // namespace kestrum
