// Levels: the wall table of a level number, built from the field size.
#pragma once

#include "core/GameTypes.h"
#include "core/Random.h"

#include <QString>

namespace kestrum {

// Unused records are parked here, outside the field; level packs rely on this value.
inline TCellPos parkedWall(int fieldSize) { return {-(fieldSize - 2), -(fieldSize - 2)}; }

// Fills the wall table for a level. Called by the core whenever it rebuilds a level.
void BuildWalls(WallTable& walls, int level, int fieldSize, const QString& levelPackFile,
                Random& random);

}  // namespace kestrum
