// The game core: the one game state and every operation that plays it. Widget-free; it
// draws onto the field picture and reaches the window only through GameHost.
//
// Contents: the state (GameState), the field build, the attempt start, the tick with
// steering, movement, drawing and collisions, items, cell animations, and the
// sequences between attempts (death, exit, game over) with New and Pause.
#pragma once

#include "GameHost.h"
#include "GameTypes.h"
#include "Random.h"
#include "render/FieldCanvas.h"
#include "render/Skin.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

namespace kestrum {

class LevelPack;

// Item kinds, named in the game by the literals "Long", "Death", "Life", "Shot", "Drug".
enum class ItemKind { Long, Death, Life, Shot, Drug };

// Which sequence the sequencing timer plays.
enum class Sequence { None, animExit, animDeath, animDeath3 };

struct TCellAnimation {
    int32_t X = 0;
    int32_t Y = 0;
    int Picture = 0;  // tile number
    bool Active = false;
    uint8_t Style = 0;
    int32_t Step = 0;
    int32_t Steps = 0;
};
inline constexpr int kAnimationSlots = 24;

// Everything of the one running game; lives as long as the main window.
struct GameState {
    // Geometry, from the field build.
    int32_t FieldSize = 0;
    int32_t CellSize = 0;
    int32_t FieldLeft = 0;

    WallTable Walls{};

    std::array<TCellPos, kSnakeCells> SnakeBody{};
    int32_t SnakeLast = 2;
    std::array<uint8_t, kSnakeCells> SegmentShape{};
    uint8_t Direction = dirUp;
    uint8_t NeckShape = dirUp;
    int32_t PendingGrowth = 0;

    std::array<TCellPos, kFoodCells> FoodList{};
    int32_t FoodCount = 0;
    int32_t FoodDueTick = 0;

    TItemState Death, Life, Shot, Drug;

    TCellPos ExitPos{-2, -4};
    int32_t ExitLength = 0;

    int32_t TickCount = 0;
    double Score = 0;
    int32_t Lives = 3;
    int32_t EatenCount = 0;
    int32_t Level = 0;
    int32_t MushroomTicks = -1;
    uint8_t KeyUp = 38, KeyDown = 40, KeyLeft = 37, KeyRight = 39;
    bool ResumeOnKey = false;
    bool TurnAllowed = true;

    // Score coefficients stored by the attempt start.
    double Slope = -0.09;
    double Base = 14.5;

    // Sequencing.
    Sequence Seq = Sequence::None;
    int32_t ExitCountdown = -1;
    int32_t DeathCountdown = -1;
    int32_t ScrollCountdown = -1;

    std::array<TCellAnimation, kAnimationSlots> CellAnimations{};
    int32_t ActiveAnimations = 0;

    // Level pack in use; empty when none is open.
    QString LevelPackFile;
};

// The score as the side panel shows it.
QString scoreText(double score);
// "x " and a number, as the lives and eaten counters show it.
QString countText(int n);

class Game {
public:
    Game(GameHost& host, Random& random);

    GameState& state() { return s_; }
    const GameState& state() const { return s_; }
    FieldCanvas& canvas() { return canvas_; }
    const CellPictures& pictures() const { return pictures_; }

    // --- Field build (called by the window's first showing and after a skin change) ---
    // Cuts the strip, computes the geometry, draws background, field and walls and starts
    // an attempt. The strip must already have passed skinProblem(). The score starts at 0,
    // unless a skin change mid-game keeps it.
    void BuildField(const QImage& strip, bool keepScore = false);
    void FreeCellPictures();
    void DrawBackground();
    void DrawField();
    void DrawWalls();
    void BuildWalls();

    // --- Attempt and tick ---
    void StartAttempt();
    void tick();
    void StepSnake();
    void DrawSnake(int SkipFront);
    // Key is a virtual-key code: 38 up, 40 down, 37 left, 39 right.
    void keyDown(uint16_t Key);
    // Quick turns (off by default): a steering key pressed after the step's turn is used
    // is kept, one at most, and taken at the next step.
    void setQuickTurns(bool on);
    bool quickTurns() const { return quickTurns_; }
    // How far the snake is from opening the exit; the host hears of every change.
    ExitProgress exitProgress() const;
    void CheckCollisions();
    double FoodValue() const;

    // --- Items ---
    void PlaceItem(ItemKind kind);
    void RemoveItem(ItemKind kind, bool eaten);
    // A random free inner cell (with twoCells, the left cell of a free horizontal pair).
    // Returns false when no cell can pass.
    bool FindFreeCell(bool twoCells, TCellPos& found);
    void OpenExit();
    TItemState& item(ItemKind kind);

