#include "PackChecker.h"

#include "LevelPack.h"
#include "files/RegularFile.h"

#include <QStringList>

#include <algorithm>

namespace kestrum {

namespace {

bool offField(const TWall& w, int N) { return w.X < 0 || w.Y < 0 || w.X >= N || w.Y >= N; }

}  // namespace

int checkLevelPack(const QString& path, int fieldSize, QTextStream& out)
{
    QString error;
    if (!isReadableRegularFile(path, limits::kLevelPack, &error)) {
        out << error << "\n";
        return 1;
    }
    int warnings = 0;
    const auto warn = [&](const QString& text) {
        out << "  warning: " << text << "\n";
        ++warnings;
    };
    out << path << " on a field of " << fieldSize << " cells\n";
    const std::shared_ptr<const LevelPack> pack = LevelPack::read(path);
    bool anySection = false;
    for (int level = 0; level <= 10; ++level)
        anySection = anySection || pack->hasSection(level);
    if (!anySection) {
        out << "No section [Level0] ... [Level10]: is this a level pack?\n";
        ++warnings;
    }
    for (int level = 0; level <= 10; ++level) {
        WallTable walls;
        parkWalls(walls, fieldSize);
        QStringList problems;
        const PackLevelResult r = pack->build(level, fieldSize, walls,
                                                [&](const QString& key, const QString& message) {
                                                    problems << (key.isEmpty() ? message : key + ": " + message);
                                                });
        out << "Level" << level << ": " << r.records << " records";
        if (!r.sectionFound)
            out << " (no section: the defaults)";
        out << "\n";
        if (!r.sectionFound && anySection)
            warn(QStringLiteral("no section [Level%1]: the defaults build this level").arg(level));
        for (const QString& p : problems)
            warn(p);
        if (r.dropped > 0)
            warn(QStringLiteral("%1 records past the table's 400 are left out").arg(r.dropped));
        // Off the field: each record of the pack's own, or the defaults' line as one.
        int off = 0;
        for (int i = 0; i < r.records; ++i) {
            const TWall& w = walls[static_cast<size_t>(i)];
            if (!offField(w, fieldSize))
                continue;
            ++off;
            if (r.sectionFound)
                warn(QStringLiteral("record %1 at (%2, %3) is off the field").arg(i + 1).arg(w.X).arg(w.Y));
        }
        if (!r.sectionFound && off > 0)
            warn(QStringLiteral("the defaults put %1 records off the field").arg(off));
        // The snake starts on three cells and steps up into the two above them.
        const auto room = snakeRoom(level, fieldSize);
        for (int i = 0; i < r.records; ++i) {
            const TWall& w = walls[static_cast<size_t>(i)];
            if (std::find(room.begin(), room.end(), TCellPos{w.X, w.Y}) != room.end())
                warn(QStringLiteral("record %1 at (%2, %3) walls the snake's start").arg(i + 1).arg(w.X).arg(w.Y));
        }
    }
    out << warnings << (warnings == 1 ? " warning\n" : " warnings\n");
    return warnings;
}

}  // namespace kestrum
