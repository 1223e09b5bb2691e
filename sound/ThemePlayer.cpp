#include "ThemePlayer.h"

namespace kestrum {

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
