// The main window offscreen: menus, shortcuts, geometry, side panel and start-up files.
#include "TestSupport.h"

#include "bench/BenchSupport.h"

#include "app/AboutBox.h"
#include "app/HelpWindow.h"
#include "app/KeyMap.h"
#include "app/KeysDialog.h"
#include "input/Gamepads.h"
#include "app/VolumeDialog.h"
#include "app/SidePanel.h"
#include "app/MainWindow.h"
#include "app/QtTranslation.h"
#include "app/WarningPopup.h"
#include "app/WindowArea.h"
#include "settings/HallOfFameDialog.h"
#include "settings/PlayerNameDialog.h"
#include "settings/ProfileFile.h"
#include "settings/SpeedDialog.h"
#include "render/AddSkinDialog.h"
#include "render/FieldSetupDialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QListWidget>
#include <QScreen>
#include <QSet>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrum::test {
namespace {

// A working directory holding what the program reads, with the test skin in place.
class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        QDir(dir_.path()).mkpath("Skins");
        ASSERT_TRUE(solidSkin(22).save(dir_.filePath("Skins/kestrum"), "BMP"));
        ASSERT_TRUE(solidBackground().save(dir_.filePath("Skins/Fone.bmp"), "BMP"));
        QFile help(dir_.filePath("Kestrum.hlp"));
        ASSERT_TRUE(help.open(QIODevice::WriteOnly));
        help.write("<html><body><a name=\"en\"></a><h1>Kestrum</h1></body></html>");
        help.close();
        for (const char* lng : {"English.lng", "Russian.lng", "Sounds.dxw"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KESTRUM_DATA_DIR "/") + lng, dir_.filePath(lng)));
        QDir::setCurrent(dir_.path());
        qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toUtf8());
        // A language file loaded by an earlier test made its language the default locale,
        // which a first start would take for the user's.
        QLocale::setDefault(QLocale::c());
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    // A shown, active main window; messages are recorded instead of shown.
    std::unique_ptr<MainWindow> openWindow()
    {
        auto w = std::make_unique<MainWindow>(nullptr, [this](const QString& m) { messages_ << m; });
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }

    // Answers every modal window as it comes up: records its name, then lets `answer`
    // deal with it (by default it is closed as by its close box).
    void answerDialogs(std::function<void(QWidget*)> answer = {})
    {
        answer_ = std::move(answer);
        dialogWatch_.setInterval(5);
        QObject::connect(&dialogWatch_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            // A dialog that was answered comes back to the top for a moment when a box it
            // opened closes, before it closes itself: it is not asked again until it has
            // finished.
            if (!modal || modal == lastModal_ || answered_.contains(modal))
                return;
            lastModal_ = modal;
            dialogs_ << modal->objectName();
            answered_.insert(modal);
            QObject::connect(modal, &QObject::destroyed, &dialogWatch_, [this, modal] { answered_.remove(modal); });
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                QObject::connect(dialog, &QDialog::finished, &dialogWatch_,
                                 [this, dialog] { answered_.remove(dialog); }, Qt::SingleShotConnection);
            // Answered from a fresh event, so that a modal window this answer opens is
            // seen by the watcher too.
            QTimer::singleShot(0, modal, [this, modal] {
                lastModal_ = nullptr;
                if (answer_)
                    answer_(modal);
                else
                    modal->close();
            });
        });
        dialogWatch_.start();
    }

    QTemporaryDir dir_;
    QString previous_;
    QStringList messages_;
    QStringList dialogs_;
    QTimer dialogWatch_;
    QWidget* lastModal_ = nullptr;
    QSet<QWidget*> answered_;
    std::function<void(QWidget*)> answer_;
};

struct ExpectedItem {
    const char* name;
    const char* caption;
    const char* shortcut;
    bool checkable;
    bool checkedAtStart;
};

// The menu bar as a player sees it after start-up with no settings file: the texts of
// "English.lng".
const ExpectedItem kExpected[] = {
    {"newGame", "New", "F2", false, false},
    {"pause", "Pause", "P", false, false},
    {"hallOfFame", "Hall of Fame...", "", false, false},
    {"exit", "Exit", "", false, false},
    {"slowSpeed", "Slow", "Ctrl+F1", true, false},
    {"normalSpeed", "Normal", "Ctrl+F2", true, true},
    {"fastSpeed", "Fast", "Ctrl+F3", true, false},
    {"customSpeed", "More...", "Ctrl+F4", true, false},
    {"level0", "0: \"Clean\"", "Ctrl+`", true, true},
    {"level1", "1: \"Minus\"", "Ctrl+1", true, false},
    {"level2", "2: \"Slit\"", "Ctrl+2", true, false},
    {"level3", "3: \"Lanes\"", "Ctrl+3", true, false},
    {"level4", "4: \"Plus\"", "Ctrl+4", true, false},
    {"level5", "5: \"Letter H\"", "Ctrl+5", true, false},
    {"level6", "6: \"Pen\"", "Ctrl+6", true, false},
    {"level7", "7: \"Letter Zh\"", "Ctrl+7", true, false},
    {"level8", "8: \"Crosshair\"", "Ctrl+8", true, false},
    {"level9", "9: \"Corridor\"", "Ctrl+9", true, false},
    {"level10", "10: \"Zigzag\"", "Ctrl+0", true, false},
    {"nextLevel", "Next level", "Ctrl+=", true, false},
    {"openLevelPack", "Open level pack...", "", false, false},
    {"fieldSetup", "Field setup...", "Ctrl+O", false, false},
    {"selectLanguage", "Select language...", "Ctrl+L", false, false},
    {"keys", "Keys...", "", false, false},
    {"volume", "Volume...", "", false, false},
    {"sounds", "All sounds", "Ctrl+S", true, false},
    {"music", "Background music", "Ctrl+M", true, false},
    {"quickTurns", "Quick turns", "", true, false},
    {"fullScreen", "Full screen", "F11", true, false},
    {"help", "Help", "F1", false, false},
    {"about", "About...", "", false, false},
};

TEST_F(WindowTest, EveryMenuItemHasItsCaptionShortcutAndCheckMark)
{
    auto w = openWindow();
    for (const ExpectedItem& e : kExpected) {
        SCOPED_TRACE(e.name);
        QAction* a = w->action(QString::fromLatin1(e.name));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption));
        EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), QString::fromLatin1(e.shortcut));
        EXPECT_EQ(a->isCheckable(), e.checkable);
        EXPECT_EQ(a->isChecked(), e.checkedAtStart);
        EXPECT_TRUE(a->isEnabled());
    }
    QStringList bar;
    for (QAction* a : w->menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, (QStringList{"File     ", "Options     ", "&?"}));
    // The twelve level items all carry their tag.
    EXPECT_EQ(w->action("level10")->data().toInt(), 10);
    EXPECT_EQ(w->action("nextLevel")->data().toInt(), 11);
    EXPECT_EQ(w->action("speedMenu")->menu()->actions().size(), 4);
    EXPECT_EQ(w->action("levelMenu")->menu()->actions().size(), 11);
}

// Offscreen there is no frame: this is the client's layout. The frame, title bar included,
// is measured on real desktops by the Desktop.TheWindow... flows.
TEST_F(WindowTest, TheClientAreaHoldsTheMenuBarTheFieldAndThePanelAtTheRightEdge)
{
    auto w = openWindow();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(w->pos(), QPoint(0, 0));
    EXPECT_EQ(w->size(), QSize(screen.width(), screen.height() - 29));
    const int menuHeight = w->menuBar()->height();
    const QPoint fieldTop = w->fieldView()->mapTo(w.get(), QPoint(0, 0));
    EXPECT_EQ(fieldTop, QPoint(0, menuHeight));
    EXPECT_EQ(w->fieldView()->height(), w->height() - menuHeight);
    EXPECT_EQ(w->panel()->width(), 102);
    EXPECT_EQ(w->panel()->mapTo(w.get(), QPoint(0, 0)).x(), screen.width() - 102);
    EXPECT_EQ(w->game().state().CellSize, 22);
    EXPECT_EQ(w->game().state().FieldSize, w->fieldView()->height() / 22);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();
}

TEST(WindowArea, TheDesktopsWorkAreaElseTheScreenLessTheTaskBarStrip)
{
    const struct {
        QRect screen, available, area;
    } cases[] = {
        {{0, 0, 1024, 768}, {0, 0, 1024, 768}, {0, 0, 1024, 739}},          // no panel reported
        {{0, 0, 1920, 1080}, {0, 32, 1920, 1048}, {0, 32, 1920, 1048}},     // a top bar
        {{0, 0, 1280, 1024}, {0, 0, 1280, 984}, {0, 0, 1280, 984}},         // a panel below
        {{1024, 0, 1024, 768}, {1024, 0, 1024, 768}, {1024, 0, 1024, 739}}, // the right monitor
        {{0, 0, 800, 600}, {0, 0, 900, 600}, {0, 0, 800, 571}},             // beyond the screen
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowArea(c.screen, c.available), c.area) << c.available.y() << " " << c.available.height();
}

