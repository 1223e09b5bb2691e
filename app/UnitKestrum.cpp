#include "UnitKestrum.h"

#include "AboutBox.h"
#include "HelpWindow.h"
#include "KeyMap.h"
#include "MenuTable.h"
#include "SidePanel.h"
#include "X11FieldOutput.h"
#include "core/MesWarn.h"
#include "render/SetPole.h"
#include "settings/Vel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace kestrum {

// ---------------------------------------------------------------------------------------
// FieldView

FieldView::FieldView(QWidget* parent, const QImage& image) : QWidget(parent), image_(image)
{
    setObjectName(QStringLiteral("ImagePole"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

FieldView::~FieldView() = default;

void FieldView::takeOwnWindow()
{
    if (direct_ || !X11FieldOutput::available())
        return;
    direct_ = true;
    // Until the field's own window is filled the parent's picture of it stays there.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NativeWindow);
    output_ = X11FieldOutput::create(this);
    if (!output_) {
        direct_ = false;
        setAttribute(Qt::WA_PaintOnScreen, false);
    }
    update();
}

QPaintEngine* FieldView::paintEngine() const { return direct_ ? nullptr : QWidget::paintEngine(); }

void FieldView::paintEvent(QPaintEvent* event)
{
    if (direct_) {
        // Put once the window can be seen: its exposure asks for the whole field anyway.
        if (windowHandle() && windowHandle()->isExposed())
            output_->put(image_, event->region());
        return;
    }
    QPainter p(this);
    // Only the changed cells: a tick touches a few cells in different corners.
    for (const QRect& r : event->region())
        p.drawImage(r.topLeft(), image_, r);
    // Outside the picture (before the first build) stays black.
    const QRegion outside = event->region() - QRegion(image_.rect());
    for (const QRect& o : outside)
        p.fillRect(o, Qt::black);
    if (!painted_ && !image_.isNull()) {
        painted_ = true;
        if (onFirstPaint)
            onFirstPaint();
    }
}

void FieldView::keyPressEvent(QKeyEvent* event)
{
    if (onKey)
        onKey(event);
}

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
    if (name == QLatin1String("N9")) {  // New: a fresh apple
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 40, 40));
        p.drawEllipse(QPointF(8, 9.5), 5.5, 5);
        p.setBrush(QColor(80, 190, 70));
        p.drawEllipse(QPointF(10.5, 3.5), 2.5, 1.5);
    } else if (name == QLatin1String("N10")) {  // Pause
        p.fillRect(QRectF(4, 3, 3, 10), QColor(60, 120, 220));
        p.fillRect(QRectF(9, 3, 3, 10), QColor(60, 120, 220));
    } else if (name == QLatin1String("N2")) {  // Hall of fame: a cup
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
    } else if (name == QLatin1String("N3")) {  // Exit
        pen(QColor(210, 50, 50), 2.2);
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    } else if (name == QLatin1String("N7")) {  // Speed: a gauge
        pen(QColor(60, 60, 60));
        p.drawArc(QRectF(2, 3, 12, 12), 0, 180 * 16);
        pen(QColor(210, 50, 50), 2);
        p.drawLine(QPointF(8, 9), QPointF(12, 5));
    } else if (name == QLatin1String("Ndific")) {  // Level: stairs
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
    } else if (name == QLatin1String("N99")) {  // Next level: an arrow
        pen(QColor(40, 150, 60), 2.2);
        p.drawLine(QPointF(2, 8), QPointF(13, 8));
        p.drawLine(QPointF(9, 4), QPointF(13, 8));
        p.drawLine(QPointF(9, 12), QPointF(13, 8));
    } else if (name == QLatin1String("MSetPole")) {  // Field setup: a little field
        p.fillRect(QRectF(2, 2, 12, 12), QColor(50, 90, 40));
        pen(QColor(160, 150, 120), 1);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.fillRect(QRectF(5, 7, 6, 2), QColor(140, 230, 100));
    } else if (name == QLatin1String("Lang1")) {  // Language: a globe
        pen(QColor(40, 110, 200), 1.3);
        p.drawEllipse(QPointF(8, 8), 6, 6);
        p.drawEllipse(QPointF(8, 8), 2.5, 6);
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
    } else if (name == QLatin1String("N6")) {  // About: an "i"
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

}  // namespace

// ---------------------------------------------------------------------------------------
// Creation

TFormKestrum::TFormKestrum(QWidget* parent, std::function<void(const QString&)> messageSink)
    : QMainWindow(parent),
      config_(Configuration::locate()),
      game_(*this, random_),
      themes_([this](const QString& command) { mci_.send(command); }, random_,
              [this] { return action(QStringLiteral("NMusic"))->isChecked(); }),
      messageSink_(std::move(messageSink))
{
    setObjectName(QStringLiteral("FormKestrum"));
    setWindowTitle(QStringLiteral("Kestrum"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);

    // The window, its frame included, covers the screen less a strip for the desktop's
    // task bar. The frame is not known before a window manager has framed the window, so
    // the client area takes the whole size until then (see fitToFrame).
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    outerSize_ = QSize(screen.width(), screen.height() - 29);
    move(0, 0);
    setFixedSize(outerSize_);

    // Settings: "Kestrum.ini" of the working directory, else the per-user one.
    ConfigFolder = config_.ConfigFolder();
    config_.readLanguage();
    if (!QFileInfo(config_.LangFileName).isFile())
        config_.LangFileName = QStringLiteral("English.lng");
    LoadLanguage();  // on failure the built-in English texts stay and start-up goes on
    config_.readSkins();
    SkinFileName = config_.FileCells;
    config_.readSwitches();

    canvas_ = &game_.canvas();
    auto* central = new QWidget(this);
    central->setAutoFillBackground(true);
    central->setPalette(pal);
    setCentralWidget(central);
    ImagePole = new FieldView(central, canvas_->image());
    ImagePole->onKey = [this](QKeyEvent* e) { FormKeyDown(virtualKeyFromQt(e->key())); };
    Panel1 = new SidePanel(central);
    createActions();

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(config_.Speed);
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setTimerType(Qt::PreciseTimer);
    Timer2.setInterval(50);
    connect(&Timer1, &QTimer::timeout, this, &TFormKestrum::Timer1Timer);
    connect(&Timer2, &QTimer::timeout, this, &TFormKestrum::Timer2Timer);
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &TFormKestrum::frameDue);
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->refreshRate() >= 20)
        frameInterval_ = static_cast<int>(1000.0 / screen->refreshRate());

    action(QStringLiteral("Nsnd"))->setChecked(config_.Sounds);
    action(QStringLiteral("NMusic"))->setChecked(config_.Music);
    markSpeed(Timer1.interval());

    connect(Panel1->LScore, &ClickLabel::doubleClicked, this, &TFormKestrum::LScoreDblClick);
    connect(Panel1->LHead, &ClickLabel::clicked, this, &TFormKestrum::LHeadClick);
    connect(Panel1->LLong, &ClickLabel::clicked, this, &TFormKestrum::LLongClick);

    // The wave list is read now when the sound is on ("Start" is about to play), else
    // after the first frame.
    if (config_.Sounds)
        loadWaveList();
    // The sound switch is applied once: inverted here, NsndClick inverts it back, prepares
    // the device and writes the setting.
    action(QStringLiteral("Nsnd"))->setChecked(!action(QStringLiteral("Nsnd"))->isChecked());
    NsndClick();

    // The music follows the application in and out of the foreground.
    connect(&mci_, &MciDevice::notify, this, [this] { themes_.onNotify(); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { foregroundChanged(state == Qt::ApplicationActive); });

    // What the first frame does not show waits until it is on the screen: the dialogs
    // (nobody can open one sooner), the window's and the menus' pictures and the wave list
    // of a silent game.
    ImagePole->onFirstPaint = [this] {
        QTimer::singleShot(0, this, [this] {
            ImagePole->takeOwnWindow();
            setWindowIcon(QIcon(QStringLiteral(":/kestrum.png")));
            for (QAction* a : std::as_const(actions_))
                a->setIcon(menuIcon(a->objectName()));
            loadWaveList();
            createWindows();
        });
    };
}

// Once a run; without the list the game goes on silent, and the switch still works.
void TFormKestrum::loadWaveList()
{
    if (waveListTried_)
        return;
    waveListTried_ = true;
    QString waveError;
    waveListLoaded_ = DXWaveList_.load(QStringLiteral("Sounds.dxw"), &waveError);
    if (!waveListLoaded_)
        reportError(waveError);
}

// The other windows, in their order; the hall of fame reads its table as it is made.
// Everything that opens one calls this first.
void TFormKestrum::createWindows()
{
    if (FormVel)
        return;
    AboutBox = new TAboutBox(this);
    SetPoleServices setPole;
    setPole.text = [this](int line) { return langText(line); };
    setPole.ask = [this](const QString& question) {
        return QMessageBox::question(FormSet, QStringLiteral("Kestrum"), question,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    setPole.report = [this](const QString& message) { reportError(message); };
    setPole.chooseFile = [this](const QString& title) {
        return chooseFileToOpen(FormAdd, title, skinsFolder(),
                                QStringLiteral("Bitmaps (*.bmp);;All files (*)"), QStringLiteral("bmp"));
    };
    setPole.skinsFolder = [this] { return skinsFolder(); };
    FormSet = new TFormSet(config_, setPole, this);
    FormAdd = FormSet->addDialog();
    FormName = new TFormName(fame_, this);
    FameServices services;
    services.sound = [this](const QString& event) {
        if (soundsOn())
            playSound(event);
    };
    services.text = [this](int line) { return langText(line); };
    services.confirm = [this](const QString& question) {
        return QMessageBox::question(FormFame, QStringLiteral("Confirm"), question,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    FormFame = new TFormFame(fame_, config_.file(), std::move(services), this);
    FormMesWarn = new TFormMesWarn(this);
    FormVel = new TFormVel(this);
    helpWindow_ = new HelpWindow(this);
    applyLanguageToWindows();
}

void TFormKestrum::written(bool ok, const QString& error)
{
    if (!ok)
        reportError(error);
}

void TFormKestrum::markSpeed(int interval)
{
    for (const char* name : {"Vel1", "Vel2", "Vel3"})
        action(QLatin1String(name))->setChecked(false);
    action(QStringLiteral("VelMore"))->setChecked(true);
    const std::pair<int, const char*> presets[] = {{150, "Vel1"}, {100, "Vel2"}, {50, "Vel3"}};
    for (const auto& [ms, name] : presets)
        if (interval == ms) {
            action(QLatin1String(name))->setChecked(true);
            action(QStringLiteral("VelMore"))->setChecked(false);
        }
}

TFormKestrum::~TFormKestrum() = default;

void TFormKestrum::createActions()
{
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
            menu->menuAction()->setObjectName(name);
            menus.insert(name, menu);
            actions_.insert(name, menu->menuAction());
            continue;
        }
        QAction* a = parent->addAction(caption);
        a->setObjectName(name);
        a->setIconVisibleInMenu(true);
        if (entry.shortcut != QKeyCombination())
            a->setShortcut(QKeySequence(entry.shortcut));
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

void TFormKestrum::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

bool TFormKestrum::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    // A window manager reports its frame with the move that follows its framing, before
    // the window is first drawn.
    if (event->type() == QEvent::Move && shown_)
        fitToFrame();
    return handled;
}

void TFormKestrum::fitToFrame()
{
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    // Once the game has been played the field stays: a rebuild would end the game.
    if (frame == appliedFrame_ || game_.state().TickCount > 0 || !game_.state().ResumeOnKey)
        return;
    appliedFrame_ = frame;
    setFixedSize(outerSize_.width() - frame.left() - frame.right(),
                 outerSize_.height() - frame.top() - frame.bottom());
    if (!layoutClientArea())
        return;
    // The start-up build again, for the real size; its sounds have just been heard.
    quiet_ = true;
    BuildField();
    quiet_ = false;
}

bool TFormKestrum::layoutClientArea()
{
    // The client area below the menu bar: the field on the left, the panel on the right.
    const int clientHeight = height() - menuBar()->sizeHint().height();
    centralWidget()->setGeometry(0, menuBar()->sizeHint().height(), width(), clientHeight);
    Panel1->setGeometry(width() - SidePanel::kWidth, 0, SidePanel::kWidth, clientHeight);
    ImagePole->setGeometry(0, 0, width() - SidePanel::kWidth, clientHeight);
    if (canvas_->width() == ImagePole->width() && canvas_->height() == ImagePole->height())
        return false;
    canvas_->resize(ImagePole->width(), ImagePole->height());
    return true;
}

void TFormKestrum::FormShow()
{
    if (soundsOn())
        playSound(QStringLiteral("Start"));
    ApplyLanguage();
    fitToFrame();
    layoutClientArea();
    BuildField();
    ImagePole->setFocus();
    // The game is played from the keyboard: take the focus (also where no window manager
    // hands it over).
    activateWindow();
}

void TFormKestrum::BuildField()
{
    const QString path = skinsFolder() + SkinFileName;
    QString problem;
    QImage strip = loadBitmap(path, &problem);
    if (problem.isEmpty())
        problem = skinProblem(strip, canvas_->height(), QFileInfo(path).absoluteFilePath());
    if (!problem.isEmpty()) {
        reportError(problem);
        strip = !lastGoodStrip_.isNull() ? lastGoodStrip_
                                         : QImage(QStringLiteral(":/Skins/kestrum"), "BMP");
    }
    lastGoodStrip_ = strip;
    game_.BuildField(strip);
    ImagePole->update();
}

void TFormKestrum::reportError(const QString& text)
{
    if (messageSink_)
        messageSink_(text);
    else
        QMessageBox::warning(this, QStringLiteral("Kestrum"), text);
}

// ---------------------------------------------------------------------------------------
// Closing

void TFormKestrum::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TFormKestrum::FormClose()
{
    closing_ = true;
    Timer1.stop();
    Timer2.stop();
    animating_ = false;
    frameTimer_.stop();
    game_.state().ResumeOnKey = true;
    game_.FreeCellPictures();
    if (waitLoop_)
        waitLoop_->quit();
    if (FormMesWarn && FormMesWarn->isVisible())
        FormMesWarn->reject();
}

// ---------------------------------------------------------------------------------------
// Keys and timers

void TFormKestrum::FormKeyDown(uint16_t key)
{
    if (closing_)
        return;
    game_.FormKeyDown(key);
    game_.flush();
}

void TFormKestrum::Timer1Timer() { game_.Timer1Timer(); }
void TFormKestrum::Timer2Timer() { game_.Timer2Timer(); }
// The cell animations take a step every 10 ms of the clock. The steps are taken at the
// frames, as many as are due: a display shows no more of them than that, and the process
// wakes once a frame instead of once a step and once more for the frame.
void TFormKestrum::TimerAnimatorTimer()
{
    const qint64 due = animationClock_.elapsed() / kAnimationStepMs - animationSteps_;
    // After a long stall (a modal wait) the animations go on, they do not race.
    const qint64 steps = std::clamp<qint64>(due, 0, 3);
    animationSteps_ += due;
    for (qint64 i = 0; i < steps && animating_; ++i)
        game_.TimerAnimatorTimer();
}

// ---------------------------------------------------------------------------------------
// Menu commands

void TFormKestrum::N9Click() { game_.N9Click(); }
void TFormKestrum::N10Click() { game_.N10Click(); }
void TFormKestrum::N3Click() { close(); }

void TFormKestrum::N15Click()
{
    createWindows();
    QString error;
    if (!helpWindow_->showTopic(QStringLiteral("Kestrum.hlp"), QStringLiteral("en"), &error))
        reportError(error);
}

void TFormKestrum::N6Click()
{
    createWindows();
    AboutBox->exec();
}
void TFormKestrum::LScoreDblClick() { game_.LScoreDblClick(); }

void TFormKestrum::N2Click()
{
    createWindows();
    FormFame->exec();
}

// Every speed change ends the running game: a game is always scored at one speed.
void TFormKestrum::choosePreset(int ms)
{
    markSpeed(ms);
    Timer1.setInterval(ms);
    QString error;
    written(config_.writeSpeed(ms, &error), error);
    game_.state().Lives = 1;
    game_.KillSnake();
}

void TFormKestrum::Vel1Click() { choosePreset(150); }
void TFormKestrum::Vel2Click() { choosePreset(100); }
void TFormKestrum::Vel3Click() { choosePreset(50); }

void TFormKestrum::VelMoreClick()
{
    createWindows();
    Timer1.stop();
    game_.state().ResumeOnKey = true;
    if (const auto ms = FormVel->choose(Timer1.interval())) {
        Timer1.setInterval(*ms);
        QString error;
        written(config_.writeSpeed(*ms, &error), error);
    }
    if (closing_)
        return;
    markSpeed(Timer1.interval());
    game_.state().Lives = 1;
    game_.KillSnake();
}

void TFormKestrum::NsndClick()
{
    QAction* mark = action(QStringLiteral("Nsnd"));
    mark->setChecked(!mark->isChecked());
    if (mark->isChecked())
        loadWaveList();
    // No sound device: the switch turns itself off, silently.
    if (mark->isChecked() && !DXWaveList_.deviceOpen() && !DXWaveList_.openDevice())
        mark->setChecked(false);
    if (!mark->isChecked())
        DXWaveList_.closeDevice();
    QString error;
    written(config_.writeSounds(mark->isChecked(), &error), error);
}

void TFormKestrum::NMusicClick()
{
    QAction* mark = action(QStringLiteral("NMusic"));
    mark->setChecked(!mark->isChecked());
    QString error;
    written(config_.writeMusic(mark->isChecked(), &error), error);
    if (mark->isChecked()) {
        themes_.PlayTheme(themes_.ThemeFiles[0]);
    } else {
        themes_.StopTheme();
        themes_.SkipNextNotify = true;
    }
}

void TFormKestrum::foregroundChanged(bool active)
{
    if (active == foreground_)
        return;
    foreground_ = active;
    if (active)
        themes_.onEnterForeground();
    else
        themes_.onLeaveForeground();
}

void TFormKestrum::N101Click() { game_.N101Click(clickedTag_); }
void TFormKestrum::LHeadClick() { game_.LHeadClick(); }
void TFormKestrum::LLongClick() { game_.LLongClick(); }

void TFormKestrum::NLevelOpenClick()
{
    const QString path = chooseFileToOpen(this, QStringLiteral("Open Level pack"), QString(),
                                          QStringLiteral("Kestrum levels (*.lev);;Any file (*)"),
                                          QStringLiteral("lev"));
    if (!path.isEmpty())
        game_.OpenLevelPack(path);
}

void TFormKestrum::MSetPoleClick()
{
    createWindows();
    if (FormSet->exec() != QDialog::Accepted || closing_)
        return;
    SkinFileName = FormSet->SkinFileName;
    game_.FreeCellPictures();
    canvas_->resize(ImagePole->width(), ImagePole->height());
    BuildField();
}

void TFormKestrum::Lang1Click()
{
    const QString path = chooseFileToOpen(this, QString(), QString(),
                                          QStringLiteral("Language files (*.lng);;All files (*)"),
                                          QStringLiteral("lng"));
    if (!path.isEmpty())
        chooseLanguage(path);
}

void TFormKestrum::chooseLanguage(const QString& path)
{
    // A file of the working directory is kept by its name, any other by its full path.
    const QFileInfo chosen(path);
    const QString name = chosen.absolutePath() == QDir::current().absolutePath()
                             ? chosen.fileName()
                             : chosen.absoluteFilePath();
    config_.LangFileName = name;
    QString error;
    written(config_.writeLanguage(name, &error), error);
    if (LoadLanguage())
        ApplyLanguage();
}

bool TFormKestrum::LoadLanguage()
{
    config_.LangFileName = LanguageTexts::resolve(config_.LangFileName);
    QString error;
    if (!LangText.load(config_.LangFileName, &error)) {
        reportError(error);
        return false;
    }
    return true;
}

void TFormKestrum::ApplyLanguage()
{
    const auto t = [this](int line) { return LangText.text(line); };
    action(QStringLiteral("N1"))->setText(t(1) + QStringLiteral("     "));
    action(QStringLiteral("N4"))->setText(t(6) + QStringLiteral("     "));
    const std::pair<const char*, int> items[] = {
        {"N9", 2},      {"N10", 3},   {"N2", 4},       {"N3", 5},        {"N7", 7},
        {"Ndific", 8},  {"Nsnd", 9},  {"NMusic", 10},  {"MSetPole", 11}, {"Vel1", 12},
        {"Vel2", 13},   {"Vel3", 14}, {"VelMore", 15}, {"N01", 16},      {"N11", 17},
        {"N21", 18},    {"N31", 19},  {"N41", 20},     {"N51", 21},      {"N61", 22},
        {"N71", 23},    {"N81", 24},  {"N91", 25},     {"N101", 26},     {"N99", 27},
        {"NLevelOpen", 28}, {"N6", 29}, {"N15", 32},   {"Lang1", 34},
    };
    for (const auto& [name, line] : items)
        action(QLatin1String(name))->setText(t(line));
    setWindowTitle(t(37));
    SidePanel* p = Panel1;
    p->setText(p->LabelLength, t(38));
    p->setText(p->Llev, QString::number(game_.state().Level) + QStringLiteral("  ") + t(39));
    p->setText(p->Label1, t(40));
    p->setText(p->Label2, t(41));
    p->setText(p->Label3, t(42));
    p->setText(p->Label4, t(43));  // line 59 would caption it too; it has no use here
    p->setText(p->Label5, t(44));
    p->setText(p->Label6, t(45));
    p->LScore->setToolTip(t(66));
    p->LHead->setToolTip(t(67));
    p->IHeadU->setToolTip(t(67));
    p->LLong->setToolTip(t(68));
    p->ILong->setToolTip(t(68));
    p->Bevel3->setToolTip(t(69));
    p->Bevel4->setToolTip(t(70));
    p->PanelHelp->setToolTip(t(71));
    if (FormVel)
        applyLanguageToWindows();
}

void TFormKestrum::applyLanguageToWindows()
{
    const auto t = [this](int line) { return LangText.text(line); };
    FormVel->setWindowTitle(t(46));
    FormVel->Label1->setText(t(47));
    FormVel->Label2->setText(t(48));
    FormVel->Label3->setText(t(49));
    FormVel->Label4->setText(t(50));
    for (QLabel* l : {FormVel->Label1, FormVel->Label2, FormVel->Label3, FormVel->Label4})
        l->adjustSize();
    FormSet->setWindowTitle(t(51));
    FormName->setWindowTitle(t(55));
    FormFame->setWindowTitle(t(56));
    FormFame->BitBtn2->setText(t(57));
    FormAdd->setWindowTitle(t(58));
    FormSet->BtnAdd->setText(t(60));
    FormAdd->BtnAddN->setText(t(60));
    FormSet->BtnDel->setText(t(61));
    FormAdd->openDialogTitle = t(62);
    AboutBox->setWindowTitle(t(63));
    AboutBox->Comments->setText(t(83));
}

// ---------------------------------------------------------------------------------------
// GameHost

void TFormKestrum::setAnimatorRunning(bool running)
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

void TFormKestrum::setLabel(PanelLabel label, const QString& text)
{
    QLabel* target = nullptr;
    switch (label) {
    case PanelLabel::Score: target = Panel1->LScore; break;
    case PanelLabel::Lives: target = Panel1->LHead; break;
    case PanelLabel::Eaten: target = Panel1->LLong; break;
    case PanelLabel::Level: target = Panel1->Llev; break;
    case PanelLabel::Length: target = Panel1->LabLon; break;
    }
    Panel1->setText(target, text);
}

void TFormKestrum::setMushroomIndicator(bool visible) { Panel1->ImgDrug->setVisible(visible); }
void TFormKestrum::playPanelAnimation() { Panel1->Anim->play(); }
void TFormKestrum::showWarning(const QString& text)
{
    createWindows();
    FormMesWarn->showText(text);
}

void TFormKestrum::handOverScore(int pendingScore, bool gameOver)
{
    createWindows();
    fame_.PendingScore = pendingScore;
    fame_.ScorePending = true;
    if (fame_.table.eighthScore() < pendingScore)
        FormName->exec();
    else if (gameOver && soundsOn())
        playSound(QStringLiteral("GameOver"));
    if (!closing_)
        FormFame->exec();
}

void TFormKestrum::checkLevelItem(int level)
{
    static const char* const items[] = {"N01", "N11", "N21", "N31", "N41", "N51",
                                        "N61", "N71", "N81", "N91", "N101", "N99"};
    for (const char* name : items)
        action(QLatin1String(name))->setChecked(false);
    action(QLatin1String(level >= 0 && level <= 10 ? items[level] : "N99"))->setChecked(true);
}

void TFormKestrum::layoutSidePanel(const CellPictures& pictures, int fieldHeight)
{
    Panel1->layoutForSkin(pictures, fieldHeight);
}

QImage TFormKestrum::backgroundPicture()
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

void TFormKestrum::waitMs(int ms)
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
void TFormKestrum::repaintField(const QRegion& region)
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

void TFormKestrum::frameDue()
{
    inFrame_ = true;
    if (animating_)
        TimerAnimatorTimer();
    inFrame_ = false;
    showFrame();
    if (animating_)
        frameTimer_.start(frameInterval_);
}

void TFormKestrum::showFrame()
{
    if (pendingFrame_.isEmpty())
        return;
    lastFrame_.start();
    ImagePole->update(pendingFrame_);
    pendingFrame_ = QRegion();
}

bool TFormKestrum::soundsOn() const
{
    const QAction* a = action(QStringLiteral("Nsnd"));
    return a && a->isEnabled() && a->isChecked();
}

void TFormKestrum::playSound(const QString& event)
{
    if (!soundsOn() || quiet_)
        return;
    // Without a wave list (already reported) nothing can sound and nothing more is said.
    if (!DXWaveList_.play(event) && waveListLoaded_ && !missingWaves_.contains(event)) {
        // The step goes on; the missing name is reported once a run.
        missingWaves_.insert(event);
        reportError(QStringLiteral("Wave '%1' not found").arg(event));
    }
}

QString TFormKestrum::langText(int line) const { return LangText.text(line); }

}  // namespace kestrum
