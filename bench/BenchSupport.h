// What the benchmarks share: a window that costs nothing, the shipped skins, and a snake
// that follows a closed path over the whole field so that it never dies and any length
// can be held for millions of ticks.
#pragma once

#include "core/Game.h"
#include "core/GameHost.h"
#include "core/Random.h"
#include "render/Skin.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace kestrum::bench {

// Answers every request at once and records nothing, so only the game's own work is
// measured. Timers are flags, as the tests' host has them.
class NullHost : public GameHost {
public:
    bool gameTimer = false, sequenceTimer = false;
    QImage background;

    void startGameTimer() override { gameTimer = true; }
    void stopGameTimer() override { gameTimer = false; }
    bool gameTimerRunning() const override { return gameTimer; }
    int gameTimerInterval() const override { return 20; }
    void startSequenceTimer() override { sequenceTimer = true; }
    void stopSequenceTimer() override { sequenceTimer = false; }
    bool sequenceTimerRunning() const override { return sequenceTimer; }
    void setAnimatorRunning(bool) override {}
    void setLabel(PanelLabel, const QString&) override {}
    void setMushroomIndicator(bool) override {}
    void showExitProgress(const ExitProgress&) override {}
    void playPanelAnimation() override {}
    void showWarning(const QString&) override {}
    void handOverScore(int, bool) override {}
    void checkLevelItem(int) override {}
    void layoutSidePanel(const CellPictures&, int) override {}
    QImage backgroundPicture() override { return background; }
    void waitMs(int) override {}
    bool closing() const override { return false; }
    void repaintField(const QRegion&) override {}
    bool soundsOn() const override { return false; }
    void playSound(const QString&) override {}
    void showMessage(const QString&) override {}
    void showNotice(int) override {}
    bool playerAway() const override { return false; }
    QString langText(int) const override { return {}; }
};

inline QString dataPath(const QString& name) { return QStringLiteral(KESTRUM_DATA_DIR "/") + name; }

inline QImage shippedSkin(const QString& name)
{
    QString error;
    QImage strip = loadBitmap(dataPath(QStringLiteral("Skins/") + name), &error);
    if (strip.isNull())
        throw std::runtime_error(error.toStdString());
    return strip;
}

// The direction of a closed path through the square of cells 1 .. M (M even; the whole
// inside when the field has an even number of inner rows): odd rows run right, even rows
// run left from column M to column 2, row M runs on into column 1, and column 1 leads
// back up to row 1.
inline uint8_t cycleDirection(int M, TCellPos c)
{
    if (c.X == 1)
        return c.Y == 1 ? dirRight : dirUp;
    if (c.Y % 2 == 1)
        return c.X >= M ? dirDown : dirRight;
    if (c.X == 2 && c.Y != M)
        return dirDown;
    return dirLeft;
}

inline int pathSize(int fieldSize) { return (fieldSize - 2) & ~1; }

// The key that keeps the snake on the path (the bindings follow a mushroom); 0 for none.
inline uint16_t cycleKey(const GameState& s)
{
    const uint8_t want = cycleDirection(pathSize(s.FieldSize), s.SnakeBody[0]);
    if (want == s.Direction)
        return 0;
    switch (want) {
    case dirUp: return s.KeyUp;
    case dirDown: return s.KeyDown;
    case dirLeft: return s.KeyLeft;
    default: return s.KeyRight;
    }
}

// No death's head is ever placed and the exit never opens, so an attempt on the path
// can run as long as a measurement wants.
inline void neverEnd(GameState& s)
{
    s.Death = {{0, 0}, false, -1};
    s.ExitLength = kSnakeCells + 1;
}

// The first key starts the game and turns onto the path.
inline void startOnPath(Game& game)
{
    const uint16_t first = cycleKey(game.state());
    game.keyDown(first ? first : game.state().KeyUp);
}

// After a tick: the key for the next step, and the length held at `segments`.
inline void steerOnPath(Game& game, int segments)
{
    GameState& s = game.state();
    s.PendingGrowth = std::clamp(segments - (s.SnakeLast + 1), -1, 1);
    if (const uint16_t key = cycleKey(s))
        game.keyDown(key);
}

// A game on a canvas of the given size with a shipped skin, its snake grown to
// `segments` on the closed path and the attempt never ending; food, pears, scissors and
// mushrooms come and go as in play.
struct PathGame {
    NullHost host;
    SeededRandom random{12345};
    std::unique_ptr<Game> game;

    PathGame(int width, int height, const QString& skin, int segments)
    {
        host.background = QImage(dataPath(QStringLiteral("Skins/Fone.bmp")));
        game = std::make_unique<Game>(host, random);
        game->canvas().resize(width, height);
        game->BuildField(shippedSkin(skin));
        GameState& s = game->state();
        neverEnd(s);
        startOnPath(*game);
        // A few steps bring all three segments onto the path; then it grows.
        for (int i = 0; i < 4; ++i)
            tick(3);
        while (s.SnakeLast + 1 < segments)
            tick(segments);
        if (s.SnakeLast + 1 != segments || s.Seq != Sequence::None)
            throw std::runtime_error("the snake did not reach its length");
    }

    // One tick on the path, holding the length at `segments`.
    void tick(int segments)
    {
        game->tick();
        steerOnPath(*game, segments);
    }

    bool alive() const { return game->state().Seq == Sequence::None; }
};

}  // namespace kestrum::bench
