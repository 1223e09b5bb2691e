// The media device of the background music: takes the five command texts of a media
// device under the alias "mainback" and plays MIDI files through SDL2_mixer with the General
// MIDI sound font.
#pragma once

#include <QObject>
#include <QString>

typedef struct _Mix_Music Mix_Music;

namespace kestrum {

// The media device: takes the command texts and plays MIDI files through SDL2_mixer
// with the General MIDI sound font. The end of a theme, or a stop, is reported by the
// signal notify(), delivered on the thread the device lives on.
class MusicDevice : public QObject {
    Q_OBJECT
public:
    MusicDevice();
    ~MusicDevice() override;
    // Carries out one command; false when it failed (an unknown command, a theme file
    // that is missing, no regular file within its limit, or cannot be opened or played).
    bool send(const QString& command);
    bool isOpen() const { return music_ != nullptr; }
    bool playing() const;
    // Loudness in percent of the theme's own; 100 leaves it as written. Heard at once.
    void setVolume(int percent);
    int volume() const { return volume_; }

signals:
    void notify();

private:
    void closeTheme();
    Mix_Music* music_ = nullptr;
    bool device_ = false;
    int volume_ = 100;
};

}  // namespace kestrum
