// Background music: five MIDI themes played one after the other in a drawn order, driven
// by the five text commands of a media device under the alias "mainback".
#pragma once

#include "core/Random.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>

typedef struct _Mix_Music Mix_Music;

namespace kestrum {

// The media device: takes the command texts and plays MIDI files through SDL2_mixer
// with the General MIDI sound font. The end of a theme, or a stop, is reported by the
// signal notify(), delivered on the thread the device lives on.
class MciDevice : public QObject {
    Q_OBJECT
public:
    MciDevice();
    ~MciDevice() override;
    // Carries out one command; unknown or failing commands are ignored, as their results
    // are.
    void send(const QString& command);
    bool isOpen() const { return music_ != nullptr; }
    bool playing() const;

signals:
    void notify();

private:
    void closeTheme();
    Mix_Music* music_ = nullptr;
    bool device_ = false;
};

// The music's rules: which theme comes next, and when to start, stop and ignore.
class ThemePlayer {
public:
    using Send = std::function<void(const QString& command)>;
    ThemePlayer(Send send, Random& random, std::function<bool()> musicOn);

    std::array<QString, 5> ThemeFiles{
        QStringLiteral("Sounds/theme1.mid"), QStringLiteral("Sounds/theme2.mid"),
        QStringLiteral("Sounds/theme3.mid"), QStringLiteral("Sounds/theme4.mid"),
        QStringLiteral("Sounds/theme5.mid")};
    unsigned ThemesLeft = 0b11110;  // indexes 1 .. 4; theme 1 is started by name
    bool SkipNextNotify = false;

    void PlayTheme(const QString& file);
    void StopTheme();
    QString PickNextTheme();
    // The device reports the end of a theme (or of a stop).
    void onNotify();
    void onLeaveForeground();
    void onEnterForeground();

private:
    Send send_;
    Random& random_;
    std::function<bool()> musicOn_;
};

}  // namespace kestrum
