// Plain records and table sizes shared by the game core, the levels and the renderer.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace kestrum {

// Fixed table sizes; every index into these tables is bounded by them.
inline constexpr int kSnakeCells = 501;
inline constexpr int kMaxSnakeLast = 499;  // SnakeLast + 1 must stay a valid slot
inline constexpr int kFoodCells = 500;
// The largest field the game builds: 4-pixel cells on a screen 4096 pixels high. A taller
// canvas shows this many cells from its top.
inline constexpr int kMaxFieldSize = 1024;
// Records a level pack or the random blocks of a level fill at most.
inline constexpr int kPackRecords = 400;
// The wall table: room for the largest built-in layout on the largest field.
inline constexpr int kWallRecords = 3 * kMaxFieldSize;
inline constexpr int kTileCount = 31;

// A field cell: X is the column from the left, Y the row from the top.
struct TCellPos {
    int32_t X = 0;
    int32_t Y = 0;
    friend constexpr bool operator==(const TCellPos&, const TCellPos&) = default;
};

// Direction codes; also the shape codes of straight pieces, heads and tails.
enum : uint8_t { dirUp = 0, dirDown = 1, dirLeft = 2, dirRight = 3 };

// Corner shape codes of body segments (the two sides of the cell they join).
enum : uint8_t {
    shCornerLeftTop = 4,
    shCornerTopRight = 5,
    shCornerLeftBottom = 6,
    shCornerRightBottom = 7,
};

// Wall kinds; each selects a wall picture.
enum WallKind : uint8_t { wkH = 0, wkV = 1, wkLBc = 2, wkRBc = 3, wkLTc = 4, wkRTc = 5, wkBlock = 6 };

struct TWall {
    int32_t X = 0;
    int32_t Y = 0;
    uint8_t Kind = wkH;
};

using WallTable = std::array<TWall, kWallRecords>;

// A special item: absent items sit on (0, 0), a border cell no living head reaches.
struct TItemState {
    TCellPos Pos;
    bool Present = false;
    int32_t DueTick = 0;
};

// Tile numbers of the cell pictures.
namespace tile {
inline constexpr int Floor = 0;
inline constexpr int WallH = 1;
inline constexpr int WallV = 2;
inline constexpr int Block = 3;
inline constexpr int CornerBL = 4;
inline constexpr int CornerBR = 5;
inline constexpr int CornerTL = 6;
inline constexpr int CornerTR = 7;
inline constexpr int Food = 8;
inline constexpr int Scissors = 9;
inline constexpr int Pear = 10;
inline constexpr int Death = 11;
inline constexpr int Mushroom = 12;
inline constexpr int HeadBase = 13;  // + direction
inline constexpr int BodyBase = 17;  // + direction
inline constexpr int TailBase = 21;  // + direction
inline constexpr int CornerBase = 32;  // - corner code
inline constexpr int ExitLeft = 29;
inline constexpr int ExitRight = 30;
}  // namespace tile

// Picture of a wall kind; kinds beyond the table draw as a block.
constexpr int wallTile(uint8_t kind)
{
    constexpr int tiles[] = {tile::WallH, tile::WallV, tile::CornerBL, tile::CornerBR,
                             tile::CornerTL, tile::CornerTR, tile::Block};
    return kind < 7 ? tiles[kind] : tile::Block;
}

// Rounds halves to the even neighbour (2.5 gives 2, 3.5 gives 4), as the score display
// and the level packs' fractions do.
inline double roundHalfEven(double x)
{
    if (std::fabs(x - std::trunc(x)) == 0.5)
        return 2.0 * std::round(x / 2.0);
    return std::round(x);
}

}  // namespace kestrum
