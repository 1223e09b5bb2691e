#include "Levels.h"

#include "LevelPack.h"

#include <algorithm>

namespace kestrum {

namespace {

// Appends runs of records in order; records past the table's end are dropped.
class Runs {
public:
    explicit Runs(WallTable& walls) : walls_(walls) {}
    int count() const { return count_; }

    // A run along a row (x from a to b) or a column (y from a to b); returns the index of
    // its first record, or -1 when the run is empty.
    int row(int y, int a, int b, uint8_t kind) { return run(a, b, [&](int x) { return TCellPos{x, y}; }, kind); }
    int column(int x, int a, int b, uint8_t kind) { return run(a, b, [&](int y) { return TCellPos{x, y}; }, kind); }
    // Changes the kind of the first or last record of the run that started at `first`.
    void first(int start, uint8_t kind) { setKind(start, kind); }
    void last(int start, uint8_t kind) { setKind(lastOf(start), kind); }
    // Changes the kind of the run's record on the given cell.
    void at(int start, TCellPos c, uint8_t kind)
    {
        for (int i = std::max(start, 0); i <= lastOf(start); ++i)
            if (walls_[static_cast<size_t>(i)].X == c.X && walls_[static_cast<size_t>(i)].Y == c.Y)
                setKind(i, kind);
    }
    void endRun() { runEnd_ = count_ - 1; }

private:
    template <typename Cell>
    int run(int a, int b, Cell cell, uint8_t kind)
    {
        const int start = count_;
        for (int v = a; v <= b; ++v)
            append(cell(v), kind);
        runEnd_ = count_ - 1;
        return count_ > start ? start : -1;
    }
    void append(TCellPos c, uint8_t kind)
    {
        if (count_ >= kWallRecords)
            return;
        walls_[static_cast<size_t>(count_++)] = TWall{c.X, c.Y, kind};
    }
    int lastOf(int start) const { return start < 0 ? -1 : runEnd_; }
    void setKind(int i, uint8_t kind)
    {
        if (i >= 0 && i < count_)
            walls_[static_cast<size_t>(i)].Kind = kind;
    }

