// Levels: the eleven layouts, random levels, level packs and the player's level changes.
#include "TestSupport.h"

#include "levels/LevelPack.h"
#include "levels/Levels.h"
#include "levels/PackChecker.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <string>

#include <map>
#include <set>

namespace kestrum::test {
namespace {

struct Built {
    WallTable walls{};
    int count = 0;
};

Built build(int level, int N, const QString& pack = {}, uint64_t seed = 1, QStringList* warnings = nullptr,
            TCellPos exitPos = {-1, -2})
{
    Built b;
    SeededRandom random(seed);
    const auto read = pack.isEmpty() ? nullptr : LevelPack::read(pack);
    b.count = BuildWalls(b.walls, level, N, read.get(), random, exitPos, [&](const QString& key, const QString& m) {
        if (warnings)
            *warnings << key + ": " + m;
    });
    return b;
}

int inUse(const Built& b, int N)
{
    int n = 0;
    for (const TWall& w : b.walls)
        n += !(w.X == -(N - 2) && w.Y == -(N - 2));
    return n;
}

TEST(BuiltInLevels, RecordCountsForFieldsOf20And31)
{
    const int counts20[] = {0, 14, 17, 28, 28, 36, 35, 54, 26, 39, 48};
    const int counts31[] = {0, 23, 28, 46, 46, 51, 63, 86, 48, 60, 72};
    for (int level = 0; level <= 10; ++level) {
        EXPECT_EQ(build(level, 20).count, counts20[level]) << "level " << level;
        EXPECT_EQ(inUse(build(level, 20), 20), counts20[level]) << "level " << level;
        EXPECT_EQ(build(level, 31).count, counts31[level]) << "level " << level;
    }
}

std::vector<std::tuple<int, int, int>> records(const Built& b)
{
    std::vector<std::tuple<int, int, int>> r;
    for (int i = 0; i < b.count; ++i)
        r.emplace_back(b.walls[static_cast<size_t>(i)].X, b.walls[static_cast<size_t>(i)].Y,
                       b.walls[static_cast<size_t>(i)].Kind);
    return r;
}

TEST(BuiltInLevels, ThePenOfLevel6OnAFieldOf20)
{
    std::vector<std::tuple<int, int, int>> expected;
    expected.emplace_back(3, 12, wkLBc);
    for (int x = 4; x <= 7; ++x)
        expected.emplace_back(x, 12, wkH);
    expected.emplace_back(8, 12, wkRBc);
    expected.emplace_back(12, 12, wkLBc);
    for (int x = 13; x <= 15; ++x)
        expected.emplace_back(x, 12, wkH);
    expected.emplace_back(16, 12, wkRBc);
    expected.emplace_back(3, 6, wkLTc);
    for (int y = 7; y <= 11; ++y)
        expected.emplace_back(3, y, wkV);
    expected.emplace_back(16, 6, wkRTc);
    for (int y = 7; y <= 11; ++y)
        expected.emplace_back(16, y, wkV);
    for (int x = 4; x <= 15; ++x)
        expected.emplace_back(x, 6, wkH);
    EXPECT_EQ(records(build(6, 20)), expected);
}

TEST(BuiltInLevels, TheCorridorOfLevel9OnAFieldOf20)
{
    std::vector<std::tuple<int, int, int>> expected;
    for (int y = 4; y <= 15; ++y)
        expected.emplace_back(7, y, wkV);
    for (int y = 4; y <= 15; ++y)
        expected.emplace_back(13, y, wkV);
    expected.emplace_back(0, 9, wkBlock);
    for (int x = 1; x <= 6; ++x)
        expected.emplace_back(x, 9, wkH);
    expected.emplace_back(7, 9, wkBlock);
    expected.emplace_back(13, 9, wkBlock);
    for (int x = 14; x <= 18; ++x)
        expected.emplace_back(x, 9, wkH);
    expected.emplace_back(19, 9, wkBlock);
    EXPECT_EQ(records(build(9, 20)), expected);
}

TEST(BuiltInLevels, BorderCellsShowBlocksWhereBarsMeetTheBorder)
{
    // The tile seen on a cell is that of the last record there.
    for (int N : {20, 31, 64}) {
        const int d = N - 2, c = d / 2, t4 = d / 4;
        struct Case {
            int level;
            std::vector<TCellPos> cells;
        };
        const Case cases[] = {
            {2, {{0, c}, {N - 1, c}}},
            {8, {{0, c}, {N - 1, c}, {c + 1, 0}, {c + 1, N - 1}}},
            {9, {{0, c}, {N - 1, c}}},
            {10, {{t4, N - 1}, {c, 0}, {d - t4, N - 1}}},
        };
        for (const Case& k : cases) {
            TestGame g(N, 6, 1, k.level);
            for (const TCellPos& cell : k.cells)
                EXPECT_EQ(g.tileAtCell(cell.X, cell.Y), tile::Block)
                    << "N " << N << " level " << k.level << " at " << cell.X << "," << cell.Y;
        }
    }
}

TEST(BuiltInLevels, TheCrossingOfLevel4ShowsTheBlock)
{
    TestGame g(20, 10, 1, 4);
    int here = 0;
    for (const TWall& w : g.s().Walls)
        here += w.X == 10 && w.Y == 9;
    EXPECT_EQ(here, 2);
    EXPECT_EQ(g.tileAtCell(10, 9), tile::Block);
    EXPECT_EQ(g.tileAtCell(9, 9), tile::WallH);
    EXPECT_EQ(g.tileAtCell(10, 8), tile::WallV);
    // The snake starts one column right of the middle, clear of the cross.
    EXPECT_EQ(g.s().SnakeBody[0], (TCellPos{11, 16}));
}

// The table as a picture: each cell shows the kind of the last record on it (that is the
// picture drawn there). '-' H, '|' V, '#' block, 'L' LBc, 'J' RBc, 'F' LTc, '7' RTc.
std::vector<std::string> picture(const Built& b, int N)
{
    std::vector<std::string> rows(static_cast<size_t>(N), std::string(static_cast<size_t>(N), '.'));
    const char marks[] = "-|LJF7#";
    for (int i = 0; i < b.count; ++i) {
        const TWall& w = b.walls[static_cast<size_t>(i)];
        if (w.X >= 0 && w.Y >= 0 && w.X < N && w.Y < N)
            rows[static_cast<size_t>(w.Y)][static_cast<size_t>(w.X)] = marks[std::min<int>(w.Kind, 6)];
    }
    return rows;
}

// Every layout worked out by hand from its runs. N = 12: d 10, c 5, t3 3, t4 2, t6 1.
// N = 10: d 8, c 4, t3 2, t4 2, t6 1; there the snake's start column and the two cells
// above its head (5, or 6 on levels 4, 7, 8 and 10, rows 4 .. 8) are kept free: the middle
// bars of levels 1, 4, 5 and 7 lose their cell in row 4, level 10's third bar its five.
TEST(BuiltInLevels, EveryLayoutCellByCellOnFieldsOf12And10)
{
    const auto rows = [](int from, int to, const char* text) {
        std::vector<std::pair<int, const char*>> r;
        for (int y = from; y <= to; ++y)
            r.emplace_back(y, text);
        return r;
    };
    const auto with = [](std::vector<std::pair<int, const char*>> r, std::pair<int, const char*> row) {
        for (auto& e : r)
            if (e.first == row.first)
                e.second = row.second;
        return r;
    };
    const auto picture12 = [&](const std::vector<std::pair<int, const char*>>& r) {
        std::vector<std::string> p(12, std::string(12, '.'));
        for (const auto& [y, text] : r)
            p[static_cast<size_t>(y)] = text;
        return p;
    };
    const auto picture10 = [&](const std::vector<std::pair<int, const char*>>& r) {
        std::vector<std::string> p(10, std::string(10, '.'));
        for (const auto& [y, text] : r)
            p[static_cast<size_t>(y)] = text;
        return p;
    };
    const std::vector<std::string> n12[] = {
        picture12({}),
        picture12({{5, ".----------."}}),
        picture12({{5, "#----...---#"}}),
        picture12(rows(1, 10, "...|....|...")),
        picture12(with(rows(1, 10, "......|....."), {5, ".-----#----."})),
        picture12(with(rows(2, 9, "..|......|.."), {5, "..#------#.."})),
        picture12({{3, ".F--------7."}, {4, ".|........|."}, {5, ".|........|."}, {6, ".|........|."},
                   {7, ".L--J...L-J."}}),
        picture12(with(rows(1, 10, "..|...|..|.."), {5, "..#---#--#.."})),
        picture12({{0, "......#....."}, {1, "......|....."}, {5, "#--.......-#"}, {9, "......|....."},
                   {10, "......|....."}, {11, "......#....."}}),
        picture12(with(rows(2, 9, "...|.....|.."), {5, "#--#.....#-#"})),
        picture12({{0, ".....#......"}, {1, ".....|......"}, {2, "..|..|..|..."}, {3, "..|..|..|..."},
                   {4, "..|..|..|..."}, {5, "..|..|..|..."}, {6, "..|..|..|..."}, {7, "..|..|..|..."},
                   {8, "..|..|..|..."}, {9, "..|..|..|..."}, {10, "..|.....|..."}, {11, "..#.....#..."}}),
    };
    const std::vector<std::string> n10[] = {
        picture10({}),
        picture10({{4, ".----.---."}}),
        picture10({{4, "#---...--#"}}),
        picture10(rows(1, 8, "..|....|..")),
        picture10(with(rows(1, 8, ".....|...."), {4, ".----#.--."})),
        picture10(with(rows(2, 7, "..|....|.."), {4, "..#--.-#.."})),
        picture10({{2, ".F------7."}, {3, ".|......|."}, {4, ".|......|."}, {5, ".|......|."},
                   {6, ".L-J...LJ."}}),
        picture10(with(rows(1, 8, "..|..|.|.."), {4, "..#--#.#.."})),
        picture10({{0, ".....#...."}, {4, "#-.......#"}, {8, ".....|...."}, {9, ".....#...."}}),
        picture10(with(rows(2, 7, "..|.....|."), {4, "#-#.....##"})),
        picture10({{0, "....#....."}, {1, "....|....."}, {2, "..|.|.|..."}, {3, "..|.|.|..."},
                   {4, "..|.|....."}, {5, "..|.|....."}, {6, "..|.|....."}, {7, "..|.|....."},
                   {8, "..|......."}, {9, "..#...#..."}}),
    };
    for (int level = 0; level <= 10; ++level) {
        EXPECT_EQ(picture(build(level, 12), 12), n12[level]) << "level " << level << " on 12 cells";
        EXPECT_EQ(picture(build(level, 10), 10), n10[level]) << "level " << level << " on 10 cells";
    }
}

// The snake starts on its three cells and steps up into the two above: on every field a
// skin can give, no built-in layout may wall them.
TEST(BuiltInLevels, EveryLayoutLeavesTheSnakeItsStartCellsAndTheCellAhead)
{
    std::vector<int> sizes;
    for (int N = 10; N <= 130; ++N)
        sizes.push_back(N);
    sizes.insert(sizes.end(), {250, 263, 400});
    // Played: the attempt starts, the player presses Up, the snake takes two steps.
    for (int N : sizes)
        for (int level = 0; level <= 10; ++level) {
            TestGame g(N, 4, 1, level);
            g.clearItems();
            g.game->keyDown(38);
            g.tick(2);
            ASSERT_EQ(g.s().Seq, Sequence::None) << "level " << level << " on " << N << " cells";
            ASSERT_EQ(g.s().Lives, 3);
        }
}

TEST(BuiltInLevels, EveryLayoutIsWholeOnTheLargestFields)
{
    // On 250 cells (d 248, a third 82, a sixth 41, the middle 124): level 6's top side is
    // row 82 from column 42 to 207, level 7's middle bar column 125 from row 41 to 208 (168
    // cells, and the cross bar's own record where the two meet).
    const auto cellsOn = [](const Built& b, auto where) {
        int n = 0;
        for (int i = 0; i < b.count; ++i)
            n += where(b.walls[static_cast<size_t>(i)]);
        return n;
    };
    EXPECT_EQ(cellsOn(build(6, 250), [](const TWall& w) { return w.Y == 82 && w.X >= 42 && w.X <= 207; }), 166);
    EXPECT_EQ(cellsOn(build(7, 250), [](const TWall& w) { return w.X == 125 && w.Y >= 41 && w.Y <= 208; }), 169);
    // Up to the largest field the game builds, no layout reaches the table's end (where
    // its last runs would be cut).
    for (int N = 10; N <= kMaxFieldSize; N += N < 200 ? 1 : 7)
        for (int level = 0; level <= 10; ++level)
            ASSERT_LT(build(level, N).count, kWallRecords) << "level " << level << " on " << N << " cells";
    for (int level = 0; level <= 10; ++level)
        ASSERT_LT(build(level, kMaxFieldSize).count, kWallRecords) << "level " << level;
}

TEST(RandomLevels, BlocksKeepOffTheSnakesRoomAndTheOpenExit)
{
    const int N = 32;
    const TCellPos exit{15, 27};  // the exit can stand right above the snake
    for (int level : {11, 20, 50, 75})
        for (uint64_t seed = 1; seed <= 300; ++seed) {
            const Built b = build(level, N, {}, seed, nullptr, exit);
            EXPECT_EQ(b.count, 6 * level - 55);
            for (int i = 0; i < b.count; ++i) {
                const TWall& w = b.walls[static_cast<size_t>(i)];
                ASSERT_FALSE(w.X == 16 && w.Y >= 26 && w.Y <= 30) << "level " << level << " seed " << seed;
                ASSERT_FALSE((w.X == 15 || w.X == 16) && w.Y == 27) << "on the exit, seed " << seed;
            }
        }
}

TEST(BuiltInLevels, SmallFieldsAndNegativeLevelsHaveNoWalls)
{
    for (int level = 0; level <= 10; ++level)
        EXPECT_EQ(build(level, 9).count, 0) << level;
    EXPECT_EQ(build(-1, 20).count, 0);
    EXPECT_EQ(build(-50, 20).count, 0);
}

TEST(RandomLevels, BlocksOnInnerCellsMoreOnEveryLevelAtMostTheTable)
{
    const std::pair<int, int> cases[] = {{11, 11}, {12, 17}, {20, 65}, {75, 395}, {76, 400}, {1000, 400}};
    for (const auto& [level, count] : cases) {
        for (uint64_t seed : {1u, 2u, 3u}) {
            const Built b = build(level, 20, {}, seed);
            ASSERT_EQ(b.count, count) << level;
            for (int i = 0; i < b.count; ++i) {
                const TWall& w = b.walls[static_cast<size_t>(i)];
                ASSERT_EQ(w.Kind, wkBlock);
                ASSERT_TRUE(w.X >= 1 && w.X <= 18 && w.Y >= 1 && w.Y <= 18) << w.X << "," << w.Y;
            }
        }
    }
    // Levels from 11 on stay random while a pack is open: its sections are never read.
    EXPECT_EQ(build(11, 20, "/nonexistent.lev").count, 11);
}

TEST(RandomLevels, ComeOutNewWithEveryAttemptSeed)
{
    EXPECT_NE(records(build(15, 30, {}, 1)), records(build(15, 30, {}, 2)));
    EXPECT_EQ(records(build(15, 30, {}, 7)), records(build(15, 30, {}, 7)));
}

// A level pack written to a temporary folder.
struct Pack {
    explicit Pack(const QByteArray& text)
    {
        path = dir.filePath("test.lev");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
    QTemporaryDir dir;
    QString path;
};

TEST(LevelPack, TheExampleSectionOnAFieldOf21)
{
    Pack pack("[Level0]\nNumBase=2\nBasePosX1=0.25\nBasePosY1=0.5\nBaseType1=X\nBasePosX2=0.75\n"
              "BasePosY2=0.5\nBaseType2=X\nNumLine=1\nLineType1=H\nLineBeg1=1\nLineEnd1=2\n"
              "LineStepX1=1\nLineStepY1=0\n");
    std::vector<std::tuple<int, int, int>> expected = {{5, 10, wkBlock}, {15, 10, wkBlock}};
    for (int x = 6; x <= 14; ++x)
        expected.emplace_back(x, 10, wkH);
    EXPECT_EQ(records(build(0, 21, pack.path)), expected);
}

TEST(LevelPack, FractionsRoundHalvesToTheEvenCell)
{
    // M = 21: 0.5 gives 10.5, which rounds to 10 (half up would give 11); 0.25 gives 5.25
    // and so 5; 0.75 gives 15.75 and so 16.
    Pack pack("[Level0]\nNumBase=3\nBasePosX1=0.5\nBasePosY1=0.5\nBasePosX2=0.75\n"
              "BasePosY2=0.25\nBasePosX3=1\nBasePosY3=0\nNumLine=0\n");
    const std::vector<std::tuple<int, int, int>> expected = {{10, 10, wkH}, {16, 5, wkH}, {21, 0, wkH}};
    EXPECT_EQ(records(build(0, 22, pack.path)), expected);
}

TEST(LevelPack, AMissingSectionOrFileReadsAsAllDefaultsLessTheSnakesRoom)
{
    Pack pack("[Level3]\nNumBase=0\n");
    for (const QString& path : {pack.path, QStringLiteral("/nonexistent.lev")}) {
        // Field 20: the piece at (10, 10) and the line down column 10 to row 37; the snake
        // starts in column 10 at rows 16 ... 18 and steps to 15 and 14: those five go.
        const Built b = build(0, 20, path);
        ASSERT_EQ(b.count, 23);
        EXPECT_EQ(records(b)[0], std::make_tuple(10, 10, int(wkH)));
        EXPECT_EQ(records(b)[3], std::make_tuple(10, 13, int(wkV)));
        EXPECT_EQ(records(b)[4], std::make_tuple(10, 19, int(wkV)));
        EXPECT_EQ(records(b)[22], std::make_tuple(10, 37, int(wkV)));
        EXPECT_EQ(b.walls[23].X, -18) << "the rest parked";
        // Level 4 starts one column to the right: its defaults stay whole.
        EXPECT_EQ(build(4, 20, path).count, 28);
    }
}

TEST(LevelPack, AUtf16PackReadsAsItsText)
{
    const QString text = QStringLiteral("[Level0]\r\nNumBase=1\r\nBasePosX1=0.25\r\nBaseType1=X\r\nNumLine=0\r\n");
    QStringEncoder encoder(QStringConverter::Utf16BE);
    const Built b = build(0, 21, Pack("\xFE\xFF" + QByteArray(encoder.encode(text))).path);
    ASSERT_EQ(b.count, 1);
    EXPECT_EQ(records(b)[0], std::make_tuple(5, 10, int(wkBlock)));
}

TEST(LevelPack, LinesRunByTheirStepsAndTakeOnlyTheirLengthFromTheEndPoint)
{
    const auto line = [](const char* step, double endX) {
        return QByteArray("[Level0]\nNumBase=2\nBasePosX1=0.5\nBasePosY1=0.5\nBaseType1=X\nBasePosX2=") +
               QByteArray::number(endX) +
               "\nBasePosY2=0.5\nNumLine=1\nLineType1=H\nLineBeg1=1\nLineEnd1=2\nLineStepY1=0\nLineStepX1=" +
               step + "\n";
    };
    // Field 21: the base point is column 10; the end point at 0.25 is column 5.
    const auto columns = [](const Built& b) {
        std::vector<int> x;
        for (int i = 2; i < b.count; ++i)
            x.push_back(b.walls[static_cast<size_t>(i)].X);
        return x;
    };
    EXPECT_EQ(columns(build(0, 21, Pack(line("-1", 0.25)).path)), (std::vector<int>{9, 8, 7, 6}));
    EXPECT_EQ(columns(build(0, 21, Pack(line("1", 0.25)).path)), (std::vector<int>{11, 12, 13, 14}));
    // Step 2 with the end 8 columns away (0.9 of 20 is 18): 7 cells, 2 columns apart.
    EXPECT_EQ(columns(build(0, 21, Pack(line("2", 0.9)).path)),
              (std::vector<int>{12, 14, 16, 18, 20, 22, 24}));
    // Equal or adjacent points make no cells.
    EXPECT_EQ(build(0, 21, Pack(line("1", 0.5)).path).count, 2);
    EXPECT_EQ(build(0, 21, Pack(line("1", 0.55)).path).count, 2);
}

TEST(LevelPack, TokensAreExactAndEverythingElseIsABlock)
{
    const std::pair<const char*, int> cases[] = {{"H", wkH},     {"V", wkV},       {"LBc", wkLBc},
                                                 {"RBc", wkRBc}, {"LTc", wkLTc},   {"RTc", wkRTc},
                                                 {"rbc", wkBlock}, {"h", wkBlock}, {"X", wkBlock},
                                                 {"", wkBlock}};
    for (const auto& [token, kind] : cases)
        EXPECT_EQ(wallKindFromToken(QString::fromLatin1(token)), kind) << token;
    Pack pack("[level0]\nnumbase=1\nbasetype1=rbc\nNUMLINE=0\n");
    EXPECT_EQ(records(build(0, 20, pack.path)), (std::vector<std::tuple<int, int, int>>{{10, 10, wkBlock}}));
}

TEST(LevelPack, AnUnreadableDecimalIsReportedAndCountsAsOne)
{
    Pack pack("[Level0]\nNumBase=3\nBasePosX1=0.5x\nBasePosY1=\nBasePosX2=abc\nBasePosY2=0,5\n"
              "BasePosX3=1e-1\nBasePosY3=  +.5\nNumLine=0\n");
    QStringList warnings;
    const Built b = build(0, 21, pack.path, 1, &warnings);
    EXPECT_EQ(warnings, (QStringList{
                            "BasePosX1: Error string to double conversion. Error code: 4",
                            "BasePosY1: Error string to double conversion. Error code: 1",
                            "BasePosX2: Error string to double conversion. Error code: 1",
                            "BasePosY2: Error string to double conversion. Error code: 2",
                        }));
    EXPECT_EQ(records(b), (std::vector<std::tuple<int, int, int>>{
                              {20, 20, wkH}, {20, 20, wkH}, {2, 10, wkH}}));
    // Every rebuild reads and reports it again.
    build(0, 21, pack.path, 1, &warnings);
    EXPECT_EQ(warnings.size(), 8);
}

TEST(LevelPack, DecimalSyntax)
{
    const std::pair<const char*, double> good[] = {{"0.5", 0.5}, {" 1", 1}, {"-0.25", -0.25},
                                                   {"+2", 2},    {"1.", 1}, {".5", 0.5},
                                                   {"5E-1", 0.5}, {"2.5e+1", 25}};
    for (const auto& [text, value] : good) {
        int position = 0;
        const auto v = parsePackDecimal(QString::fromLatin1(text), &position);
        ASSERT_TRUE(v.has_value()) << text;
        EXPECT_DOUBLE_EQ(*v, value) << text;
    }
    const std::pair<const char*, int> bad[] = {{"", 1},   {" ", 2},    {"-", 2},  {".", 2},
                                               {"1e", 3}, {"1e+", 4},  {"0,5", 2}, {"1 ", 2},
                                               {"x1", 1}, {"1.2.3", 4}};
    for (const auto& [text, at] : bad) {
        int position = 0;
        EXPECT_FALSE(parsePackDecimal(QString::fromLatin1(text), &position).has_value()) << text;
        EXPECT_EQ(position, at) << text;
    }
}

TEST(LevelPack, HexadecimalIntegers)
{
    Pack pack("[Level0]\nNumBase=0x2\nBasePosX2=0.1\nNumLine=$0\n");
    EXPECT_EQ(build(0, 21, pack.path).count, 2);
}

TEST(LevelPack, OutOfRangeCountsAndRecordNumbersAreSafe)
{
    {
        SCOPED_TRACE("negative counts make nothing");
        Pack pack("[Level0]\nNumBase=-5\nNumLine=-1\n");
        EXPECT_EQ(build(0, 20, pack.path).count, 0);
    }
    {
        SCOPED_TRACE("records past 400 are dropped");
        Pack pack("[Level0]\nNumBase=500\nNumLine=0\n");
        EXPECT_EQ(build(0, 20, pack.path).count, 400);
    }
    {
        SCOPED_TRACE("a line from a record number outside 1 .. 400 makes no cells");
        Pack pack("[Level0]\nNumBase=1\nNumLine=3\nLineBeg1=0\nLineBeg2=401\nLineEnd3=-7\n");
        EXPECT_EQ(build(0, 20, pack.path).count, 1);
    }
    {
        SCOPED_TRACE("a line stops when the table is full");
        Pack pack("[Level0]\nNumBase=2\nBasePosY1=0\nBasePosY2=1000\nNumLine=1\n");
        EXPECT_EQ(build(0, 20, pack.path).count, 400);
    }
    {
        SCOPED_TRACE("a huge line count ends, whether its lines make nothing or fill up");
        Pack adjacent("[Level0]\nNumBase=2\nBasePosY2=0.6\nNumLine=2000000000\n");
        EXPECT_EQ(build(0, 20, adjacent.path).count, 2);
        Pack apart("[Level0]\nNumBase=2\nBasePosY2=0.65\nNumLine=2000000000\n");
        EXPECT_EQ(build(0, 20, apart.path).count, 400);
    }
    {
        SCOPED_TRACE("a huge step stays bounded");
        Pack pack("[Level0]\nNumBase=2\nBasePosX2=0.9\nNumLine=1\nLineStepX1=2147483647\n");
        EXPECT_EQ(build(0, 20, pack.path).count, 2 + 6);
    }
}

TEST(LevelPack, NegativeLevelsAskForTheirOwnSection)
{
    Pack pack("[Level-1]\nNumBase=1\nNumLine=0\n[Level0]\nNumBase=0\nNumLine=0\n");
    EXPECT_EQ(build(-1, 20, pack.path).count, 1);
    EXPECT_EQ(build(0, 20, pack.path).count, 0);
}

// --- The shipped packs ---------------------------------------------------------------

QStringList shippedPacks()
{
    return {QStringLiteral(KESTRUM_DATA_DIR "/levels/garden.lev"),
            QStringLiteral(KESTRUM_DATA_DIR "/levels/fortress.lev")};
}

TEST(ShippedPacks, LoadCleanlyOnEveryFieldFrom10To130)
{
    for (const QString& path : shippedPacks()) {
        ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
        for (int N = 10; N <= 130; ++N) {
            QString report;
            QTextStream out(&report);
            EXPECT_EQ(checkLevelPack(path, N, out), 0) << report.toStdString();
            EXPECT_FALSE(report.contains("off the field")) << report.toStdString();
            EXPECT_FALSE(report.contains("no section")) << report.toStdString();
        }
    }
}

TEST(ShippedPacks, EveryLevelLeavesTheSnakeRoomToStart)
{
    for (const QString& path : shippedPacks())
        for (int N = 10; N <= 130; ++N)
            for (int level = 0; level <= 10; ++level) {
                const Built b = build(level, N, path);
                ASSERT_GT(b.count, 0) << path.toStdString() << " level " << level;
                int x0 = N / 2 + ((level == 4 || level == 7 || level == 8 || level == 10) ? 1 : 0);
                // The start cells, two cells ahead and a turn to either side stay free.
                std::set<std::pair<int, int>> cells;
                for (int y = N - 6; y <= N - 2; ++y)
                    cells.insert({x0, y});
                cells.insert({x0 - 1, N - 4});
                cells.insert({x0 + 1, N - 4});
                for (int i = 0; i < b.count; ++i) {
                    const TWall& w = b.walls[static_cast<size_t>(i)];
                    EXPECT_FALSE(cells.count({w.X, w.Y}))
                        << path.toStdString() << " N " << N << " level " << level << " wall at "
                        << w.X << "," << w.Y;
                }
            }
}

namespace {

// Every section present and empty, but for the text given for some of them.
QString fullPack(const std::map<int, QString>& levels, int skip = -1)
{
    QString text;
    for (int level = 0; level <= 10; ++level) {
        if (level == skip)
            continue;
        text += QStringLiteral("[Level%1]\n").arg(level);
        text += levels.count(level) ? levels.at(level) : QStringLiteral("NumBase=0\nNumLine=0\n");
    }
    return text;
}

struct Checked {
    int warnings;
    QString report;
};

Checked check(const QString& path, int N = 20)
{
    QString report;
    QTextStream out(&report);
    const int warnings = checkLevelPack(path, N, out);
    out.flush();
    return {warnings, report};
}

}  // namespace

TEST(PackChecker, CountsEveryWarningItPrintsAndSaysWarningInTheSingular)
{
    // An unreadable number and a wall off the field: two warnings, each printed.
    Pack two(fullPack({{2, "NumBase=2\nBasePosX1=oops\nBasePosX2=1.5\nNumLine=0\n"}}).toUtf8());
    Checked c = check(two.path);
    EXPECT_EQ(c.warnings, 2) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains("Level2: 2 records")) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains("BasePosX1: Error string to double conversion. Error code: 1"));
    EXPECT_TRUE(c.report.contains("record 2 at (28, 10) is off the field")) << c.report.toStdString();
    EXPECT_TRUE(c.report.endsWith("\n2 warnings\n")) << c.report.toStdString();
    EXPECT_EQ(c.report.count("warning: "), 2);

