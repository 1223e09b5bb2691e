#include "Game.h"

#include "levels/LevelPack.h"
#include "levels/Levels.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace kestrum {

QString scoreText(double score)
{
    return QString::number(static_cast<long long>(roundHalfEven(score)));
}

QString countText(int n) { return QStringLiteral("x ") + QString::number(n); }

namespace {

constexpr int kExitRowLeft = 4;   // exit windows around the head: four cells before it
constexpr int kExitRowRight = 2;  // and two after it, in its row and its column

TCellPos stepped(TCellPos c, uint8_t direction)
{
    switch (direction) {
    case dirUp: return {c.X, c.Y - 1};
    case dirDown: return {c.X, c.Y + 1};
    case dirLeft: return {c.X - 1, c.Y};
    case dirRight: return {c.X + 1, c.Y};
    default: return c;
    }
}

}  // namespace

Game::Game(GameHost& host, Random& random) : host_(host), random_(random)
{
    canvas_.setPictures(&pictures_);
}

void Game::sound(const char* event)
{
    if (host_.soundsOn())
        host_.playSound(QString::fromLatin1(event));
}

void Game::showScore() { host_.setLabel(PanelLabel::Score, scoreText(s_.Score)); }
void Game::showLevelLabel(const QString& word)
{
    host_.setLabel(PanelLabel::Level, QString::number(s_.Level) + QLatin1Char(' ') + word);
}

void Game::showLength() { host_.setLabel(PanelLabel::Length, QString::number(s_.SnakeLast + 1)); }

void Game::flush()
{
    const QRegion r = canvas_.takeDirty();
    if (!r.isEmpty())
        host_.repaintField(r);
    const int line = noticeLine();
    if (line != notice_) {
        notice_ = line;
        host_.showNotice(line);
    }
    const ExitProgress progress = exitProgress();
    if (!(progress == shownProgress_)) {
        shownProgress_ = progress;
        host_.showExitProgress(progress);
    }
}

int Game::noticeLine() const
{
    if (!s_.ResumeOnKey || host_.gameTimerRunning() || host_.sequenceTimerRunning() || waiting_ ||
        warningShown_ || host_.closing() || pictures_.isEmpty())
        return 0;
    return begun_ ? 93 : 94;
}

double Game::FoodValue() const { return s_.Base + s_.Slope * host_.gameTimerInterval(); }

// ---------------------------------------------------------------------------------------
// Field build

void Game::BuildField(const QImage& strip, bool keepScore)
{
    pictures_ = CellPictures::fromStrip(strip);
    canvas_.setGeometry(pictures_.cellSize());
    s_.CellSize = canvas_.cellSize();
    s_.FieldSize = canvas_.fieldSize();
    s_.FieldLeft = canvas_.fieldLeft();
    s_.ExitPos = {-2, -4};
    host_.layoutSidePanel(pictures_, canvas_.height());
    if (!keepScore)
        s_.Score = 0;
    showScore();
    // Twice the field's side, but never more than the snake can grow to: on a field of 250
    // cells or more the exit would otherwise never open.
    s_.ExitLength = std::min(2 * s_.FieldSize, kMaxSnakeLast);
    DrawBackground();
    DrawField();
    BuildWalls();
    StartAttempt();
    DrawSnake(0);
    flush();
}

void Game::FreeCellPictures() { pictures_.clear(); }

void Game::DrawBackground() { canvas_.drawBackground(host_.backgroundPicture()); }

void Game::DrawField()
{
    ClearCellAnimations();
    canvas_.drawField();
    const int N = std::max(s_.FieldSize, 0);
    restingTiles_.assign(static_cast<size_t>(N) * static_cast<size_t>(N), tile::Floor);
    for (int i = 0; i < N; ++i) {
        setRestingTile({i, 0}, tile::WallH);
        setRestingTile({i, N - 1}, tile::WallH);
        setRestingTile({0, i}, tile::WallV);
        setRestingTile({N - 1, i}, tile::WallV);
    }
    setRestingTile({0, 0}, tile::CornerTL);
    setRestingTile({0, N - 1}, tile::CornerBL);
    setRestingTile({N - 1, 0}, tile::CornerTR);
    setRestingTile({N - 1, N - 1}, tile::CornerBR);
}

// Walls off the field are never drawn: a pack may put records anywhere, and the margins
// beside the field belong to the background.
void Game::DrawWalls()
{
    for (const TWall& w : s_.Walls) {
        if (!onField({w.X, w.Y}))
            continue;
        canvas_.drawTile(w.X, w.Y, wallTile(w.Kind));
        setRestingTile({w.X, w.Y}, wallTile(w.Kind));
    }
}

bool Game::onField(TCellPos c) const
{
    return c.X >= 0 && c.Y >= 0 && c.X < s_.FieldSize && c.Y < s_.FieldSize;
}

// The table is made for the field size of the last DrawField; until a new field size has
// been drawn, its cells read as floor.
size_t Game::restingIndex(TCellPos c) const
{
    if (!onField(c))
        return SIZE_MAX;
    const size_t i = static_cast<size_t>(c.Y) * static_cast<size_t>(s_.FieldSize) + static_cast<size_t>(c.X);
    return restingTiles_.size() == static_cast<size_t>(s_.FieldSize) * static_cast<size_t>(s_.FieldSize)
               ? i
               : SIZE_MAX;
}

