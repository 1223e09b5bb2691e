// Sound effects: the audio device (SDL2_mixer, shared with the music through the mixer's
// reference count) and the clips of the wave list, played by event name.
#pragma once

#include "WaveList.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

struct Mix_Chunk;

namespace kestrum {

// The audio device, opened on demand. Every open is matched by a close, so that the
// effects and the music can share it.
class AudioDevice {
public:
    // Opens the device once more; false (and nothing held) when there is no device.
    static bool acquire();
    // Gives one open back. The last one closes the device, and with quitWhenLast lets the
    // audio system go too (the sound switched off); without, it stays ready for a quick
    // reopening (a silence).
    static void release(bool quitWhenLast = true);
    // How many opens are held now.
    static int users();
    // Keeps the audio libraries' own complaints (ALSA's, when there is no sound card) off
    // the terminal; the game reports what matters to the player itself.
    static void quietDiagnostics();
};

class SoundEffects {
public:
    SoundEffects();
    ~SoundEffects();
    SoundEffects(const SoundEffects&) = delete;
    SoundEffects& operator=(const SoundEffects&) = delete;

    // Loads "Sounds.dxw"; on failure the list stays empty and *error says why.
    bool load(const QString& path, QString* error);
    bool has(const QString& name) const;
    int size() const { return static_cast<int>(clips_.size()); }
    const WaveClip* clip(const QString& name) const;

    // Opens and closes the device the clips sound on: the sound switch.
    bool openDevice();
    void closeDevice();
    bool deviceOpen() const { return open_; }
    // A device that mixes nothing still costs its mixing thread's time: after this long
    // with no clip sounding the list lets go of the device, and takes it again for the
    // next clip. The device stays open while the music holds it.
    void setSilenceBeforeSleep(int ms) { idle_.setInterval(ms); }
    // True while the list holds the device; false while it sleeps through a silence.
    bool awake() const { return awake_; }
    // Lets go of the device now unless a clip sounds or it is kept; the silence timer
    // calls it.
    void sleepIfSilent();
    // Keeps the device through silences (a game being played), or lets the next silence
    // take it again.
    void keepAwake(bool keep);
    bool keptAwake() const { return keepAwake_; }
    // Takes the device again after a silence, as the next clip would.
    bool wake();

    // Starts a clip without waiting for it: a free copy, or another copy while the clip's
    // limit allows, else one of its sounding copies starts over. Returns false for a name
    // the list does not hold.
    bool play(const QString& name);
    // Loudness in percent of each clip's own; 100 plays them as the list gives them.
    void setVolume(int percent);
    int volume() const { return volume_; }
    // How many copies of a clip are sounding now.
    int sounding(const QString& name) const;

private:
    void freeChunks();
    // Taking the device again converts the clips anew when it comes back in another
    // format.
    std::vector<WaveClip> clips_;
    QHash<QString, int> index_;
    std::vector<Mix_Chunk*> chunks_;
    bool open_ = false;
    bool awake_ = false;
    bool keepAwake_ = false;
    int volume_ = 100;
    struct DeviceFormat {
        int frequency = 0, channels = 0;
        unsigned format = 0;
        bool operator==(const DeviceFormat&) const = default;
    } format_;
    QTimer idle_;
};

}  // namespace kestrum
