#include "SoundEffects.h"

#include <algorithm>

#include "files/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <atomic>
#include <mutex>
#include <dlfcn.h>

#include "Mixer.h"

namespace kestrum {

namespace {
constexpr int kChannels = 32;

// SDL_mixer's end-of-channel hook takes no context: the one list that plays keeps its
// silence timer here, and the hook, on the mixing thread, restarts it on the timer's own.
std::atomic<QTimer*> silenceTimer{nullptr};

// The device may be opened on a worker thread (DeviceOpener) while the event thread plays:
// openings and closings take turns (with the pads' start too).
std::recursive_mutex& deviceLock = sdlLock();

void channelFinished(int)
{
    if (QTimer* timer = silenceTimer.load())
        QMetaObject::invokeMethod(timer, [timer] { timer->start(); }, Qt::QueuedConnection);
}
}  // namespace

bool AudioDevice::acquire()
{
    const std::lock_guard lock(deviceLock);
    if (!mixer())
        return false;
    const bool wasUp = mix().WasInit(SDL_INIT_AUDIO) != 0;
    // SDL would turn SIGINT and SIGTERM into quit events nobody reads, and the game could
    // no longer be stopped from outside once its sound was on.
    mix().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!wasUp && mix().InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (mix().OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        if (!wasUp)
            mix().QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    mix().AllocateChannels(kChannels);
    return true;
}

namespace {

extern "C" void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void AudioDevice::quietDiagnostics()
{
    // SDL opens ALSA by name; opened here first (and kept), the library is the same one
    // and takes a handler that says nothing.
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa)
        return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(&ignoreAlsaMessage);
}

int AudioDevice::users()
{
    const std::lock_guard lock(deviceLock);
    if (!mixer())
        return 0;
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    return mix().QuerySpec(&frequency, &format, &channels);
}

void AudioDevice::release(bool quitWhenLast)
{
    const std::lock_guard lock(deviceLock);
    if (users() == 0)
        return;
    mix().CloseAudio();
    // The last user gone, the audio system is let go too: the next open starts afresh.
    if (quitWhenLast && users() == 0)
        mix().QuitSubSystem(SDL_INIT_AUDIO);
}

SoundEffects::SoundEffects()
{
    idle_.setSingleShot(true);
    idle_.setInterval(3000);
    QObject::connect(&idle_, &QTimer::timeout, [this] { sleepIfSilent(); });
}

SoundEffects::~SoundEffects() { closeDevice(); }

bool SoundEffects::load(const QString& path, QString* error)
{
    clips_.clear();
    index_.clear();
    RegularFile file;
    if (!file.open(path, limits::kWaveList, error))
        return false;
    // The signature first: a file of another kind is not read through.
    QByteArray bytes = file.read(4);
    QString why;
    std::optional<std::vector<WaveClip>> parsed;
    if (bytes == QByteArrayLiteral("KDXW")) {
        bytes += file.read(file.size() - bytes.size());
        parsed = parseWaveList(bytes, &why);
    } else {
        why = QStringLiteral("it is not a wave list");
    }
    if (!parsed) {
        if (error)
            *error = QStringLiteral("Cannot open file %1: %2").arg(QFileInfo(path).absoluteFilePath(), why);
        return false;
    }
    clips_ = std::move(*parsed);
    for (int i = 0; i < static_cast<int>(clips_.size()); ++i)
        index_.insert(clips_[static_cast<size_t>(i)].name, i);
    return true;
}

bool SoundEffects::has(const QString& name) const { return index_.contains(name); }

const WaveClip* SoundEffects::clip(const QString& name) const
{
    const auto it = index_.constFind(name);
    return it == index_.cend() ? nullptr : &clips_[static_cast<size_t>(*it)];
}

bool SoundEffects::openDevice()
{
    if (open_)
        return true;
    if (!wake())
        return false;
    open_ = true;
    idle_.start();  // nothing sounds yet
    return true;
}

bool SoundEffects::wake()
{
    if (awake_)
        return true;
    if (!AudioDevice::acquire())
        return false;
    awake_ = true;
    DeviceFormat now;
    Uint16 format = 0;
    mix().QuerySpec(&now.frequency, &format, &now.channels);
    now.format = format;
    silenceTimer.store(&idle_);
    mix().ChannelFinished(&channelFinished);
    if (now == format_ && chunks_.size() == clips_.size())
        return true;
    format_ = now;
    freeChunks();
    chunks_.assign(clips_.size(), nullptr);
    for (size_t i = 0; i < clips_.size(); ++i) {
        const QByteArray wav = wavAtRate(clips_[i].wav, clips_[i].frequency);
        SDL_RWops* rw = mix().RWFromConstMem(wav.constData(), static_cast<int>(wav.size()));
        chunks_[i] = rw ? mix().LoadWAV_RW(rw, 1) : nullptr;
        if (chunks_[i])
            mix().VolumeChunk(chunks_[i], clips_[i].volume * volume_ / 100);
    }
    return true;
}

void SoundEffects::setVolume(int percent)
{
    volume_ = std::clamp(percent, 0, 100);
    for (size_t i = 0; i < chunks_.size() && i < clips_.size(); ++i)
        if (chunks_[i])
            mix().VolumeChunk(chunks_[i], clips_[i].volume * volume_ / 100);
}

void SoundEffects::keepAwake(bool keep)
{
    keepAwake_ = keep;
    if (!keep && awake_)
        idle_.start();
}

void SoundEffects::sleepIfSilent()
{
    // A clip still sounding restarts the timer when it ends.
    if (!awake_ || keepAwake_ || mix().Playing(-1) > 0)
        return;
    mix().ChannelFinished(nullptr);
    silenceTimer.store(nullptr);
    AudioDevice::release(false);
    awake_ = false;
}

void SoundEffects::freeChunks()
{
    for (Mix_Chunk*& c : chunks_) {
        if (c)
            mix().FreeChunk(c);
        c = nullptr;
    }
    chunks_.clear();
}

void SoundEffects::closeDevice()
{
    idle_.stop();
    if (awake_) {
        mix().ChannelFinished(nullptr);
        silenceTimer.store(nullptr);
        for (int ch = 0; ch < kChannels; ++ch)
            for (Mix_Chunk* c : chunks_)
                if (c && mix().GetChunk(ch) == c)
                    mix().HaltChannel(ch);
        AudioDevice::release();
        awake_ = false;
    }
    if (!chunks_.empty())
        freeChunks();
    format_ = DeviceFormat();
    open_ = false;
}

int SoundEffects::sounding(const QString& name) const
{
    const auto it = index_.constFind(name);
    if (!awake_ || it == index_.cend())
        return 0;
    Mix_Chunk* chunk = chunks_[static_cast<size_t>(*it)];
    int n = 0;
    for (int ch = 0; ch < kChannels && chunk; ++ch)
        n += mix().Playing(ch) && mix().GetChunk(ch) == chunk;
    return n;
}

bool SoundEffects::play(const QString& name)
{
    const auto it = index_.constFind(name);
    if (it == index_.cend())
        return false;
    // Switched off, or no device to be had: silence.
    if (!open_ || !wake())
        return true;
    idle_.stop();
    const WaveClip& clip = clips_[static_cast<size_t>(*it)];
    Mix_Chunk* chunk = chunks_[static_cast<size_t>(*it)];
    if (!chunk)
        return true;
    int channel = -1;
    if (clip.copies > 0 && sounding(name) >= clip.copies) {
        // At the limit: the copy that has sounded longest starts over.
        for (int ch = 0; ch < kChannels && channel < 0; ++ch)
            if (mix().Playing(ch) && mix().GetChunk(ch) == chunk)
                channel = ch;
    }
    channel = mix().PlayChannelTimed(channel, chunk, clip.looping ? -1 : 0, -1);
    if (channel >= 0) {
        // The side the clip leans to keeps its full strength and the other gives way; a
        // centred clip plays at full strength on both (255 and 255 is no panning at all).
        const int pan = std::clamp(clip.pan, -100, 100);
        const int left = pan <= 0 ? 255 : 255 * (100 - pan) / 100;
        const int right = pan >= 0 ? 255 : 255 * (100 + pan) / 100;
        mix().SetPanning(channel, static_cast<Uint8>(left), static_cast<Uint8>(right));
    }
    return true;
}

}  // namespace kestrum