TEST_F(WindowTest, SidePanelShowsItsCountersHintsAndPictures)
{
    auto w = openWindow();
    SidePanel* p = w->panel();
    EXPECT_EQ(p->scoreLabel->text(), "0");
    EXPECT_EQ(p->livesLabel->text(), "x 3");
    EXPECT_EQ(p->eatenLabel->text(), "x 0");
    EXPECT_EQ(p->levelLabel->text(), "0  level");
    EXPECT_EQ(p->lengthLabel->text(), "3");
    EXPECT_EQ(p->scoreLabel->toolTip(), "Double-click here");
    EXPECT_EQ(p->livesLabel->toolTip(), "Lives");
    EXPECT_EQ(p->livesPicture->toolTip(), "Lives");
    EXPECT_EQ(p->eatenLabel->toolTip(), "Apples eaten");
    EXPECT_EQ(p->levelFrame->toolTip(), "Level");
    EXPECT_TRUE(p->lengthFrame->toolTip().startsWith("Length\n"));
    EXPECT_EQ(p->scoreLabel->font().pixelSize(), 27);
    EXPECT_TRUE(p->scoreLabel->font().bold() && p->scoreLabel->font().italic());
    EXPECT_EQ(p->scoreLabel->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(p->livesLabel->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_EQ(p->legendDeath->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    EXPECT_EQ(p->legend->cursor().shape(), Qt::ForbiddenCursor);
    // The legend sits at the bottom, the pictures have the skin's cells.
    EXPECT_EQ(p->legend->y(), p->height() - p->legend->height() - 4);
    EXPECT_EQ(p->legendNextPicture->size(), QSize(44, 22));
    EXPECT_EQ(p->livesPicture->pixmap().toImage().pixel(11, 11) | 0xFF000000,
              tileColour(13) | 0xFF000000);
    EXPECT_EQ(p->legendDeathPicture->pixmap().toImage().pixel(11, 11) | 0xFF000000,
              tileColour(11) | 0xFF000000);
    // The cartoon moves down on fields taller than 480 pixels; the indicator waits above it,
    // clear of the length box: with 22-pixel cells it is 28 pixels square and the gap
    // (147 ... 175) is narrower, so it starts one pixel below the box's frame.
    // The length box ends at 147: the cartoon stands at 149, or at 175 below a field of
    // 481 pixels or more.
    EXPECT_EQ(p->lengthFrame->y() + p->lengthFrame->height(), 147);
    for (const auto& [height, top] : {std::pair{480, 149}, {481, 175}, {700, 175}, {300, 149}}) {
        w->layoutSidePanel(w->game().pictures(), height);
        EXPECT_EQ(p->Anim->y(), top) << "field " << height << " pixels high";
    }
    EXPECT_EQ(p->mushroomIndicator->width(), 28);
    EXPECT_EQ(p->mushroomIndicator->y(), 150);
    EXPECT_FALSE(p->mushroomIndicator->geometry().intersects(p->lengthFrame->geometry()));
    EXPECT_FALSE(p->mushroomIndicator->isVisible());
}

TEST_F(WindowTest, F2PAndF1ReachTheirCommands)
{
    auto w = openWindow();
    answerDialogs();
    GameState& s = w->game().state();
    s.Lives = 1;
    s.Score = 42;
    QTest::keyClick(w.get(), Qt::Key_F2);
    EXPECT_EQ(s.Lives, 3);
    EXPECT_EQ(s.Score, 0);
    EXPECT_EQ(dialogs_, (QStringList{"playerNameDialog", "hallOfFameDialog"}));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));

    // P starts a stopped game and stops a running one; the key never steers.
    EXPECT_FALSE(w->gameTimer().isActive());
    QTest::keyClick(w.get(), Qt::Key_P);
    EXPECT_TRUE(w->gameTimer().isActive());
    EXPECT_TRUE(s.TurnAllowed);
    QTest::keyClick(w.get(), Qt::Key_P);
    EXPECT_FALSE(w->gameTimer().isActive());
    EXPECT_TRUE(s.ResumeOnKey);

    QTest::keyClick(w.get(), Qt::Key_F1);
    EXPECT_TRUE(w->helpWindow()->isVisible());
    EXPECT_EQ(w->helpWindow()->shownAnchor(), "en");
    w->helpWindow()->close();
}

TEST_F(WindowTest, KeysThatAreNotShortcutsReachTheGame)
{
    auto w = openWindow();
    GameState& s = w->game().state();
    QTest::keyClick(w->fieldView(), Qt::Key_Left);
    EXPECT_TRUE(w->gameTimer().isActive());
    EXPECT_EQ(s.Direction, dirLeft);
    EXPECT_FALSE(s.TurnAllowed);
    w->gameTimer().stop();
}

// A menu bar left holding the keyboard (a menu closed with Escape) passes the arrows on to
// the field.
TEST_F(WindowTest, TheArrowsSteerEvenWhileTheMenuBarHoldsTheKeyboard)
{
    auto w = openWindow();
    GameState& s = w->game().state();
    w->menuBar()->setFocus();
    ASSERT_TRUE(w->menuBar()->hasFocus());
    s.TurnAllowed = true;
    QTest::keyClick(w->menuBar(), Qt::Key_Left);
    EXPECT_EQ(s.Direction, dirLeft);
    EXPECT_TRUE(w->fieldView()->hasFocus());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "no menu opened";
}

TEST_F(WindowTest, ALetterKeyUsesUpTheTurnWhileAShortcutLetterDoesNot)
{
    auto w = openWindow();
    GameState& s = w->game().state();
    QTest::keyClick(w->fieldView(), Qt::Key_Q);
    EXPECT_FALSE(s.TurnAllowed);
    w->game().tick();
    EXPECT_TRUE(s.TurnAllowed);
    QTest::keyClick(w->fieldView(), Qt::Key_P);  // the pause shortcut
    EXPECT_TRUE(s.TurnAllowed);
    w->gameTimer().stop();
}

TEST_F(WindowTest, AMissingSkinIsReportedAndTheBuiltInSkinPlays)
{
    QFile::remove(dir_.filePath("Skins/kestrum"));
    auto w = openWindow();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith("Cannot open file ")) << messages_[0].toStdString();
    EXPECT_EQ(w->game().state().CellSize, 22);
    EXPECT_FALSE(w->game().pictures().isEmpty());
}

TEST_F(WindowTest, ASkinWithHugeCellsIsRefused)
{
    ASSERT_TRUE(solidSkin(200).save(dir_.filePath("Skins/kestrum"), "BMP"));
    auto w = openWindow();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains("fewer than 10")) << messages_[0].toStdString();
    EXPECT_GE(w->game().state().FieldSize, 10);
}

TEST_F(WindowTest, AMissingBackgroundIsReportedOnceAndTheGameGoesOn)
{
    QFile::remove(dir_.filePath("Skins/Fone.bmp"));
    auto w = openWindow();
    QTest::keyClick(w.get(), Qt::Key_F2);
    w->game().RestartAfterDelay(0);
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_EQ(w->game().state().FieldSize, w->fieldView()->height() / 22);
}

TEST_F(WindowTest, AMissingHelpFileIsReported)
{
    QFile::remove(dir_.filePath("Kestrum.hlp"));
    auto w = openWindow();
    QTest::keyClick(w.get(), Qt::Key_F1);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains("Kestrum.hlp"));
}

TEST_F(WindowTest, ClosingStopsEveryTimer)
{
    auto w = openWindow();
    QTest::keyClick(w->fieldView(), Qt::Key_Up);
    ASSERT_TRUE(w->gameTimer().isActive());
    w->close();
    EXPECT_FALSE(w->gameTimer().isActive());
    EXPECT_FALSE(w->sequenceTimer().isActive());
    EXPECT_FALSE(w->animating());
    EXPECT_TRUE(w->game().state().ResumeOnKey);
    EXPECT_TRUE(w->game().pictures().isEmpty());
}

TEST_F(WindowTest, TheLevelMenuAndTheLabelsMoveTheCheckMark)
{
    auto w = openWindow();
    QTest::keyClick(w.get(), Qt::Key_5, Qt::ControlModifier);
    EXPECT_EQ(w->game().state().Level, 5);
    EXPECT_TRUE(w->action("level5")->isChecked());
    EXPECT_FALSE(w->action("level0")->isChecked());
    int checked = 0;
    for (const char* name : {"level0", "level1", "level2", "level3", "level4", "level5", "level6", "level7", "level8", "level9",
                             "level10", "nextLevel"})
        checked += w->action(name)->isChecked();
    EXPECT_EQ(checked, 1);
    w->game().sequenceStep();  // the death sequence the level choice started
    w->sequenceTimer().stop();
    w->game().state().Level = 0;
    QTest::mouseClick(w->panel()->eatenLabel, Qt::LeftButton);
    EXPECT_EQ(w->game().state().Level, -1);
    EXPECT_TRUE(w->action("nextLevel")->isChecked());
    EXPECT_EQ(w->panel()->levelLabel->text(), "-1 level");
    QTest::mouseClick(w->panel()->livesLabel, Qt::LeftButton);
    QTest::mouseClick(w->panel()->livesLabel, Qt::LeftButton);
    EXPECT_EQ(w->game().state().Level, 1);
    EXPECT_TRUE(w->action("level1")->isChecked());
    QTest::keyClick(w.get(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(w->game().state().Level, 2);
    EXPECT_EQ(w->game().state().Lives, 3);
}

// --- Settings, speed and the hall of fame ---------------------------------------------

QString userIni(const QTemporaryDir& dir) { return dir.filePath("config/Kestrum/Kestrum.ini"); }

TEST_F(WindowTest, WithoutSettingsEveryDefaultHoldsAndStartUpWritesTheSoundSwitch)
{
    auto w = openWindow();
    EXPECT_EQ(w->gameTimer().interval(), 100);
    EXPECT_TRUE(w->action("normalSpeed")->isChecked());
    EXPECT_FALSE(w->action("sounds")->isChecked());
    EXPECT_FALSE(w->action("music")->isChecked());
    EXPECT_EQ(w->config().SkinAliases[0].Name, "Kestrum");
    EXPECT_EQ(w->config().AlCount, 1);
    ASSERT_TRUE(QFile::exists(userIni(dir_)));
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "Sounds", 7), 0);
}

