// Sound output: the device DXSound (SDL2_mixer, shared with the music through the
// mixer's reference count) and the wave list DXWaveList, played by event name.
#pragma once

#include "WaveList.h"

#include <QHash>
#include <QSet>
#include <QString>
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
    static void release();
};

class DXWaveList {
public:
    DXWaveList();
    ~DXWaveList();
    DXWaveList(const DXWaveList&) = delete;
    DXWaveList& operator=(const DXWaveList&) = delete;

    // Loads "Sounds.dxw"; on failure the list stays empty and *error says why.
    bool load(const QString& path, QString* error);
    bool has(const QString& name) const;
    int size() const { return static_cast<int>(clips_.size()); }
    const WaveClip* clip(const QString& name) const;

    // Opens and closes the device the clips sound on (DXSound).
    bool openDevice();
    void closeDevice();
    bool deviceOpen() const { return open_; }

    // Starts a clip without waiting for it: a free copy, or another copy while the clip's
    // limit allows, else one of its sounding copies starts over. Returns false for a name
    // the list does not hold.
    bool play(const QString& name);
    // How many copies of a clip are sounding now.
    int sounding(const QString& name) const;

private:
    void freeChunks();
    std::vector<WaveClip> clips_;
    QHash<QString, int> index_;
    std::vector<Mix_Chunk*> chunks_;
    bool open_ = false;
};

}  // namespace kestrum