void Game::setRestingTile(TCellPos c, int tileNumber)
{
    const size_t i = restingIndex(c);
    if (i != SIZE_MAX)
        restingTiles_[i] = static_cast<uint8_t>(tileNumber);
}

int Game::restingTile(TCellPos c) const
{
    const size_t i = restingIndex(c);
    return i != SIZE_MAX ? restingTiles_[i] : tile::Floor;
}

void Game::eraseCell(TCellPos c)
{
    if (onField(c))
        canvas_.drawTile(c, standingTile(c));
}

// Two things may share a cell (food or the exit on the pear's or the scissors' cell, the
// exit under the snake's start): the one that leaves uncovers the other, never the floor.
int Game::standingTile(TCellPos c) const
{
    const int resting = restingTile(c);
    if (resting != tile::Floor)
        return resting;
    if (c == s_.ExitPos)
        return tile::ExitLeft;
    if (c == TCellPos{s_.ExitPos.X + 1, s_.ExitPos.Y})
        return tile::ExitRight;
    const int foods = std::clamp(s_.FoodCount, 0, kFoodCells);
    for (int i = 0; i < foods; ++i)
        if (s_.FoodList[static_cast<size_t>(i)] == c)
            return tile::Food;
    const std::pair<const TItemState&, int> items[] = {
        {s_.Death, tile::Death}, {s_.Life, tile::Pear}, {s_.Shot, tile::Scissors}, {s_.Drug, tile::Mushroom}};
    for (const auto& [it, picture] : items)
        if (it.Present && it.Pos == c)
            return picture;
    return tile::Floor;
}

// A growing snake may run into the cell its tail stands on, and then holds that cell twice:
// the tail leaving it must not paint the floor under the segment that stays.
void Game::eraseUnlessHeld(TCellPos c, int upTo)
{
    for (int i = 0; i <= upTo; ++i)
        if (s_.SnakeBody[static_cast<size_t>(i)] == c)
            return;
    eraseCell(c);
}

void Game::BuildWalls()
{
    kestrum::BuildWalls(s_.Walls, s_.Level, s_.FieldSize, levelPack(), random_, s_.ExitPos);
}

// The open pack is read once, at its first build, and its faults are told then, in one
// message: a large or broken pack costs nothing more at a death or a level change.
const LevelPack* Game::levelPack()
{
    if (s_.LevelPackFile.isEmpty()) {
        levelPack_.reset();
        return nullptr;
    }
    if (!levelPack_ || levelPack_->path() != s_.LevelPackFile) {
        QString problem;
        levelPack_ = LevelPack::read(s_.LevelPackFile, &problem);
        const QString report = problem.isEmpty() ? levelPack_->openingReport() : problem;
        if (!report.isEmpty())
            host_.showMessage(report);
    }
    return levelPack_.get();
}

// ---------------------------------------------------------------------------------------
// Attempt start

void Game::StartAttempt()
{
    const int N = s_.FieldSize;
    s_.Slope = -0.09;
    s_.Base = 10 - 50 * s_.Slope;

    ++attempts_;
    begun_ = false;
    keptTurn_ = -1;
    s_.TickCount = 0;
    s_.ExitCountdown = -1;
    s_.MushroomTicks = -1;
    host_.setMushroomIndicator(false);
    s_.ResumeOnKey = true;

    s_.SnakeLast = 2;
    showLength();
    const int x0 = snakeStartColumn(s_.Level, N);
    for (int i = 0; i < 3; ++i) {
        s_.SnakeBody[static_cast<size_t>(i)] = {x0, N - 4 + i};
        s_.SegmentShape[static_cast<size_t>(i)] = dirUp;
    }
    s_.SnakeBody[3] = s_.SnakeBody[2];
    s_.Direction = dirUp;
    s_.NeckShape = dirUp;

    random_.reseed();

    s_.FoodCount = 0;
    s_.PendingGrowth = 0;

    DrawWalls();

    // The exit is shown again at its place; a parked exit shows nothing but still sounds.
    sound("ShowExit");
    StartCellAnimation(s_.ExitPos.X, s_.ExitPos.Y, tile::ExitLeft, 5, 10);
    StartCellAnimation(s_.ExitPos.X + 1, s_.ExitPos.Y, tile::ExitRight, 4, 10);

    PlaceItem(ItemKind::Long);
    s_.FoodDueTick = 3 * N;

    s_.Death = {{0, 0}, false, random_.next(30)};
    s_.Life = {{0, 0}, false, random_.next(15)};
    s_.Shot = {{0, 0}, false, random_.next(30) + 10};
    s_.Drug = {{0, 0}, false, random_.next(30)};

    s_.KeyLeft = 37;
    s_.KeyUp = 38;
    s_.KeyRight = 39;
    s_.KeyDown = 40;
}

// ---------------------------------------------------------------------------------------
// Tick, movement, drawing, steering, collisions

