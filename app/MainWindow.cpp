#include "MainWindow.h"

#include "AboutBox.h"
#include "HelpWindow.h"
#include "KeysDialog.h"
#include "VolumeDialog.h"
#include "KeyMap.h"
#include "MenuTable.h"
#include "SidePanel.h"
#include "WindowArea.h"
#include "X11Desktop.h"
#include "files/RegularFile.h"
#include "app/WarningPopup.h"
#include "render/FieldSetupDialog.h"
#include "settings/SpeedDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <utility>
#include <QShortcut>
#include <QWindow>

#include <algorithm>

namespace kestrum {

// ---------------------------------------------------------------------------------------
// Menu pictures, 16 x 16, painted here so that every look is our own.

namespace {

QIcon menuIcon(const QString& name)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const auto pen = [&](QColor c, qreal w = 1.6) {
        p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    };
    if (name == QLatin1String("newGame")) {  // New: a fresh apple
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 40, 40));
        p.drawEllipse(QPointF(8, 9.5), 5.5, 5);
        p.setBrush(QColor(80, 190, 70));
        p.drawEllipse(QPointF(10.5, 3.5), 2.5, 1.5);
    } else if (name == QLatin1String("pause")) {  // Pause
        p.fillRect(QRectF(4, 3, 3, 10), QColor(60, 120, 220));
        p.fillRect(QRectF(9, 3, 3, 10), QColor(60, 120, 220));
    } else if (name == QLatin1String("hallOfFame")) {  // Hall of fame: a cup
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(235, 190, 40));
        QPainterPath cup;
        cup.moveTo(3, 2);
        cup.lineTo(13, 2);
        cup.cubicTo(13, 9, 10, 10, 8, 10);
        cup.cubicTo(6, 10, 3, 9, 3, 2);
        p.drawPath(cup);
        p.drawRect(QRectF(7, 10, 2, 3));
        p.drawRect(QRectF(4.5, 13, 7, 2));
    } else if (name == QLatin1String("exit")) {  // Exit
        pen(QColor(210, 50, 50), 2.2);
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    } else if (name == QLatin1String("speedMenu")) {  // Speed: a gauge
        pen(QColor(60, 60, 60));
        p.drawArc(QRectF(2, 3, 12, 12), 0, 180 * 16);
        pen(QColor(210, 50, 50), 2);
        p.drawLine(QPointF(8, 9), QPointF(12, 5));
    } else if (name == QLatin1String("levelMenu")) {  // Level: stairs
        pen(QColor(120, 80, 40), 2);
        QPainterPath stairs;
        stairs.moveTo(2, 14);
        stairs.lineTo(6, 14);
        stairs.lineTo(6, 10);
        stairs.lineTo(10, 10);
        stairs.lineTo(10, 6);
        stairs.lineTo(14, 6);
        stairs.lineTo(14, 2);
        p.drawPath(stairs);
    } else if (name == QLatin1String("nextLevel")) {  // Next level: an arrow
        pen(QColor(40, 150, 60), 2.2);
        p.drawLine(QPointF(2, 8), QPointF(13, 8));
        p.drawLine(QPointF(9, 4), QPointF(13, 8));
        p.drawLine(QPointF(9, 12), QPointF(13, 8));
    } else if (name == QLatin1String("fieldSetup")) {  // Field setup: a little field
        p.fillRect(QRectF(2, 2, 12, 12), QColor(50, 90, 40));
        pen(QColor(160, 150, 120), 1);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.fillRect(QRectF(5, 7, 6, 2), QColor(140, 230, 100));
    } else if (name == QLatin1String("selectLanguage")) {  // Language: a globe
        pen(QColor(40, 110, 200), 1.3);
        p.drawEllipse(QPointF(8, 8), 6, 6);
        p.drawEllipse(QPointF(8, 8), 2.5, 6);
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
    } else if (name == QLatin1String("keys")) {  // Keys: a key cap with an arrow
        pen(QColor(90, 90, 90), 1.2);
        p.setBrush(QColor(240, 240, 240));
        p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 2.5, 2.5);
        pen(QColor(40, 110, 200), 1.6);
        p.drawLine(QPointF(8, 11), QPointF(8, 5));
        p.drawLine(QPointF(5.5, 7.5), QPointF(8, 5));
        p.drawLine(QPointF(10.5, 7.5), QPointF(8, 5));
    } else if (name == QLatin1String("volume")) {  // Volume: a loudspeaker
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 70, 70));
        QPainterPath speaker;
        speaker.moveTo(2, 6);
        speaker.lineTo(5, 6);
        speaker.lineTo(9, 2.5);
        speaker.lineTo(9, 13.5);
        speaker.lineTo(5, 10);
        speaker.lineTo(2, 10);
        speaker.closeSubpath();
        p.drawPath(speaker);
        pen(QColor(40, 110, 200), 1.3);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7, 4.5, 5, 7), -60 * 16, 120 * 16);
        p.drawArc(QRectF(6.5, 2, 8.5, 12), -60 * 16, 120 * 16);
    } else if (name == QLatin1String("about")) {  // About: an "i"
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 110, 200));
        p.drawEllipse(QPointF(8, 8), 7, 7);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 4.5), 1.3, 1.3);
        p.drawRect(QRectF(7, 7, 2, 5.5));
    } else {
        return {};
    }
    return QIcon(QPixmap::fromImage(img));
}

// A file-open dialog; a name typed without an extension gets the suffix.
QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder,
                         const QString& filter, const QString& suffix)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

