// Helper of the end-to-end tests: writes the solid-colour test skin, and reads a
// screenshot of the real game to find the field, the snake and the side panel on it.
//   e2e_check --make-skin FILE [CELL]
//   e2e_check --verify SHOT.png              (the snake went left, then up)
//   e2e_check --verify-start SHOT.png SKIN   (a game just started, drawn with SKIN)
//   e2e_check --layout SHOT.png              (the whole field and the legend on the screen)
//   e2e_check --steer SHOT.png               (the key that takes the snake to an apple)
//   e2e_check --head SHOT.png                (which way the snake's head looks)
//   e2e_check --head-cell SHOT.png           (the column and row of the snake's head)
//   e2e_check --notice SHOT.png              (the pause notice shows over the field)
#include "TestSupport.h"

#include "render/Skin.h"

#include <QCoreApplication>
#include <QImage>

#include <algorithm>
#include <map>
#include <cstdio>
#include <optional>
#include <vector>

using namespace kestrum;
using namespace kestrum::test;

namespace {

// The test skin's 22-pixel cells as the screen shows them: KESTRUM_E2E_SCALE=2 for a
// desktop that scales by two.
const int kCell = 22 * std::max(1, qEnvironmentVariableIntValue("KESTRUM_E2E_SCALE"));

// The top-left pixel of the first cell-sized square of one tile colour, scanning by rows.
std::optional<QPoint> findTile(const QImage& shot, int t)
{
    const QRgb want = tileColour(t) | 0xFF000000;
    for (int y = 0; y + kCell <= shot.height(); ++y)
        for (int x = 0; x + kCell <= shot.width(); ++x)
            if ((shot.pixel(x, y) | 0xFF000000) == want &&
                (shot.pixel(x + kCell - 1, y + kCell - 1) | 0xFF000000) == want)
                return QPoint(x, y);
    return std::nullopt;
}

// The tile of a cell: its centre, or where text over the field (the pause notice) covers
// that, the tile colour most of the cell's other pixels show.
int tileOf(const QImage& shot, QPoint origin, int cx, int cy)
{
    const QPoint cell = origin + QPoint(cx * kCell, cy * kCell);
    const int centre = tileAt(shot, cell + QPoint(kCell / 2, kCell / 2));
    if (centre >= 0)
        return centre;
    std::map<int, int> seen;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x)
            if (const int t = tileAt(shot, cell + QPoint(x, y)); t >= 0)
                ++seen[t];
    const auto most = std::max_element(seen.begin(), seen.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == seen.end() ? centre : most->first;
}

// The snake heads inside the border of the field of N cells at origin: how many, and where
// the last one found is and which way it looks.
struct Heads {
    int count = 0;
    QPoint at;
    int dir = -1;
};
Heads findHeads(const QImage& shot, QPoint origin, int N)
{
    Heads heads;
    for (int y = 1; y < N - 1; ++y)
        for (int x = 1; x < N - 1; ++x) {
            const int t = tileOf(shot, origin, x, y);
            if (t >= tile::HeadBase && t < tile::HeadBase + 4)
                heads = {heads.count + 1, QPoint(x, y), t - tile::HeadBase};
        }
    return heads;
}

// Which way the one snake head inside the field looks: "up", "down", "left" or "right";
// "none" when there is no field or not exactly one head (a dead snake lies on the border);
// "up at the start" for the head of a game that has not begun.
int headDirection(const QString& path)
{
    const QImage shot(path);
    const auto topLeft = shot.isNull() ? std::nullopt : findTile(shot, tile::CornerTL);
    const auto bottomRight = shot.isNull() ? std::nullopt : findTile(shot, tile::CornerBR);
    const int N = topLeft && bottomRight ? (bottomRight->x() - topLeft->x()) / kCell + 1 : 0;
    const Heads heads = N > 0 ? findHeads(shot, *topLeft, N) : Heads();
    if (heads.count != 1) {
        std::printf("none\n");
        return 1;
    }
    // A game that waits for its first key: the head on its start cell, looking up (the
    // start column moves right by one on the levels with a wall down the middle).
    const QPoint head = heads.at;
    const bool atStart = heads.dir == dirUp && head.y() == N - 4 && (head.x() == N / 2 || head.x() == N / 2 + 1);
    const char* names[] = {"up", "down", "left", "right"};
    std::printf("%s%s\n", names[heads.dir], atStart ? " at the start" : "");
    return 0;
}

// The field's top-left pixel and its number of cells, from the corner tiles.
std::optional<std::pair<QPoint, int>> findField(const QImage& shot)
{
    const auto topLeft = shot.isNull() ? std::nullopt : findTile(shot, tile::CornerTL);
    const auto bottomRight = shot.isNull() ? std::nullopt : findTile(shot, tile::CornerBR);
    if (!topLeft || !bottomRight)
        return std::nullopt;
    return std::pair(*topLeft, (bottomRight->x() - topLeft->x()) / kCell + 1);
}

int headCell(const QString& path)
{
    const auto field = findField(QImage(path));
    const Heads heads = field ? findHeads(QImage(path), field->first, field->second) : Heads();
    if (heads.count != 1) {
        std::printf("none\n");
        return 1;
    }
    std::printf("%d %d\n", heads.at.x(), heads.at.y());
    return 0;
}

// The notice's lime letters in the middle band of the field.
int notice(const QString& path)
{
    const QImage shot(path);
    const auto field = findField(shot);
    if (!field) {
        std::printf("no field\n");
        return 1;
    }
    const auto [origin, N] = *field;
    int lime = 0;
    for (int y = origin.y() + N * kCell / 2 - 2 * kCell; y < origin.y() + N * kCell / 2 + 2 * kCell; ++y)
        for (int x = origin.x(); x < origin.x() + N * kCell; ++x)
            lime += (shot.pixel(x, y) & 0xFFFFFF) == 0x00FF00 ? 1 : 0;
    std::printf("%d lime pixels in the middle of the field\n", lime);
    return lime >= 40 ? 0 : 1;
}

int verify(const QString& path)
{
    const QImage shot(path);
    if (shot.isNull()) {
        std::printf("cannot read %s\n", qPrintable(path));
        return 1;
    }
    const auto topLeft = findTile(shot, tile::CornerTL);
    const auto bottomRight = findTile(shot, tile::CornerBR);
    if (!topLeft || !bottomRight) {
        std::printf("no field border on the screenshot\n");
        return 1;
    }
    const QPoint origin = *topLeft;
    const int N = (bottomRight->x() - origin.x()) / kCell + 1;
    std::printf("field of %d cells at (%d, %d)\n", N, origin.x(), origin.y());
    if ((bottomRight->y() - origin.y()) / kCell + 1 != N) {
        std::printf("the field is not square\n");
        return 1;
    }
    // The player pressed Left, then Up: the snake stands left of its start column and
    // above its start row, head up, with a straight piece or the left-to-up corner below.
    const Heads heads = findHeads(shot, origin, N);
    if (heads.count != 1) {
        std::printf("found %d snake heads\n", heads.count);
        return 1;
    }
    const QPoint head = heads.at;
    const int headTile = tileOf(shot, origin, head.x(), head.y());
    const int below = tileOf(shot, origin, head.x(), head.y() + 1);
    std::printf("head at (%d, %d), tile %d; below it tile %d\n", head.x(), head.y(), headTile, below);
    const bool ok = headTile == tile::HeadBase + dirUp && head.x() < N / 2 && head.y() < N - 4 &&
                    (below == tile::BodyBase + dirUp || below == 27);
    std::printf(ok ? "snake where it should be\n" : "snake not where it should be\n");
    return ok ? 0 : 1;
}

// Where a cell picture appears whole on the screenshot, scanning by rows.
std::optional<QPoint> findPicture(const QImage& shot, const QImage& picture)
{
    const int n = picture.width();
    const auto matches = [&](int x0, int y0) {
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                if ((shot.pixel(x0 + x, y0 + y) | 0xFF000000) != (picture.pixel(x, y) | 0xFF000000))
                    return false;
        return true;
    };
    for (int y = 0; y + n <= shot.height(); ++y)
        for (int x = 0; x + n <= shot.width(); ++x)
            if (matches(x, y))
                return QPoint(x, y);
    return std::nullopt;
}

bool showsPicture(const QImage& shot, QPoint at, const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((shot.pixel(at.x() + x, at.y() + y) | 0xFF000000) != (picture.pixel(x, y) | 0xFF000000))
                return false;
    return true;
}

// A game that has just started with a shipped skin: the border, a floor that is mostly
// empty, and the snake's head at its start cell looking up.
int verifyStart(const QString& shotPath, const QString& skinPath)
{
    const QImage shot(shotPath);
    QString error;
    const QImage strip = loadBitmap(skinPath, &error);
    if (shot.isNull() || strip.isNull()) {
        std::printf("cannot read the screenshot or the skin %s\n", qPrintable(error));
        return 1;
    }
    const CellPictures cells = CellPictures::fromStrip(strip);
    const int size = cells.cellSize();
    const auto topLeft = findPicture(shot, cells.tile(tile::CornerTL));
    const auto bottomRight = findPicture(shot, cells.tile(tile::CornerBR));
    if (!topLeft || !bottomRight) {
        std::printf("no field border on the screenshot\n");
        return 1;
    }
    const QPoint origin = *topLeft;
    const int N = (bottomRight->x() - origin.x()) / size + 1;
    std::printf("field of %d cells of %d pixels at (%d, %d)\n", N, size, origin.x(), origin.y());
    int floor = 0;
    for (int y = 1; y < N - 1; ++y)
        for (int x = 1; x < N - 1; ++x)
            floor += showsPicture(shot, origin + QPoint(x * size, y * size), cells.tile(tile::Floor)) ? 1 : 0;
    const bool head = showsPicture(shot, origin + QPoint(N / 2 * size, (N - 4) * size),
                                   cells.tile(tile::HeadBase + dirUp));
    std::printf("%d of %d inner cells show the floor; head at its start: %s\n", floor,
                (N - 2) * (N - 2), head ? "yes" : "no");
    return floor > (N - 2) * (N - 2) / 2 && head ? 0 : 1;
}

}  // namespace