void Game::tick()
{
    s_.TickCount += 1;
    StepSnake();
    drawSnakeStep();
    s_.TurnAllowed = true;
    takeKeptTurn();
    itemSchedules();
    if (host_.closing())
        return;
    eatingTests();
    if (host_.closing())
        return;
    CheckCollisions();

    // Exit test.
    const TCellPos head = s_.SnakeBody[0];
    const TCellPos exitRight{s_.ExitPos.X + 1, s_.ExitPos.Y};
    if (head == s_.ExitPos || head == exitRight) {
        host_.stopGameTimer();
        host_.startSequenceTimer();
        s_.ExitCountdown = s_.SnakeLast;
        s_.Seq = Sequence::animExit;
        host_.playPanelAnimation();
        sound("NextLevel");
        canvas_.drawTile(s_.ExitPos, tile::ExitLeft);
        canvas_.drawTile(exitRight, tile::ExitRight);
    }

    // Growth step; the tables hold 501 cells, so the snake stops growing at 500 segments.
    if (s_.PendingGrowth != 0) {
        if (s_.PendingGrowth < 0) {
            const int last = std::clamp(s_.SnakeLast, 0, kMaxSnakeLast);
            eraseUnlessHeld(s_.SnakeBody[static_cast<size_t>(last)], last - 1);
        }
        const int d = s_.PendingGrowth > 0 ? 1 : -1;
        const int grown = s_.SnakeLast + d;
        if (grown >= 2 && grown <= kMaxSnakeLast)
            s_.SnakeLast = grown;
        s_.PendingGrowth -= d;
        showLength();
    }

    mushroomCountdown();
    flush();
}

void Game::StepSnake()
{
    const int L = std::clamp(s_.SnakeLast, 2, kMaxSnakeLast);
    auto& body = s_.SnakeBody;
    auto& shape = s_.SegmentShape;
    for (int i = L; i >= 0; --i)
        body[static_cast<size_t>(i + 1)] = body[static_cast<size_t>(i)];
    body[0] = stepped(body[0], s_.Direction);

    const auto at = [](int i) { return static_cast<size_t>(i); };
    if (shape[at(L - 1)] >= 4 && shape[at(L - 1)] <= 7)
        shape[at(L)] = shape[at(L - 2)];
    shape[at(L + 1)] = shape[at(L - 2)];
    for (int j = L - 2; j >= 1; --j)
        shape[at(j + 1)] = shape[at(j)];
    shape[1] = s_.NeckShape;
    shape[0] = s_.Direction;
    s_.NeckShape = s_.Direction;
    // The tail takes the direction of travel out of the corner it reached, found two
    // segments ahead; after two corners in a row that is a corner too, which has no tail
    // picture, and the tail would show the bend it stands on. Its direction is then the
    // step to the segment ahead.
    if (shape[at(L)] >= 4) {
        for (uint8_t d = dirUp; d <= dirRight; ++d)
            if (stepped(body[at(L)], d) == body[at(L - 1)])
                shape[at(L)] = d;
    }
}

int Game::segmentTile(int i) const
{
    const int code = s_.SegmentShape[static_cast<size_t>(i)];
    if (i == s_.SnakeLast)
        return code <= 3 ? tile::TailBase + code : -1;
    if (i == 0)
        return code <= 3 ? tile::HeadBase + code : -1;
    if (code <= 3)
        return tile::BodyBase + code;
    if (code <= 7)
        return tile::CornerBase - code;
    return -1;
}

void Game::drawSegment(int i, int tileNumber)
{
    if (tileNumber >= 0)
        canvas_.drawTile(s_.SnakeBody[static_cast<size_t>(i)], tileNumber);
}

void Game::DrawSnake(int SkipFront)
{
    const int last = std::clamp(s_.SnakeLast, 0, kMaxSnakeLast);
    eraseCell(s_.SnakeBody[static_cast<size_t>(last + 1)]);
    drawSegment(last, segmentTile(last));
    for (int i = last - 1; i >= std::max(SkipFront + 1, 1); --i)
        drawSegment(i, segmentTile(i));
    if (SkipFront == 0)
        drawSegment(0, segmentTile(0));
}

// A step changes four cells: the one the tail left, the new tail, the old head (now the
// neck) and the new head. Every other segment moved onto a cell that already showed its
// picture, so the tick leaves them alone; the result equals DrawSnake(0).
void Game::drawSnakeStep()
{
    const int last = std::clamp(s_.SnakeLast, 2, kMaxSnakeLast);
    eraseUnlessHeld(s_.SnakeBody[static_cast<size_t>(last + 1)], last);
    drawSegment(last, segmentTile(last));
    drawSegment(1, segmentTile(1));
    drawSegment(0, segmentTile(0));
}

int Game::steeringDirection(uint16_t Key) const
{
    if (Key == s_.KeyUp)
        return dirUp;
    if (Key == s_.KeyDown)
        return dirDown;
    if (Key == s_.KeyLeft)
        return dirLeft;
    if (Key == s_.KeyRight)
        return dirRight;
    return -1;
}

