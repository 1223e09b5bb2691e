// Background music: the order of the themes, the command texts, the notification rules,
// and the media device playing a real theme.
#include "sound/MusicDevice.h"
#include "sound/ThemePlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace kestrum::test {
namespace {

struct Rig {
    QStringList sent;
    bool on = true;
    SeededRandom random{7};
    ThemePlayer player{[this](const QString& c) { sent << c; }, random, [this] { return on; }};
};

TEST(Themes, ThemeOneFirstThenTheOtherFourOnceEachThenAllFiveAgain)
{
    for (uint64_t seed = 1; seed <= 50; ++seed) {
        Rig r;
        r.random.setSeed(seed);
        QStringList cycle;
        for (int i = 0; i < 4; ++i)
            cycle << r.player.PickNextTheme();
        cycle.sort();
        EXPECT_EQ(cycle, (QStringList{"Sounds/theme2.mid", "Sounds/theme3.mid", "Sounds/theme4.mid",
                                      "Sounds/theme5.mid"}))
            << "seed " << seed;
        // The sixth theme (after theme 1 and these four) is drawn from all five.
        QStringList next;
        for (int i = 0; i < 5; ++i)
            next << r.player.PickNextTheme();
        next.sort();
        EXPECT_EQ(next.size(), 5);
        EXPECT_EQ(QSet<QString>(next.begin(), next.end()).size(), 5);
    }
}

TEST(Themes, ThemeFiveTendsToComeLate)
{
    // Its index is reached only by probing past the others: last more often than first.
    int first = 0, last = 0;
    for (uint64_t seed = 1; seed <= 400; ++seed) {
        Rig r;
        r.random.setSeed(seed);
        r.player.ThemesLeft = 0b11111;
        QStringList order;
        for (int i = 0; i < 5; ++i)
            order << r.player.PickNextTheme();
        first += order.first() == "Sounds/theme5.mid";
        last += order.last() == "Sounds/theme5.mid";
    }
    EXPECT_EQ(first, 0);
    EXPECT_GT(last, 80);
}

TEST(Themes, TheCommandsAreSentAsWritten)
{
    Rig r;
    r.player.PlayTheme("Sounds/theme1.mid");
    r.player.StopTheme();
    EXPECT_EQ(r.sent, (QStringList{"open sequencer!\"Sounds/theme1.mid\" alias mainback wait",
                                   "seek mainback to 0 wait", "play mainback notify",
                                   "stop mainback wait", "close mainback wait"}));
    r.sent.clear();
    r.on = false;
    r.player.PlayTheme("Sounds/theme1.mid");
    EXPECT_TRUE(r.sent.isEmpty()) << "nothing plays while music is off";
    r.on = true;
    r.player.PlayTheme("");
    EXPECT_TRUE(r.sent.isEmpty());
}

TEST(Themes, AThemesEndStartsTheNextUnlessTheStopWasOurs)
{
    Rig r;
    r.player.onNotify();
    ASSERT_EQ(r.sent.size(), 5);
    EXPECT_EQ(r.sent[0], "stop mainback wait");
    EXPECT_TRUE(r.sent[2].startsWith("open sequencer!\"Sounds/theme"));
    r.sent.clear();
    // Leaving the foreground stops the music; the late notification of that stop is
    // ignored once, and the next one counts again.
    r.player.onLeaveForeground();
    EXPECT_EQ(r.sent, (QStringList{"stop mainback wait", "close mainback wait"}));
    r.sent.clear();
    r.player.onNotify();
    EXPECT_TRUE(r.sent.isEmpty());
    EXPECT_FALSE(r.player.SkipNextNotify);
    r.player.onEnterForeground();
    EXPECT_EQ(r.sent.first(), "open sequencer!\"Sounds/theme1.mid\" alias mainback wait");
    r.sent.clear();
    r.player.onNotify();
    EXPECT_EQ(r.sent.size(), 5);
}

TEST(Themes, LeavingTheForegroundWithMusicOffStillSkipsTheNextNotification)
{
    Rig r;
    r.on = false;
    r.player.onLeaveForeground();
    EXPECT_TRUE(r.sent.isEmpty());
    EXPECT_TRUE(r.player.SkipNextNotify);
    r.on = true;
    r.player.PlayTheme(r.player.ThemeFiles[0]);
    r.sent.clear();
    r.player.onNotify();  // theme 1 ends: the old flag eats it, the music stops
    EXPECT_TRUE(r.sent.isEmpty());
}

class DeviceTest : public testing::Test {
protected:
    void SetUp() override
    {
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", dir_.filePath("music.raw").toUtf8());
        qputenv("SDL_DISKAUDIODELAY", "1");
    }
    void TearDown() override { qunsetenv("SDL_AUDIODRIVER"); }
    QTemporaryDir dir_;
};

TEST_F(DeviceTest, ARealThemePlaysAndAStopReportsItsEnd)
{
    MusicDevice mci;
    QSignalSpy ended(&mci, &MusicDevice::notify);
    mci.send("open sequencer!\"" KESTRUM_DATA_DIR "/Sounds/theme3.mid\" alias mainback wait");
    ASSERT_TRUE(mci.isOpen());
    mci.send("seek mainback to 0 wait");
    mci.send("play mainback notify");
    EXPECT_TRUE(mci.playing());
    QThread::msleep(1500);
    mci.send("stop mainback wait");
    EXPECT_TRUE(ended.wait(2000));
    mci.send("close mainback wait");
    EXPECT_FALSE(mci.isOpen());
    // Something was heard: the disk driver's file holds loud samples.
    QFile f(dir_.filePath("music.raw"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    int peak = 0;
    for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
        peak = std::max(peak, std::abs(static_cast<int>(static_cast<int16_t>(
                                  static_cast<uint8_t>(raw[i]) | static_cast<uint8_t>(raw[i + 1]) << 8))));
    EXPECT_GT(peak, 1000);
}

TEST_F(DeviceTest, AMissingThemeFailsSilently)
{
    MusicDevice mci;
    QSignalSpy ended(&mci, &MusicDevice::notify);
    mci.send("open sequencer!\"Sounds/none.mid\" alias mainback wait");
    mci.send("seek mainback to 0 wait");
    mci.send("play mainback notify");
    EXPECT_FALSE(mci.isOpen());
    EXPECT_FALSE(ended.wait(300)) << "no notification, so no next theme";
    mci.send("nonsense");
    mci.send("close mainback wait");
}

}  // namespace
}  // namespace kestrum::test
