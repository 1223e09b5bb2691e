// Background music: five MIDI themes played one after the other in a drawn order, sent to
// the media device as its command texts.
#pragma once

#include "core/Random.h"

#include <QString>
#include <array>
#include <functional>

namespace kestrum {

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