void Game::keyDown(uint16_t Key)
{
    if (s_.ResumeOnKey && !host_.sequenceTimerRunning() && !waiting_) {
        host_.startGameTimer();
        s_.ResumeOnKey = false;
        begun_ = true;
    }
    if (!s_.TurnAllowed) {
        // With quick turns the first steering key after the step's turn waits for the next
        // step, as read now: a toadstool eaten meanwhile does not turn it round.
        const int wanted = steeringDirection(Key);
        if (quickTurns_ && keptTurn_ < 0 && wanted >= 0 && host_.gameTimerRunning())
            keptTurn_ = wanted;
        return;
    }
    steer(steeringDirection(Key));
    // One key a tick: every key that gets here uses up the tick's turn.
    s_.TurnAllowed = false;
}

void Game::steer(int wanted)
{
    uint8_t& dir = s_.Direction;
    if (wanted == dirUp) {
        if (dir == dirLeft) {
            s_.NeckShape = shCornerTopRight;
            dir = dirUp;
        }
        if (dir == dirRight) {
            s_.NeckShape = shCornerLeftTop;
            dir = dirUp;
        }
    }
    if (wanted == dirDown) {
        if (dir == dirLeft) {
            s_.NeckShape = shCornerRightBottom;
            dir = dirDown;
        }
        if (dir == dirRight) {
            s_.NeckShape = shCornerLeftBottom;
            dir = dirDown;
        }
    }
    if (wanted == dirLeft) {
        if (dir == dirUp) {
            s_.NeckShape = shCornerLeftBottom;
            dir = dirLeft;
        }
        if (dir == dirDown) {
            s_.NeckShape = shCornerLeftTop;
            dir = dirLeft;
        }
    }
    if (wanted == dirRight) {
        if (dir == dirUp) {
            s_.NeckShape = shCornerRightBottom;
            dir = dirRight;
        }
        if (dir == dirDown) {
            s_.NeckShape = shCornerTopRight;
            dir = dirRight;
        }
    }
}

// A kept turn that would not change the course is dropped and leaves the step's turn free.
void Game::takeKeptTurn()
{
    const int wanted = std::exchange(keptTurn_, -1);
    if (wanted < 0)
        return;
    const uint8_t before = s_.Direction;
    steer(wanted);
    if (s_.Direction != before)
        s_.TurnAllowed = false;
}

void Game::setQuickTurns(bool on)
{
    quickTurns_ = on;
    keptTurn_ = -1;
}

ExitProgress Game::exitProgress() const
{
    ExitProgress p;
    p.length = s_.SnakeLast + 1;
    // Food opens the exit once the snake is longer than ExitLength segments.
    p.needed = s_.ExitLength + 1;
    p.open = onField(s_.ExitPos);
    return p;
}

void Game::CheckCollisions()
{
    const TCellPos H = s_.SnakeBody[0];
    for (int i = 1; i <= s_.SnakeLast; ++i)
        if (H == s_.SnakeBody[static_cast<size_t>(i)]) {
            KillSnake();
            return;
        }
    const int last = s_.FieldSize - 1;
    if (H.X == 0 || H.Y == 0 || H.X == last || H.Y == last) {
        KillSnake();
        return;
    }
    if (H == s_.Death.Pos) {
        s_.Death.Present = false;
        KillSnake();
        return;
    }
    for (const TWall& w : s_.Walls)
        if (H.X == w.X && H.Y == w.Y) {
            KillSnake();
            return;
        }
}

// ---------------------------------------------------------------------------------------
// Items

TItemState& Game::item(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Death: return s_.Death;
    case ItemKind::Life: return s_.Life;
    case ItemKind::Shot: return s_.Shot;
    case ItemKind::Drug: return s_.Drug;
    case ItemKind::Long: break;
    }
    return s_.Death;  // food has no item record; never reached by the callers
}

void Game::scheduleItem(ItemKind kind, int awayBase, int awaySpread, int stayBase, int staySpread)
{
    TItemState& it = item(kind);
    if (s_.TickCount != it.DueTick)
        return;
    if (it.Present) {
        RemoveItem(kind, false);
        it.DueTick += awayBase + random_.next(awaySpread);
    } else {
        PlaceItem(kind);
        it.DueTick += stayBase + random_.next(staySpread);
    }
}

void Game::itemSchedules()
{
    if (s_.TickCount == s_.FoodDueTick) {
        s_.FoodDueTick += 3 * s_.FieldSize;
        PlaceItem(ItemKind::Long);
        PlaceItem(ItemKind::Long);
    }
    scheduleItem(ItemKind::Death, 5, 5, 30, 30);
    scheduleItem(ItemKind::Life, 70, 70, 15, 15);
    scheduleItem(ItemKind::Shot, 80, 30, 20, 30);
    scheduleItem(ItemKind::Drug, 50, 50, 30, 30);
}