// The picture dialog: skins may have no extension (as the shipped ones have none), so a
// name is taken as it stands when such a file exists, else with ".bmp".
QString choosePicture(QWidget* parent, const QString& title, const QString& folder)
{
    QFileDialog dialog(parent, title, folder,
                       QStringLiteral("All files (*);;Bitmaps (*.bmp)"));
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (QFileInfo(chosen).isFile() || !QFileInfo(chosen).suffix().isEmpty())
        return chosen;
    return QFileInfo::exists(chosen + QStringLiteral(".bmp")) ? chosen + QStringLiteral(".bmp") : chosen;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Creation

MainWindow::MainWindow(QWidget* parent, std::function<void(const QString&)> messageSink)
    : QMainWindow(parent),
      config_(Configuration::locate()),
      game_(*this, random_),
      themes_([this](const QString& command) { return musicDevice_.send(command); }, random_,
              [this] { return action(QStringLiteral("music"))->isChecked(); }),
      messageSink_(std::move(messageSink))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Kestrum"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);

    // The window, its frame included, covers the primary screen's work area. The frame is
    // not known before a window manager has framed the window, so the client area takes
    // the whole size until then (see fitToFrame).
    outer_ = windowArea(QGuiApplication::primaryScreen());
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // No Wayland compositor lets a client place itself or says where its panels are:
        // the window asks to be maximized, the compositor gives it the work area, and the
        // field is built for the client area left inside Qt's own title bar.
        sizedByCompositor_ = true;
        resize(outer_.size());
        setWindowState(Qt::WindowMaximized);
    } else {
        move(outer_.topLeft());
        setFixedSize(outer_.size());
    }
    // Some window managers (weston's for X11 programs) place a new window where they like
    // and draw a frame they do not report: once the window has settled, a window that is
    // not where it was put asks to be maximized, and the field follows its client area.
    placementCheck_.setSingleShot(true);
    placementCheck_.setInterval(400);
    connect(&placementCheck_, &QTimer::timeout, this, [this] {
        if (placementSeen_ || sizedByCompositor_ || fullScreen_ || closing_)
            return;
        const qreal ratio = devicePixelRatioF();
        const QMargins frame = measuredFrame();
        const QPoint wanted(static_cast<int>(outer_.x() * ratio) + frame.left(),
                            static_cast<int>(outer_.y() * ratio) + frame.top());
        const QPoint client = x11ClientPosition(internalWinId()).value_or(wanted);
        if ((client - wanted).manhattanLength() <= 2) {
            placementSeen_ = true;
            return;
        }
        // A busy window manager may only have been late: the window is put once more.
        if (++misplaced_ < 2) {
            placeInOuter(frame);
            placementCheck_.start();
            return;
        }
        placementSeen_ = true;
        sizedByCompositor_ = true;
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setWindowState(Qt::WindowMaximized);
    });
    resizeTimer_.setSingleShot(true);
    resizeTimer_.setInterval(50);
    connect(&resizeTimer_, &QTimer::timeout, this, [this] {
        if (fullScreen_ && layoutClientArea())
            rebuildForNewSize();
    });

    // Settings: "Kestrum.ini" of the working directory, else the per-user one.
    ConfigFolder = config_.ConfigFolder();
    config_.readLanguage();
    if (!config_.problem().isEmpty())
        reportError(config_.problem());
    if (!QFileInfo(config_.LangFileName).isFile())
        config_.LangFileName = QStringLiteral("English.lng");
    // A first start speaks the user's language where a file for it ships, and keeps it as
    // a choice from the menu would be kept.
    const QString own = QLocale().language() == QLocale::Russian ? QStringLiteral("Russian.lng")
                                                                 : QStringLiteral("English.lng");
    const bool firstChoice = !config_.LanguageChosen && QFileInfo(own).isFile();
    if (firstChoice)
        config_.LangFileName = own;
    // On failure the built-in English texts stay and start-up goes on.
    // (A file that refuses it is reported once, by the sound switch's write below.)
    if (LoadLanguage() && firstChoice)
        config_.writeLanguage(own, nullptr);
    config_.readSkins();
    SkinFileName = config_.FileCells;
    config_.readSwitches();
    keys_ = KeyBindings::fromNames(config_.KeyNames);
    game_.setQuickTurns(config_.QuickTurns);
    soundEffects_.setVolume(config_.EffectsVolume);
    musicDevice_.setVolume(config_.MusicVolume);

    canvas_ = &game_.canvas();
    auto* central = new QWidget(this);
    central->setAutoFillBackground(true);
    central->setPalette(pal);
    setCentralWidget(central);
    field_ = new FieldView(central, canvas_->image());
    field_->onKey = [this](QKeyEvent* e) {
        // A modifier alone is no key for the game: Ctrl on its way to Ctrl+L must not start
        // the snake behind the dialog the shortcut opens.
        if (!isBareModifier(e->key()))
            keyDown(keys_.gameKey(e->key()));
    };
    panel_ = new SidePanel(central);
    createActions();

    gameTimer_.setObjectName(QStringLiteral("gameTimer"));
    gameTimer_.setTimerType(Qt::PreciseTimer);
    gameTimer_.setInterval(config_.Speed);
    sequenceTimer_.setObjectName(QStringLiteral("sequenceTimer"));
    sequenceTimer_.setTimerType(Qt::PreciseTimer);
    sequenceTimer_.setInterval(50);
    connect(&gameTimer_, &QTimer::timeout, this, &MainWindow::tick);
    connect(&sequenceTimer_, &QTimer::timeout, this, &MainWindow::sequenceStep);
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &MainWindow::frameDue);
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->refreshRate() >= 20)
        frameInterval_ = static_cast<int>(1000.0 / screen->refreshRate());

    action(QStringLiteral("sounds"))->setChecked(config_.Sounds);
    action(QStringLiteral("music"))->setChecked(config_.Music);
    action(QStringLiteral("quickTurns"))->setChecked(config_.QuickTurns);
    applyKeys();
    markSpeed(gameTimer_.interval());
    if (config_.FullScreen)
        applyFullScreen(true);

    connect(panel_->scoreLabel, &ClickLabel::doubleClicked, this, &MainWindow::scoreDoubleClicked);
    connect(panel_->livesLabel, &ClickLabel::clicked, this, &MainWindow::nextLevel);
    connect(panel_->eatenLabel, &ClickLabel::clicked, this, &MainWindow::previousLevel);

    // The wave list is read now when the sound is on ("Start" is about to play), else
    // after the first frame.
    if (config_.Sounds)
        loadWaveList();
    // The sound switch is applied once, the device opened at once: "Start" is about to play.
    switchSounds(false);

    // The music follows the application in and out of the foreground.
    connect(&musicDevice_, &MusicDevice::notify, this, [this] {
        // Held across the change of theme, the device is not let go and opened again.
        const bool held = musicDevice_.isOpen() && AudioDevice::acquire();
        themes_.onNotify();
        if (held)
            AudioDevice::release();
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { foregroundChanged(state == Qt::ApplicationActive); });

    // What the first frame does not show waits until it is on the screen: the dialogs
    // (nobody can open one sooner), the window's and the menus' pictures and the wave list
    // of a silent game.
    field_->onFirstPaint = [this] {
        QTimer::singleShot(0, this, [this] {
            field_->takeOwnWindow();
            setWindowIcon(QIcon(QStringLiteral(":/kestrum.png")));
            for (QAction* a : std::as_const(actions_))
                a->setIcon(menuIcon(a->objectName()));
            loadWaveList();
            createWindows();
            // Pads are looked for once the window is up: the library costs the start nothing.
            gamepads_.start();
        });
    };
    connect(&gamepads_, &Gamepads::pressed, this, &MainWindow::padPressed);
}