    // --- Cell animations ---
    void StartCellAnimation(int X, int Y, int Picture, int Style, int Steps);
    void ClearCellAnimations();
    void animationStep();

    // --- Lives, exit and game flow ---
    void KillSnake();
    void sequenceStep();
    // False when the wait ended the sequence's business: the window is closing, or New or
    // a level change cut the sequence short meanwhile.
    bool RestartAfterDelay(int ms);
    void newGame();   // New
    void togglePause();  // Pause
    // The player has gone to a menu, a dialog or another program: a running game pauses
    // as with Pause, and waits for a key when the player is back.
    void playerLeft();
    void scoreDoubleClicked();

    // --- Level changes made by the player ---
    // The common tail of every level change: park the exit, draw the field, build the
    // walls, start an attempt.
    void ShowLevel();
    // The Level menu: tags 0 .. 10 choose a level (a life is lost, three are given back,
    // the pack closes); tag 11 is "Next level".
    void chooseLevel(int tag);
    void nextLevel();  // next level
    void previousLevel();  // previous level
    // Opens a level pack at its level 0; lives and score stay.
    void OpenLevelPack(const QString& path);

    // What the field says while the game waits: 93 paused, 94 an attempt that waits for
    // its first key, 0 nothing (playing, a sequence, a wait, or the warning on the screen).
    int noticeLine() const;

    // True while RestartAfterDelay waits: a key press then does not start the game.
    bool waiting() const { return waiting_; }

    // Brings the changed part of the field picture to the screen.
    void flush();

private:
    void sound(const char* event);
    void showScore();
    void showLength();
    // The level label: the number, a blank and the word.
    void showLevelLabel(const QString& word);
    // The common tail of the player's level changes: the menu mark, the field, the label.
    void changeLevel(int level);
    void itemSchedules();
    void eatingTests();
    void mushroomCountdown();
    void mushroomWarning();
    // dirUp ... dirRight for a steering key as the keys stand now, -1 for any other key.
    int steeringDirection(uint16_t Key) const;
    void steer(int wanted);
    void takeKeptTurn();
    void drawSegment(int i, int tileNumber);
    void drawSnakeStep();
    int segmentTile(int i) const;
    void deathFrame();
    void gameOverScroll();
    void scheduleItem(ItemKind kind, int awayBase, int awaySpread, int stayBase, int staySpread);
    void markBlockedCells();
    bool cellBlocked(TCellPos c) const;
    void endExitSequence();
    // New or a level change while the game-over sequence runs: the game ends there and
    // then, its score handed to the hall of fame as at the sequence's end.
    void endGameOverSequence();
    void finishGameOver();
    // The end of a game: level 0, in the label and the menu.
    void backToLevelZero();
    // What a cell shows with nothing on it: the floor, the border, or the wall drawn last
    // there. Every cell the snake, an item or the exit leaves is drawn with it, so a wall
    // is never hidden by the floor.
    int restingTile(TCellPos c) const;
    int standingTile(TCellPos c) const;
    void setRestingTile(TCellPos c, int tileNumber);
    size_t restingIndex(TCellPos c) const;
    void eraseCell(TCellPos c);
    // Erases the cell unless one of the segments 0 ... upTo holds it.
    void eraseUnlessHeld(TCellPos c, int upTo);
    bool onField(TCellPos c) const;
    const LevelPack* levelPack();

    GameHost& host_;
    Random& random_;
    GameState s_;
    FieldCanvas canvas_;
    CellPictures pictures_;
    bool waiting_ = false;
    bool warningShown_ = false;
    int notice_ = 0;  // the line shown over the field
    ExitProgress shownProgress_{-1, -1, false};
    bool quickTurns_ = false;
    int keptTurn_ = -1;  // a direction kept for the next step, -1 none
    bool begun_ = false;  // the attempt has had its first key
    uint64_t attempts_ = 0;  // attempt starts, counted
    uint64_t sequencesEnded_ = 0;  // sequences cut short from outside, counted
    std::vector<uint8_t> blocked_;  // FieldSize x FieldSize, filled by markBlockedCells
    std::vector<uint8_t> restingTiles_;  // FieldSize x FieldSize, by DrawField and DrawWalls
    std::shared_ptr<const LevelPack> levelPack_;  // the pack named by LevelPackFile, as read
};

}  // namespace kestrum