TEST_F(WindowTest, TheSpeedSettingMarksItsMenuItem)
{
    const std::pair<const char*, const char*> cases[] = {{"75", "customSpeed"}, {"150", "slowSpeed"}, {"50", "fastSpeed"}};
    for (const auto& [speed, item] : cases) {
        QFile ini(dir_.filePath("Kestrum.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QByteArray("[options]\nSpeed=") + speed + "\n");
        ini.close();
        auto w = openWindow();
        EXPECT_EQ(w->gameTimer().interval(), QByteArray(speed).toInt());
        int checked = 0;
        for (const char* name : {"slowSpeed", "normalSpeed", "fastSpeed", "customSpeed"})
            checked += w->action(name)->isChecked();
        EXPECT_EQ(checked, 1);
        EXPECT_TRUE(w->action(item)->isChecked()) << speed;
    }
}

TEST_F(WindowTest, AReadOnlySettingsFileIsReportedAndTheGameGoesOn)
{
    QFile ini(dir_.filePath("Kestrum.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[options]\nSpeed=50\n");
    ini.close();
    QFile::setPermissions(ini.fileName(), QFile::ReadOwner);
    auto w = openWindow();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0], "Unable to write to " + dir_.filePath("Kestrum.ini"));
    EXPECT_EQ(w->gameTimer().interval(), 50);
    EXPECT_GT(w->game().state().FieldSize, 10);
    w->action("normalSpeed")->trigger();
    EXPECT_EQ(w->gameTimer().interval(), 100) << "the new speed holds for the run";
    EXPECT_EQ(messages_.size(), 2);
    QFile::setPermissions(ini.fileName(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(WindowTest, APresetEndsTheGameEvenAtTheSameSpeedAndRewritesIt)
{
    auto w = openWindow();
    ProfileFile(userIni(dir_)).writeInt("options", "Speed", 77, nullptr);
    w->action("normalSpeed")->trigger();
    EXPECT_EQ(w->game().state().Seq, Sequence::animDeath3);
    EXPECT_EQ(w->game().state().Lives, 0);
    EXPECT_TRUE(w->sequenceTimer().isActive());
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "Speed", 0), 100);
    EXPECT_TRUE(w->action("normalSpeed")->isChecked());
    w->action("fastSpeed")->trigger();
    EXPECT_EQ(w->gameTimer().interval(), 50);
    EXPECT_TRUE(w->action("fastSpeed")->isChecked());
    EXPECT_FALSE(w->action("normalSpeed")->isChecked());
    w->sequenceTimer().stop();
}

// Sets the speed dialog's bar and presses one of its buttons.
std::function<void(QWidget*)> speedAnswer(int value, bool ok, int* shown = nullptr)
{
    return [=](QWidget* modal) {
        auto* vel = qobject_cast<SpeedDialog*>(modal);
        ASSERT_NE(vel, nullptr);
        if (shown)
            *shown = vel->intervalSlider->value();
        vel->intervalSlider->setValue(value);
        (ok ? vel->okButton : vel->cancelButton)->click();
    };
}

TEST_F(WindowTest, TheCustomSpeedDialogSetsAnyIntervalAndEndsTheGame)
{
    struct Case {
        int value;
        bool ok;
        int interval;
        const char* checked;
    };
    for (const Case& c : {Case{100, true, 100, "normalSpeed"}, Case{120, true, 120, "customSpeed"},
                          Case{250, false, 120, "customSpeed"}}) {
        SCOPED_TRACE(c.value);
        auto w = openWindow();
        if (c.value == 250)
            w->gameTimer().setInterval(120);
        answerDialogs(speedAnswer(c.value, c.ok));
        w->action("customSpeed")->trigger();
        EXPECT_EQ(dialogs_.last(), "speedDialog");
        EXPECT_EQ(w->gameTimer().interval(), c.interval);
        EXPECT_TRUE(w->action(c.checked)->isChecked());
        EXPECT_EQ(w->game().state().Seq, Sequence::animDeath3) << "every way out ends the game";
        // Cancel writes nothing: the file keeps what the case before stored.
        EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "Speed", 0), c.interval);
        w->sequenceTimer().stop();
        dialogWatch_.stop();
        QObject::disconnect(&dialogWatch_, nullptr, nullptr, nullptr);
    }
}

TEST_F(WindowTest, AStoredSpeedOutsideTheBarShowsAtItsEnd)
{
    QFile ini(dir_.filePath("Kestrum.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[options]\nSpeed=10\n");
    ini.close();
    auto w = openWindow();
    EXPECT_EQ(w->gameTimer().interval(), 10);
    int shown = 0;
    answerDialogs(speedAnswer(20, true, &shown));
    w->action("customSpeed")->trigger();
    EXPECT_EQ(shown, 20);
    EXPECT_EQ(ProfileFile(dir_.filePath("Kestrum.ini")).readInt("options", "Speed", 0), 20);
    w->sequenceTimer().stop();
}

// Answers the name dialog with a name, and the hall of fame with OK or Clear (and then
// the confirmation with Yes or No).
std::function<void(QWidget*)> fameAnswer(QString name, bool clear = false, bool yes = false,
                                         QStringList* shownNames = nullptr)
{
    return [=](QWidget* modal) {
        if (auto* n = qobject_cast<PlayerNameDialog*>(modal)) {
            n->nameEdit->setText(name);
            n->okButton->click();
        } else if (auto* f = qobject_cast<HallOfFameDialog*>(modal)) {
            if (shownNames)
                for (int k = 1; k <= 8; ++k)
                    *shownNames << f->nameLabel(k)->text() + "=" + f->scoreLabel(k)->text();
            (clear ? f->clearButton : f->okButton)->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        } else {
            modal->close();
        }
    };
}

void writeFame(const QString& path, std::initializer_list<int> scores)
{
    std::vector<ProfileFile::Entry> entries;
    int k = 1;
    for (int s : scores) {
        entries.push_back({"fame", QStringLiteral("Score%1").arg(k), QString::number(s)});
        entries.push_back({"fame", QStringLiteral("Name%1").arg(k), QStringLiteral("P%1").arg(s)});
        ++k;
    }
    ProfileFile(path).write(entries, nullptr);
}

TEST_F(WindowTest, TheFirstHallOfFameListsEightEmptyPlaces)
{
    auto w = openWindow();
    QStringList shown;
    answerDialogs(fameAnswer("", false, false, &shown));
    w->action("hallOfFame")->trigger();
    EXPECT_EQ(shown, (QStringList{"1. =0", "2. =0", "3. =0", "4. =0", "5. =0", "6. =0", "7. =0", "8. =0"}));
    EXPECT_EQ(dialogs_, QStringList{"hallOfFameDialog"});
}

TEST_F(WindowTest, AGoodScoreAsksForTheNameAndTakesItsPlace)
{
    writeFame(userIni(dir_), {500, 400, 300, 200, 100, 50, 20, 10});
    auto w = openWindow();
    QStringList shown;
    answerDialogs(fameAnswer("Zed with a name of thirty chars", false, false, &shown));
    w->handOverScore(300, true);
    EXPECT_EQ(dialogs_, (QStringList{"playerNameDialog", "hallOfFameDialog"}));
    EXPECT_EQ(w->fame().PlayerName, "Zed with a name of thirty");
    EXPECT_EQ(shown[2], "Zed with a name of t=300");
    EXPECT_EQ(shown[3], "P300=300");
    EXPECT_EQ(shown[7], "P20=20");
    EXPECT_FALSE(w->fame().ScorePending);
    // Saved as the window closed.
    EXPECT_EQ(ProfileFile(userIni(dir_)).readText("fame", "Name3", ""), "Zed with a name of t");
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("fame", "Score8", 0), 20);
}

TEST_F(WindowTest, AScoreEqualToTheEighthIsEnteredWithoutTheNameDialog)
{
    writeFame(userIni(dir_), {500, 400, 300, 200, 100, 50, 20, 10});
    auto w = openWindow();
    QStringList shown;
    answerDialogs(fameAnswer("nobody", false, false, &shown));
    w->handOverScore(10, true);
    EXPECT_EQ(dialogs_, QStringList{"hallOfFameDialog"});
    EXPECT_EQ(shown[7], "=10") << "under the name last confirmed: none yet";
}

TEST_F(WindowTest, ClearingAsksFirstAndTheEmptyNamesStayAfterARestart)
{
    writeFame(userIni(dir_), {500, 400});
    {
        auto w = openWindow();
        answerDialogs(fameAnswer("", true, false));
        w->action("hallOfFame")->trigger();
        EXPECT_EQ(dialogs_, (QStringList{"hallOfFameDialog", ""}));
        EXPECT_EQ(w->fame().table.place(1).FameScore, 500) << "No keeps the table";
        dialogs_.clear();
        answer_ = fameAnswer("", true, true);
        w->action("hallOfFame")->trigger();
        EXPECT_EQ(w->fame().table.place(1).FameScore, 0);
        EXPECT_EQ(w->fame().table.place(1).FameName, "");
        dialogWatch_.stop();
    }
    auto again = openWindow();
    EXPECT_EQ(again->fame().table.place(1).FameName, "");
    EXPECT_EQ(again->fame().table.place(3).FameName, "");
}

// --- Languages and skins ----------------------------------------------------------------

TEST_F(WindowTest, ChoosingALanguageDuringPlayRelabelsEverything)
{
    auto w = openWindow();
    w->game().state().Level = 5;
    w->useLanguageFile(dir_.filePath("Russian.lng"));
    EXPECT_EQ(w->action("fileMenu")->text(), QString::fromUtf8("Файл     "));
    EXPECT_EQ(w->action("newGame")->text(), QString::fromUtf8("Новая игра"));
    EXPECT_EQ(w->panel()->levelLabel->text(), QString::fromUtf8("5  уровень"));
    EXPECT_EQ(w->panel()->legendBonus->text(), QString::fromUtf8("Бонус"));
    EXPECT_EQ(w->windowTitle(), "Kestrum");
    EXPECT_EQ(ProfileFile(userIni(dir_)).readText("options", "LangFileName", ""), "Russian.lng");
    // The level word is read again at the next level change.
    w->game().state().Seq = Sequence::animExit;
    w->game().state().ExitCountdown = 0;
    w->sequenceTimer().start();
    w->game().sequenceStep();
    EXPECT_EQ(w->panel()->levelLabel->text(), QString::fromUtf8("6 уровень"));
    EXPECT_EQ(w->langText(81), QString::fromUtf8("КОНЕЦ ИГРЫ"));
    // Every other level change speaks the chosen language too.
    w->action("nextLevel")->trigger();
    EXPECT_EQ(w->panel()->levelLabel->text(), QString::fromUtf8("7 уровень"));
    w->action("level3")->trigger();
    EXPECT_EQ(w->panel()->levelLabel->text(), QString::fromUtf8("3 уровень"));
    w->game().state().Score = 0;  // nothing for the hall of fame
    w->game().newGame();
    EXPECT_EQ(w->panel()->levelLabel->text(), QString::fromUtf8("0 уровень"));
    EXPECT_EQ(w->panel()->lengthCaption->text(), QString::fromUtf8("длина"));
}

