#include "Bot.h"

#include <cstdlib>

namespace kestrum::test {

namespace {

TCellPos step(TCellPos c, uint8_t d)
{
    switch (d) {
    case dirUp: return {c.X, c.Y - 1};
    case dirDown: return {c.X, c.Y + 1};
    case dirLeft: return {c.X - 1, c.Y};
    default: return {c.X + 1, c.Y};
    }
}

}  // namespace

bool Bot::blocked(TCellPos c) const
{
    if (c.X <= 0 || c.Y <= 0 || c.X >= size_ - 1 || c.Y >= size_ - 1)
        return true;
    return grid_[static_cast<size_t>(c.Y * size_ + c.X)] != 0;
}

void Bot::markBlocked(const GameState& s)
{
    size_ = s.FieldSize;
    grid_.assign(static_cast<size_t>(size_ * size_), 0);
    const auto mark = [&](TCellPos c) {
        if (c.X >= 0 && c.Y >= 0 && c.X < size_ && c.Y < size_)
            grid_[static_cast<size_t>(c.Y * size_ + c.X)] = 1;
    };
    for (const TWall& w : s.Walls)
        mark({w.X, w.Y});
    for (int i = 0; i < s.SnakeLast; ++i)  // the tail's cell frees up as the snake moves
        mark(s.SnakeBody[static_cast<size_t>(i)]);
    if (s.Death.Present)
        mark(s.Death.Pos);
}

int Bot::openSpace(const GameState& s, TCellPos from, int limit)
{
    (void)s;
    if (blocked(from))
        return -1;
    std::vector<uint8_t> seen(grid_.size(), 0);
    std::vector<TCellPos> queue{from};
    seen[static_cast<size_t>(from.Y * size_ + from.X)] = 1;
    for (size_t q = 0; q < queue.size() && static_cast<int>(queue.size()) < limit; ++q)
        for (uint8_t d = 0; d < 4; ++d) {
            const TCellPos n = step(queue[q], d);
            if (blocked(n) || seen[static_cast<size_t>(n.Y * size_ + n.X)])
                continue;
            seen[static_cast<size_t>(n.Y * size_ + n.X)] = 1;
            queue.push_back(n);
        }
    return static_cast<int>(queue.size());
}

uint16_t Bot::choose(const GameState& s)
{
    const uint8_t keyFor[4] = {s.KeyUp, s.KeyDown, s.KeyLeft, s.KeyRight};
    if (random_.next(1000) < static_cast<int>(randomness_ * 1000)) {
        const uint16_t keys[] = {37, 38, 39, 40, 65, 0};
        return keys[random_.next(6)];
    }
    markBlocked(s);
    // The target: the exit when it is open, else the nearest food.
    TCellPos target = s.SnakeBody[0];
    int best = 1 << 30;
    if (s.ExitPos.Y > 0) {
        target = s.ExitPos;
        grid_[static_cast<size_t>(target.Y * size_ + target.X)] = 0;
    } else {
        for (int f = 0; f < s.FoodCount; ++f) {
            const TCellPos c = s.FoodList[static_cast<size_t>(f)];
            const int d = std::abs(c.X - s.SnakeBody[0].X) + std::abs(c.Y - s.SnakeBody[0].Y);
            if (d < best) {
                best = d;
                target = c;
            }
        }
    }
    const int room = std::max(s.SnakeLast + 2, 8);
    int chosen = -1;
    long long chosenScore = -(1LL << 40);
    for (uint8_t d = 0; d < 4; ++d) {
        const bool reverse = (d ^ 1) == s.Direction;  // up/down and left/right pair up
        if (reverse)
            continue;
        const TCellPos next = step(s.SnakeBody[0], d);
        const int space = openSpace(s, next, room);
        if (space < 0)
            continue;
        const int dist = std::abs(next.X - target.X) + std::abs(next.Y - target.Y);
        long long score = std::min(space, room) * 1000LL - dist * 10 + random_.next(5);
        if (d == s.Direction)
            score += 3;
        if (score > chosenScore) {
            chosenScore = score;
            chosen = d;
        }
    }
    if (chosen < 0 || chosen == s.Direction)
        return 0;
    return keyFor[chosen];
}

}  // namespace kestrum::test
