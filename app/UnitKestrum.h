// UnitKestrum: the main window TFormKestrum. It owns the game, its three timers, the
// field picture on screen, the side panel and the menus, and is the core's GameHost.
#pragma once

#include "core/Game.h"
#include "core/GameHost.h"
#include "core/Random.h"
#include "settings/Configuration.h"
#include "settings/Fame.h"
#include "settings/Language.h"
#include "sound/Music.h"
#include "sound/Sound.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class QAction;
class QEventLoop;

namespace kestrum {

class SidePanel;
class X11FieldOutput;
class TFormMesWarn;
class TAboutBox;
class HelpWindow;
class TFormVel;
class TFormSet;
class TFormAdd;

// ImagePole: shows the persistent field picture; repaints only what it is asked to.
class FieldView : public QWidget {
    Q_OBJECT
public:
    FieldView(QWidget* parent, const QImage& image);
    ~FieldView() override;
    std::function<void(QKeyEvent*)> onKey;
    // Called once, when the field has been painted for the first time.
    std::function<void()> onFirstPaint;

    // On X11, once the field has been shown, it takes a window of its own that its cells
    // are put into directly (see X11FieldOutput); elsewhere Qt paints it as before.
    void takeOwnWindow();
    QPaintEngine* paintEngine() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }  // Tab is a game key too

private:
    const QImage& image_;
    bool painted_ = false;
    bool direct_ = false;
    std::unique_ptr<X11FieldOutput> output_;
};

class TFormKestrum : public QMainWindow, public GameHost {
    Q_OBJECT
public:
    // Messages for the player go to messageSink when one is given (the tests record
    // them), else to a warning box.
    explicit TFormKestrum(QWidget* parent = nullptr,
                          std::function<void(const QString&)> messageSink = {});
    ~TFormKestrum() override;

    Game& game() { return game_; }
    QAction* action(const QString& name) const { return actions_.value(name); }
    SidePanel* panel() const { return Panel1; }
    FieldView* fieldView() const { return ImagePole; }
    QTimer& timer1() { return Timer1; }
    QTimer& timer2() { return Timer2; }
    // True while cell animations run (their steps are taken at the frames).
    bool animating() const { return animating_; }
    HelpWindow* helpWindow() { return made(&TFormKestrum::helpWindow_); }
    Configuration& config() { return config_; }
    // The hall of fame's table is read as its window is made.
    FameState& fame() { return made(&TFormKestrum::fame_); }
    TFormFame* formFame() { return made(&TFormKestrum::FormFame); }
    TFormName* formName() { return made(&TFormKestrum::FormName); }
    TFormVel* formVel() { return made(&TFormKestrum::FormVel); }
    TFormSet* formSet() { return made(&TFormKestrum::FormSet); }
    TFormAdd* formAdd() { return made(&TFormKestrum::FormAdd); }
    const LanguageTexts& texts() const { return LangText; }
    DXWaveList& waveList() { return DXWaveList_; }
    ThemePlayer& themes() { return themes_; }
    // The application came to (true) or left (false) the foreground.
    void foregroundChanged(bool active);

    // Language: loads the file LangFileName names (or its fallback) into LangText;
    // returns false after reporting a file that cannot be read.
    bool LoadLanguage();
    // Copies LangText onto every window.
    void ApplyLanguage();
    // What Lang1Click does once a file has been chosen.
    void chooseLanguage(const QString& path);

    void reportError(const QString& text);

    // Handlers, named after their component and event.
    void FormShow();
    void FormKeyDown(uint16_t key);
    void Timer1Timer();
    void Timer2Timer();
    void TimerAnimatorTimer();
    void N9Click();
    void N10Click();
    void N2Click();
    void N3Click();
    void Vel1Click();
    void Vel2Click();
    void Vel3Click();
    void VelMoreClick();
    void N101Click();
    void NLevelOpenClick();
    void MSetPoleClick();
    void Lang1Click();
    void NsndClick();
    void NMusicClick();
    void N15Click();
    void N6Click();
    void LScoreDblClick();
    void LHeadClick();
    void LLongClick();

    // Loads the skin named by SkinFileName and rebuilds the field; a skin that cannot
    // serve is reported and the last good one (or the built-in one) is used.
    void BuildField();
    // Makes the dialogs, once; the window does it after its first frame.
    void createWindows();

    // GameHost
    void startTimer1() override { Timer1.start(); }
    void stopTimer1() override { Timer1.stop(); }
    bool timer1Running() const override { return Timer1.isActive(); }
    int timer1Interval() const override { return Timer1.interval(); }
    void startTimer2() override { Timer2.start(); }
    void stopTimer2() override { Timer2.stop(); }
    bool timer2Running() const override { return Timer2.isActive(); }
    void setAnimatorRunning(bool running) override;
    void setLabel(PanelLabel label, const QString& text) override;
    void setMushroomIndicator(bool visible) override;
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
    QString langText(int line) const override;

    QString SkinFileName = QStringLiteral("kestrum");
    QString ConfigFolder;  // empty: paths are relative to the working directory
    QString LevelPackFolder;  // where the level pack dialog opens

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void loadWaveList();
    // Sizes the client area so that the window with its frame has the outer size; before
    // the game is first played, the field is built anew for it.
    void fitToFrame();
    // Places the field and the side panel in the client area; true when the field picture
    // changed its size.
    bool layoutClientArea();
    void FormClose();
    // The speed marks follow the interval: its preset, or "more...".
    void markSpeed(int interval);
    void applyLanguageToWindows();
    // A member that exists once the dialogs are made (they are made after the first frame).
    template <typename T>
    T& made(T TFormKestrum::*member)
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
    QTimer Timer1, Timer2;
    FieldView* ImagePole = nullptr;
    SidePanel* Panel1 = nullptr;
    QHash<QString, QAction*> actions_;
    TFormMesWarn* FormMesWarn = nullptr;
    TAboutBox* AboutBox = nullptr;
    TFormName* FormName = nullptr;
    TFormFame* FormFame = nullptr;
    TFormVel* FormVel = nullptr;
    TFormSet* FormSet = nullptr;
    TFormAdd* FormAdd = nullptr;
    LanguageTexts LangText;
    DXWaveList DXWaveList_;
    QSet<QString> missingWaves_;  // reported once each
    bool waveListLoaded_ = false;
    bool waveListTried_ = false;
    MciDevice mci_;
    ThemePlayer themes_;
    bool foreground_ = false;
    HelpWindow* helpWindow_ = nullptr;
    QPointer<QEventLoop> waitLoop_;
    std::function<void(const QString&)> messageSink_;
    QImage lastGoodStrip_;
    QImage lastGoodBackground_;
    bool backgroundReported_ = false;
    bool shown_ = false;
    QSize outerSize_;
    QMargins appliedFrame_;
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
};

}  // namespace kestrum