// Qt's own buttons and file dialogs follow the chosen language file.
TEST_F(WindowTest, QtsOwnTextsSpeakTheChosenLanguage)
{
    EXPECT_EQ(QtTranslation::localeOfFile("/x/Russian.lng").language(), QLocale::Russian);
    EXPECT_EQ(QtTranslation::localeOfFile("de.lng").language(), QLocale::German);
    EXPECT_EQ(QtTranslation::localeOfFile("English.lng").language(), QLocale::English);
    EXPECT_EQ(QtTranslation::localeOfFile("Lines.lng").language(), QLocale::C);
    const auto buttonText = [] {
        QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
        return box.button(QMessageBox::Yes)->text() + "|" + box.button(QMessageBox::No)->text();
    };
    const QString english = buttonText();
    EXPECT_EQ(english, "&Yes|&No");
    auto w = openWindow();
    w->useLanguageFile(dir_.filePath("Russian.lng"));
    EXPECT_EQ(buttonText(), QString::fromUtf8("&Да|&Нет"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QString::fromUtf8("Открыть"));
    // The game's own dialogs' OK and Cancel too, in the words of Qt's buttons.
    EXPECT_EQ(w->fieldSetupDialog()->cancelButton->text(), QString::fromUtf8("Отмена"));
    EXPECT_EQ(w->speedDialog()->okButton->text(), QCoreApplication::translate("QPlatformTheme", "OK"));
    EXPECT_EQ(w->addSkinDialog()->cancelButton->text(), QString::fromUtf8("Отмена"));
    EXPECT_EQ(w->keysDialog()->cancelButton->text(), QString::fromUtf8("Отмена"));
    // Dates and the file dialogs' type names speak it too.
    EXPECT_EQ(QLocale().language(), QLocale::Russian);
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 10), QLocale::ShortFormat), "10.12.2026");
    w->useLanguageFile(dir_.filePath("English.lng"));
    EXPECT_EQ(QLocale().language(), QLocale::English);
    EXPECT_EQ(buttonText(), english);
    EXPECT_EQ(w->fieldSetupDialog()->cancelButton->text(), "Cancel");
    EXPECT_EQ(w->speedDialog()->okButton->text(), "OK");
}

// Every dialog text from its language-file line: a file whose line n reads "Tn".
TEST_F(WindowTest, TheDialogsTakeTheirTextsFromTheirLines)
{
    QFile f(dir_.filePath("Lines.lng"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (int n = 1; n <= 92; ++n)
        f.write(QStringLiteral("T%1\n").arg(n).toUtf8());
    f.close();
    auto w = openWindow();
    w->useLanguageFile(f.fileName());
    const auto t = [](int n) { return QStringLiteral("T%1").arg(n); };
    SpeedDialog* speed = w->speedDialog();
    EXPECT_EQ(speed->windowTitle(), t(46));
    EXPECT_EQ(speed->firstGearLabel->text(), t(47));
    EXPECT_EQ(speed->secondGearLabel->text(), t(48));
    EXPECT_EQ(speed->thirdGearLabel->text(), t(49));
    EXPECT_EQ(speed->parkLabel->text(), t(50));
    EXPECT_EQ(w->fieldSetupDialog()->windowTitle(), t(51));
    EXPECT_EQ(w->playerNameDialog()->windowTitle(), t(55));
    EXPECT_EQ(w->playerNameDialog()->promptLabel->text(), t(55));
    EXPECT_EQ(w->addSkinDialog()->nameLabel->text(), t(53));
    EXPECT_EQ(w->addSkinDialog()->fileLabel->text(), t(54));
    EXPECT_EQ(w->hallOfFameDialog()->windowTitle(), t(56));
    EXPECT_EQ(w->hallOfFameDialog()->clearButton->text(), t(57));
    EXPECT_EQ(w->addSkinDialog()->windowTitle(), t(58));
    EXPECT_EQ(w->fieldSetupDialog()->addButton->text(), t(60));
    EXPECT_EQ(w->addSkinDialog()->addButton->text(), t(60));
    EXPECT_EQ(w->fieldSetupDialog()->deleteButton->text(), t(61));
    EXPECT_EQ(w->addSkinDialog()->openDialogTitle, t(62));
    const auto* about = w->findChild<AboutBox*>();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), t(63));
    EXPECT_EQ(about->commentsLabel->text(), t(83));
    // A file written before those lines had a use leaves them empty: the labels keep words.
    QFile older(dir_.filePath("Older.lng"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    for (int n = 1; n <= 92; ++n)
        older.write(n == 53 || n == 54 ? QByteArray("\n") : QStringLiteral("T%1\n").arg(n).toUtf8());
    older.close();
    w->useLanguageFile(older.fileName());
    EXPECT_EQ(w->addSkinDialog()->nameLabel->text(), "Name");
    EXPECT_EQ(w->addSkinDialog()->fileLabel->text(), "Picture file");
}

TEST_F(WindowTest, StartAndTheHallOfFameAskForTheirSounds)
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", dir_.filePath("out.raw").toUtf8());
    ProfileFile(userIni(dir_)).writeInt("options", "Sounds", 1, nullptr);
    auto w = openWindow();
    ASSERT_TRUE(w->action("sounds")->isChecked());
    EXPECT_EQ(w->soundEffects().sounding("Start"), 1) << "the first showing plays \"Start\"";
    int showFame = -1;
    answerDialogs([&](QWidget* modal) {
        if (modal->objectName() == "hallOfFameDialog")
            showFame = w->soundEffects().sounding("ShowFame");
        modal->close();
    });
    w->handOverScore(50, true);
    EXPECT_EQ(showFame, 1) << "a score entered in the hall of fame plays \"ShowFame\"";
    qunsetenv("SDL_AUDIODRIVER");
}

// A typed name without its extension finds the file.
TEST_F(WindowTest, TheFileDialogsOpenWhereTheirFilesAreWithTheirExtensions)
{
    QDir().mkpath(dir_.filePath("levels"));
    auto w = openWindow();
    QStringList seen;
    answerDialogs([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal))
            seen << QDir(dir_.path()).relativeFilePath(dialog->directory().absolutePath()) + " " +
                        dialog->selectedNameFilter() + " " + dialog->defaultSuffix();
        modal->close();
    });
    w->action("selectLanguage")->trigger();
    w->action("openLevelPack")->trigger();
    w->addSkinDialog()->browse();
    EXPECT_EQ(seen, (QStringList{". Language files (*.lng) lng", "levels Kestrum levels (*.lev) lev",
                                 "Skins All files (*) "}));
}

TEST_F(WindowTest, APictureIsChosenByItsNameWithOrWithoutItsExtension)
{
    ASSERT_TRUE(solidSkin(16).save(dir_.filePath("Skins/plain"), "BMP"));
    ASSERT_TRUE(solidSkin(16).save(dir_.filePath("Skins/dotted.bmp"), "BMP"));
    auto w = openWindow();
    QString typed;
    answerDialogs([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            // Typed into its name box, as a player does.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(typed);
            static_cast<QDialog*>(dialog)->accept();  // its Open button
        } else {
            modal->close();
        }
    });
    for (const auto& [name, chosen] : {std::pair{"plain", "plain"}, std::pair{"dotted", "dotted.bmp"}}) {
        typed = QString::fromLatin1(name);
        w->addSkinDialog()->browse();
        EXPECT_EQ(w->addSkinDialog()->fileEdit->text(), chosen) << name;
    }
}

// The cell animations keep their pace of a step every 10 ms, though their steps are taken
// at the frames.
TEST_F(WindowTest, AnimationsTakeAStepEvery10Milliseconds)
{
    auto w = openWindow();
    GameState& s = w->game().state();
    QTest::qWait(300);  // the start's apple and exit have grown in
    ASSERT_FALSE(w->animating());
    w->game().StartCellAnimation(3, 3, tile::Pear, 1, 30);  // 31 frames, ends at the 32nd step
    const TCellAnimation& slot = s.CellAnimations[0];
    ASSERT_TRUE(slot.Active);
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(150);
    const qint64 at = clock.elapsed();
    EXPECT_NEAR(slot.Step, at / 10, 3) << "after " << at << " ms";
    QTest::qWait(300);
    EXPECT_FALSE(slot.Active) << "over after 32 steps";
    EXPECT_FALSE(w->animating()) << "nothing wakes the window any more";
    EXPECT_EQ(w->game().state().ActiveAnimations, 0);
}

// Played for three seconds at 50 ms with items coming and going: the field reaches the
// screen at most once a refresh, every tick gets its frame, and in the end the screen
// holds exactly the field picture.
TEST_F(WindowTest, FramesComeAtMostOnceARefreshAndLoseNothing)
{
    auto w = openWindow();
    // The moments of the field's paints.
    struct Frames : QObject {
        QElapsedTimer clock;
        std::vector<qint64> at;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                at.push_back(clock.nsecsElapsed() / 1000);
            return false;
        }
    } frames;
    frames.clock.start();
    Game& game = w->game();
    GameState& s = game.state();
    bench::neverEnd(s);
    s.Drug = {{0, 0}, false, -1};  // no warning dialog
    w->gameTimer().setInterval(50);
    int ticks = 0, animatedTicks = 0;
    QObject::connect(&w->gameTimer(), &QTimer::timeout, [&] {
        ++ticks;
        animatedTicks += w->animating();
        bench::steerOnPath(game, 3);
    });
    QTest::qWait(100);
    w->fieldView()->installEventFilter(&frames);
    QElapsedTimer clock;
    clock.start();
    bench::startOnPath(game);
    QTest::qWait(3000);
    w->gameTimer().stop();
    const qint64 played = clock.elapsed();
    QTest::qWait(100);
    ASSERT_EQ(s.Seq, Sequence::None) << "the snake stayed on its path";
    EXPECT_GE(animatedTicks, 2) << "items came and went (a slow build plays fewer ticks)";
    const int count = static_cast<int>(frames.at.size());
    EXPECT_GE(count, ticks - 1) << "every tick is shown";
    EXPECT_LE(count, played / w->frameInterval() + 2) << count << " frames in " << played << " ms";
    // Two frames come a refresh apart or more (less 4 ms for a late paint before an early
    // one; a busy machine may do that now and then). Shown as they come, the animator's
    // steps would be 10 ms apart.
    int close = 0;
    for (size_t i = 1; i < frames.at.size(); ++i)
        close += frames.at[i] - frames.at[i - 1] < (w->frameInterval() - 4) * 1000;
    EXPECT_LE(close, count / 20) << "of " << count << " frames for " << ticks << " ticks";
    // What the screen holds is the field picture: nothing drawn was left off it.
    const QPoint at = w->fieldView()->mapTo(w.get(), QPoint(0, 0));
    const QImage shown = QGuiApplication::primaryScreen()
                             ->grabWindow(w->winId(), at.x(), at.y(), w->fieldView()->width(),
                                          w->fieldView()->height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, game.canvas().image());
}

