// The main window. It owns the game, its timers, the field on the screen, the side panel,
// the menus and the dialogs, and is the core's GameHost.
#pragma once

#include "FieldView.h"
#include "KeyMap.h"
#include "QtTranslation.h"
#include "core/Game.h"
#include "core/GameHost.h"
#include "core/Random.h"
#include "input/Gamepads.h"
#include "settings/Configuration.h"
#include "settings/HallOfFameDialog.h"
#include "settings/PlayerNameDialog.h"
#include "settings/Language.h"
#include "sound/DeviceOpener.h"
#include "sound/MusicDevice.h"
#include "sound/ThemePlayer.h"
#include "sound/SoundEffects.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QEventLoop;

namespace kestrum {

class SidePanel;
class WarningPopup;
class AboutBox;
class HelpWindow;
class SpeedDialog;
class FieldSetupDialog;
class AddSkinDialog;
class KeysDialog;
class VolumeDialog;

class MainWindow : public QMainWindow, public GameHost {
    Q_OBJECT
public:
    // Messages for the player go to messageSink when one is given (the tests record
    // them), else to a warning box.
    explicit MainWindow(QWidget* parent = nullptr,
                          std::function<void(const QString&)> messageSink = {});
    ~MainWindow() override;

    Game& game() { return game_; }
    QAction* action(const QString& name) const { return actions_.value(name); }
    SidePanel* panel() const { return panel_; }
    FieldView* fieldView() const { return field_; }
    QTimer& gameTimer() { return gameTimer_; }
    QTimer& sequenceTimer() { return sequenceTimer_; }
    // True while cell animations run (their steps are taken at the frames).
    bool animating() const { return animating_; }
    HelpWindow* helpWindow() { return made(&MainWindow::helpWindow_); }
    Configuration& config() { return config_; }
    // The hall of fame's table is read as its window is made.
    FameState& fame() { return made(&MainWindow::fame_); }
    HallOfFameDialog* hallOfFameDialog() { return made(&MainWindow::hallOfFameDialog_); }
    PlayerNameDialog* playerNameDialog() { return made(&MainWindow::playerNameDialog_); }
    SpeedDialog* speedDialog() { return made(&MainWindow::speedDialog_); }
    FieldSetupDialog* fieldSetupDialog() { return made(&MainWindow::fieldSetupDialog_); }
    AddSkinDialog* addSkinDialog() { return made(&MainWindow::addSkinDialog_); }
    KeysDialog* keysDialog() { return made(&MainWindow::keysDialog_); }
    VolumeDialog* volumeDialog() { return made(&MainWindow::volumeDialog_); }
    const KeyBindings& keys() const { return keys_; }
    bool fullScreen() const { return fullScreen_; }
    Gamepads& gamepads() { return gamepads_; }
    // A pad's press: steering and the south button as keys, Start as Pause. Only while the
    // player is at the field: nothing steers behind a menu or a dialog.
    void padPressed(Gamepads::Press press);
    const LanguageTexts& texts() const { return LangText; }
    SoundEffects& soundEffects() { return soundEffects_; }
    ThemePlayer& themes() { return themes_; }
    const MusicDevice& musicDevice() const { return musicDevice_; }
    const DeviceOpener& deviceOpener() const { return deviceOpener_; }
    // The application came to (true) or left (false) the foreground.
    void foregroundChanged(bool active);
    void startMusic(bool comingBack);
    void showHelpTopic(const QString& topic);
    void switchSounds(bool inBackground);
    // While the snake moves the effects keep their device: taking it again after a silence
    // costs a real sound server several milliseconds inside a tick.
    void keepSoundAwake(bool keep);
    // A menu, a dialog or another program has taken the player from the field.
    void playerLeft();
    // The window covers a new work area (the screen's changed); the field is built for it
    // and the game goes on.
    void fitToArea(const QRect& area);
    // Scores whose hand-over waits for the hall of fame that was open when their game ended.
    int scoresWaitingForTheHallOfFame() const { return static_cast<int>(waitingScores_.size()); }

