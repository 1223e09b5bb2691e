#include "PackChecker.h"

#include "LevelPack.h"

#include <QFileInfo>

namespace kestrum {

int checkLevelPack(const QString& path, int fieldSize, QTextStream& out)
{
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable()) {
        out << "Cannot open file " << path << "\n";
        return 1;
    }
    int warnings = 0;
    out << path << " on a field of " << fieldSize << " cells\n";
    for (int level = 0; level <= 10; ++level) {
        WallTable walls;
        parkWalls(walls, fieldSize);
        QStringList problems;
        const PackLevelResult r = readPackLevel(path, level, fieldSize, walls,
                                                [&](const QString& key, const QString& message) {
                                                    problems << key + ": " + message;
                                                });
        out << "Level" << level << ": " << r.records << " records";
        if (!r.sectionFound)
            out << " (no section: the defaults)";
        out << "\n";
        for (const QString& p : problems)
            out << "  warning: " << p << "\n";
        warnings += static_cast<int>(problems.size());
        if (r.dropped > 0) {
            out << "  warning: " << r.dropped << " records past the table's 400 are left out\n";
            ++warnings;
        }
        for (int i = 0; i < r.records; ++i) {
            const TWall& w = walls[static_cast<size_t>(i)];
            if (w.X < 0 || w.Y < 0 || w.X >= fieldSize || w.Y >= fieldSize)
                out << "  record " << i + 1 << " at (" << w.X << ", " << w.Y << ") is off the field\n";
        }
    }
    out << warnings << " warnings\n";
    return warnings;
}

}  // namespace kestrum
