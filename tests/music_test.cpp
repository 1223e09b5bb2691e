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

#include <sys/stat.h>

namespace kestrum::test {
namespace {

struct Rig {
    QStringList sent;
    bool on = true;
    SeededRandom random{7};
    int64_t now = 0;  // ms, moved on by the tests
    QStringList failing;  // commands that fail
    ThemePlayer player{[this](const QString& c) {
                           sent << c;
                           return !failing.contains(c);
                       },
                       random, [this] { return on; }, [this] { return now; }};
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

// A theme that cannot be opened or played, or that ends as soon as it began, is passed
// over for the rest of the time the music is on; with none left the music rests, and
// nothing reopens the device again and again.
TEST(Themes, AThemeThatCannotPlayGivesItsTurnToTheNextAndWithNoneLeftTheMusicRests)
{
    Rig r;
    r.failing << "open sequencer!\"Sounds/theme1.mid\" alias mainback wait";
    r.player.PlayTheme(r.player.ThemeFiles[0]);
    ASSERT_GE(r.sent.size(), 4);
    EXPECT_EQ(r.sent.last(), "play mainback notify") << "another theme plays instead";
    EXPECT_TRUE(r.sent[1].startsWith("open sequencer!\"Sounds/theme")) << r.sent.join(" | ").toStdString();
    EXPECT_EQ(r.player.Unplayable, 1u);
    // Every theme that plays ends at once: each is passed over in turn.
    int opens = 0;
    for (int i = 0; i < 20; ++i) {
        r.sent.clear();
        r.now += 10;
        r.player.onNotify();
        opens += static_cast<int>(r.sent.filter("open sequencer").size());
    }
    EXPECT_LE(opens, 4) << "each of the other four once";
    EXPECT_EQ(r.player.Unplayable, 0b11111u);
    r.sent.clear();
    r.player.PlayTheme(r.player.PickNextTheme());
    EXPECT_TRUE(r.sent.isEmpty()) << "the music rests";
    // Back in the foreground, or switched on again, every theme gets its chance: what
    // failed may have been a busy device.
    r.player.onEnterForeground();
    EXPECT_EQ(r.sent.last(), "play mainback notify");
    r.player.StopTheme();
    r.player.Unplayable = 0b11111u;
    r.player.switchedOn();
    r.player.PlayTheme(r.player.ThemeFiles[0]);
    EXPECT_EQ(r.sent.last(), "play mainback notify");
    // A theme that plays its length is no failure.
    r.now += 150000;
    r.player.onNotify();
    EXPECT_EQ(__builtin_popcount(r.player.Unplayable), 1) << "only theme 1, which cannot be opened";
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

TEST_F(DeviceTest, TheMusicLoudnessScalesTheTheme)
{
    // The same opening of a theme at 100 %, 50 % and 0: half the peak, within the rounding,
    // over the samples both runs wrote.
    const auto play = [this](int volume) {
        MusicDevice mci;
        mci.setVolume(volume);
        mci.send("open sequencer!\"" KESTRUM_DATA_DIR "/Sounds/theme3.mid\" alias mainback wait");
        EXPECT_TRUE(mci.isOpen());
        mci.send("play mainback notify");
        QThread::msleep(1500);
        mci.send("stop mainback wait");
        mci.send("close mainback wait");
        QFile f(dir_.filePath("music.raw"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const auto peak = [](const QByteArray& raw, qsizetype bytes) {
        int loudest = 0;
        for (qsizetype i = 0; i + 1 < std::min(bytes, raw.size()); i += 2)
            loudest = std::max(loudest, std::abs(static_cast<int>(static_cast<int16_t>(
                                            static_cast<uint8_t>(raw[i]) | static_cast<uint8_t>(raw[i + 1]) << 8))));
        return loudest;
    };
    const QByteArray full = play(100), half = play(50), none = play(0);
    const qsizetype common = std::min(full.size(), half.size());
    ASSERT_GT(peak(full, common), 1000);
    EXPECT_NEAR(peak(half, common), peak(full, common) / 2, peak(full, common) / 10);
    EXPECT_LT(peak(none, none.size()), 4) << "silent but for the synthesiser's rounding";
}

TEST_F(DeviceTest, AMissingThemeFailsSilently)
{
    MusicDevice mci;
    QSignalSpy ended(&mci, &MusicDevice::notify);
    EXPECT_FALSE(mci.send("open sequencer!\"Sounds/none.mid\" alias mainback wait"));
    EXPECT_FALSE(mci.send("seek mainback to 0 wait"));
    EXPECT_FALSE(mci.send("play mainback notify"));
    EXPECT_FALSE(mci.isOpen());
    EXPECT_FALSE(ended.wait(300)) << "no notification, so no next theme";
    EXPECT_FALSE(mci.send("nonsense"));
    mci.send("close mainback wait");
}

TEST_F(DeviceTest, ADamagedThemeOrAFifoFailsAtOnce)
{
    MusicDevice mci;
    const QString damaged = dir_.filePath("damaged.mid");
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("MThd this is no music at all");
    f.close();
    QSignalSpy ended(&mci, &MusicDevice::notify);
    // Refused, or played to its end at once: either way the player passes it over.
    if (mci.send("open sequencer!\"" + damaged + "\" alias mainback wait") && mci.send("play mainback notify")) {
        EXPECT_TRUE(ended.wait(ThemePlayer::kShortestTheme)) << "a damaged theme ends as soon as it begins";
    }
    mci.send("close mainback wait");
    const QString fifo = dir_.filePath("fifo.mid");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(mci.send("open sequencer!\"" + fifo + "\" alias mainback wait"));
    EXPECT_LT(clock.elapsed(), 1000) << "no wait for a writer";
}

}  // namespace
}  // namespace kestrum::test
