#include "MusicDevice.h"

#include <algorithm>

#include "Mixer.h"
#include "files/RegularFile.h"
#include "SoundEffects.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QRegularExpression>

#include <atomic>

namespace kestrum {

namespace {

// SDL_mixer's end-of-music hook takes no context: the one device that plays is kept
// here, and the report is handed to its thread.
std::atomic<MusicDevice*> playingDevice{nullptr};

void musicFinished()
{
    if (MusicDevice* d = playingDevice.load())
        QMetaObject::invokeMethod(d, &MusicDevice::notify, Qt::QueuedConnection);
}

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

}  // namespace

MusicDevice::MusicDevice() = default;

MusicDevice::~MusicDevice()
{
    closeTheme();
}

bool MusicDevice::playing() const { return music_ && mix().PlayingMusic(); }

void MusicDevice::closeTheme()
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

void MusicDevice::setVolume(int percent)
{
    volume_ = std::clamp(percent, 0, 100);
    if (music_)
        mix().VolumeMusic(MIX_MAX_VOLUME * volume_ / 100);
}

bool MusicDevice::send(const QString& command)
{
    static const QRegularExpression open(QStringLiteral("^open sequencer!\"(.*)\" alias mainback wait$"));
    static const QRegularExpression seek(QStringLiteral("^seek mainback to (\\d+) wait$"));
    if (const auto m = open.match(command); m.hasMatch()) {
        closeTheme();
        const QString file = m.captured(1);
        // The decoder opens the file itself: it must be a regular one of a theme's size.
        if (!isReadableRegularFile(file, limits::kMusic) || !AudioDevice::acquire())
            return false;
        device_ = true;
        if (QFileInfo(QString::fromLatin1(kSoundFont)).isFile())
            mix().SetSoundFonts(kSoundFont);
        music_ = mix().LoadMUS(QFileInfo(file).absoluteFilePath().toLocal8Bit().constData());
        if (!music_) {
            AudioDevice::release();
            device_ = false;
            return false;
        }
        return true;
    }
    if (seek.match(command).hasMatch()) {
        if (music_)
            mix().RewindMusic();
        return music_ != nullptr;
    }
    if (command == QLatin1String("play mainback notify")) {
        if (!music_)
            return false;
        playingDevice.store(this);
        mix().HookMusicFinished(&musicFinished);
        mix().VolumeMusic(MIX_MAX_VOLUME * volume_ / 100);
        if (mix().PlayMusic(music_, 0) != 0) {
            mix().HookMusicFinished(nullptr);
            playingDevice.store(nullptr);
            return false;
        }
        return true;
    }
    if (command == QLatin1String("stop mainback wait")) {
        if (music_ && mix().PlayingMusic())
            mix().HaltMusic();  // reports the end, which the player has learnt to ignore
        return true;
    }
    if (command == QLatin1String("close mainback wait")) {
        closeTheme();
        return true;
    }
    return false;
}

}  // namespace kestrum
