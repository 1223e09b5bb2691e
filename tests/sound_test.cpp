// Sound effects: the wave list file, the device on SDL's disk driver, overlapping clips.
#include "sound/DeviceOpener.h"
#include "sound/SoundEffects.h"
#include "sound/WaveList.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <csignal>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kestrum::test {
namespace {

WaveClip testClip(const char* name, int copies = 0, int samples = 2205)
{
    std::vector<int16_t> s(static_cast<size_t>(samples));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<int16_t>((i / 20) % 2 ? 12000 : -12000);
    WaveClip c;
    c.name = name;
    c.copies = copies;
    c.volume = 100;
    c.pan = -30;
    c.frequency = 22050;
    c.wav = makeWav(s, 22050);
    return c;
}

TEST(WaveListFile, RoundTripsEveryField)
{
    std::vector<WaveClip> clips{testClip("EatApple", 3), testClip("Death")};
    clips[1].looping = true;
    clips[1].pan = 100;
    QString error;
    const auto back = parseWaveList(writeWaveList(clips), &error);
    ASSERT_TRUE(back.has_value()) << error.toStdString();
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0].name, "EatApple");
    EXPECT_EQ((*back)[0].copies, 3);
    EXPECT_EQ((*back)[0].volume, 100);
    EXPECT_EQ((*back)[0].pan, -30);
    EXPECT_FALSE((*back)[0].looping);
    EXPECT_TRUE((*back)[1].looping);
    EXPECT_EQ((*back)[1].pan, 100);
    EXPECT_EQ((*back)[1].wav, clips[1].wav);
}

TEST(WaveListFile, EveryTruncationAndDamageGivesAClearErrorNotACrash)
{
    const QByteArray good = writeWaveList({testClip("A", 1, 300), testClip("Bb", 2, 300)});
    for (int n = 0; n < good.size(); ++n) {
        QString error;
        ASSERT_FALSE(parseWaveList(good.left(n), &error).has_value()) << n;
        ASSERT_FALSE(error.isEmpty());
    }
    QString error;
    EXPECT_FALSE(parseWaveList(good + "x", &error).has_value());
    EXPECT_EQ(error, "unexpected bytes after the last clip");
    QByteArray bad = good;
    bad[0] = 'X';
    EXPECT_FALSE(parseWaveList(bad, &error).has_value());
    EXPECT_EQ(error, "not a wave list");
    bad = good;
    bad[4 + 2 + 2 + 1 + 1 + 1 + 1 + 3] = 0x7F;  // a frequency far out of range
    EXPECT_FALSE(parseWaveList(bad, &error).has_value());
    EXPECT_TRUE(error.contains("impossible settings")) << error.toStdString();
    bad = good;
    bad[4 + 2 + 2 + 1 + 1 + 1 + 1 + 4] = static_cast<char>(200);  // volume above 128
    EXPECT_FALSE(parseWaveList(bad, &error).has_value());
    // Found by fuzzing: flags other than "loops" and names outside printable ASCII would
    // not be written back as they were read.
    bad = good;
    bad[4 + 2 + 2 + 1 + 1] = 2;
    EXPECT_FALSE(parseWaveList(bad, &error).has_value());
    bad = good;
    bad[4 + 2 + 2 + 1] = static_cast<char>(0xEA);
    EXPECT_FALSE(parseWaveList(bad, &error).has_value());
    EXPECT_TRUE(error.contains("name")) << error.toStdString();
}

TEST(WaveListFile, TheShippedListHoldsEveryEvent)
{
    SoundEffects list;
    QString error;
    ASSERT_TRUE(list.load(KESTRUM_DATA_DIR "/Sounds.dxw", &error)) << error.toStdString();
    for (const char* name : {"Start", "ShowApple", "ShowDeath", "ShowPear", "ShowScis", "ShowMush",
                             "EatApple", "EatScis", "EatMush", "StopMush", "ShowExit", "NextLevel",
                             "Death", "GameOver", "ShowFame"})
        EXPECT_TRUE(list.has(name)) << name;
    EXPECT_EQ(list.size(), 15);
    EXPECT_FALSE(list.load("/nonexistent/Sounds.dxw", &error));
    EXPECT_EQ(error, "Cannot open file /nonexistent/Sounds.dxw");
    EXPECT_EQ(list.size(), 0);
}