// The window covers the screen less its bottom 29 rows: the field's bottom border row and
// the legend's last picture must lie whole inside that.
int layout(const QString& path)
{
    const QImage shot(path);
    if (shot.isNull()) {
        std::printf("cannot read %s\n", qPrintable(path));
        return 1;
    }
    // Above the task bar's strip (KESTRUM_E2E_STRIP=0 where the desktop has none).
    const int strip = qEnvironmentVariableIsSet("KESTRUM_E2E_STRIP") ? qEnvironmentVariableIntValue("KESTRUM_E2E_STRIP") : 29;
    const int limit = shot.height() - strip * kCell / 22;
    const auto topLeft = findTile(shot, tile::CornerTL);
    const auto bottomLeft = findTile(shot, tile::CornerBL);
    const auto bottomRight = findTile(shot, tile::CornerBR);
    if (!topLeft || !bottomLeft || !bottomRight) {
        std::printf("the field's corners are not all on the screen\n");
        return 1;
    }
    const int N = (bottomRight->x() - topLeft->x()) / kCell + 1;
    const int bottom = bottomRight->y() + kCell;
    std::printf("field of %d cells at (%d, %d), bottom edge at %d of %d\n", N, topLeft->x(),
                topLeft->y(), bottom, limit);
    bool ok = bottom <= limit && bottomLeft->y() == bottomRight->y() &&
              (bottomRight->y() - topLeft->y()) / kCell + 1 == N;
    // The whole bottom border row.
    for (int x = 1; x < N - 1 && ok; ++x)
        ok = tileOf(shot, *topLeft, x, N - 1) == tile::WallH;
    // The legend's "next" picture, right of the field.
    std::optional<QPoint> next;
    for (int y = 0; y + kCell <= shot.height() && !next; ++y)
        for (int x = bottomRight->x() + kCell; x + kCell <= shot.width() && !next; ++x)
            // (A scaled screen may smooth the picture's outermost pixels.)
            if (tileAt(shot, {x + 2, y + 2}) == tile::ExitLeft && tileAt(shot, {x + kCell - 3, y + kCell - 3}) == tile::ExitLeft)
                next = QPoint(x - 2, y - 2);
    if (!next) {
        std::printf("the legend is not on the screen\n");
        return 1;
    }
    std::printf("legend's last picture at (%d, %d)\n", next->x(), next->y());
    ok = ok && next->y() + kCell <= limit;
    std::printf(ok ? "field and legend inside the window\n" : "field or legend cut off\n");
    return ok ? 0 : 1;
}