// Once a run; without the list the game goes on silent, and the switch still works.
void MainWindow::loadWaveList()
{
    if (waveListTried_)
        return;
    waveListTried_ = true;
    QString waveError;
    waveListLoaded_ = soundEffects_.load(QStringLiteral("Sounds.dxw"), &waveError);
    if (!waveListLoaded_)
        reportError(waveError);
}

// The other windows, in their order; the hall of fame reads its table as it is made.
// Everything that opens one calls this first.
void MainWindow::createWindows()
{
    if (speedDialog_)
        return;
    aboutBox_ = new AboutBox(this);
    FieldSetupServices setPole;
    setPole.text = [this](int line) { return langText(line); };
    setPole.ask = [this](const QString& question) {
        return QMessageBox::question(fieldSetupDialog_, QStringLiteral("Kestrum"), question,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    setPole.report = [this](const QString& message) { reportError(message); };
    setPole.chooseFile = [this](const QString& title) {
        return choosePicture(addSkinDialog_, title, skinsFolder());
    };
    setPole.skinsFolder = [this] { return skinsFolder(); };
    fieldSetupDialog_ = new FieldSetupDialog(config_, setPole, this);
    addSkinDialog_ = fieldSetupDialog_->addDialog();
    playerNameDialog_ = new PlayerNameDialog(fame_, this);
    HallOfFameServices services;
    services.sound = [this](const QString& event) {
        if (soundsOn())
            playSound(event);
    };
    services.text = [this](int line) { return langText(line); };
    services.confirm = [this](const QString& question) {
        return QMessageBox::question(hallOfFameDialog_, QStringLiteral("Confirm"), question,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    services.report = [this](const QString& message) { reportError(message); };
    hallOfFameDialog_ = new HallOfFameDialog(fame_, config_.file(), std::move(services), this);
    connect(hallOfFameDialog_, &QDialog::finished, this, [this] {
        if (!waitingScores_.empty())
            QTimer::singleShot(0, this, &MainWindow::handOverWaitingScore);
    });
    warning_ = new WarningPopup(this);
    speedDialog_ = new SpeedDialog(this);
    helpWindow_ = new HelpWindow(this);
    helpKey(playerNameDialog_, QStringLiteral("fame"));
    helpKey(hallOfFameDialog_, QStringLiteral("fame"));
    helpKey(speedDialog_, QStringLiteral("speed"));
    helpKey(fieldSetupDialog_, QStringLiteral("skins"));
    helpKey(addSkinDialog_, QStringLiteral("skins"));
    keysDialog_ = new KeysDialog(this, [this](int line) { return langText(line); },
                                 [this](const QString& message) { reportError(message); });
    VolumeDialog::Services volume;
    volume.text = [this](int line) { return langText(line); };
    volume.effects = [this](int percent, bool hear) {
        soundEffects_.setVolume(percent);
        if (hear && soundsOn())
            playSound(QStringLiteral("EatApple"));
    };
    volume.music = [this](int percent) { musicDevice_.setVolume(percent); };
    volumeDialog_ = new VolumeDialog(this, std::move(volume));
    helpKey(keysDialog_, QStringLiteral("keys"));
    helpKey(volumeDialog_, QStringLiteral("keys"));
    applyLanguageToWindows();
}

void MainWindow::written(bool ok, const QString& error)
{
    if (!ok)
        reportError(error);
}

void MainWindow::markSpeed(int interval)
{
    for (const char* name : {"slowSpeed", "normalSpeed", "fastSpeed"})
        action(QLatin1String(name))->setChecked(false);
    action(QStringLiteral("customSpeed"))->setChecked(true);
    const std::pair<int, const char*> presets[] = {{150, "slowSpeed"}, {100, "normalSpeed"}, {50, "fastSpeed"}};
    for (const auto& [ms, name] : presets)
        if (interval == ms) {
            action(QLatin1String(name))->setChecked(true);
            action(QStringLiteral("customSpeed"))->setChecked(false);
        }
}

MainWindow::~MainWindow() = default;

void MainWindow::createActions()
{
    menuBar()->installEventFilter(this);
    QHash<QString, QMenu*> menus;
    for (const MenuEntry& entry : menuTable()) {
        QMenu* parent = entry.parent ? menus.value(QLatin1String(entry.parent)) : nullptr;
        if (!entry.name) {
            if (parent)
                parent->addSeparator();
            continue;
        }
        const QString name = QLatin1String(entry.name);
        const QString caption = QString::fromUtf8(entry.caption);
        if (!entry.handler) {
            QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
            menu->setObjectName(name);
            if (!parent) {
                connect(menu, &QMenu::aboutToShow, this, [this] { playerLeft(); });
                connect(menu, &QMenu::aboutToHide, this, &MainWindow::giveKeysBackAfterMenu);
            }
            menu->menuAction()->setObjectName(name);
            menus.insert(name, menu);
            actions_.insert(name, menu->menuAction());
            continue;
        }
        QAction* a = parent->addAction(caption);
        a->setObjectName(name);
        a->setIconVisibleInMenu(true);
        QList<QKeySequence> shortcuts;
        for (const QKeyCombination key : {entry.shortcut, entry.secondShortcut})
            if (key != QKeyCombination())
                shortcuts << QKeySequence(key);
        a->setShortcuts(shortcuts);
        a->setCheckable(entry.checkable);
        a->setChecked(entry.checked);
        a->setData(entry.tag);
        const MenuEntry::Handler handler = entry.handler;
        connect(a, &QAction::triggered, this, [this, a, handler] {
            // The handlers keep the check marks themselves, as their rules say.
            if (a->isCheckable())
                a->setChecked(!a->isChecked());
            clickedTag_ = a->data().toInt();
            (this->*handler)();
        });
        actions_.insert(name, a);
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        firstShow();
    }
}

bool MainWindow::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    // A window manager reports its frame with the move that follows its framing, before
    // the window is first drawn.
    if (event->type() == QEvent::Move && shown_ && !sizedByCompositor_ && !fullScreen_) {
        fitToFrame();
        if (!placementSeen_)
            placementCheck_.start();
    }
    if (event->type() == QEvent::Resize && shown_ && fullScreen_ && !sizedByCompositor_)
        resizeTimer_.start();
    // The compositor's size for the maximized window, whenever it gives one.
    if (event->type() == QEvent::Resize && shown_ && sizedByCompositor_)
        fitToClientArea();
    // A dialog of the game or another program has the keyboard now.
    if (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::WindowBlocked)
        playerLeft();
    return handled;
}

void MainWindow::fitToClientArea()
{
    if (!layoutClientArea())
        return;
    // A game already played (the output changed its size under the maximized window) goes
    // on with its score, lives and level on the new field, as on X11.
    const bool played = game_.state().TickCount > 0 || !game_.state().ResumeOnKey;
    if (played)
        rebuildForNewSize();
    else
        buildQuietly();
}

// The build again for a new size; its start-up sounds have just been heard.
void MainWindow::buildQuietly()
{
    quiet_ = true;
    BuildField();
    quiet_ = false;
}

// A field of a new size under a running game: it goes on with its score, lives, apples
// and level, its attempt waiting for a key, as after a new skin.
void MainWindow::rebuildForNewSize()
{
    playerLeft();
    game_.FreeCellPictures();
    quiet_ = true;
    BuildField(true);
    quiet_ = false;
}

void MainWindow::fitToFrame()
{
    if (fullScreen_)
        return;
    const QMargins frame = measuredFrame();
    // Once the game has been played the field stays, unless the window has come back from
    // full screen to a frame it never had: then the game goes on on the new field.
    const bool played = game_.state().TickCount > 0 || !game_.state().ResumeOnKey;
    if (frame == appliedFrame_ || (played && !awaitingFrame_))
        return;
    // Back from full screen the game keeps its score even before its attempt's first key.
    const bool keepGame = played || awaitingFrame_;
    awaitingFrame_ = false;
    placeInOuter(frame);
    if (!layoutClientArea())
        return;
    if (keepGame)
        rebuildForNewSize();
    else
        buildQuietly();
}

// The frame in device pixels: on a scaled screen Qt's own figure is rounded to logical
// pixels, and the window would stand a pixel off the screen or short of its edge.
QMargins MainWindow::measuredFrame() const
{
    const QMargins logical = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    return x11FrameExtents(internalWinId()).value_or(logical * devicePixelRatioF());
}

// Sizes the client so that the window with its frame covers outer_.
void MainWindow::placeInOuter(const QMargins& frame)
{
    const qreal ratio = devicePixelRatioF();
    appliedFrame_ = frame;
    const auto fit = [ratio](int outer, int frameDevice) {
        return static_cast<int>((outer * ratio - frameDevice) / ratio + 1e-9);
    };
    setFixedSize(fit(outer_.width(), frame.left() + frame.right()),
                 fit(outer_.height(), frame.top() + frame.bottom()));
    // Qt places the client by the frame the window manager reports, or in logical pixels:
    // on X11 the game places it by the frame it measured.
    if (x11FrameExtents(internalWinId()))
        x11PlaceClient(internalWinId(), static_cast<int>(outer_.x() * ratio) + frame.left(),
                       static_cast<int>(outer_.y() * ratio) + frame.top());
    else
        move(outer_.topLeft());
}

// The screen changed size, or the window was moved to another when its own went: it
// covers the new work area as at start-up.
void MainWindow::followScreen()
{
    if (sizedByCompositor_ || fullScreen_ || closing_ || !shown_ || !windowHandle() || !windowHandle()->screen())
        return;
    fitToArea(windowArea(windowHandle()->screen()));
}

void MainWindow::fitToArea(const QRect& area)
{
    if (area == outer_ || area.isEmpty())
        return;
    outer_ = area;
    placeInOuter(measuredFrame());
    if (layoutClientArea())
        rebuildForNewSize();
}

bool MainWindow::layoutClientArea()
{
    // The client area below the menu bar: the field on the left, the panel on the right.
    const int clientHeight = height() - menuBar()->sizeHint().height();
    centralWidget()->setGeometry(0, menuBar()->sizeHint().height(), width(), clientHeight);
    panel_->setGeometry(width() - SidePanel::kWidth, 0, SidePanel::kWidth, clientHeight);
    field_->setGeometry(0, 0, width() - SidePanel::kWidth, clientHeight);
    if (canvas_->width() == field_->width() && canvas_->height() == field_->height())
        return false;
    canvas_->resize(field_->width(), field_->height());
    return true;
}

// A menu closed with Escape leaves the menu bar holding the keyboard, and the next arrow
// would open a menu instead of steering: once no menu is open any more, the field takes
// the keys back.
void MainWindow::giveKeysBackAfterMenu()
{
    QTimer::singleShot(0, this, [this] {
        if (!QApplication::activePopupWidget() && menuBar()->hasFocus())
            field_->setFocus(Qt::OtherFocusReason);
    });
}

// The menu bar may take the keyboard after that look (the order of its own events decides),
// and a menu bar holding it with no menu open takes the arrows too: they go to the field.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == menuBar() && event->type() == QEvent::KeyPress && !QApplication::activePopupWidget()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (keys_.steers(key)) {
            field_->setFocus(Qt::OtherFocusReason);
            QCoreApplication::sendEvent(field_, event);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::firstShow()
{
    // A screen that changes its size, or goes, takes the window along.
    const auto watchScreen = [this](QScreen* screen) {
        if (screen)
            connect(screen, &QScreen::availableGeometryChanged, &screenTimer_, qOverload<>(&QTimer::start),
                    Qt::UniqueConnection);
        screenTimer_.start();
    };
    screenTimer_.setSingleShot(true);
    screenTimer_.setInterval(100);  // the several signals of one change come as one
    connect(&screenTimer_, &QTimer::timeout, this, &MainWindow::followScreen);
    if (windowHandle()) {
        connect(windowHandle(), &QWindow::screenChanged, this, watchScreen);
        if (QScreen* screen = windowHandle()->screen())
            connect(screen, &QScreen::availableGeometryChanged, &screenTimer_, qOverload<>(&QTimer::start));
    }
    if (soundsOn())
        playSound(QStringLiteral("Start"));
    ApplyLanguage();
    if (!sizedByCompositor_) {
        fitToFrame();
        placementCheck_.start();
    }
    layoutClientArea();
    BuildField();
    field_->setFocus();
    // The game is played from the keyboard: take the focus (also where no window manager
    // hands it over).
    activateWindow();
    // Another program that destroys the window ends the game as Exit would.
    x11WatchDestruction(internalWinId(), [this] {
        endSession();
        QCoreApplication::exit(0);
    });
}

void MainWindow::BuildField(bool keepScore)
{
    const QString path = skinsFolder() + SkinFileName;
    QString problem;
    QImage strip = loadBitmap(path, &problem);
    if (problem.isEmpty())
        problem = skinProblem(strip, canvas_->height(), QFileInfo(path).absoluteFilePath());
    if (!problem.isEmpty()) {
        // The quiet rebuild for the real client size has just been preceded by the same
        // report: the player hears of a skin once.
        if (!quiet_)
            reportError(problem);
        strip = !lastGoodStrip_.isNull() ? lastGoodStrip_
                                         : QImage(QStringLiteral(":/Skins/kestrum"), "BMP");
    }
    lastGoodStrip_ = strip;
    game_.BuildField(strip, keepScore);
    field_->update();
}

void MainWindow::reportError(const QString& text)
{
    if (messageSink_)
        messageSink_(text);
    else
        QMessageBox::warning(this, QStringLiteral("Kestrum"), text);
}

// ---------------------------------------------------------------------------------------
// Closing

void MainWindow::closeEvent(QCloseEvent* event)
{
    shutDown();
    event->accept();
}

void MainWindow::shutDown()
{
    closing_ = true;
    gameTimer_.stop();
    sequenceTimer_.stop();
    animating_ = false;
    frameTimer_.stop();
    game_.state().ResumeOnKey = true;
    game_.FreeCellPictures();
    if (waitLoop_)
        waitLoop_->quit();
    enterWaitingScores();
    if (warning_ && warning_->isVisible())
        warning_->reject();
}

// ---------------------------------------------------------------------------------------
// Keys and timers

void MainWindow::keyDown(uint16_t key)
{
    if (closing_)
        return;
    game_.keyDown(key);
    game_.flush();
}

void MainWindow::padPressed(Gamepads::Press press)
{
    if (closing_ || !isActiveWindow() || QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    switch (press) {
    case Gamepads::Press::Up: keyDown(38); break;
    case Gamepads::Press::Down: keyDown(40); break;
    case Gamepads::Press::Left: keyDown(37); break;
    case Gamepads::Press::Right: keyDown(39); break;
    case Gamepads::Press::Start: action(QStringLiteral("pause"))->trigger(); break;
    case Gamepads::Press::South: keyDown(0); break;  // a key like any other: it starts a waiting snake
    }
}

void MainWindow::tick() { game_.tick(); }
void MainWindow::sequenceStep() { game_.sequenceStep(); }
// The cell animations take a step every 10 ms of the clock. The steps are taken at the
// frames, as many as are due: a display shows no more of them than that, and the process
// wakes once a frame instead of once a step and once more for the frame.
void MainWindow::animationStep()
{
    const qint64 due = animationClock_.elapsed() / kAnimationStepMs - animationSteps_;
    // After a long stall (a modal wait) the animations go on, they do not race.
    const qint64 steps = std::clamp<qint64>(due, 0, 3);
    animationSteps_ += due;
    for (qint64 i = 0; i < steps && animating_; ++i)
        game_.animationStep();
}

// ---------------------------------------------------------------------------------------
// Menu commands

void MainWindow::newGame() { game_.newGame(); }
void MainWindow::togglePause() { game_.togglePause(); }
void MainWindow::exitGame() { close(); }

void MainWindow::showHelp() { showHelpTopic(QStringLiteral("en")); }

// From a dialog the help comes over it, modal in its turn, so that it can be read and
// closed before the dialog is answered; from the game it stands beside it.
void MainWindow::showHelpTopic(const QString& topic)
{
    createWindows();
    const Qt::WindowModality modality = QApplication::activeModalWidget() && QApplication::activeModalWidget() != helpWindow_
                                            ? Qt::ApplicationModal
                                            : Qt::NonModal;
    if (helpWindow_->windowModality() != modality) {
        helpWindow_->hide();
        helpWindow_->setWindowModality(modality);
    }
    QString error;
    if (!helpWindow_->showTopic(QStringLiteral("Kestrum.hlp"), topic, &error))
        reportError(error);
}

// F1 in a window of the game opens the help at that window's topic.
void MainWindow::helpKey(QWidget* window, const QString& topic)
{
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this, [this, topic] { showHelpTopic(topic); });
}

void MainWindow::showAbout()
{
    createWindows();
    aboutBox_->exec();
}
void MainWindow::scoreDoubleClicked() { game_.scoreDoubleClicked(); }

void MainWindow::showHallOfFame()
{
    createWindows();
    hallOfFameDialog_->exec();
}

// Every speed change ends the running game: a game is always scored at one speed.
void MainWindow::choosePreset(int ms)
{
    markSpeed(ms);
    gameTimer_.setInterval(ms);
    QString error;
    written(config_.writeSpeed(ms, &error), error);
    game_.state().Lives = 1;
    game_.KillSnake();
}

void MainWindow::slowSpeed() { choosePreset(150); }
void MainWindow::normalSpeed() { choosePreset(100); }
void MainWindow::fastSpeed() { choosePreset(50); }

void MainWindow::customSpeed()
{
    createWindows();
    gameTimer_.stop();
    game_.state().ResumeOnKey = true;
    if (const auto ms = speedDialog_->choose(gameTimer_.interval())) {
        gameTimer_.setInterval(*ms);
        QString error;
        written(config_.writeSpeed(*ms, &error), error);
    }
    if (closing_)
        return;
    markSpeed(gameTimer_.interval());
    game_.state().Lives = 1;
    game_.KillSnake();
}

void MainWindow::toggleSounds()
{
    QAction* mark = action(QStringLiteral("sounds"));
    mark->setChecked(!mark->isChecked());
    switchSounds(true);
}

// Applies the sound switch: the wave list read, the device opened and the setting written.
// For a menu command the device is tried off the event thread, so that a missing one never
// holds up the window. No sound device: the switch turns itself off, silently.
void MainWindow::switchSounds(bool inBackground)
{
    QAction* mark = action(QStringLiteral("sounds"));
    const auto settle = [this, mark](bool on) {
        if (!on) {
            mark->setChecked(false);
            soundEffects_.closeDevice();
        }
        QString error;
        written(config_.writeSounds(on, &error), error);
    };
    if (!mark->isChecked()) {
        settle(false);
        return;
    }
    loadWaveList();
    if (soundEffects_.deviceOpen() || !inBackground) {
        settle(soundEffects_.openDevice());
        return;
    }
    deviceOpener_.open([this, mark, settle](bool held) {
        // Switched off meanwhile: that has been settled already.
        const bool on = mark->isChecked() && held && soundEffects_.openDevice();
        if (held)
            AudioDevice::release();
        if (mark->isChecked())
            settle(on);
    });
}

void MainWindow::toggleMusic()
{
    QAction* mark = action(QStringLiteral("music"));
    mark->setChecked(!mark->isChecked());
    QString error;
    written(config_.writeMusic(mark->isChecked(), &error), error);
    if (mark->isChecked()) {
        themes_.switchedOn();
        startMusic(false);
    } else {
        themes_.StopTheme();
        themes_.SkipNextNotify = true;
    }
}

void MainWindow::chooseKeys()
{
    createWindows();
    if (const auto chosen = keysDialog_->choose(keys_); chosen && !closing_ && !(*chosen == keys_)) {
        keys_ = *chosen;
        applyKeys();
        QString error;
        written(config_.writeKeys(keys_.names(), &error), error);
    }
}

void MainWindow::applyKeys()
{
    action(QStringLiteral("pause"))
        ->setShortcuts({QKeySequence(keys_.key(KeyBindings::Pause)), QKeySequence(Qt::Key_Escape)});
}

void MainWindow::chooseVolume()
{
    createWindows();
    if (const auto chosen = volumeDialog_->choose(soundEffects_.volume(), musicDevice_.volume());
        chosen && !closing_) {
        QString error;
        written(config_.writeVolumes(chosen->first, chosen->second, &error), error);
    }
}

void MainWindow::toggleQuickTurns()
{
    QAction* mark = action(QStringLiteral("quickTurns"));
    mark->setChecked(!mark->isChecked());
    game_.setQuickTurns(mark->isChecked());
    QString error;
    written(config_.writeQuickTurns(mark->isChecked(), &error), error);
}

void MainWindow::toggleFullScreen()
{
    QAction* mark = action(QStringLiteral("fullScreen"));
    mark->setChecked(!mark->isChecked());
    QString error;
    written(config_.writeFullScreen(mark->isChecked(), &error), error);
    applyFullScreen(mark->isChecked());
}

void MainWindow::applyFullScreen(bool on)
{
    action(QStringLiteral("fullScreen"))->setChecked(on);
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    if (sizedByCompositor_) {
        // The compositor sizes the window either way; fitToClientArea follows it.
        setWindowState(on ? Qt::WindowFullScreen : Qt::WindowMaximized);
        return;
    }
    if (on) {
        frameBeforeFullScreen_ = appliedFrame_;
        // A window of a fixed size may not be made larger by the window manager.
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        const QScreen* screen = windowHandle() && windowHandle()->screen() ? windowHandle()->screen()
                                                                             : QGuiApplication::primaryScreen();
        if (screen)
            setGeometry(screen->geometry());
        setWindowState(Qt::WindowFullScreen);
    } else {
        setWindowState(Qt::WindowNoState);
        if (windowHandle() && windowHandle()->screen())
            outer_ = windowArea(windowHandle()->screen());
        // Started in full screen, the window has not had its frame yet: it is sized for the
        // one the window manager reports next.
        awaitingFrame_ = frameBeforeFullScreen_.isNull();
        placeInOuter(frameBeforeFullScreen_);
        // The window manager frames it again without moving the client, so no move tells
        // of it: the frame is looked at a few times while it comes.
        if (awaitingFrame_)
            for (int ms : {100, 400, 1200})
                QTimer::singleShot(ms, this, [this] {
                    if (awaitingFrame_)
                        fitToFrame();
                });
    }
    if (shown_ && layoutClientArea())
        rebuildForNewSize();
}

void MainWindow::foregroundChanged(bool active)
{
    if (active == foreground_)
        return;
    foreground_ = active;
    if (active) {
        startMusic(true);
    } else {
        themes_.onLeaveForeground();
        playerLeft();
    }
}

// The device is tried off the event thread and the first theme played once it is open.
// Without a device nothing plays and the themes keep their chance: they are not at fault.
void MainWindow::startMusic(bool comingBack)
{
    if (!action(QStringLiteral("music"))->isChecked())
        return;
    deviceOpener_.open([this, comingBack](bool held) {
        if (!held)
            return;
        if (!musicDevice_.isOpen() && (!comingBack || foreground_)) {
            if (comingBack)
                themes_.onEnterForeground();
            else
                themes_.PlayTheme(themes_.ThemeFiles[0]);
        }
        AudioDevice::release();
    });
}

void MainWindow::keepSoundAwake(bool keep)
{
    if (keep == soundEffects_.keptAwake())
        return;
    soundEffects_.keepAwake(keep);
    // Asleep after a silence: the device is taken again off the event thread, before the
    // first clip of the game asks for it.
    if (keep && soundEffects_.deviceOpen() && !soundEffects_.awake())
        deviceOpener_.open([this](bool held) {
            if (held && soundEffects_.deviceOpen() && soundEffects_.keptAwake())
                soundEffects_.wake();
            if (held)
                AudioDevice::release();
        });
}

void MainWindow::playerLeft()
{
    if (closing_)
        return;
    game_.playerLeft();
}

bool MainWindow::playerAway() const
{
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return true;
    if (QGuiApplication::applicationState() != Qt::ApplicationActive)
        return true;
    // Another window of the game (help) in front; the warning that has just closed may
    // still count as the active one for a moment.
    const QWidget* active = QApplication::activeWindow();
    return active && active != this && active != warning_;
}

void MainWindow::showNotice(int line)
{
    const GameState& s = game_.state();
    const QPoint centre(s.FieldLeft + s.FieldSize * s.CellSize / 2, s.FieldSize * s.CellSize / 2);
    field_->setNotice(line ? langText(line) : QString(), centre);
}

void MainWindow::chooseLevel() { game_.chooseLevel(clickedTag_); }
void MainWindow::nextLevel() { game_.nextLevel(); }
void MainWindow::previousLevel() { game_.previousLevel(); }

void MainWindow::openLevelPack()
{
    // The packs that ship lie in "levels" beside the game's other files.
    const QString packs = QFileInfo(QStringLiteral("levels")).isDir() ? QDir::current().filePath(QStringLiteral("levels"))
                                                                      : QDir::currentPath();
    const QString path = chooseFileToOpen(this, QStringLiteral("Open Level pack"), packs,
                                          QStringLiteral("Kestrum levels (*.lev);;Any file (*)"),
                                          QStringLiteral("lev"));
    if (path.isEmpty())
        return;
    // A pack that cannot be read is refused now, and the game goes on without it.
    QString error;
    if (!isReadableRegularFile(path, limits::kLevelPack, &error)) {
        reportError(error);
        return;
    }
    game_.OpenLevelPack(path);
}

void MainWindow::setUpField()
{
    createWindows();
    const int answer = fieldSetupDialog_->exec();
    // The setup closes right behind its question box; a window manager that sees the
    // focused box go while the setup goes too may leave no window focused, and the keys
    // would reach no one. The game asks for the focus back itself.
    if (!closing_) {
        activateWindow();
        field_->setFocus();
    }
    if (answer != QDialog::Accepted || closing_)
        return;
    SkinFileName = fieldSetupDialog_->SkinFileName;
    game_.FreeCellPictures();
    canvas_->resize(field_->width(), field_->height());
    // The running game goes on with its score, lives, apples and level on the new field.
    BuildField(true);
}

void MainWindow::chooseLanguage()
{
    // The language files lie beside the game's other files, in its working folder.
    const QString path = chooseFileToOpen(this, QString(), QDir::currentPath(),
                                          QStringLiteral("Language files (*.lng);;All files (*)"),
                                          QStringLiteral("lng"));
    if (!path.isEmpty())
        useLanguageFile(path);
}

void MainWindow::useLanguageFile(const QString& path)
{
    // Read first: only a file that has loaded is applied and kept for the next start, so
    // that no choice can stop the game from starting.
    LanguageTexts texts;
    QString error;
    if (!texts.load(path, &error)) {
        reportError(error);
        return;
    }
    // A file of the working directory is kept by its name, any other by its full path.
    const QFileInfo chosen(path);
    const QString name = chosen.absolutePath() == QDir::current().absolutePath()
                             ? chosen.fileName()
                             : chosen.absoluteFilePath();
    config_.LangFileName = name;
    written(config_.writeLanguage(name, &error), error);
    LangText = texts;
    qtTranslation_.follow(path);
    ApplyLanguage();
}

bool MainWindow::LoadLanguage()
{
    config_.LangFileName = LanguageTexts::resolve(config_.LangFileName);
    QString error;
    if (!LangText.load(config_.LangFileName, &error)) {
        reportError(error);
        return false;
    }
    qtTranslation_.follow(config_.LangFileName);
    return true;
}

void MainWindow::ApplyLanguage()
{
    const auto t = [this](int line) { return LangText.text(line); };
    action(QStringLiteral("fileMenu"))->setText(t(1) + QStringLiteral("     "));
    action(QStringLiteral("optionsMenu"))->setText(t(6) + QStringLiteral("     "));
    const std::pair<const char*, int> items[] = {
        {"newGame", 2},      {"pause", 3},   {"hallOfFame", 4},       {"exit", 5},        {"speedMenu", 7},
        {"levelMenu", 8},  {"sounds", 9},  {"music", 10},  {"fieldSetup", 11}, {"slowSpeed", 12},
        {"normalSpeed", 13},   {"fastSpeed", 14}, {"customSpeed", 15}, {"level0", 16},      {"level1", 17},
        {"level2", 18},    {"level3", 19},  {"level4", 20},     {"level5", 21},      {"level6", 22},
        {"level7", 23},    {"level8", 24},  {"level9", 25},     {"level10", 26},     {"nextLevel", 27},
        {"openLevelPack", 28}, {"about", 29}, {"help", 32},   {"selectLanguage", 34},
        {"keys", 95},          {"volume", 96}, {"quickTurns", 97}, {"fullScreen", 98},
    };
    for (const auto& [name, line] : items)
        action(QLatin1String(name))->setText(t(line));
    setWindowTitle(t(37));
    SidePanel* p = panel_;
    p->setText(p->lengthCaption, t(38));
    p->setText(p->levelLabel, QString::number(game_.state().Level) + QStringLiteral("  ") + t(39));
    p->setText(p->legendFood, t(40));
    p->setText(p->legendLife, t(41));
    p->setText(p->legendCrop, t(42));
    p->setText(p->legendBonus, t(43));  // line 59 would caption it too; it has no use here
    p->setText(p->legendDeath, t(44));
    p->setText(p->legendNext, t(45));
    p->scoreLabel->setToolTip(t(66));
    p->livesLabel->setToolTip(t(67));
    p->livesPicture->setToolTip(t(67));
    p->eatenLabel->setToolTip(t(68));
    p->eatenPicture->setToolTip(t(68));
    p->legend->setToolTip(t(71));
    showLengthTip();
    showLevelTip();
    if (speedDialog_)
        applyLanguageToWindows();
}

void MainWindow::applyLanguageToWindows()
{
    const auto t = [this](int line) { return LangText.text(line); };
    speedDialog_->setWindowTitle(t(46));
    speedDialog_->firstGearLabel->setText(t(47));
    speedDialog_->secondGearLabel->setText(t(48));
    speedDialog_->thirdGearLabel->setText(t(49));
    speedDialog_->parkLabel->setText(t(50));
    for (QLabel* l : {speedDialog_->firstGearLabel, speedDialog_->secondGearLabel, speedDialog_->thirdGearLabel, speedDialog_->parkLabel})
        l->adjustSize();
    fieldSetupDialog_->setWindowTitle(t(51));
    playerNameDialog_->setWindowTitle(t(55));
    playerNameDialog_->promptLabel->setText(t(55));
    hallOfFameDialog_->setWindowTitle(t(56));
    hallOfFameDialog_->clearButton->setText(t(57));
    addSkinDialog_->setWindowTitle(t(58));
    keysDialog_->applyTexts();
    volumeDialog_->applyTexts();
    // Reserved lines until the add window had labels: files that leave them empty keep
    // the built-in words.
    addSkinDialog_->nameLabel->setText(t(53).isEmpty() ? LanguageTexts::builtIn(53) : t(53));
    addSkinDialog_->fileLabel->setText(t(54).isEmpty() ? LanguageTexts::builtIn(54) : t(54));
    fieldSetupDialog_->addButton->setText(t(60));
    addSkinDialog_->addButton->setText(t(60));
    fieldSetupDialog_->deleteButton->setText(t(61));
    addSkinDialog_->openDialogTitle = t(62);
    // OK and Cancel in Qt's own words for the language, as on its standard buttons.
    const QString ok = QCoreApplication::translate("QPlatformTheme", "OK");
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    for (QPushButton* b : findChildren<QPushButton*>(QStringLiteral("okButton")))
        b->setText(ok);
    for (QPushButton* b : findChildren<QPushButton*>(QStringLiteral("cancelButton")))
        b->setText(cancel);
    aboutBox_->setWindowTitle(t(63));
    aboutBox_->commentsLabel->setText(t(83));
}

// ---------------------------------------------------------------------------------------
// GameHost

void MainWindow::setAnimatorRunning(bool running)
{
    if (!running || closing_) {
        animating_ = false;
        return;
    }
    if (animating_)
        return;
    animating_ = true;
    animationClock_.start();
    animationSteps_ = 0;
    if (!frameTimer_.isActive())
        frameTimer_.start(frameInterval_);
}

void MainWindow::setLabel(PanelLabel label, const QString& text)
{
    QLabel* target = nullptr;
    switch (label) {
    case PanelLabel::Score: target = panel_->scoreLabel; break;
    case PanelLabel::Lives: target = panel_->livesLabel; break;
    case PanelLabel::Eaten: target = panel_->eatenLabel; break;
    case PanelLabel::Level:
        target = panel_->levelLabel;
        showLevelTip();  // a level change may open or close a pack
        break;
    case PanelLabel::Length: target = panel_->lengthLabel; break;
    }
    panel_->setText(target, text);
}

void MainWindow::setMushroomIndicator(bool visible) { panel_->mushroomIndicator->setVisible(visible); }

void MainWindow::showExitProgress(const ExitProgress& progress)
{
    exitProgress_ = progress;
    panel_->exitBar->setProgress(progress.length, progress.needed, progress.open);
    showLengthTip();
}

void MainWindow::showLengthTip()
{
    const ExitProgress& p = exitProgress_;
    const QString tip = langText(70) + QLatin1Char('\n') + (p.open ? langText(111) : langText(112).arg(p.needed));
    for (QWidget* w : {static_cast<QWidget*>(panel_->lengthFrame), static_cast<QWidget*>(panel_->lengthLabel),
                       static_cast<QWidget*>(panel_->lengthCaption)})
        w->setToolTip(tip);
}

void MainWindow::showLevelTip()
{
    const QString pack = game_.state().LevelPackFile;
    const QString tip = pack.isEmpty() ? langText(69)
                                       : langText(69) + QLatin1Char('\n') +
                                             langText(113).arg(QFileInfo(pack).completeBaseName());
    panel_->levelFrame->setToolTip(tip);
    panel_->levelLabel->setToolTip(tip);
}
void MainWindow::playPanelAnimation() { panel_->Anim->play(); }
void MainWindow::showWarning(const QString& text)
{
    createWindows();
    warning_->showText(text);
}

void MainWindow::handOverScore(int pendingScore, bool gameOver)
{
    createWindows();
    // The hall of fame opened from the menu is up: it cannot be shown a second time, so the
    // score waits until it closes.
    if (hallOfFameDialog_->isVisible()) {
        waitingScores_.emplace_back(pendingScore, gameOver);
        return;
    }
    fame_.PendingScore = pendingScore;
    fame_.ScorePending = true;
    if (fame_.table.eighthScore() < pendingScore)
        playerNameDialog_->exec();
    else if (gameOver && soundsOn())
        playSound(QStringLiteral("GameOver"));
    if (!closing_)
        hallOfFameDialog_->exec();
}

void MainWindow::enterWaitingScores()
{
    // A score whose hall of fame never came goes in under the name last given.
    bool changed = false;
    for (const auto& [score, gameOver] : waitingScores_)
        changed = fame_.table.insert(score, fame_.PlayerName) > 0 || changed;
    waitingScores_.clear();
    QString error;
    if (changed && !fame_.table.save(config_.file(), &error) && !closing_)
        reportError(error);
}

void MainWindow::endSession()
{
    if (closing_)
        return;
    if (speedDialog_) {
        // The name prompt is up: the name typed so far is the name.
        if (playerNameDialog_->isVisible())
            fame_.PlayerName = playerNameDialog_->nameEdit->text().left(kPlayerNameLength);
        // Handed over but not yet in the table: it goes in now.
        bool changed = false;
        if (fame_.ScorePending) {
            changed = fame_.table.insert(fame_.PendingScore, fame_.PlayerName) > 0;
            fame_.ScorePending = false;
        }
        // The hall of fame saves as it closes; a session's end does not close it.
        if (changed || hallOfFameDialog_->isVisible())
            fame_.table.save(config_.file());
    }
    close();
}

void MainWindow::handOverWaitingScore()
{
    if (closing_ || waitingScores_.empty() || hallOfFameDialog_->isVisible())
        return;
    const auto [score, gameOver] = waitingScores_.front();
    waitingScores_.erase(waitingScores_.begin());
    handOverScore(score, gameOver);
}

void MainWindow::checkLevelItem(int level)
{
    static const char* const items[] = {"level0", "level1", "level2", "level3", "level4", "level5",
                                        "level6", "level7", "level8", "level9", "level10", "nextLevel"};
    for (const char* name : items)
        action(QLatin1String(name))->setChecked(false);
    action(QLatin1String(level >= 0 && level <= 10 ? items[level] : "nextLevel"))->setChecked(true);
}

void MainWindow::layoutSidePanel(const CellPictures& pictures, int fieldHeight)
{
    panel_->layoutForSkin(pictures, fieldHeight);
}

QImage MainWindow::backgroundPicture()
{
    const QString path = skinsFolder() + QStringLiteral("Fone.bmp");
    QString error;
    QImage picture = loadBitmap(path, &error);
    if (picture.isNull()) {
        // Reported once: the background is read again at every restart.
        if (!backgroundReported_)
            reportError(error);
        backgroundReported_ = true;
        if (lastGoodBackground_.isNull())
            lastGoodBackground_ = QImage(QStringLiteral(":/Skins/Fone.bmp"), "BMP");
        return lastGoodBackground_;
    }
    lastGoodBackground_ = picture;
    return picture;
}

void MainWindow::waitMs(int ms)
{
    if (closing_)
        return;
    QEventLoop loop;
    waitLoop_ = &loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// A frame at most once a display refresh: what the tick, the animator and the keys draw in
// between reaches the screen together. A change made when the last frame is a refresh old
// or older goes up at once, so a tick is never later than one refresh.
void MainWindow::repaintField(const QRegion& region)
{
    pendingFrame_ += region;
    if (frameTimer_.isActive() || inFrame_)
        return;
    const qint64 since = lastFrame_.isValid() ? lastFrame_.elapsed() : frameInterval_;
    if (since >= frameInterval_)
        showFrame();
    else
        frameTimer_.start(static_cast<int>(frameInterval_ - since));
}

void MainWindow::frameDue()
{
    inFrame_ = true;
    if (animating_)
        animationStep();
    inFrame_ = false;
    showFrame();
    if (animating_)
        frameTimer_.start(frameInterval_);
}

void MainWindow::showFrame()
{
    if (pendingFrame_.isEmpty())
        return;
    lastFrame_.start();
    field_->update(pendingFrame_);
    pendingFrame_ = QRegion();
}

bool MainWindow::soundsOn() const
{
    const QAction* a = action(QStringLiteral("sounds"));
    return a && a->isEnabled() && a->isChecked();
}

void MainWindow::playSound(const QString& event)
{
    if (!soundsOn() || quiet_)
        return;
    // Without a wave list (already reported) nothing can sound and nothing more is said.
    if (!soundEffects_.play(event) && waveListLoaded_ && !missingWaves_.contains(event)) {
        // The step goes on; the missing name is reported once a run.
        missingWaves_.insert(event);
        reportError(QStringLiteral("Wave '%1' not found").arg(event));
    }
}

QString MainWindow::langText(int line) const { return LangText.text(line); }

}  // namespace kestrum
