#include "Levels.h"

namespace kestrum {

void BuildWalls(WallTable& walls, int level, int fieldSize, const QString& levelPackFile,
                Random& random)
{
    (void)level;
    (void)levelPackFile;
    (void)random;
    const TCellPos parked = parkedWall(fieldSize);
    for (TWall& w : walls)
        w = TWall{parked.X, parked.Y, wkH};
    // The built-in layouts and level packs fill the table from here on.
}

}  // namespace kestrum