void Game::PlaceItem(ItemKind kind)
{
    struct Look {
        const char* sound;
        int tileNumber;
        int style;
        int steps;
    };
    static constexpr Look looks[] = {
        {"ShowApple", tile::Food, 1, 10},     {"ShowDeath", tile::Death, 3, 10},
        {"ShowPear", tile::Pear, 1, 15},      {"ShowScis", tile::Scissors, 2, 15},
        {"ShowMush", tile::Mushroom, 2, 15},
    };
    const Look& look = looks[static_cast<int>(kind)];
    if (kind == ItemKind::Long && s_.FoodCount >= kFoodCells)
        return;  // the food list is full
    TCellPos c;
    if (!FindFreeCell(false, c))
        return;  // nowhere to put it: nothing is placed
    if (kind == ItemKind::Long) {
        s_.FoodList[static_cast<size_t>(s_.FoodCount)] = c;
        s_.FoodCount += 1;
        StartCellAnimation(c.X, c.Y, look.tileNumber, look.style, look.steps);
        sound(look.sound);
        return;
    }
    sound(look.sound);
    TItemState& it = item(kind);
    it.Present = true;
    it.Pos = c;
    StartCellAnimation(c.X, c.Y, look.tileNumber, look.style, look.steps);
}

void Game::RemoveItem(ItemKind kind, bool eaten)
{
    static constexpr int tiles[] = {tile::Food, tile::Death, tile::Pear, tile::Scissors,
                                    tile::Mushroom};
    if (kind == ItemKind::Long)
        return;
    TItemState& it = item(kind);
    it.Present = false;
    if (!eaten)
        StartCellAnimation(it.Pos.X, it.Pos.Y, tiles[static_cast<int>(kind)], 0, 8);
    it.Pos = {0, 0};
}

// One pass over the walls, the snake, the food and the items, so that each draw of the
// search is a single look-up: a crowded field takes thousands of draws.
void Game::markBlockedCells()
{
    const int N = std::max(s_.FieldSize, 0);
    blocked_.assign(static_cast<size_t>(N) * static_cast<size_t>(N), 0);  // keeps its capacity
    const auto mark = [&](TCellPos c) {
        if (c.X >= 0 && c.Y >= 0 && c.X < N && c.Y < N)
            blocked_[static_cast<size_t>(c.Y) * static_cast<size_t>(N) + static_cast<size_t>(c.X)] = 1;
    };
    mark(s_.Death.Pos);
    mark(s_.Drug.Pos);
    mark(s_.ExitPos);
    mark({s_.ExitPos.X + 1, s_.ExitPos.Y});
    for (const TWall& w : s_.Walls)
        mark({w.X, w.Y});
    const int last = std::clamp(s_.SnakeLast, 0, kMaxSnakeLast);
    for (int i = 0; i <= last; ++i)
        mark(s_.SnakeBody[static_cast<size_t>(i)]);
    const int foods = std::clamp(s_.FoodCount, 0, kFoodCells);
    for (int i = 0; i < foods; ++i)
        mark(s_.FoodList[static_cast<size_t>(i)]);
}

bool Game::cellBlocked(TCellPos c) const
{
    const int N = s_.FieldSize;
    if (c.X < 0 || c.Y < 0 || c.X >= N || c.Y >= N)
        return false;  // the search only asks for inner cells
    return blocked_[static_cast<size_t>(c.Y) * static_cast<size_t>(N) + static_cast<size_t>(c.X)] != 0;
}

bool Game::FindFreeCell(bool twoCells, TCellPos& found)
{
    const int N = s_.FieldSize;
    if (N < 4)
        return false;
    markBlockedCells();
    const TCellPos head = s_.SnakeBody[0];
    const auto passes = [&](TCellPos c) {
        if (cellBlocked(c))
            return false;
        if (!twoCells)
            return true;
        if (cellBlocked({c.X + 1, c.Y}))
            return false;
        if (c.Y == head.Y && c.X >= head.X - kExitRowLeft && c.X <= head.X + kExitRowRight)
            return false;
        if (c.X == head.X && c.Y >= head.Y - kExitRowLeft && c.Y <= head.Y + kExitRowRight)
            return false;
        return true;
    };
    const int spanX = twoCells ? N - 3 : N - 2;
    // Random draws first, as the game always has; a crowded field falls back to a list
    // of every free cell so that the search always ends.
    const long long draws = 4LL * N * N;
    for (long long k = 0; k < draws; ++k) {
        TCellPos c;
        c.X = 1 + random_.next(spanX);
        c.Y = 1 + random_.next(N - 2);
        if (passes(c)) {
            found = c;
            return true;
        }
    }
    std::vector<TCellPos> free;
    for (int y = 1; y <= N - 2; ++y)
        for (int x = 1; x <= spanX; ++x)
            if (passes({x, y}))
                free.push_back({x, y});
    if (free.empty())
        return false;
    found = free[static_cast<size_t>(random_.next(static_cast<int>(free.size())))];
    return true;
}