    // Language: loads the file LangFileName names (or its fallback) into LangText;
    // returns false after reporting a file that cannot be read.
    bool LoadLanguage();
    // Copies LangText onto every window.
    void ApplyLanguage();
    // What chooseLanguage does once a file has been chosen.
    void useLanguageFile(const QString& path);

    void reportError(const QString& text);
    // The session ends (a signal, a logout): a score on its way to the hall of fame goes in
    // with the name typed so far, the hall of fame is saved, and the window closes.
    void endSession();

    // What the menus, the keys, the timers and the side panel's labels do.
    void firstShow();
    void giveKeysBackAfterMenu();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyDown(uint16_t key);
    void tick();
    void sequenceStep();
    void animationStep();
    void newGame();
    void togglePause();
    void showHallOfFame();
    void exitGame();
    void slowSpeed();
    void normalSpeed();
    void fastSpeed();
    void customSpeed();
    void chooseLevel();
    void openLevelPack();
    void setUpField();
    void chooseLanguage();
    void toggleSounds();
    void toggleMusic();
    void chooseKeys();
    void chooseVolume();
    void toggleQuickTurns();
    void toggleFullScreen();
    void showHelp();
    void showAbout();
    void scoreDoubleClicked();
    void nextLevel();
    void previousLevel();

    // Loads the skin named by SkinFileName and rebuilds the field; a skin that cannot
    // serve is reported and the last good one (or the built-in one) is used.
    void BuildField(bool keepScore = false);
    // Makes the dialogs, once; the window does it after its first frame.
    void createWindows();

    // GameHost
    void startGameTimer() override
    {
        if (!gameTimer_.isActive())
            gameTimer_.start();
        keepSoundAwake(true);
    }
    void stopGameTimer() override
    {
        gameTimer_.stop();
        keepSoundAwake(false);
    }
    bool gameTimerRunning() const override { return gameTimer_.isActive(); }
    int gameTimerInterval() const override { return gameTimer_.interval(); }
    void startSequenceTimer() override { sequenceTimer_.start(); }
    void stopSequenceTimer() override { sequenceTimer_.stop(); }
    bool sequenceTimerRunning() const override { return sequenceTimer_.isActive(); }
    void setAnimatorRunning(bool running) override;
    void setLabel(PanelLabel label, const QString& text) override;
    void setMushroomIndicator(bool visible) override;
    void showExitProgress(const ExitProgress& progress) override;
    void playPanelAnimation() override;
    void showWarning(const QString& text) override;
    void handOverScore(int pendingScore, bool gameOver) override;
    void checkLevelItem(int level) override;
    void layoutSidePanel(const CellPictures& pictures, int fieldHeight) override;
    QImage backgroundPicture() override;
    void waitMs(int ms) override;
    bool closing() const override { return closing_; }
    void repaintField(const QRegion& region) override;
    // Brings what has changed since the last frame to the screen.
    void showFrame();
    // The frame timer: the animation steps that are due, then the frame.
    void frameDue();
    int frameInterval() const { return frameInterval_; }
    bool soundsOn() const override;
    void playSound(const QString& event) override;
    void showMessage(const QString& text) override { reportError(text); }
    void showNotice(int line) override;
    bool playerAway() const override;
    QString langText(int line) const override;