// SDL's disk driver writes what the mixer plays into a file: proof of a real sound.
class DiskAudio : public testing::Test {
protected:
    void SetUp() override
    {
        out_ = dir_.filePath("out.raw");
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", out_.toUtf8());
        qputenv("SDL_DISKAUDIODELAY", "1");
        QFile f(dir_.filePath("Sounds.dxw"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(writeWaveList({testClip("EatApple", 3), testClip("ShowApple", 4, 22050),
                               testClip("Death", 0, 22050)}));
        f.close();
        QString error;
        ASSERT_TRUE(list_.load(f.fileName(), &error)) << error.toStdString();
    }
    void TearDown() override
    {
        list_.closeDevice();
        qunsetenv("SDL_AUDIODRIVER");
    }
    // Largest sample written to the disk driver's file.
    int loudest() const
    {
        QFile f(out_);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray raw = f.readAll();
        int peak = 0;
        for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
            peak = std::max(peak, std::abs(static_cast<int>(static_cast<int16_t>(
                                      static_cast<uint8_t>(raw[i]) | static_cast<uint8_t>(raw[i + 1]) << 8))));
        return peak;
    }
    // Plays one clip alone on a fresh list and returns what the device was given.
    // The raw output of one clip played alone, at a loudness set once the clips are loaded.
    QByteArray playAlone(const WaveClip& clip, int volume = 100)
    {
        list_.closeDevice();
        QFile::remove(out_);
        QFile f(dir_.filePath("alone.dxw"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(writeWaveList({clip}));
        f.close();
        SoundEffects effects;
        QString error;
        EXPECT_TRUE(effects.load(f.fileName(), &error)) << error.toStdString();
        EXPECT_TRUE(effects.openDevice());
        effects.setVolume(volume);
        EXPECT_TRUE(effects.play(clip.name));
        QThread::msleep(300);
        effects.closeDevice();
        QFile raw(out_);
        return raw.open(QIODevice::ReadOnly) ? raw.readAll() : QByteArray();
    }
    QTemporaryDir dir_;
    QString out_;
    SoundEffects list_;
};

TEST_F(DiskAudio, AClipReallySoundsOnceTheDeviceIsOpen)
{
    EXPECT_TRUE(list_.play("EatApple")) << "a closed device plays nothing but knows the name";
    EXPECT_FALSE(QFile::exists(out_));
    ASSERT_TRUE(list_.openDevice());
    ASSERT_TRUE(list_.play("EatApple"));
    QThread::msleep(300);
    list_.closeDevice();
    EXPECT_GT(loudest(), 3000);
    EXPECT_FALSE(list_.play("NoSuchEvent"));
}

TEST_F(DiskAudio, ACentredClipSoundsAtFullStrengthAndAPannedOneKeepsItsBalance)
{
    for (const int pan : {0, -30, 100}) {
        SCOPED_TRACE(pan);
        WaveClip clip = testClip("EatApple");
        clip.pan = pan;
        // The clip's samples are +-12000; each side as loud as its share of the pan says,
        // the side it leans to (or both, centred) at full strength.
        const QByteArray bytes = playAlone(clip);
        int peak[2] = {0, 0};
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
            const int16_t v = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
            int& side = peak[(i / 2) % 2];
            side = std::max(side, std::abs(static_cast<int>(v)));
        }
        const int expectedLeft = pan <= 0 ? 12000 : 12000 * (100 - pan) / 100;
        const int expectedRight = pan >= 0 ? 12000 : 12000 * (100 + pan) / 100;
        EXPECT_NEAR(peak[0], expectedLeft, 1000);  // (the resampling rounds the square wave off)
        EXPECT_NEAR(peak[1], expectedRight, 1000);
    }
}

TEST_F(DiskAudio, TheEffectsLoudnessScalesEveryClip)
{
    const auto peak = [](const QByteArray& bytes) {
        int loudest = 0;
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            loudest = std::max(loudest, std::abs(static_cast<int>(static_cast<int16_t>(
                                            static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8))));
        return loudest;
    };
    // The clip's +-12000 at full strength; half of it at 50 %, nothing at 0.
    const WaveClip clip = testClip("EatApple");
    EXPECT_NEAR(peak(playAlone(clip, 100)), 12000, 1000);
    EXPECT_NEAR(peak(playAlone(clip, 50)), 6000, 600);
    EXPECT_EQ(peak(playAlone(clip, 0)), 0);
}

TEST_F(DiskAudio, AClipPlaysAtItsOwnFrequency)
{
    // The same 2205 samples of 22050 Hz, played at 22050 and at 44100 samples a second:
    // 0.1 s and 0.05 s, 4410 and 2205 frames of the 44100 Hz output.
    std::vector<int> frames;
    for (const int frequency : {22050, 44100}) {
        WaveClip clip = testClip("EatApple");
        clip.frequency = frequency;
        const QByteArray bytes = playAlone(clip);
        int first = -1, last = -1;
        for (qsizetype i = 0; i + 3 < bytes.size(); i += 4)
            if (bytes[i] != 0 || bytes[i + 1] != 0) {
                last = static_cast<int>(i / 4);
                first = first < 0 ? last : first;
            }
        frames.push_back(last - first + 1);
    }
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_NEAR(frames[0], 4410, 100);
    EXPECT_NEAR(frames[1], 2205, 100);
    EXPECT_EQ(wavAtRate(testClip("x").wav, 22050), testClip("x").wav) << "a clip at its own rate stays as it is";
}

TEST_F(DiskAudio, ClipsOverlapAndKeepToTheirCopyLimit)
{
    ASSERT_TRUE(list_.openDevice());
    for (int i = 0; i < 6; ++i)
        list_.play("ShowApple");
    list_.play("Death");
    list_.play("Death");
    EXPECT_EQ(list_.sounding("ShowApple"), 4);
    EXPECT_EQ(list_.sounding("Death"), 2) << "no limit";
    EXPECT_EQ(list_.sounding("EatApple"), 0);
}

TEST_F(DiskAudio, TheDeviceIsSharedAndClosesWithItsLastUser)
{
    ASSERT_TRUE(list_.openDevice());
    ASSERT_TRUE(AudioDevice::acquire());  // the music's share
    list_.closeDevice();
    SoundEffects other;
    QString error;
    ASSERT_TRUE(other.load(dir_.filePath("Sounds.dxw"), &error));
    ASSERT_TRUE(other.openDevice());
    EXPECT_TRUE(other.play("EatApple"));
    other.closeDevice();
    AudioDevice::release();
}

// Waits, handling events, until the list has let go of the device or `ms` have passed.
bool sleepsWithin(const SoundEffects& list, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (list.awake() && clock.elapsed() < ms)
        QTest::qWait(10);
    return !list.awake();
}

// A device that mixes silence costs its thread's time: after a silence the list lets go of
// it, and the next clip takes it again and still sounds, in full.
TEST_F(DiskAudio, AfterASilenceTheDeviceIsLetGoAndTheNextClipTakesItAgain)
{
    list_.setSilenceBeforeSleep(100);
    ASSERT_TRUE(list_.openDevice());
    ASSERT_TRUE(list_.play("EatApple"));
    EXPECT_TRUE(list_.awake());
    QTest::qWait(50);
    EXPECT_TRUE(list_.awake()) << "not while a clip sounds";
    ASSERT_TRUE(sleepsWithin(list_, 3000));
    EXPECT_EQ(AudioDevice::users(), 0) << "the device is closed";
    EXPECT_TRUE(list_.deviceOpen()) << "the switch stays on";
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(list_.play("EatApple"));
    const qint64 wakeMs = clock.elapsed();
    EXPECT_TRUE(list_.awake());
    EXPECT_EQ(list_.sounding("EatApple"), 1);
    EXPECT_LT(wakeMs, 100) << "taking the device again is quick";
    QThread::msleep(300);
    list_.closeDevice();
    EXPECT_GT(loudest(), 3000) << "the first clip after the silence sounded";
    std::printf("device taken again and the clip started in %lld ms\n", static_cast<long long>(wakeMs));

    // Kept awake (a game being played), the list holds the device through any silence;
    // let go, the next silence takes it.
    ASSERT_TRUE(list_.openDevice());
    list_.keepAwake(true);
    ASSERT_TRUE(list_.play("EatApple"));
    QTest::qWait(600);
    EXPECT_TRUE(list_.awake());
    EXPECT_EQ(AudioDevice::users(), 1);
    list_.keepAwake(false);
    EXPECT_TRUE(sleepsWithin(list_, 3000));
    EXPECT_EQ(AudioDevice::users(), 0);
    // Woken before the first clip asks: the clip then finds the device held.
    ASSERT_TRUE(list_.wake());
    EXPECT_EQ(AudioDevice::users(), 1);
}

TEST_F(DiskAudio, TheMusicKeepsTheDeviceThroughTheClipsSilence)
{
    list_.setSilenceBeforeSleep(50);
    ASSERT_TRUE(list_.openDevice());
    ASSERT_TRUE(AudioDevice::acquire());  // the music's share
    ASSERT_TRUE(sleepsWithin(list_, 3000)) << "with no clip at all the list lets go too";
    EXPECT_EQ(AudioDevice::users(), 1);
    AudioDevice::release();
    EXPECT_EQ(AudioDevice::users(), 0);
}

// The sound library must leave the signals alone: a player's `kill` or a session's end
// still stops the game once its sound is on.
TEST_F(DiskAudio, AnOpenDeviceLeavesTerminationToTheSignal)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!AudioDevice::acquire())
            _exit(3);
        raise(SIGTERM);
        _exit(0);  // reached only when the signal was taken over
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child exited with " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

TEST_F(DiskAudio, TheDeviceIsOpenedOffTheEventThreadAndHandedOverOnIt)
{
    // A sound system that takes its time (or has no device): the caller never waits.
    std::atomic<int> opens{0}, closes{0};
    {
        DeviceOpener slow([&] { QThread::msleep(300); return ++opens <= 1; }, [&] { ++closes; });
        QElapsedTimer clock;
        clock.start();
        std::vector<bool> answers;
        slow.open([&](bool held) { answers.push_back(held); });
        slow.open([&](bool held) { answers.push_back(held); });  // while the first try runs
        EXPECT_LT(clock.elapsed(), 50);
        EXPECT_TRUE(answers.empty()) << "never answered before open returns";
        QTest::qWaitFor([&] { return answers.size() == 2; }, 2000);
        EXPECT_EQ(answers, (std::vector<bool>{true, false})) << "each request its own opening";
        EXPECT_EQ(opens, 2);
        // A window closed while the device is tried: the opening is given back.
        slow.open([&](bool) { ADD_FAILURE() << "answered after its owner went"; });
        opens = 0;
    }
    EXPECT_EQ(closes, 1);
    // The real device, through the disk driver.
    DeviceOpener real;
    bool held = false;
    real.open([&](bool h) { held = h; });
    QTest::qWaitFor([&] { return held; }, 5000);
    ASSERT_TRUE(held);
    EXPECT_EQ(AudioDevice::users(), 1);
    AudioDevice::release();
    EXPECT_EQ(AudioDevice::users(), 0);
}

TEST(NoAudio, ADeviceThatCannotOpenSaysSo)
{
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    SoundEffects list;
    EXPECT_FALSE(list.openDevice());
    EXPECT_FALSE(list.deviceOpen());
    qunsetenv("SDL_AUDIODRIVER");
}

}  // namespace
}  // namespace kestrum::test