void Game::eatingTests()
{
    const TCellPos H = s_.SnakeBody[0];
    for (int f = 0; f < s_.FoodCount; ++f) {
        if (!(s_.FoodList[static_cast<size_t>(f)] == H))
            continue;
        std::copy(s_.FoodList.begin() + f + 1, s_.FoodList.begin() + s_.FoodCount,
                  s_.FoodList.begin() + f);
        s_.FoodCount -= 1;
        if (s_.FoodCount == 0)
            PlaceItem(ItemKind::Long);
        s_.PendingGrowth = 15;
        s_.FoodDueTick = s_.TickCount + 3 * s_.FieldSize;
        sound("EatApple");
        s_.EatenCount += 1;
        host_.setLabel(PanelLabel::Eaten, countText(s_.EatenCount));
        if (s_.SnakeLast >= s_.ExitLength)
            OpenExit();
        s_.Score += FoodValue();
        showScore();
        break;
    }
    if (H == s_.Life.Pos) {
        sound("EatApple");
        RemoveItem(ItemKind::Life, true);
        s_.Lives += 1;
        host_.setLabel(PanelLabel::Lives, countText(s_.Lives));
        s_.Score += 2 * FoodValue();
        showScore();
    }
    if (H == s_.Shot.Pos) {
        sound("EatScis");
        RemoveItem(ItemKind::Shot, true);
        s_.Score += 2 * FoodValue();
        showScore();
        if (s_.SnakeLast > 50)
            s_.PendingGrowth = -30;
    }
    if (H == s_.Drug.Pos) {
        sound("EatMush");
        RemoveItem(ItemKind::Drug, true);
        s_.MushroomTicks = 20 + random_.next(45);
        s_.KeyUp = 40;
        s_.KeyDown = 38;
        s_.KeyLeft = 39;
        s_.KeyRight = 37;
        mushroomWarning();
        if (host_.closing())
            return;
        s_.Score += 10 * FoodValue();
        showScore();
    }
}

void Game::OpenExit()
{
    TCellPos c;
    if (!FindFreeCell(true, c))
        return;  // no free pair: the exit stays where it is, and stays drawn
    const TCellPos old = s_.ExitPos;
    s_.ExitPos = c;
    eraseCell(old);
    eraseCell({old.X + 1, old.Y});
    sound("ShowExit");
    StartCellAnimation(c.X, c.Y, tile::ExitLeft, 5, 10);
    StartCellAnimation(c.X + 1, c.Y, tile::ExitRight, 4, 10);
}

void Game::mushroomCountdown()
{
    if (s_.MushroomTicks > 0) {
        s_.MushroomTicks -= 1;
        host_.setMushroomIndicator(true);
    }
    if (s_.MushroomTicks == 0) {
        sound("StopMush");
        showScore();
        s_.KeyLeft = 37;
        s_.KeyRight = 39;
        s_.KeyDown = 40;
        s_.KeyUp = 38;
        s_.MushroomTicks = -1;
        host_.setMushroomIndicator(false);
        mushroomWarning();
    }
}

void Game::mushroomWarning()
{
    host_.stopGameTimer();
    s_.ResumeOnKey = true;
    // The warning holds the game for its own sake: the field says nothing of a pause.
    warningShown_ = true;
    flush();
    const uint64_t attempt = attempts_;
    host_.showWarning(host_.langText(s_.MushroomTicks > 0 ? 77 : 78));
    warningShown_ = false;
    if (host_.closing())
        return;
    // Play goes on where the warning stopped it, unless the exit sequence has meanwhile
    // led to a new attempt (which waits for its key) or the player has gone elsewhere.
    if (attempt == attempts_ && s_.ResumeOnKey && !host_.sequenceTimerRunning() && !waiting_ &&
        !host_.playerAway()) {
        host_.startGameTimer();
        s_.ResumeOnKey = false;
    }
    flush();
}

// ---------------------------------------------------------------------------------------
// Cell animations

void Game::StartCellAnimation(int X, int Y, int Picture, int Style, int Steps)
{
    for (TCellAnimation& slot : s_.CellAnimations) {
        if (slot.Active)
            continue;
        slot = {X, Y, Picture, true, static_cast<uint8_t>(Style), 0, Steps};
        s_.ActiveAnimations += 1;
        host_.setAnimatorRunning(true);
        return;
    }
    // All slots busy: the request is dropped.
}

void Game::ClearCellAnimations()
{
    for (TCellAnimation& slot : s_.CellAnimations) {
        if (!slot.Active)
            continue;
        eraseCell({slot.X, slot.Y});
        slot.Active = false;
    }
    s_.ActiveAnimations = 0;
    host_.setAnimatorRunning(false);
}

