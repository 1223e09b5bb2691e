// Levels: the wall table of a level number, built from the field size: eleven built-in
// layouts, random blocks from level 11 on, and level packs in place of the layouts.
#pragma once

#include "core/GameTypes.h"
#include "core/Random.h"

#include <QString>
#include <functional>

namespace kestrum {

// Unused records are parked here, outside the field; level packs rely on this value.
inline TCellPos parkedWall(int fieldSize) { return {-(fieldSize - 2), -(fieldSize - 2)}; }
// Every record of the table parked, as each level build starts.
void parkWalls(WallTable& walls, int fieldSize);

// Reports a problem found while reading a level pack: the key and the message.
using LevelWarning = std::function<void(const QString& key, const QString& message)>;

// Fills the wall table for a level and returns the number of records in use. Called by
// the core whenever it builds a level. Levels above 10 are random blocks; levels up to 10
// come from the open level pack, else from the built-in layouts (none below 0).
int BuildWalls(WallTable& walls, int level, int fieldSize, const QString& levelPackFile,
               Random& random, const LevelWarning& warn = {});

// The built-in layout of a level 0 .. 10; fields smaller than 10 cells get no walls.
int builtInLayout(WallTable& walls, int level, int fieldSize);

// Number of random blocks of a level above 10, at most the table's 400.
int randomBlockCount(int level);

}  // namespace kestrum