TEST_F(WindowTest, AFirstStartSpeaksTheUsersLanguageAndKeepsItAsAChoice)
{
    for (const auto& [language, file, title] :
         {std::tuple{QLocale::Russian, "Russian.lng", "Файл"}, std::tuple{QLocale::German, "English.lng", "File"}}) {
        SCOPED_TRACE(file);
        QFile::remove(userIni(dir_));
        QLocale::setDefault(QLocale(language));
        auto w = openWindow();
        QLocale::setDefault(QLocale::c());
        EXPECT_EQ(w->action("fileMenu")->text().trimmed(), QString::fromUtf8(title));
        EXPECT_EQ(ProfileFile(userIni(dir_)).readText("options", "LangFileName", ""), file);
    }
    // Once chosen, the choice stands whatever the locale.
    QLocale::setDefault(QLocale(QLocale::Russian));
    ProfileFile(userIni(dir_)).writeText("options", "LangFileName", "English.lng", nullptr);
    auto w = openWindow();
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(w->action("fileMenu")->text().trimmed(), "File");
}

TEST_F(WindowTest, AMissingLanguageFallsBackToEnglishThenRussian)
{
    ProfileFile(userIni(dir_)).writeText("options", "LangFileName", "Klingon.lng", nullptr);
    QFile::remove(dir_.filePath("English.lng"));
    auto w = openWindow();
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_EQ(w->action("exit")->text(), QString::fromUtf8("Выход"));
    EXPECT_EQ(ProfileFile(userIni(dir_)).readText("options", "LangFileName", ""), "Klingon.lng")
        << "the setting stays until a language is chosen";
}

TEST_F(WindowTest, WithoutAnyLanguageFileTheBuiltInEnglishSpeaks)
{
    QFile::remove(dir_.filePath("English.lng"));
    QFile::remove(dir_.filePath("Russian.lng"));
    auto w = openWindow();
    EXPECT_EQ(messages_, QStringList{"File not found"});
    EXPECT_EQ(w->action("newGame")->text(), "New");
    EXPECT_EQ(w->langText(81), "GAME OVER");
    EXPECT_GT(w->game().state().FieldSize, 10) << "start-up went on";
}

TEST_F(WindowTest, TheFieldSetupRebuildsTheFieldWithTheChosenSkin)
{
    ASSERT_TRUE(solidSkin(16).save(dir_.filePath("Skins/small"), "BMP"));
    auto w = openWindow();
    GameState& s = w->game().state();
    s.Level = 3;
    s.Score = 37;
    s.Lives = 2;
    s.EatenCount = 5;
    w->config().SkinAliases[1] = {"Small", "small"};
    w->config().AlCount = 2;
    answerDialogs([](QWidget* modal) {
        if (auto* set = qobject_cast<FieldSetupDialog*>(modal)) {
            set->aliasList->addItem("Small");
            set->aliasList->setCurrentRow(1);
            set->okButton->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->button(QMessageBox::No)->click();
        }
    });
    w->action("fieldSetup")->trigger();
    EXPECT_EQ(dialogs_.first(), "fieldSetupDialog");
    EXPECT_EQ(w->game().state().CellSize, 16);
    EXPECT_EQ(w->game().state().FieldSize, w->fieldView()->height() / 16);
    EXPECT_EQ(w->game().state().Level, 3) << "a new attempt at the same level";
    // The running game goes on: only the field is new.
    EXPECT_EQ(s.Score, 37);
    EXPECT_EQ(w->panel()->scoreLabel->text(), "37");
    EXPECT_EQ(s.Lives, 2);
    EXPECT_EQ(s.EatenCount, 5);
    EXPECT_EQ(w->panel()->legendFoodPicture->width(), 16);
    EXPECT_EQ(w->SkinFileName, "small");
}

TEST_F(WindowTest, AScreenOfAnotherSizeTakesTheWindowAndTheGameGoesOnOnANewField)
{
    auto w = openWindow();
    GameState& s = w->game().state();
    w->keyDown(38);
    for (int i = 0; i < 3; ++i)
        w->tick();
    s.Level = 3;
    s.Score = 37;
    s.Lives = 2;
    const int before = s.FieldSize;
    // A smaller screen: 800 x 600 less the task bar's strip.
    w->fitToArea(QRect(0, 0, 800, 571));
    EXPECT_EQ(w->frameGeometry(), QRect(0, 0, 800, 571)) << "the window with its frame covers the area";
    const int clientHeight = w->height() - w->menuBar()->sizeHint().height();
    EXPECT_EQ(w->fieldView()->height(), clientHeight);
    EXPECT_EQ(s.FieldSize, clientHeight / s.CellSize);
    EXPECT_LT(s.FieldSize, before);
    EXPECT_EQ(s.Level, 3);
    EXPECT_EQ(s.Score, 37);
    EXPECT_EQ(w->panel()->scoreLabel->text(), "37");
    EXPECT_EQ(s.Lives, 2);
    EXPECT_TRUE(s.ResumeOnKey) << "the new attempt waits for a key";
    EXPECT_FALSE(w->gameTimer().isActive());
    w->keyDown(38);
    EXPECT_TRUE(w->gameTimer().isActive());
}

TEST_F(WindowTest, AHallOfFameThatCannotBeSavedSaysSo)
{
    auto w = openWindow();
    const QString ini = userIni(dir_);
    ASSERT_TRUE(ProfileFile(ini).writeInt("options", "Speed", 100, nullptr));
    ASSERT_TRUE(QFile::setPermissions(ini, QFile::ReadOwner));
    answerDialogs([](QWidget* modal) { modal->close(); });
    w->handOverScore(900, true);
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(messages_.contains("Unable to write to " + QFileInfo(ini).absoluteFilePath())) << messages_.join('|').toStdString();
    EXPECT_EQ(w->fame().table.place(1).FameScore, 900) << "the table in memory keeps the score";
}

TEST_F(WindowTest, F1InADialogOpensTheHelpAtItsTopicOverIt)
{
    QFile::copy(QStringLiteral(KESTRUM_DATA_DIR "/Kestrum.hlp"), dir_.filePath("Kestrum.hlp"));
    auto w = openWindow();
    QStringList topics;
    answerDialogs([&](QWidget* modal) {
        if (modal->objectName() == "helpWindow")
            return;
        QTest::keyClick(modal, Qt::Key_F1);
        HelpWindow* help = w->helpWindow();
        topics << (help->isVisible() && help->isModal() ? help->shownAnchor() : QString("no help over it"));
        // The help, not the dialog, has the keyboard now; closed, it gives it back.
        EXPECT_EQ(QApplication::activeModalWidget(), help) << modal->objectName().toStdString();
        help->close();
        EXPECT_EQ(QApplication::activeModalWidget(), modal);
        modal->close();
    });
    w->action("customSpeed")->trigger();
    w->action("hallOfFame")->trigger();
    w->action("fieldSetup")->trigger();
    w->handOverScore(900, true);
    EXPECT_EQ(topics, (QStringList{"speed", "fame", "skins", "fame", "fame"})) << dialogs_.join('|').toStdString();
    // From the game itself the help stands beside it.
    w->action("help")->trigger();
    EXPECT_TRUE(w->helpWindow()->isVisible());
    EXPECT_FALSE(w->helpWindow()->isModal());
    EXPECT_EQ(w->helpWindow()->shownAnchor(), "en");
}

// --- The game waits while the player is away ----------------------------------------

TEST_F(WindowTest, AMenuADialogOrAnotherWindowPausesTheGameAndAKeyBringsItBack)
{
    auto w = openWindow();
    FieldView* field = w->fieldView();
    const auto play = [&] {
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(field, Qt::Key_A);
        ASSERT_TRUE(w->gameTimer().isActive());
        ASSERT_EQ(field->notice(), "");
    };
    const auto paused = [&](const char* what) {
        EXPECT_FALSE(w->gameTimer().isActive()) << what;
        EXPECT_TRUE(w->game().state().ResumeOnKey) << what;
        EXPECT_EQ(field->notice(), "Paused: press any key") << what;
    };
    play();
    auto* fileMenu = w->findChild<QMenu*>("fileMenu");
    ASSERT_NE(fileMenu, nullptr);
    fileMenu->popup(w->mapToGlobal(QPoint(0, 0)));
    paused("a menu");
    fileMenu->close();

    play();
    bool pausedBehindIt = false;
    answerDialogs([&](QWidget* modal) {
        pausedBehindIt = !w->gameTimer().isActive();
        modal->close();
    });
    w->action("about")->trigger();
    EXPECT_TRUE(pausedBehindIt) << "the about box";
    paused("after the about box");

    play();
    w->action("help")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!w->gameTimer().isActive(), 2000);
    paused("the help window");
    w->helpWindow()->close();

    play();
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!w->gameTimer().isActive(), 2000);
    paused("another window");

    play();  // a key starts it again
    EXPECT_EQ(w->game().state().TickCount, 0) << "no tick came while the player was away";
    w->gameTimer().stop();
}