void Game::animationStep()
{
    if (s_.ActiveAnimations <= 0) {
        host_.setAnimatorRunning(false);
        return;
    }
    const int size = s_.CellSize;
    const int lo = size / 2;
    for (TCellAnimation& slot : s_.CellAnimations) {
        if (!slot.Active)
            continue;
        if (slot.Step > slot.Steps) {
            slot.Active = false;
            s_.ActiveAnimations -= 1;
            continue;
        }
        const TCellPos cell{slot.X, slot.Y};
        bool covered = false;
        for (int i = 1; i <= s_.SnakeLast && !covered; ++i)
            covered = s_.SnakeBody[static_cast<size_t>(i)] == cell;
        if (covered)
            continue;
        slot.Step += 1;
        if (!onField(cell))
            continue;  // a parked exit: its steps run, nothing is drawn
        const int g = (slot.Steps > 0 ? slot.Step * size / slot.Steps : 0) - 1;
        const int h = g / 2;
        const QPoint origin = canvas_.cellOrigin(slot.X, slot.Y);
        const int cx = origin.x() + lo;
        const int cy = origin.y() + lo;
        QRect frame;
        switch (slot.Style) {
        case 0:
            eraseCell(cell);
            frame = QRect(QPoint(cx - (lo - h), cy - (lo - h)), QPoint(cx + (lo - h), cy + (lo - h)));
            break;
        case 1: frame = QRect(QPoint(cx - h, cy - h), QPoint(cx + h, cy + h)); break;
        case 2: frame = QRect(QPoint(cx - lo, cy + lo - g), QPoint(cx + lo, cy + lo)); break;
        case 3: frame = QRect(QPoint(cx - lo, cy - lo), QPoint(cx + lo, cy - lo + g)); break;
        case 4: frame = QRect(QPoint(cx - lo, cy - lo), QPoint(cx - lo + g, cy + lo)); break;
        case 5: frame = QRect(QPoint(cx + lo - g, cy - lo), QPoint(cx + lo, cy + lo)); break;
        default: break;  // unknown styles run their steps and draw nothing
        }
        // QRect(QPoint, QPoint) includes its far corner; frames exclude right and bottom.
        frame.adjust(0, 0, -1, -1);
        // Frames stay inside their cell: the last frame of the edge styles is a pixel
        // taller or wider than the cell and would mark the neighbour.
        if (frame.width() > 0 && frame.height() > 0)
            canvas_.drawTileScaled(frame.intersected(canvas_.cellRect(slot.X, slot.Y)),
                                   slot.Picture);
    }
    flush();  // one screen update a step, of the animated cells only
    if (s_.ActiveAnimations <= 0)
        host_.setAnimatorRunning(false);
}

// ---------------------------------------------------------------------------------------
// Lives, exit and game flow

void Game::KillSnake()
{
    host_.setMushroomIndicator(false);
    s_.MushroomTicks = -1;
    s_.Lives -= 1;
    host_.setLabel(PanelLabel::Lives, countText(s_.Lives));
    // No life left, also when a level change took the last one mid-sequence.
    sound(s_.Lives <= 0 ? "GameOver" : "Death");
    host_.stopGameTimer();
    s_.ResumeOnKey = true;
    s_.DeathCountdown = s_.SnakeLast;
    host_.startSequenceTimer();
    s_.Seq = s_.Lives <= 0 ? Sequence::animDeath3 : Sequence::animDeath;
}

void Game::deathFrame()
{
    s_.DeathCountdown -= 1;
    const int D = s_.DeathCountdown;
    const int L = std::clamp(s_.SnakeLast, 2, kMaxSnakeLast);
    const int size = s_.CellSize;
    const int t = static_cast<int>((1.0 - static_cast<double>(D) / L) * 2 * L);
    for (int i = 0; i <= L; ++i) {
        const TCellPos c = s_.SnakeBody[static_cast<size_t>(i)];
        eraseCell(c);
        int half = i < t ? static_cast<int>(static_cast<double>(D) * size / (4.0 * L)) : size / 2;
        if (half < 0)
            half = 0;
        const int tileNumber = segmentTile(i);
        if (tileNumber < 0 || half == 0)
            continue;
        const int cx = static_cast<int>((c.X + 0.5) * size + s_.FieldLeft);
        const int cy = static_cast<int>((c.Y + 0.5) * size);
        canvas_.drawTileScaled(QRect(cx - half, cy - half, 2 * half, 2 * half), tileNumber);
    }
    flush();
    s_.ScrollCountdown = 25;
}

void Game::gameOverScroll()
{
    const QImage copy = canvas_.image().copy();
    s_.ScrollCountdown -= 1;
    canvas_.fill(qRgb(0, 0, 0));
    canvas_.drawImage(QPoint(0, static_cast<int>(roundHalfEven(canvas_.height() / 25.0))), copy);
    flush();
}

void Game::sequenceStep()
{
    if (s_.Seq == Sequence::animExit) {
        s_.ExitCountdown -= 2;
        s_.Score += s_.Level * 0.3;
        showScore();
        StepSnake();
        DrawSnake(s_.SnakeLast - s_.ExitCountdown + 2);
        if (s_.ExitCountdown < 0) {
            host_.stopSequenceTimer();
            const TCellPos old = s_.ExitPos;
            s_.ExitPos = {-1, -2};
            eraseCell(old);
            eraseCell({old.X + 1, old.Y});
            s_.Level += 1;
            showLevelLabel(host_.langText(39));
            host_.checkLevelItem(s_.Level);
            DrawField();
            BuildWalls();
            StartAttempt();
            DrawSnake(0);
        }
        flush();
    }
    const bool dying = s_.Seq == Sequence::animDeath || s_.Seq == Sequence::animDeath3;
    if (dying && s_.DeathCountdown >= 0)
        deathFrame();
    if (s_.Seq == Sequence::animDeath && s_.DeathCountdown < 0) {
        RestartAfterDelay(300);
        return;
    }
    if (s_.Seq == Sequence::animDeath3 && s_.DeathCountdown < 0) {
        if (s_.ScrollCountdown >= 0)
            gameOverScroll();
        if (s_.ScrollCountdown < 0) {
            canvas_.drawText(host_.langText(81).left(20), QStringLiteral("Arial"), 46, true);
            backToLevelZero();
            flush();
            ClearCellAnimations();
            s_.ExitPos = {-1, -2};
            // New or a level change during the wait has already finished this game.
            if (!RestartAfterDelay(800))
                return;
            finishGameOver();
        }
    }
}