// One step of a simple player: the key that brings the head nearer an apple without
// turning back, running into the border, the snake, a skull or a toadstool. Prints the key
// for xdotool ("space" keeps the course and only resumes the game), "done" once the snake
// has grown, or "lost" when there is no snake or no apple to be seen.
int steer(const QString& path)
{
    const QImage shot(path);
    const auto topLeft = shot.isNull() ? std::nullopt : findTile(shot, tile::CornerTL);
    const auto bottomRight = shot.isNull() ? std::nullopt : findTile(shot, tile::CornerBR);
    if (!topLeft || !bottomRight) {
        std::printf("lost\n");
        return 1;
    }
    const int N = (bottomRight->x() - topLeft->x()) / kCell + 1;
    QPoint head(-1, -1);
    int headDir = -1, snakeCells = 0;
    std::vector<QPoint> apples;
    std::vector<std::vector<bool>> blocked(static_cast<size_t>(N), std::vector<bool>(static_cast<size_t>(N), false));
    for (int y = 1; y < N - 1; ++y)
        for (int x = 1; x < N - 1; ++x) {
            const int t = tileOf(shot, *topLeft, x, y);
            if (t >= tile::HeadBase && t < tile::HeadBase + 4) {
                head = {x, y};
                headDir = t - tile::HeadBase;
            }
            const bool snake = t >= tile::HeadBase && t <= 28;
            snakeCells += snake ? 1 : 0;
            if (t == tile::Food)
                apples.push_back({x, y});
            blocked[static_cast<size_t>(y)][static_cast<size_t>(x)] =
                snake || t == tile::Death || t == tile::Mushroom || (t >= tile::WallH && t <= tile::CornerTR);
        }
    if (snakeCells >= 5) {
        std::printf("done\n");
        return 0;
    }
    if (headDir < 0 || apples.empty()) {
        std::printf("lost\n");
        return 1;
    }
    const QPoint apple = *std::min_element(apples.begin(), apples.end(), [&](QPoint a, QPoint b) {
        return (a - head).manhattanLength() < (b - head).manhattanLength();
    });
    const QPoint steps[] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};  // up, down, left, right
    const char* keys[] = {"Up", "Down", "Left", "Right"};
    const auto safe = [&](int dir) {
        const QPoint c = head + steps[dir];
        return c.x() >= 1 && c.y() >= 1 && c.x() <= N - 2 && c.y() <= N - 2 &&
               !blocked[static_cast<size_t>(c.y())][static_cast<size_t>(c.x())];
    };
    const auto nearer = [&](int dir) {
        return ((head + steps[dir]) - apple).manhattanLength() < (head - apple).manhattanLength();
    };
    const auto reverse = [](int dir) { return dir ^ 1; };
    if (nearer(headDir) && safe(headDir)) {
        std::printf("space\n");
        return 0;
    }
    for (int pass = 0; pass < 2; ++pass)
        for (int dir = 0; dir < 4; ++dir)
            if (dir != headDir && dir != reverse(headDir) && safe(dir) && (pass == 1 || nearer(dir))) {
                std::printf("%s\n", keys[dir]);
                return 0;
            }
    std::printf("space\n");
    return 0;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if ((args.size() == 3 || args.size() == 4) && args[1] == "--make-skin")
        return solidSkin(args.size() == 4 ? args[3].toInt() : kCell).save(args[2], "BMP") ? 0 : 1;
    if (args.size() == 3 && args[1] == "--layout")
        return layout(args[2]);
    if (args.size() == 3 && args[1] == "--steer")
        return steer(args[2]);
    if (args.size() == 3 && args[1] == "--verify")
        return verify(args[2]);
    if (args.size() == 3 && args[1] == "--head")
        return headDirection(args[2]);
    if (args.size() == 3 && args[1] == "--head-cell")
        return headCell(args[2]);
    if (args.size() == 3 && args[1] == "--notice")
        return notice(args[2]);
    if (args.size() == 4 && args[1] == "--verify-start")
        return verifyStart(args[2], args[3]);
    std::fprintf(stderr, "usage: e2e_check --make-skin FILE [CELL] | --verify SHOT.png | "
                         "--verify-start SHOT.png SKIN | --layout SHOT.png | --steer SHOT.png | "
                         "--head SHOT.png | --head-cell SHOT.png | --notice SHOT.png\n");
    return 2;
}
