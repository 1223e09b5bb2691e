// Shared helpers of the tests: a recording host, the solid-colour test skin and cell
// sampling, so that the field picture tells which tile the game drew where.
#pragma once

#include "core/Game.h"
#include "core/GameHost.h"
#include "core/Random.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

namespace kestrum::test {

// Tile t of the test skin is one solid colour, distinct from every other tile and from
// the test background.
QRgb tileColour(int t);
inline constexpr QRgb kBackgroundColour = 0xFF102030;
// A strip of 31 solid tiles of the given cell size, 1-pixel black gaps between them.
QImage solidSkin(int cellSize, int tiles = kTileCount);
QImage solidBackground();
// Which tile colour a pixel shows; -1 for none, -2 for the background.
int tileAt(const QImage& image, QPoint pixel);

// Records everything the core asks of its window.
class FakeHost : public GameHost {
public:
    bool gameTimer = false, sequenceTimer = false, animator = false;
    int interval = 100;
    bool sounds = true;
    bool isClosing = false;
    std::map<PanelLabel, QString> labels;
    QStringList soundsPlayed;
    QStringList warnings;
    QStringList messages;
    std::vector<int> waits;
    std::vector<std::pair<int, bool>> handOvers;
    std::vector<QRegion> repaints;
    int panelAnimations = 0;
    bool mushroomIndicator = false;
    int checkedLevel = 0;
    int layouts = 0;
    QImage background = solidBackground();
    std::vector<int> notices;  // every change of the field's notice
    bool away = false;
    // Runs while the warning is up, in place of the events the window would handle.
    std::function<void()> onWarning;
    // Runs during a wait, in place of the events the window would handle.
    std::function<void(int)> onWait;

    void startGameTimer() override
    {
        ++gameTimerStarts;
        gameTimer = true;
    }
    int gameTimerStarts = 0;  // every call, also for a timer that runs
    void stopGameTimer() override { gameTimer = false; }
    bool gameTimerRunning() const override { return gameTimer; }
    int gameTimerInterval() const override { return interval; }
    void startSequenceTimer() override { sequenceTimer = true; }
    void stopSequenceTimer() override { sequenceTimer = false; }
    bool sequenceTimerRunning() const override { return sequenceTimer; }
    void setAnimatorRunning(bool running) override { animator = running; }
    void setLabel(PanelLabel label, const QString& text) override { labels[label] = text; }
    void setMushroomIndicator(bool visible) override { mushroomIndicator = visible; }
    void showExitProgress(const ExitProgress& progress) override { exitProgress.push_back(progress); }
    std::vector<ExitProgress> exitProgress;  // every change told
    void playPanelAnimation() override { ++panelAnimations; }
    void showWarning(const QString& text) override
    {
        warnings << text;
        if (onWarning)
            onWarning();
    }
    void showNotice(int line) override { notices.push_back(line); }
    bool playerAway() const override { return away; }
    void handOverScore(int score, bool gameOver) override { handOvers.emplace_back(score, gameOver); }
    void checkLevelItem(int level) override { checkedLevel = level; }
    void layoutSidePanel(const CellPictures&, int) override { ++layouts; }
    QImage backgroundPicture() override { return background; }
    void waitMs(int ms) override
    {
        waits.push_back(ms);
        if (onWait)
            onWait(ms);
    }
    bool closing() const override { return isClosing; }
    void repaintField(const QRegion& region) override { repaints.push_back(region); }
    bool soundsOn() const override { return sounds; }
    void playSound(const QString& event) override { soundsPlayed << event; }
    void showMessage(const QString& text) override { messages << text; }
    QString langText(int line) const override { return QStringLiteral("text%1").arg(line); }
};

// A game on a field of fieldSize cells of cellSize pixels, built with the test skin.
struct TestGame {
    explicit TestGame(int fieldSize = 20, int cellSize = 10, uint64_t seed = 1, int level = 0);
    FakeHost host;
    SeededRandom random;
    std::unique_ptr<Game> game;
    GameState& s() { return game->state(); }
    // The tile drawn at a cell, read from the centre of the cell.
    int tileAtCell(int x, int y) const;
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            game->tick();
    }
    // Clears the field of items so that a scripted path meets nothing by chance.
    void clearItems();
};

}  // namespace kestrum::test