    QString SkinFileName = QStringLiteral("kestrum");
    QString ConfigFolder;  // empty: paths are relative to the working directory

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void helpKey(QWidget* window, const QString& topic);
    void loadWaveList();
    // Sizes the client area so that the window with its frame has the outer size; before
    // the game is first played, the field is built anew for it.
    void fitToFrame();
    QMargins measuredFrame() const;
    void placeInOuter(const QMargins& frame);
    void followScreen();
    void buildQuietly();
    void rebuildForNewSize();
    // Places the field and the side panel in the client area; true when the field picture
    // changed its size.
    bool layoutClientArea();
    // Where the compositor sizes the window (Wayland): the field follows its client area.
    void fitToClientArea();
    // Full screen on (the whole screen, no frame, no strip) or back to the work area; the
    // field is built for the new size and the game goes on.
    void applyFullScreen(bool on);
    // The pause key and Escape pause; the other keys of the set steer.
    void applyKeys();
    // The length box's tooltip tells the way to the exit, the level box's the open pack.
    void showLengthTip();
    void showLevelTip();
    void shutDown();
    // The hall of fame that was open when a game ended has closed: the score goes in now.
    void handOverWaitingScore();
    void enterWaitingScores();
    // The speed marks follow the interval: its preset, or "more...".
    void markSpeed(int interval);
    void applyLanguageToWindows();
    // A member that exists once the dialogs are made (they are made after the first frame).
    template <typename T>
    T& made(T MainWindow::*member)
    {
        createWindows();
        return this->*member;
    }
    void choosePreset(int ms);
    // Reports a refused write; the setting keeps its new value for the run.
    void written(bool ok, const QString& error);
    QString skinsFolder() const { return ConfigFolder + QStringLiteral("Skins/"); }

    Configuration config_;
    FameState fame_;
    ClockRandom random_;
    FieldCanvas* canvas_ = nullptr;
    Game game_;
    QTimer gameTimer_, sequenceTimer_;
    FieldView* field_ = nullptr;
    SidePanel* panel_ = nullptr;
    QHash<QString, QAction*> actions_;
    WarningPopup* warning_ = nullptr;
    AboutBox* aboutBox_ = nullptr;
    PlayerNameDialog* playerNameDialog_ = nullptr;
    HallOfFameDialog* hallOfFameDialog_ = nullptr;
    SpeedDialog* speedDialog_ = nullptr;
    FieldSetupDialog* fieldSetupDialog_ = nullptr;
    AddSkinDialog* addSkinDialog_ = nullptr;
    KeysDialog* keysDialog_ = nullptr;
    VolumeDialog* volumeDialog_ = nullptr;
    KeyBindings keys_;
    ExitProgress exitProgress_;
    bool fullScreen_ = false;
    QMargins frameBeforeFullScreen_;
    bool awaitingFrame_ = false;
    QTimer resizeTimer_;  // a size the window manager gives, once it has settled
    QTimer placementCheck_;
    bool placementSeen_ = false;  // the window has been found where it was put, or not
    int misplaced_ = 0;
    Gamepads gamepads_;
    LanguageTexts LangText;
    QtTranslation qtTranslation_;
    SoundEffects soundEffects_;
    QSet<QString> missingWaves_;  // reported once each
    bool waveListLoaded_ = false;
    bool waveListTried_ = false;
    MusicDevice musicDevice_;
    ThemePlayer themes_;
    DeviceOpener deviceOpener_;  // after the music: it goes first, its callbacks with it
    bool foreground_ = false;
    HelpWindow* helpWindow_ = nullptr;
    QPointer<QEventLoop> waitLoop_;
    std::function<void(const QString&)> messageSink_;
    QImage lastGoodStrip_;
    QImage lastGoodBackground_;
    bool backgroundReported_ = false;
    bool shown_ = false;
    QRect outer_;  // the window's place with its frame, in logical pixels
    bool sizedByCompositor_ = false;
    QMargins appliedFrame_;
    QTimer screenTimer_;
    bool quiet_ = false;  // sounds are not requested while set
    // Frames: at most one a display refresh.
    QRegion pendingFrame_;
    QTimer frameTimer_;
    QElapsedTimer lastFrame_;
    int frameInterval_ = 16;
    bool inFrame_ = false;
    // Cell animations: a step every 10 ms of animationClock_, taken at the frames.
    static constexpr int kAnimationStepMs = 10;
    bool animating_ = false;
    QElapsedTimer animationClock_;
    qint64 animationSteps_ = 0;
    bool closing_ = false;
    int clickedTag_ = 0;
    std::vector<std::pair<int, bool>> waitingScores_;  // (score, game over)
};

}  // namespace kestrum
