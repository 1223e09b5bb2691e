// Everything the game core needs from its window, in one narrow interface. The main
// window implements it; the tests implement a recording fake.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>

namespace kestrum {

class CellPictures;

// Side-panel counters the core writes.
enum class PanelLabel { Score, Lives, Eaten, Level, Length };

// The way to the exit: food opens it once the snake's length reaches needed.
struct ExitProgress {
    int length = 0;
    int needed = 0;
    bool open = false;
    bool operator==(const ExitProgress&) const = default;
};

class GameHost {
public:
    virtual ~GameHost() = default;

    // The game timer (one tick per interval) and the 50 ms sequencing timer. Starting the
    // game timer leaves one that runs as it is.
    virtual void startGameTimer() = 0;
    virtual void stopGameTimer() = 0;
    virtual bool gameTimerRunning() const = 0;
    virtual int gameTimerInterval() const = 0;
    virtual void startSequenceTimer() = 0;
    virtual void stopSequenceTimer() = 0;
    virtual bool sequenceTimerRunning() const = 0;
    // The 10 ms cell-animation timer; the core runs it only while an animation is active,
    // so an idle window never wakes up.
    virtual void setAnimatorRunning(bool running) = 0;

    virtual void setLabel(PanelLabel label, const QString& text) = 0;
    virtual void setMushroomIndicator(bool visible) = 0;
    virtual void showExitProgress(const ExitProgress& progress) = 0;
    // Plays the side-panel cartoon once.
    virtual void playPanelAnimation() = 0;
    // The mushroom warning: modal, closes itself after 3000 ms.
    virtual void showWarning(const QString& text) = 0;
    // A game has ended with a positive rounded score: the hall of fame takes it from here.
    virtual void handOverScore(int pendingScore, bool gameOver) = 0;
    // Check mark of the Level menu for a level number.
    virtual void checkLevelItem(int level) = 0;
    // Sizes and paints the side-panel pictures for a new skin.
    virtual void layoutSidePanel(const CellPictures& pictures, int fieldHeight) = 0;
    // The background picture, read afresh for every drawing; a null image draws nothing.
    virtual QImage backgroundPicture() = 0;

    // A short text over the middle of the field while the game waits for the player, by
    // language-file line; 0 takes it away.
    virtual void showNotice(int line) = 0;
    // True while the player is not at the field: a menu, a dialog of the game or another
    // program has the keyboard.
    virtual bool playerAway() const = 0;

    // Waits ms milliseconds while window messages are handled.
    virtual void waitMs(int ms) = 0;
    // True once the window has begun to close; nested loops then unwind and stop.
    virtual bool closing() const = 0;
    // Brings the changed cells of the field picture up to date on screen.
    virtual void repaintField(const QRegion& region) = 0;

    // Sound effects by event name; callers ask soundsOn() first.
    virtual bool soundsOn() const = 0;
    virtual void playSound(const QString& event) = 0;
    // A message box with an OK button (a level pack value that cannot be read).
    virtual void showMessage(const QString& text) = 0;

    // Interface texts read at their moment of use, by language-file line number.
    virtual QString langText(int line) const = 0;
};

}  // namespace kestrum