TEST_F(WindowTest, AfterTheToadstoolsWarningPlayGoesOnByItself)
{
    auto w = openWindow();
    GameState& s = w->game().state();
    QTest::keyClick(w->fieldView(), Qt::Key_Up);
    ASSERT_TRUE(w->gameTimer().isActive());
    // A toadstool right in front of the head: the next tick eats it and shows the warning.
    s.Drug = {{s.SnakeBody[0].X, s.SnakeBody[0].Y - 1}, true, 999};
    w->tick();
    EXPECT_GT(s.MushroomTicks, 0);
    EXPECT_TRUE(w->gameTimer().isActive()) << "the warning is the game's own: no pause after it";
    EXPECT_FALSE(s.ResumeOnKey);
    EXPECT_EQ(w->fieldView()->notice(), "");
    w->gameTimer().stop();
}

TEST_F(WindowTest, AModifierAloneOrAShortcutNeverStartsAWaitingSnake)
{
    auto w = openWindow();
    FieldView* field = w->fieldView();
    GameState& s = w->game().state();
    for (Qt::Key key : {Qt::Key_Control, Qt::Key_Shift, Qt::Key_Alt, Qt::Key_AltGr, Qt::Key_Meta,
                        Qt::Key_CapsLock, Qt::Key_NumLock}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(field, &press);
    }
    EXPECT_FALSE(w->gameTimer().isActive());
    EXPECT_TRUE(s.TurnAllowed) << "a modifier is no key press at all";
    EXPECT_EQ(field->notice(), "Press an arrow key to start");
    // Ctrl+= (next level): the new level waits too.
    QTest::keyClick(field, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(s.Level, 1);
    EXPECT_FALSE(w->gameTimer().isActive());
    // Escape pauses as P does.
    QTest::keyClick(field, Qt::Key_Up);
    ASSERT_TRUE(w->gameTimer().isActive());
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(w->gameTimer().isActive());
    EXPECT_EQ(field->notice(), "Paused: press any key");
}

TEST_F(WindowTest, TheNoticeLiesOverTheMiddleOfTheFieldAndLeavesNoTrace)
{
    auto w = openWindow();
    FieldView* field = w->fieldView();
    const GameState& s = w->game().state();
    const QImage picture = w->game().canvas().image().convertToFormat(QImage::Format_RGB32);
    const QRect r = field->noticeRect();
    ASSERT_FALSE(r.isEmpty());
    EXPECT_NEAR(r.center().x(), s.FieldLeft + s.FieldSize * s.CellSize / 2, 1);
    EXPECT_NEAR(r.center().y(), s.FieldSize * s.CellSize / 2, 1);
    EXPECT_LT(r.width(), s.FieldSize * s.CellSize);
    QImage shown = field->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), picture.size());
    EXPECT_NE(shown.copy(r), picture.copy(r));
    QImage outside = shown;
    QPainter(&outside).drawImage(r.topLeft(), picture.copy(r));
    EXPECT_EQ(outside, picture) << "the notice covers nothing but its box";
    QTest::keyClick(field, Qt::Key_Up);
    w->gameTimer().stop();
    EXPECT_EQ(field->notice(), "");
    shown = field->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, w->game().canvas().image().convertToFormat(QImage::Format_RGB32));
}

TEST_F(WindowTest, AGameThatEndsWhileTheHallOfFameIsOpenEntersItsScoreOnceItCloses)
{
    writeFame(userIni(dir_), {500, 400, 300, 200, 100, 50, 20, 10});
    auto w = openWindow();
    bool gameEnded = false;
    const auto answer = fameAnswer("Ada");
    answerDialogs([&](QWidget* modal) {
        // The hall of fame opened from the menu: a game ends behind it.
        if (!gameEnded && qobject_cast<HallOfFameDialog*>(modal)) {
            gameEnded = true;
            w->handOverScore(250, true);
        }
        answer(modal);
    });
    w->action("hallOfFame")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(dialogs_.size(), 3, 3000);
    EXPECT_EQ(dialogs_, (QStringList{"hallOfFameDialog", "playerNameDialog", "hallOfFameDialog"}));
    EXPECT_EQ(ProfileFile(userIni(dir_)).readText("fame", "Name4", ""), "Ada");
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("fame", "Score4", 0), 250);
}

TEST_F(WindowTest, TheSessionsEndAtTheNamePromptEntersTheScoreWithTheNameTypedSoFar)
{
    auto w = openWindow();
    answerDialogs([&](QWidget* modal) {
        auto* prompt = qobject_cast<PlayerNameDialog*>(modal);
        ASSERT_NE(prompt, nullptr) << "no other window comes up";
        prompt->nameEdit->setText("Half typ");
        w->endSession();
        prompt->reject();  // the end of the application's event loops, in the program
    });
    w->handOverScore(120, true);
    EXPECT_TRUE(w->closing());
    EXPECT_EQ(dialogs_, QStringList{"playerNameDialog"});
    EXPECT_EQ(ProfileFile(userIni(dir_)).readText("fame", "Name1", ""), "Half typ");
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("fame", "Score1", 0), 120);
}

TEST_F(WindowTest, AScoreWaitingForTheHallOfFameIsEnteredWhenTheGameCloses)
{
    auto w = openWindow();
    w->fame().PlayerName = "Bo";
    answerDialogs([&](QWidget* modal) {
        if (qobject_cast<HallOfFameDialog*>(modal)) {
            w->handOverScore(77, true);
            w->close();
        }
        modal->close();
    });
    w->action("hallOfFame")->trigger();
    EXPECT_EQ(ProfileFile(userIni(dir_)).readText("fame", "Name1", ""), "Bo");
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("fame", "Score1", 0), 77);
}

// --- Sound ----------------------------------------------------------------------------

TEST_F(WindowTest, WithoutASoundDeviceTheSwitchTurnsItselfOffAndIsStoredOff)
{
    ProfileFile(userIni(dir_)).writeBool("options", "Sounds", true, nullptr);
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    auto w = openWindow();
    EXPECT_FALSE(w->action("sounds")->isChecked());
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "Sounds", 7), 0);
    // A menu command tries the device off the event thread: the mark goes on at once and
    // comes off when the try has failed.
    w->action("sounds")->trigger();
    EXPECT_TRUE(w->action("sounds")->isChecked());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->action("sounds")->isChecked(); }, 5000));
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "Sounds", 7), 0);
    EXPECT_TRUE(messages_.isEmpty()) << "no message is shown";
    qunsetenv("SDL_AUDIODRIVER");
}

TEST_F(WindowTest, SoundEffectsSoundOnlyWhileSwitchedOn)
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", dir_.filePath("out.raw").toUtf8());
    auto w = openWindow();
    EXPECT_FALSE(w->soundEffects().deviceOpen()) << "the device waits for the switch";
    w->playSound("EatApple");
    EXPECT_EQ(w->soundEffects().sounding("EatApple"), 0);
    w->action("sounds")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->soundEffects().deviceOpen(); }, 5000));
    ASSERT_TRUE(w->action("sounds")->isChecked());
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "Sounds", 7), 1);
    w->playSound("EatApple");
    EXPECT_EQ(w->soundEffects().sounding("EatApple"), 1);
    // A game over below the eighth place sounds "GameOver" once more before the hall.
    writeFame(userIni(dir_), {500, 400, 300, 200, 100, 90, 80, 70});
    w->fame().table.load(ProfileFile(userIni(dir_)));
    int gameOvers = -1;
    answerDialogs([&](QWidget* modal) {
        gameOvers = w->soundEffects().sounding("GameOver");
        modal->close();
    });
    w->handOverScore(50, true);
    EXPECT_EQ(gameOvers, 1);
    // While the snake moves the effects keep their device; paused, they let it go.
    w->keyDown(38);
    EXPECT_TRUE(w->soundEffects().keptAwake());
    w->action("pause")->trigger();
    EXPECT_FALSE(w->soundEffects().keptAwake());
    w->playSound("NoSuchClip");
    w->playSound("NoSuchClip");
    EXPECT_EQ(messages_, QStringList{"Wave 'NoSuchClip' not found"});
    w->action("sounds")->trigger();
    EXPECT_FALSE(w->soundEffects().deviceOpen());
    qunsetenv("SDL_AUDIODRIVER");
}

TEST_F(WindowTest, TheMusicSwitchIsStoredAndFollowsTheForeground)
{
    auto w = openWindow();
    w->foregroundChanged(true);
    w->action("music")->trigger();
    EXPECT_TRUE(w->action("music")->isChecked());
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "Music", 7), 1);
    w->foregroundChanged(false);
    EXPECT_TRUE(w->themes().SkipNextNotify);
    w->foregroundChanged(true);
    w->action("music")->trigger();
    EXPECT_FALSE(w->action("music")->isChecked());
    EXPECT_TRUE(w->themes().SkipNextNotify) << "switching off ignores the stop's notification";
    EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "Music", 7), 0);
    EXPECT_TRUE(messages_.isEmpty()) << "a missing theme file fails silently";
    EXPECT_FALSE(w->musicDevice().isOpen());

    // With a theme and a device: the switch returns at once, the device is opened off the
    // event thread, and the theme plays once it is.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->deviceOpener().busy(); }, 5000)) << "the last try has ended";
    ASSERT_TRUE(QDir(dir_.path()).mkpath("Sounds"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KESTRUM_DATA_DIR "/Sounds/theme1.mid"), dir_.filePath("Sounds/theme1.mid")));
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", dir_.filePath("music.raw").toUtf8());
    QElapsedTimer clock;
    clock.start();
    w->action("music")->trigger();
    EXPECT_LT(clock.elapsed(), 50) << "ms the window waited";
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->musicDevice().isOpen(); }, 5000));
    w->action("music")->trigger();
    EXPECT_FALSE(w->musicDevice().isOpen());
    qunsetenv("SDL_AUDIODRIVER");
}