bool Game::RestartAfterDelay(int ms)
{
    host_.stopSequenceTimer();
    const uint64_t ended = sequencesEnded_;
    waiting_ = true;
    host_.waitMs(ms);
    waiting_ = false;
    if (host_.closing() || ended != sequencesEnded_)
        return false;
    DrawBackground();
    DrawField();
    BuildWalls();
    StartAttempt();
    DrawSnake(0);
    flush();
    return true;
}

void Game::finishGameOver()
{
    host_.stopSequenceTimer();
    s_.Lives = 3;
    host_.setLabel(PanelLabel::Lives, countText(3));
    const int pending = static_cast<int>(roundHalfEven(s_.Score));
    if (pending > 0)
        host_.handOverScore(pending, true);
    if (host_.closing())
        return;
    s_.Score = 0;
    showScore();
    s_.EatenCount = 0;
    host_.setLabel(PanelLabel::Eaten, countText(0));
    s_.ExitPos = {-1, -2};
    s_.Seq = Sequence::None;
    flush();
}

void Game::endGameOverSequence()
{
    if (s_.Seq != Sequence::animDeath3)
        return;
    ++sequencesEnded_;
    backToLevelZero();
    ClearCellAnimations();
    finishGameOver();
}

void Game::backToLevelZero()
{
    s_.Level = 0;
    showLevelLabel(host_.langText(39));
    host_.checkLevelItem(0);
}

// A level change or New cuts the exit sequence short: left running, it would finish the
// old exit and add a level to the one just chosen. The death sequences keep running.
void Game::endExitSequence()
{
    if (s_.Seq != Sequence::animExit)
        return;
    host_.stopSequenceTimer();
    ++sequencesEnded_;
    s_.Seq = Sequence::None;
    s_.ExitCountdown = -1;
}

void Game::newGame()
{
    endExitSequence();
    endGameOverSequence();
    if (host_.closing())
        return;
    host_.stopGameTimer();
    s_.ResumeOnKey = true;
    const int pending = static_cast<int>(roundHalfEven(s_.Score));
    if (pending > 0)
        host_.handOverScore(pending, false);
    if (host_.closing())
        return;
    s_.ExitPos = {0, -2};
    s_.Level = 0;
    DrawField();
    BuildWalls();
    StartAttempt();
    DrawSnake(0);
    s_.Score = 0;
    showScore();
    s_.Lives = 3;
    host_.setLabel(PanelLabel::Lives, countText(3));
    s_.EatenCount = 0;
    host_.setLabel(PanelLabel::Eaten, countText(0));
    showLength();
    showLevelLabel(host_.langText(39));
    host_.checkLevelItem(0);
    flush();
}

void Game::togglePause()
{
    if (host_.sequenceTimerRunning() || waiting_)
        return;
    if (host_.gameTimerRunning()) {
        playerLeft();
        return;
    }
    host_.startGameTimer();
    s_.ResumeOnKey = false;
    begun_ = true;
    flush();
}

void Game::playerLeft()
{
    if (!host_.gameTimerRunning())
        return;
    host_.stopGameTimer();
    s_.ResumeOnKey = true;
    keptTurn_ = -1;
    flush();
}

void Game::scoreDoubleClicked()
{
    sound("NextLevel");
    host_.playPanelAnimation();
}

// ---------------------------------------------------------------------------------------
// Level changes

void Game::ShowLevel()
{
    endExitSequence();
    endGameOverSequence();
    if (host_.closing())
        return;
    // The new level waits for its first key like every attempt, also when chosen in play.
    host_.stopGameTimer();
    s_.ExitPos = {0, -2};
    DrawField();
    BuildWalls();
    StartAttempt();
    DrawSnake(0);
    flush();
}

void Game::changeLevel(int level)
{
    s_.Level = level;
    host_.checkLevelItem(s_.Level);
    ShowLevel();
    showLevelLabel(host_.langText(39));
}

void Game::chooseLevel(int tag)
{
    if (tag == 11) {
        changeLevel(s_.Level + 1);
        return;
    }
    endGameOverSequence();
    if (host_.closing())
        return;
    // A chosen level is played: even the last life lost here is an ordinary death.
    s_.Lives = std::max(s_.Lives, 2);
    KillSnake();
    s_.Lives = 3;
    host_.setLabel(PanelLabel::Lives, countText(3));
    s_.LevelPackFile.clear();
    changeLevel(tag);
}

void Game::nextLevel() { changeLevel(s_.Level + 1); }

void Game::previousLevel() { changeLevel(s_.Level - 1); }

void Game::OpenLevelPack(const QString& path)
{
    levelPack_.reset();  // opened again, it is read again
    s_.LevelPackFile = path;
    s_.Level = 0;
    showLevelLabel(host_.langText(39));
    host_.checkLevelItem(0);
    ShowLevel();
}

}  // namespace kestrum
