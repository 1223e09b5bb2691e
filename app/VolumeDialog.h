// The Volume dialog: the loudness of the effects and of the music, 0 ... 100 %, each heard
// while its slider moves.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <optional>
#include <utility>

class QLabel;
class QSlider;
class QPushButton;

namespace kestrum {

class VolumeDialog : public QDialog {
    Q_OBJECT
public:
    struct Services {
        std::function<QString(int)> text;
        // Each applies a loudness at once: the music's to the playing theme, the effects'
        // with a clip to hear it by when `hear`.
        std::function<void(int, bool hear)> effects;
        std::function<void(int)> music;
    };
    VolumeDialog(QWidget* parent, Services services);

    // Shows the two loudnesses; returns them (effects, music) on OK. On Cancel the ones
    // given are applied again.
    std::optional<std::pair<int, int>> choose(int effects, int music);
    void applyTexts();

    QSlider* effectsSlider;
    QSlider* musicSlider;
    QLabel* effectsLabel;
    QLabel* musicLabel;
    QLabel* effectsValue;
    QLabel* musicValue;
    QPushButton* okButton;
    QPushButton* cancelButton;

private:
    Services services_;
    QTimer effectsHeard_;  // one clip for a drag, not one for each step of it
};

}  // namespace kestrum