    WallTable& walls_;
    int count_ = 0;
    int runEnd_ = -1;
};

}  // namespace

int snakeStartColumn(int level, int fieldSize)
{
    const bool middleWalled = level == 4 || level == 7 || level == 8 || level == 10;
    return fieldSize / 2 + (middleWalled ? 1 : 0);
}

std::array<TCellPos, 5> snakeRoom(int level, int N)
{
    const int x = snakeStartColumn(level, N);
    return {TCellPos{x, N - 6}, TCellPos{x, N - 5}, TCellPos{x, N - 4}, TCellPos{x, N - 3}, TCellPos{x, N - 2}};
}

namespace {

bool inRoom(const std::array<TCellPos, 5>& room, TCellPos c)
{
    return std::find(room.begin(), room.end(), c) != room.end();
}

}  // namespace

int clearSnakeRoom(WallTable& walls, int count, int level, int N)
{
    const auto room = snakeRoom(level, N);
    const auto end = std::remove_if(walls.begin(), walls.begin() + count,
                                    [&](const TWall& w) { return inRoom(room, {w.X, w.Y}); });
    const int kept = static_cast<int>(end - walls.begin());
    std::fill(end, walls.begin() + count, TWall{parkedWall(N).X, parkedWall(N).Y, wkH});
    return kept;
}

int randomBlockCount(int level) { return level > 10 ? std::min(6 * level - 55, kPackRecords) : 0; }

int builtInLayout(WallTable& walls, int level, int N)
{
    if (N < 10 || level < 0 || level > 10)
        return 0;
    const int d = N - 2, c = d / 2, t3 = d / 3, t4 = d / 4, t6 = d / 6;
    Runs r(walls);
    switch (level) {
    case 0: break;
    case 1: r.row(c, t6, d - t6 + 1, wkH); break;
    case 2: {
        r.first(r.row(c, 0, c - 1, wkH), wkBlock);
        r.last(r.row(c, c + 3, d + 1, wkH), wkBlock);
        break;
    }
    case 3:
        r.column(t3, t6, d - t6 + 1, wkV);
        r.column(d - t3 + 1, t6, d - t6 + 1, wkV);
        break;
    case 4: {
        r.row(c, t6, d - t6 + 1, wkH);
        const int b = r.column(c + 1, t6, d - t6 + 1, wkV);
        r.at(b, {c + 1, c}, wkBlock);
        break;
    }
    case 5: {
        r.column(t4, t4, d - t4 + 1, wkV);
        r.column(d - t4 + 1, t4, d - t4 + 1, wkV);
        const int bar = r.row(c, t4, d - t4 + 1, wkH);
        r.first(bar, wkBlock);
        r.last(bar, wkBlock);
        break;
    }
    case 6: {
        int run = r.row(d - t3, t6, c - 1, wkH);
        r.first(run, wkLBc);
        r.last(run, wkRBc);
        run = r.row(d - t3, c + 3, d - t6 + 1, wkH);
        r.first(run, wkLBc);
        r.last(run, wkRBc);
        r.first(r.column(t6, t3, d - t3 - 1, wkV), wkLTc);
        r.first(r.column(d - t6 + 1, t3, d - t3 - 1, wkV), wkRTc);
        r.row(t3, t6 + 1, d - t6, wkH);
        break;
    }
    case 7: {
        r.column(t4, t6, d - t6 + 1, wkV);
        r.column(d - t4 + 1, t6, d - t6 + 1, wkV);
        const int bar = r.row(c, t4, d - t4 + 1, wkH);
        r.first(bar, wkBlock);
        r.last(bar, wkBlock);
        const int mid = r.column(c + 1, t6, d - t6 + 1, wkV);
        r.at(mid, {c + 1, c}, wkBlock);
        break;
    }
    case 8: {
        // Each arm pair is one run: its first record is on one border, its last on the other.
        const int a = r.row(c, 0, c - 3, wkH);
        r.row(c, c + 5, d + 1, wkH);
        r.endRun();
        r.first(a, wkBlock);
        r.last(a, wkBlock);
        const int b = r.column(c + 1, 0, c - 4, wkV);
        r.column(c + 1, c + 4, d + 1, wkV);
        r.endRun();
        r.first(b, wkBlock);
        r.last(b, wkBlock);
        break;
    }
    case 9: {
        r.column(c - 2, t4, d - t4 + 1, wkV);
        r.column(c + 4, t4, d - t4 + 1, wkV);
        int bar = r.row(c, 0, c - 2, wkH);
        r.first(bar, wkBlock);
        r.last(bar, wkBlock);
        bar = r.row(c, c + 4, d + 1, wkH);
        r.first(bar, wkBlock);
        r.last(bar, wkBlock);
        break;
    }
    case 10:
        r.last(r.column(t4, t4, d + 1, wkV), wkBlock);
        r.first(r.column(c, 0, d - t4 + 1, wkV), wkBlock);
        r.last(r.column(d - t4, t4, d + 1, wkV), wkBlock);
        break;
    }
    return clearSnakeRoom(walls, r.count(), level, N);
}

void parkWalls(WallTable& walls, int fieldSize)
{
    const TCellPos parked = parkedWall(fieldSize);
    for (TWall& w : walls)
        w = TWall{parked.X, parked.Y, wkH};
}

int BuildWalls(WallTable& walls, int level, int fieldSize, const LevelPack* levelPack, Random& random,
               TCellPos exitPos, const LevelWarning& warn)
{
    parkWalls(walls, fieldSize);
    if (level > 10) {
        const int d = fieldSize - 2;
        const int n = randomBlockCount(level);
        const auto room = snakeRoom(level, fieldSize);
        const TCellPos exitRight{exitPos.X + 1, exitPos.Y};
        const auto keptFree = [&](TCellPos c) { return inRoom(room, c) || c == exitPos || c == exitRight; };
        int placed = 0;
        for (int i = 0; i < n; ++i) {
            // Drawn again where it must not stand; a field with hardly any room left gives
            // up on the block rather than draw for ever.
            for (int tries = 0; tries < 64; ++tries) {
                const int x = 1 + random.next(d);
                const int y = 1 + random.next(d);
                if (keptFree({x, y}))
                    continue;
                walls[static_cast<size_t>(placed++)] = TWall{x, y, wkBlock};
                break;
            }
        }
        return placed;
    }
    if (levelPack)
        return levelPack->build(level, fieldSize, walls, warn).records;
    return builtInLayout(walls, level, fieldSize);
}

}  // namespace kestrum
