// Levels: the wall table of a level number, built from the field size: eleven built-in
// layouts, random blocks from level 11 on, and level packs in place of the layouts.
#pragma once

#include "core/GameTypes.h"
#include "core/Random.h"

#include <QString>
#include <array>
#include <functional>

namespace kestrum {

// Unused records are parked here, outside the field; level packs rely on this value.
inline TCellPos parkedWall(int fieldSize) { return {-(fieldSize - 2), -(fieldSize - 2)}; }
// Every record of the table parked, as each level build starts.
void parkWalls(WallTable& walls, int fieldSize);

// The column the snake starts in: the middle one, or the next to the right on the levels
// whose middle column is walled (4, 7, 8 and 10), whatever builds the walls.
int snakeStartColumn(int level, int fieldSize);
// The snake's three start cells and the two cells ahead of its head: a new attempt must be
// able to start there and take two steps before it need turn. Built-in layouts and random
// blocks never wall them.
std::array<TCellPos, 5> snakeRoom(int level, int fieldSize);

// Reports a problem found while reading a level pack: the key and the message.
using LevelWarning = std::function<void(const QString& key, const QString& message)>;

// Fills the wall table for a level and returns the number of records in use. Called by
// the core whenever it builds a level. Levels above 10 are random blocks, kept off the
// snake's room and off the exit's two cells (an exit stays open across a lost life, and a
// block under it would kill the snake that reaches it); levels up to 10 come from the open
// level pack as written, else from the built-in layouts (none below 0).
class LevelPack;
int BuildWalls(WallTable& walls, int level, int fieldSize, const LevelPack* levelPack, Random& random,
               TCellPos exitPos, const LevelWarning& warn = {});

// The built-in layout of a level 0 .. 10, without the records that would fall on the
// snake's room (only small fields have any); fields smaller than 10 cells get no walls.
int builtInLayout(WallTable& walls, int level, int fieldSize);

// Drops the records on the snake's room, keeping the others in their order; returns how
// many are left.
int clearSnakeRoom(WallTable& walls, int count, int level, int fieldSize);

// Number of random blocks of a level above 10, at most 400.
int randomBlockCount(int level);

}  // namespace kestrum