    Pack one(fullPack({{2, "NumBase=1\nBasePosX1=0.1\nBasePosY1=0.1\nNumLine=0\nExtra=x\nBasePosX2=oops\n"}}).toUtf8());
    c = check(one.path);
    EXPECT_EQ(c.warnings, 0) << "keys past the count are never read: " << c.report.toStdString();
    EXPECT_TRUE(c.report.endsWith("\n0 warnings\n"));

    Pack single(fullPack({{4, "NumBase=1\nBasePosX1=5\nBasePosY1=0\nNumLine=0\n"}}).toUtf8());
    c = check(single.path);
    EXPECT_EQ(c.warnings, 1) << c.report.toStdString();
    EXPECT_TRUE(c.report.endsWith("\n1 warning\n")) << c.report.toStdString();
}

TEST(PackChecker, WarnsForAMissingSectionItsDefaultsAndWallsOnTheSnakesStart)
{
    // Level 3 missing: the defaults build it, their line leaves the snake's start column
    // (x 10) at y = 14 ... 18 free, and 18 of its cells lie off a 20-cell field.
    Pack pack(fullPack({}, 3).toUtf8());
    const Checked c = check(pack.path);
    EXPECT_TRUE(c.report.contains("Level3: 23 records (no section: the defaults)")) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains("no section [Level3]: the defaults build this level"));
    EXPECT_TRUE(c.report.contains("the defaults put 18 records off the field"));
    EXPECT_FALSE(c.report.contains("walls the snake's start")) << c.report.toStdString();
    EXPECT_EQ(c.warnings, 2);
    EXPECT_EQ(c.report.count("warning: "), 2);

