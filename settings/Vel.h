// Vel: the custom speed dialog TFormVel, a track bar from 20 ms (fast) to 300 ms (slow).
#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QSlider;

namespace kestrum {

class TFormVel : public QDialog {
    Q_OBJECT
public:
    explicit TFormVel(QWidget* parent);
    static constexpr int kMin = 20;
    static constexpr int kMax = 300;

    // Shows the dialog for an interval (out-of-range values at the nearer end); returns
    // the chosen interval on OK, or nothing.
    std::optional<int> choose(int interval);
    // FormActivate: the bar shows the interval.
    void FormActivate(int interval);

    QSlider* TrackBar1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label7;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};

}  // namespace kestrum