TEST_F(WindowTest, AMissingWaveListIsReportedAndTheGameGoesOn)
{
    QFile::remove(dir_.filePath("Sounds.dxw"));
    auto w = openWindow();
    // With the sound off the list is read once the field is on the screen.
    for (int i = 0; i < 100 && messages_.isEmpty(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(messages_, QStringList{"Cannot open file " + dir_.filePath("Sounds.dxw")});
    w->playSound("EatApple");
    EXPECT_EQ(messages_.size(), 1) << "nothing more is said for each silent event";
    EXPECT_GT(w->game().state().FieldSize, 10);
}

// The files the game reads at start-up, each replaced in turn by a FIFO, a link to
// /dev/zero or a sparse file of 3 GiB: the window comes up at once, says which file it
// could not use, and plays with what it has.
TEST_F(WindowTest, NoStartUpFileCanHangOrCrashTheGame)
{
    struct Case {
        const char* file;
        const char* kind;
    };
    const Case cases[] = {
        {"config/Kestrum/Kestrum.ini", "fifo"}, {"config/Kestrum/Kestrum.ini", "zero"},
        {"Skins/kestrum", "fifo"},              {"Skins/kestrum", "zero"},
        {"Skins/Fone.bmp", "huge"},             {"Sounds.dxw", "zero"},
        {"Sounds.dxw", "huge"},                 {"English.lng", "huge"},
    };
    QDir(dir_.path()).mkpath("config/Kestrum");
    for (const Case& c : cases) {
        const QString path = dir_.filePath(c.file);
        const QByteArray local = QFile::encodeName(path);
        const QString saved = path + ".saved";
        QFile::rename(path, saved);
        if (QByteArray(c.kind) == "fifo")
            ASSERT_EQ(::mkfifo(local.constData(), 0600), 0);
        else if (QByteArray(c.kind) == "zero")
            ASSERT_EQ(::symlink("/dev/zero", local.constData()), 0);
        else {
            QFile huge(path);
            ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
            ASSERT_TRUE(huge.resize(3LL << 30));
        }
        messages_.clear();
        QElapsedTimer clock;
        clock.start();
        {
            auto w = openWindow();
            w->game().newGame();
            w->game().tick();
            for (int i = 0; i < 100 && messages_.isEmpty(); ++i)
                QTest::qWait(10);
            EXPECT_LT(clock.elapsed(), 3000) << c.file << " as " << c.kind;
            EXPECT_GT(w->game().state().FieldSize, 10) << c.file << " as " << c.kind;
            EXPECT_EQ(w->action("newGame")->text(), "New");
            ASSERT_FALSE(messages_.isEmpty()) << c.file << " as " << c.kind;
            EXPECT_TRUE(messages_.join('\n').contains(path))
                << c.file << " as " << c.kind << ": " << messages_.join('\n').toStdString();
        }
        QFile::remove(path);
        QFile::rename(saved, path);
    }
}

// A language file too large to read, chosen in the menu, must not be kept for the next
// start: the choice is stored only once the file has loaded.
TEST_F(WindowTest, ALanguageFileThatCannotLoadIsNeitherAppliedNorKept)
{
    QFile huge(dir_.filePath("Huge.lng"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(3LL << 30));
    huge.close();
    {
        auto w = openWindow();
        w->useLanguageFile(dir_.filePath("Russian.lng"));
        w->useLanguageFile(dir_.filePath("Huge.lng"));
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].contains("more than")) << messages_[0].toStdString();
        EXPECT_EQ(w->action("newGame")->text(), QString::fromUtf8("Новая игра")) << "the texts stay";
    }
    EXPECT_EQ(ProfileFile(userIni(dir_)).readText("options", "LangFileName", ""), "Russian.lng");
    // Were it stored anyway (an older version did), the next start still comes up.
    ProfileFile(userIni(dir_)).writeText("options", "LangFileName", dir_.filePath("Huge.lng"), nullptr);
    messages_.clear();
    auto w = openWindow();
    EXPECT_EQ(w->action("newGame")->text(), "New");
    ASSERT_FALSE(messages_.isEmpty());
    EXPECT_TRUE(messages_[0].contains("Huge.lng")) << messages_[0].toStdString();
}

// Strips that would give an invisible snake or black items are refused like any other
// faulty skin, and the built-in skin plays.
TEST_F(WindowTest, ASkinTooSmallOrShortOfTilesIsRefused)
{
    const QSize sizes[] = {{1, 1}, {62, 2}, {5 * 23 - 1, 22}, {31 * 4 - 1, 3}};
    for (const QSize size : sizes) {
        QImage strip(size, QImage::Format_RGB32);
        strip.fill(Qt::darkGreen);
        ASSERT_TRUE(strip.save(dir_.filePath("Skins/kestrum"), "BMP"));
        messages_.clear();
        auto w = openWindow();
        ASSERT_EQ(messages_.size(), 1) << size.width() << "x" << size.height();
        EXPECT_TRUE(messages_[0].contains("Skins/kestrum")) << messages_[0].toStdString();
        EXPECT_EQ(w->game().state().CellSize, 22) << "the built-in skin";
    }
}

TEST_F(WindowTest, TheWarningClosesItselfAfterThreeSeconds)
{
    auto w = openWindow();
    QString shownText;
    QTimer::singleShot(200, [&] {
        auto* warning = w->findChild<WarningPopup*>("warningPopup");
        ASSERT_NE(warning, nullptr);
        EXPECT_TRUE(warning->isVisible());
        shownText = warning->text();
    });
    QElapsedTimer clock;
    clock.start();
    w->showWarning("Reversed!");
    EXPECT_EQ(shownText, "Reversed!");
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_LT(clock.elapsed(), 4500);
}

TEST_F(WindowTest, ClosingDuringTheRestartWaitEndsCleanly)
{
    auto w = openWindow();
    Game& game = w->game();
    game.KillSnake();
    ASSERT_TRUE(w->sequenceTimer().isActive());
    // A watcher that runs inside the death sequence's 300 ms pause closes the window there.
    bool closedWhileWaiting = false;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (game.waiting() && !closedWhileWaiting) {
            closedWhileWaiting = true;
            w->close();
        }
    });
    watcher.start();
    const TCellPos head = game.state().SnakeBody[0];
    QTRY_VERIFY_WITH_TIMEOUT(closedWhileWaiting, 5000);
    QTest::qWait(400);
    EXPECT_FALSE(game.waiting());
    EXPECT_EQ(game.state().SnakeBody[0], head) << "no restart after the window closed";
    EXPECT_FALSE(w->gameTimer().isActive());
    EXPECT_FALSE(w->sequenceTimer().isActive());
}

TEST_F(WindowTest, ClosingDuringTheWarningEndsCleanly)
{
    auto w = openWindow();
    QTimer::singleShot(100, w.get(), [&] { w->close(); });
    QElapsedTimer clock;
    clock.start();
    w->showWarning("Reversed!");
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(w->closing());
}

TEST(KeyBindings, NamesSlotsAndWhatTheGameGets)
{
    KeyBindings keys;
    EXPECT_EQ(keys.names(), (std::array<QString, KeyBindings::kSlots>{"Up", "Down", "Left", "Right", "W", "S", "A",
                                                                       "D", "P"}));
    EXPECT_EQ(keys.gameKey(Qt::Key_A), 37);
    EXPECT_EQ(keys.gameKey(Qt::Key_Down), 40);
    EXPECT_EQ(keys.gameKey(Qt::Key_Q), 81) << "any other key still counts as a key";
    // Taking a key another slot holds swaps the two: every key stays in one slot.
    keys.set(KeyBindings::Right, Qt::Key_A);
    EXPECT_EQ(keys.key(KeyBindings::Left2), Qt::Key_Right);
    EXPECT_EQ(keys.gameKey(Qt::Key_A), 39);
    EXPECT_EQ(keys.gameKey(Qt::Key_Right), 37);
    keys.set(KeyBindings::Up, Qt::Key_I);
    EXPECT_EQ(keys.gameKey(Qt::Key_Up), 0) << "an arrow no slot holds steers nothing";
    EXPECT_EQ(KeyBindings::fromNames(keys.names()), keys);
    // A hand-edited file: unknown names, a key twice, a key of the menu or a modifier give
    // the default set; an empty name keeps its slot's default.
    std::array<QString, KeyBindings::kSlots> names{};
    names[KeyBindings::Pause] = "Space";
    EXPECT_EQ(KeyBindings::fromNames(names).key(KeyBindings::Pause), Qt::Key_Space);
    for (const char* bad : {"NoSuchKey", "Down", "F2", "Escape", "Shift", "Ctrl+X"}) {
        names[KeyBindings::Up] = bad;
        EXPECT_EQ(KeyBindings::fromNames(names), KeyBindings()) << bad;
    }
}