    // A pack wall where the snake's room begins on level 5 (x 10, y 15 of 20 cells: 19 steps).
    Pack ahead(fullPack({{5, "NumBase=1\nBasePosX1=0.526315789\nBasePosY1=0.789473684\nNumLine=0\n"}}).toUtf8());
    EXPECT_EQ(check(ahead.path).warnings, 1) << check(ahead.path).report.toStdString();
}

TEST(PackChecker, AFileThatIsNoPackFailsAndEveryOffFieldRecordCounts)
{
    for (const QByteArray& text : {QByteArray(), QByteArray("Arrows steer the snake.\nF2 starts.\n"),
                                   QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0", 10)}) {
        Pack pack(text);
        const Checked c = check(pack.path);
        EXPECT_TRUE(c.report.contains("No section [Level0] ... [Level10]")) << c.report.toStdString();
        EXPECT_GT(c.warnings, 11);
        EXPECT_EQ(c.report.count("warning: ") + 1, c.warnings) << c.report.toStdString();
    }
    // Twelve walls at x 1.5 lie off the field, each counted.
    QString walls = "NumBase=12\nNumLine=0\n";
    for (int i = 1; i <= 12; ++i)
        walls += QStringLiteral("BasePosX%1=1.5\nBasePosY%1=0.5\n").arg(i);
    Pack off(fullPack({{1, walls}}).toUtf8());
    const Checked c = check(off.path);
    EXPECT_EQ(c.warnings, 12) << c.report.toStdString();
    EXPECT_EQ(c.report.count("is off the field"), 12);

    const Checked missing = check("/nonexistent.lev");
    EXPECT_EQ(missing.warnings, 1);
}

// --- Level changes in the game ------------------------------------------------------

TEST(LevelChanges, ChoosingANumberedLevelCostsALifeGivesThreeAndClosesThePack)
{
    TestGame g(20);
    GameState& s = g.s();
    s.LevelPackFile = "/some/pack.lev";
    s.Lives = 1;
    g.game->chooseLevel(5);
    EXPECT_EQ(s.Seq, Sequence::animDeath) << "an ordinary death, not the game over";
    EXPECT_TRUE(g.host.soundsPlayed.contains("Death"));
    EXPECT_FALSE(g.host.soundsPlayed.contains("GameOver"));
    EXPECT_EQ(s.Lives, 3);
    EXPECT_EQ(g.host.labels[PanelLabel::Lives], "x 3");
    EXPECT_TRUE(s.LevelPackFile.isEmpty());
    EXPECT_EQ(s.Level, 5);
    EXPECT_EQ(g.host.checkedLevel, 5);
    EXPECT_EQ(g.host.labels[PanelLabel::Level], "5 text39");
    EXPECT_EQ(s.ExitPos, (TCellPos{0, -2}));
    int walls = 0;
    for (const TWall& w : s.Walls)
        walls += w.X > 0;
    EXPECT_EQ(walls, 36);
}

TEST(LevelChanges, NextLevelAndTheLabelClicksKeepLivesScoreAndPack)
{
    TestGame g(20);
    GameState& s = g.s();
    s.Level = 10;
    s.Lives = 2;
    s.Score = 33;
    s.LevelPackFile = "/nonexistent.lev";
    g.game->chooseLevel(11);
    EXPECT_EQ(s.Level, 11);
    EXPECT_EQ(s.Lives, 2);
    EXPECT_EQ(s.Score, 33);
    EXPECT_EQ(s.LevelPackFile, "/nonexistent.lev");
    EXPECT_EQ(g.host.checkedLevel, 11);
    int blocks = 0;
    for (const TWall& w : s.Walls)
        blocks += w.Kind == wkBlock && w.X > 0;
    EXPECT_EQ(blocks, 11);
    g.game->nextLevel();
    EXPECT_EQ(s.Level, 12);
    EXPECT_EQ(g.host.labels[PanelLabel::Level], "12 text39") << "the level word of the language file";
    s.Level = 0;
    s.LevelPackFile.clear();
    g.game->previousLevel();
    EXPECT_EQ(s.Level, -1);
    EXPECT_EQ(g.host.labels[PanelLabel::Level], "-1 text39");
    EXPECT_EQ(g.host.checkedLevel, -1);
    for (const TWall& w : s.Walls)
        EXPECT_EQ(w.X, -18);
    EXPECT_EQ(s.Lives, 2);
}

TEST(LevelChanges, OpeningAPackStartsItsLevelZero)
{
    Pack pack("[Level0]\nNumBase=1\nBasePosX1=0.25\nNumLine=0\n");
    TestGame g(21);
    GameState& s = g.s();
    s.Level = 6;
    s.Lives = 2;
    s.Score = 9;
    g.game->OpenLevelPack(pack.path);
    EXPECT_EQ(s.Level, 0);
    EXPECT_EQ(g.host.labels[PanelLabel::Level], "0 text39");
    EXPECT_EQ(g.host.checkedLevel, 0);
    EXPECT_EQ(s.Walls[0].X, 5);
    EXPECT_EQ(s.Walls[1].X, -19);
    EXPECT_EQ(g.tileAtCell(5, 10), tile::WallH);
    EXPECT_EQ(s.Lives, 2);
    EXPECT_EQ(s.Score, 9);
}

TEST(LevelChanges, APacksFaultsAreToldOnceWhenItOpensAndItIsNotReadAgain)
{
    // Level 1 with 400 base points whose two values cannot be read; no other section.
    QByteArray text = "[Level1]\nNumBase=400\nNumLine=0\n";
    for (int k = 1; k <= 400; ++k)
        text += "BasePosX" + QByteArray::number(k) + "=?\nBasePosY" + QByteArray::number(k) + "=0,5\n";
    Pack broken(text);
    TestGame g(20);
    g.game->OpenLevelPack(broken.path);
    ASSERT_EQ(g.host.messages.size(), 1);
    const QStringList lines = g.host.messages[0].split('\n');
    ASSERT_EQ(lines.size(), 13) << g.host.messages[0].toStdString();
    EXPECT_EQ(lines[0], "Level pack " + broken.path);
    EXPECT_EQ(lines[1], "No section for level 0, 2, 3, 4, 5, 6, 7, 8, 9, 10: built from the defaults.");
    EXPECT_EQ(lines[2], "[Level1] BasePosX1: Error string to double conversion. Error code: 1");
    EXPECT_EQ(lines[3], "[Level1] BasePosY1: Error string to double conversion. Error code: 2");
    EXPECT_EQ(lines[11], "[Level1] BasePosY5: Error string to double conversion. Error code: 2");
    EXPECT_EQ(lines[12], "... and 790 more values that cannot be read, each counted as 1.");

    // Rebuilds use what was read: the file can go, level 1 still comes from it, and
    // nothing more is said, at a level change or a death.
    ASSERT_TRUE(QFile::remove(broken.path));
    g.game->nextLevel();
    EXPECT_EQ(g.s().Level, 1);
    EXPECT_EQ(g.s().Walls[0].X, 19) << "a value that cannot be read counts as 1";
    g.game->KillSnake();
    for (int steps = 0; g.host.sequenceTimer && steps < 1000; ++steps)
        g.game->sequenceStep();
    EXPECT_EQ(g.s().Walls[399].X, 19);
    EXPECT_EQ(g.host.messages.size(), 1);
    // Opened again, it is read again: a file that is gone now builds the defaults.
    g.game->OpenLevelPack(broken.path);
    EXPECT_EQ(g.s().Walls[0].X, 10);
}

}  // namespace
}  // namespace kestrum::test
