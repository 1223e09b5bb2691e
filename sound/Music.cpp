#include "Music.h"

#include "Sound.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QRegularExpression>

#include "Mixer.h"

#include <atomic>

namespace kestrum {

namespace {

// SDL_mixer's end-of-music hook takes no context: the one device that plays is kept
// here, and the report is handed to its thread.
std::atomic<MciDevice*> playingDevice{nullptr};

void musicFinished()
{
    if (MciDevice* d = playingDevice.load())
        QMetaObject::invokeMethod(d, &MciDevice::notify, Qt::QueuedConnection);
}

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

}  // namespace

MciDevice::MciDevice() = default;

MciDevice::~MciDevice()
{
    closeTheme();
}

bool MciDevice::playing() const { return music_ && mix().PlayingMusic(); }

void MciDevice::closeTheme()
{
    if (playingDevice.load() == this) {
        mix().HookMusicFinished(nullptr);
        playingDevice.store(nullptr);
    }
    if (music_) {
        mix().HaltMusic();
        mix().FreeMusic(music_);
        music_ = nullptr;
    }
    if (device_) {
        AudioDevice::release();
        device_ = false;
    }
}

void MciDevice::send(const QString& command)
{
    static const QRegularExpression open(QStringLiteral("^open sequencer!\"(.*)\" alias mainback wait$"));
    static const QRegularExpression seek(QStringLiteral("^seek mainback to (\\d+) wait$"));
    if (const auto m = open.match(command); m.hasMatch()) {
        closeTheme();
        const QString file = m.captured(1);
        if (!QFileInfo(file).isFile() || !AudioDevice::acquire())
            return;
        device_ = true;
        if (QFileInfo(QString::fromLatin1(kSoundFont)).isFile())
            mix().SetSoundFonts(kSoundFont);
        music_ = mix().LoadMUS(QFileInfo(file).absoluteFilePath().toLocal8Bit().constData());
        if (!music_) {
            AudioDevice::release();
            device_ = false;
        }
        return;
    }
    if (seek.match(command).hasMatch()) {
        if (music_)
            mix().RewindMusic();
        return;
    }
    if (command == QLatin1String("play mainback notify")) {
        if (!music_)
            return;
        playingDevice.store(this);
        mix().HookMusicFinished(&musicFinished);
        if (mix().PlayMusic(music_, 0) != 0)
            musicFinished();  // a theme that fails to play reports its end at once
        return;
    }
    if (command == QLatin1String("stop mainback wait")) {
        if (music_ && mix().PlayingMusic())
            mix().HaltMusic();  // reports the end, which the player has learnt to ignore
        return;
    }
    if (command == QLatin1String("close mainback wait"))
        closeTheme();
}

ThemePlayer::ThemePlayer(Send send, Random& random, std::function<bool()> musicOn)
    : send_(std::move(send)), random_(random), musicOn_(std::move(musicOn))
{
}

void ThemePlayer::PlayTheme(const QString& file)
{
    if (!musicOn_() || file.isEmpty())
        return;
    send_(QStringLiteral("open sequencer!\"") + file + QStringLiteral("\" alias mainback wait"));
    send_(QStringLiteral("seek mainback to ") + QString::number(0) + QStringLiteral(" wait"));
    send_(QStringLiteral("play mainback notify"));
}

void ThemePlayer::StopTheme()
{
    send_(QStringLiteral("stop mainback wait"));
    send_(QStringLiteral("close mainback wait"));
}

QString ThemePlayer::PickNextTheme()
{
    if ((ThemesLeft & 0b11111) == 0)
        ThemesLeft = 0b11111;
    for (;;) {
        const int i = random_.next(4);  // four starting values: theme 5 only by probing
        for (int k = 0; k < 4; ++k) {
            const int index = (i + k) % 5;
            if (ThemesLeft & (1u << index)) {
                ThemesLeft &= ~(1u << index);
                return ThemeFiles[static_cast<size_t>(index)];
            }
        }
    }
}

void ThemePlayer::onNotify()
{
    if (!SkipNextNotify && musicOn_()) {
        StopTheme();
        PlayTheme(PickNextTheme());
    }
    SkipNextNotify = false;
}

void ThemePlayer::onLeaveForeground()
{
    if (musicOn_())
        StopTheme();
    SkipNextNotify = true;
}

void ThemePlayer::onEnterForeground()
{
    if (musicOn_())
        PlayTheme(ThemeFiles[0]);
}

}  // namespace kestrum
