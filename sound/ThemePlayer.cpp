#include "ThemePlayer.h"

#include <QElapsedTimer>

namespace kestrum {

namespace {
constexpr unsigned kAllThemes = 0b11111;
}

ThemePlayer::ThemePlayer(Send send, Random& random, std::function<bool()> musicOn, Clock clock)
    : send_(std::move(send)), random_(random), musicOn_(std::move(musicOn)), clock_(std::move(clock))
{
    if (!clock_) {
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        clock_ = [started] { return started->elapsed(); };
    }
}

int ThemePlayer::indexOf(const QString& file) const
{
    for (int i = 0; i < static_cast<int>(ThemeFiles.size()); ++i)
        if (ThemeFiles[static_cast<size_t>(i)] == file)
            return i;
    return -1;
}

bool ThemePlayer::tryTheme(const QString& file)
{
    const bool opened =
        send_(QStringLiteral("open sequencer!\"") + file + QStringLiteral("\" alias mainback wait"));
    if (opened) {
        send_(QStringLiteral("seek mainback to ") + QString::number(0) + QStringLiteral(" wait"));
        if (send_(QStringLiteral("play mainback notify"))) {
            playing_ = indexOf(file);
            startedAt_ = clock_();
            return true;
        }
        send_(QStringLiteral("close mainback wait"));
    }
    if (const int i = indexOf(file); i >= 0)
        Unplayable |= 1u << i;
    return false;
}

void ThemePlayer::PlayTheme(const QString& file)
{
    if (!musicOn_() || file.isEmpty())
        return;
    // A theme that cannot play gives its turn to the next; five tries at most.
    QString next = file;
    for (int tries = 0; tries <= static_cast<int>(ThemeFiles.size()) && !next.isEmpty(); ++tries) {
        const int i = indexOf(next);
        const bool known = i >= 0 && (Unplayable & (1u << i)) != 0;
        if (!known && tryTheme(next))
            return;
        next = PickNextTheme();
    }
    playing_ = -1;  // nothing can play: the music rests
}

void ThemePlayer::StopTheme()
{
    send_(QStringLiteral("stop mainback wait"));
    send_(QStringLiteral("close mainback wait"));
}

QString ThemePlayer::PickNextTheme()
{
    const unsigned playable = kAllThemes & ~Unplayable;
    if (playable == 0)
        return {};
    if ((ThemesLeft & playable) == 0)
        ThemesLeft = kAllThemes;
    ThemesLeft &= playable;
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
        // A theme that ends as soon as it began could not play: it is passed over.
        if (playing_ >= 0 && clock_() - startedAt_ < kShortestTheme)
            Unplayable |= 1u << playing_;
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
    // A theme that failed for a reason that has passed (a busy device) gets its chance again.
    Unplayable = 0;
    if (musicOn_())
        PlayTheme(ThemeFiles[0]);
}

}  // namespace kestrum
