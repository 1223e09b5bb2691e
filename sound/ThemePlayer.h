// Background music: five MIDI themes played one after the other in a drawn order, sent to
// the media device as its command texts.
#pragma once

#include "core/Random.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace kestrum {

// The music's rules: which theme comes next, and when to start, stop and ignore.
class ThemePlayer {
public:
    // Carries out a command; false when it failed (a theme that cannot be opened or
    // played).
    using Send = std::function<bool(const QString& command)>;
    // Milliseconds of a steady clock, for telling a theme that ends at once.
    using Clock = std::function<int64_t()>;
    ThemePlayer(Send send, Random& random, std::function<bool()> musicOn, Clock clock = {});

    std::array<QString, 5> ThemeFiles{
        QStringLiteral("Sounds/theme1.mid"), QStringLiteral("Sounds/theme2.mid"),
        QStringLiteral("Sounds/theme3.mid"), QStringLiteral("Sounds/theme4.mid"),
        QStringLiteral("Sounds/theme5.mid")};
    unsigned ThemesLeft = 0b11110;  // indexes 1 .. 4; theme 1 is started by name
    bool SkipNextNotify = false;
    // Themes that could not be played this time the music was on: a missing or damaged
    // file, or one that ended as soon as it began. They are passed over; when none is
    // left the music rests until it is switched on again.
    unsigned Unplayable = 0;
    static constexpr int64_t kShortestTheme = 1000;  // ms; shorter is no theme

    // Plays the theme, or, when it cannot play, the next theme that can.
    void PlayTheme(const QString& file);
    void StopTheme();
    // The next theme in the drawn order; empty when no theme can play.
    QString PickNextTheme();
    // The device reports the end of a theme (or of a stop).
    void onNotify();
    void onLeaveForeground();
    void onEnterForeground();
    // The music was switched on: every theme gets its chance again.
    void switchedOn() { Unplayable = 0; }

private:
    bool tryTheme(const QString& file);
    int indexOf(const QString& file) const;

    Send send_;
    Random& random_;
    std::function<bool()> musicOn_;
    Clock clock_;
    int playing_ = -1;  // the theme started last, and when
    int64_t startedAt_ = 0;
};

}  // namespace kestrum