TEST_F(WindowTest, TheKeysDialogSetsKeysByPressingThemAndTheyStayAfterARestart)
{
    {
        auto w = openWindow();
        answerDialogs([](QWidget* modal) {
            auto* dialog = qobject_cast<KeysDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            QPushButton* right = dialog->keyButton(KeyBindings::Right);
            QTest::mouseClick(right, Qt::LeftButton);
            EXPECT_EQ(right->text(), "Press a key...");
            QTest::keyClick(right, Qt::Key_Shift);  // a modifier alone: still waiting
            EXPECT_EQ(dialog->capturing(), KeyBindings::Right);
            QTest::keyClick(right, Qt::Key_L);
            EXPECT_EQ(right->text(), "L");
            // F2 is New's: refused with a message, the pause key stays.
            QPushButton* pause = dialog->keyButton(KeyBindings::Pause);
            QTest::mouseClick(pause, Qt::LeftButton);
            QTest::keyClick(pause, Qt::Key_F2);
            QTest::mouseClick(pause, Qt::LeftButton);
            QTest::keyClick(pause, Qt::Key_Space);
            dialog->okButton->click();
        });
        w->action("keys")->trigger();
        ASSERT_EQ(dialogs_.value(0), "KeysDialog");
        EXPECT_EQ(messages_, QStringList{"The menu uses F2 already: choose another key."});
        w->activateWindow();  // as the window manager does when the dialog goes
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        GameState& s = w->game().state();
        QTest::keyClick(w->fieldView(), Qt::Key_W);  // the second set starts the snake
        EXPECT_TRUE(w->gameTimer().isActive());
        w->game().tick();
        QTest::keyClick(w->fieldView(), Qt::Key_L);
        EXPECT_EQ(s.Direction, dirRight);
        // Space pauses now; P is a key like any other.
        QTest::keyClick(w->fieldView(), Qt::Key_Space);
        EXPECT_FALSE(w->gameTimer().isActive());
        w->game().tick();
        QTest::keyClick(w->fieldView(), Qt::Key_P);
        EXPECT_TRUE(w->gameTimer().isActive());
        w->gameTimer().stop();
        // The toadstool exchanges the keys that are set: L steers left under it.
        w->game().tick();
        s.KeyUp = 40, s.KeyDown = 38, s.KeyLeft = 39, s.KeyRight = 37;
        s.Direction = dirUp;
        s.TurnAllowed = true;
        QTest::keyClick(w->fieldView(), Qt::Key_L);
        EXPECT_EQ(s.Direction, dirLeft);
        w->gameTimer().stop();
    }
    EXPECT_EQ(ProfileFile(userIni(dir_)).readText("keys", "Right", ""), "L");
    dialogWatch_.stop();
    auto again = openWindow();
    EXPECT_EQ(again->keys().key(KeyBindings::Right), Qt::Key_L);
    EXPECT_EQ(again->keys().key(KeyBindings::Pause), Qt::Key_Space);
    EXPECT_EQ(again->action("pause")->shortcuts().value(0), QKeySequence(Qt::Key_Space));
}

TEST_F(WindowTest, TheVolumeDialogSetsBothLoudnessesAndCancelGivesThemBack)
{
    auto w = openWindow();
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        int heardMusic = -1;
        answerDialogs([&](QWidget* modal) {
            auto* dialog = qobject_cast<VolumeDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->musicSlider->setValue(ok ? 70 : 10);
            heardMusic = w->musicDevice().volume();  // heard while it moves
            dialog->effectsSlider->setValue(ok ? 40 : 90);
            (ok ? dialog->okButton : dialog->cancelButton)->click();
        });
        w->action("volume")->trigger();
        EXPECT_EQ(heardMusic, ok ? 70 : 10);
        EXPECT_EQ(w->soundEffects().volume(), 40);
        EXPECT_EQ(w->musicDevice().volume(), 70);
        EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "EffectsVolume", 0), 40);
        EXPECT_EQ(ProfileFile(userIni(dir_)).readInt("options", "MusicVolume", 0), 70);
        dialogWatch_.stop();
        QObject::disconnect(&dialogWatch_, nullptr, nullptr, nullptr);
    }
}

TEST_F(WindowTest, F11AndBackBuildTheFieldForTheWholeScreenAndTheGameGoesOn)
{
    auto w = openWindow();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    GameState& s = w->game().state();
    QTest::keyClick(w->fieldView(), Qt::Key_Up);
    s.Score = 37;
    s.Lives = 2;
    w->game().tick();
    const int workAreaField = s.FieldSize;
    QTest::keyClick(w.get(), Qt::Key_F11);
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.FieldSize != workAreaField; }, 2000));
    EXPECT_TRUE(w->isFullScreen());
    EXPECT_EQ(w->geometry(), screen);
    EXPECT_EQ(s.FieldSize, (screen.height() - w->menuBar()->sizeHint().height()) / 22);
    EXPECT_EQ(s.Score, 37);
    EXPECT_EQ(s.Lives, 2);
    EXPECT_FALSE(w->gameTimer().isActive());
    EXPECT_EQ(w->game().noticeLine(), 94) << "the attempt waits for a key";
    EXPECT_TRUE(ProfileFile(userIni(dir_)).readBool("options", "FullScreen", false));
    QTest::keyClick(w.get(), Qt::Key_F11);
    // Back in the work area with the frame the platform reports (started in it, the
    // window has not had one before).
    const QSize workArea(screen.width(), screen.height() - 29);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->frameGeometry().size() == workArea; }, 3000))
        << w->frameGeometry().width() << "x" << w->frameGeometry().height();
    EXPECT_FALSE(w->isFullScreen());
    EXPECT_EQ(s.FieldSize, (w->height() - w->menuBar()->sizeHint().height()) / 22);
    EXPECT_EQ(s.Score, 37);
    EXPECT_FALSE(ProfileFile(userIni(dir_)).readBool("options", "FullScreen", true));
    // Kept: the next start is full screen.
    QTest::keyClick(w.get(), Qt::Key_F11);
    w.reset();
    auto again = openWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return again->geometry() == screen; }, 2000));
    EXPECT_TRUE(again->action("fullScreen")->isChecked());
}

TEST_F(WindowTest, TheLengthBoxShowsTheWayToTheExitAndTheLevelBoxThePack)
{
    auto w = openWindow();
    GameState& s = w->game().state();
    ExitBar* bar = w->panel()->exitBar;
    const int needed = 2 * s.FieldSize + 1;  // food opens the exit past twice the side
    EXPECT_EQ(bar->filled(), bar->width() * 3 / needed);
    EXPECT_EQ(w->panel()->lengthFrame->toolTip(),
              QStringLiteral("Length\nGrow to %1 and eat to open the exit").arg(needed));
    s.SnakeLast = needed - 1;
    s.PendingGrowth = 1;
    QTest::keyClick(w->fieldView(), Qt::Key_Up);
    w->game().tick();
    w->gameTimer().stop();
    EXPECT_EQ(bar->filled(), bar->width()) << "grown to the length that opens it";
    EXPECT_FALSE(bar->exitOpen());
    w->game().OpenExit();
    w->game().flush();
    EXPECT_TRUE(bar->exitOpen());
    EXPECT_EQ(w->panel()->lengthFrame->toolTip(), "Length\nThe exit is open");
    // A level pack's name, while it is open.
    EXPECT_EQ(w->panel()->levelFrame->toolTip(), "Level");
    ASSERT_TRUE(QFile::copy(QStringLiteral(KESTRUM_DATA_DIR "/levels/garden.lev"), dir_.filePath("garden.lev")));
    w->game().OpenLevelPack(dir_.filePath("garden.lev"));
    EXPECT_EQ(w->panel()->levelFrame->toolTip(), "Level\nLevel pack: garden");
    w->action("level1")->trigger();
    EXPECT_EQ(w->panel()->levelFrame->toolTip(), "Level");
}

// SDL's button and axis numbers of a game controller.
constexpr int kPadSouth = 0, kPadStart = 6, kPadUp = 11, kPadDown = 12, kPadLeft = 13;
constexpr int kStickX = 0, kStickY = 1;

TEST(Gamepads, AVirtualPadSteersWithItsDpadAndStickAndPausesWithStart)
{
    Gamepads pads;
    ASSERT_TRUE(pads.start());
    QSignalSpy changed(&pads, &Gamepads::padsChanged);
    std::vector<Gamepads::Press> presses;
    QObject::connect(&pads, &Gamepads::pressed, [&](Gamepads::Press p) { presses.push_back(p); });
    const int index = Gamepads::attachVirtualPad();
    ASSERT_GE(index, 0);
    pads.pump();
    EXPECT_EQ(pads.count(), 1);
    EXPECT_EQ(changed.count(), 1);
    using P = Gamepads::Press;
    const auto press = [&](int button) {
        Gamepads::setVirtualButton(index, button, true);
        pads.pump();
        Gamepads::setVirtualButton(index, button, false);
        pads.pump();
    };
    const auto lean = [&](int x, int y) {
        Gamepads::setVirtualAxis(index, kStickX, x);
        Gamepads::setVirtualAxis(index, kStickY, y);
        pads.pump();
    };
    press(kPadLeft);
    press(kPadStart);
    press(kPadSouth);
    press(kPadDown);
    EXPECT_EQ(presses, (std::vector<P>{P::Left, P::Start, P::South, P::Down}));
    presses.clear();
    // The stick: one press a lean, the longer axis decides; a lean held, or short of the
    // mark, or back only half-way, presses nothing more.
    lean(0, -30000);
    lean(12000, -30000);
    lean(0, -12000);
    lean(0, -30000);
    lean(5000, 3000);  // at rest
    lean(0, -30000);
    lean(30000, -20000);
    lean(15000, 0);
    EXPECT_EQ(presses, (std::vector<P>{P::Up, P::Up, P::Right}));
    Gamepads::detachVirtualPad(index);
    pads.pump();
    EXPECT_EQ(pads.count(), 0) << "a pad unplugged is let go";
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(WindowTest, AVirtualPadSteersTheSnakeAndPausesTheGameOnlyWhileThePlayerIsThere)
{
    auto w = openWindow();
    ASSERT_TRUE(w->gamepads().start());
    const int index = Gamepads::attachVirtualPad();
    ASSERT_GE(index, 0);
    Gamepads& pads = w->gamepads();
    pads.pump();
    const auto press = [&](int button) {
        Gamepads::setVirtualButton(index, button, true);
        pads.pump();
        Gamepads::setVirtualButton(index, button, false);
        pads.pump();
    };
    GameState& s = w->game().state();
    press(kPadSouth);
    EXPECT_TRUE(w->gameTimer().isActive()) << "the south button starts the waiting snake";
    w->game().tick();
    press(kPadLeft);
    EXPECT_EQ(s.Direction, dirLeft);
    press(kPadStart);
    EXPECT_FALSE(w->gameTimer().isActive());
    w->game().tick();
    press(kPadStart);
    EXPECT_TRUE(w->gameTimer().isActive());
    // Behind a dialog the pad steers nothing.
    bool steeredBehind = true;
    answerDialogs([&](QWidget* modal) {
        s.TurnAllowed = true;
        press(kPadUp);
        steeredBehind = s.Direction == dirUp;
        modal->close();
    });
    w->action("about")->trigger();
    EXPECT_FALSE(steeredBehind);
    w->gameTimer().stop();
    Gamepads::detachVirtualPad(index);
    pads.pump();
    EXPECT_EQ(pads.count(), 0);
}

}  // namespace
}  // namespace kestrum::test
