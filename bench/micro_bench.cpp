// Micro-benchmarks of the handlers and readers, with their budgets. Every handler must
// take a small share of the interval it runs at, on the largest field and the longest
// snake. `kestrum_bench --check-budgets` prints the table and fails when a figure is over.
#include "BenchSupport.h"

#include "levels/LevelPack.h"
#include "levels/Levels.h"
#include "render/PanelCartoon.h"
#include "settings/Language.h"
#include "sound/SoundEffects.h"

#include <QGuiApplication>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace kestrum::bench {
namespace {

// The two fields of the game tick: 46 cells of 22 pixels (the default skin on a
// 1080-pixel screen) and 130 cells of 16 pixels (a 2160-pixel screen).
struct FieldSetup {
    int width, height;
    const char* skin;
};
FieldSetup fieldFor(int cells)
{
    if (cells == 130)
        return {3738, 130 * 16, "desert"};
    return {1818, 46 * 22 + 4, "kestrum"};
}

void BM_Tick(benchmark::State& state)
{
    const int cells = static_cast<int>(state.range(0));
    const int segments = static_cast<int>(state.range(1));
    const FieldSetup f = fieldFor(cells);
    PathGame g(f.width, f.height, QString::fromLatin1(f.skin), segments);
    if (g.game->state().FieldSize != cells) {
        state.SkipWithError("unexpected field size");
        return;
    }
    for (auto _ : state) {
        g.tick(segments);
        g.game->canvas().takeDirty();
    }
    if (!g.alive())
        state.SkipWithError("the snake left its path");
}
BENCHMARK(BM_Tick)->ArgNames({"cells", "segments"})
    ->Args({46, 3})->Args({46, 250})->Args({46, 499})
    ->Args({130, 3})->Args({130, 250})->Args({130, 499});

// 24 animations at once, all styles, each started again when it ends.
void BM_AnimationStep(benchmark::State& state)
{
    const int active = static_cast<int>(state.range(0));
    const int cellSize = static_cast<int>(state.range(1));
    const char* skin = cellSize == 32 ? "night" : "kestrum";
    PathGame g(1818, 1026, QString::fromLatin1(skin), 3);
    Game& game = *g.game;
    GameState& s = game.state();
    const auto refill = [&] {
        for (int i = 0; i < active; ++i) {
            TCellAnimation& a = s.CellAnimations[static_cast<size_t>(i)];
            if (!a.Active) {
                a = {2 + (i % 6) * 3, 2 + (i / 6) * 3, tile::Food + i % 5, true,
                     static_cast<uint8_t>(i % 6), 0, 10 + i % 6};
                s.ActiveAnimations += 1;
            }
        }
    };
    for (auto _ : state) {
        refill();
        game.animationStep();
    }
    state.counters["slots"] = active;
}
BENCHMARK(BM_AnimationStep)->ArgNames({"slots", "cell"})->Args({24, 22})->Args({24, 32});

// The death sequence of the longest snake: every segment shrinks each frame.
void BM_SequenceStep_death(benchmark::State& state)
{
    const int cells = static_cast<int>(state.range(0));
    const int segments = static_cast<int>(state.range(1));
    const FieldSetup f = fieldFor(cells);
    PathGame g(f.width, f.height, QString::fromLatin1(f.skin), segments);
    GameState& s = g.game->state();
    s.Lives = 1000;
    g.game->KillSnake();
    for (auto _ : state) {
        if (s.DeathCountdown <= 0)
            s.DeathCountdown = s.SnakeLast;  // frames only, never the restart
        g.game->sequenceStep();
    }
    if (s.Seq != Sequence::animDeath)
        state.SkipWithError("the death sequence ended");
}
BENCHMARK(BM_SequenceStep_death)->ArgNames({"cells", "segments"})->Args({46, 499})->Args({130, 499});

// The whole field build of a 3840 x 2160 screen: background, floor, border, walls and
// the attempt start, with the default skin.
void BM_BuildField(benchmark::State& state)
{
    NullHost host;
    host.background = QImage(dataPath(QStringLiteral("Skins/Fone.bmp")));
    SeededRandom random(7);
    Game game(host, random);
    // The field image: the screen less the task bar, the menu bar and the side panel.
    game.canvas().resize(3840 - 102, 2160 - 29 - 26);
    const QImage strip = shippedSkin(QStringLiteral("kestrum"));
    for (auto _ : state) {
        game.BuildField(strip);
        game.canvas().takeDirty();
    }
    state.counters["cells"] = game.state().FieldSize;
}
BENCHMARK(BM_BuildField)->Name("BM_BuildField/3840x2160")->Unit(benchmark::kMillisecond);

void BM_BuildWalls(benchmark::State& state)
{
    const int level = static_cast<int>(state.range(0));
    const int cells = static_cast<int>(state.range(1));
    SeededRandom random(3);
    WallTable walls{};
    for (auto _ : state) {
        BuildWalls(walls, level, cells, nullptr, random, TCellPos{-1, -2});
        benchmark::DoNotOptimize(walls);
    }
}
BENCHMARK(BM_BuildWalls)->ArgNames({"level", "cells"})->ArgsProduct({
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 40, 80}, {46, 130}});

// A field where only five inner cells are free: 400 walls (the most a level pack fills), a
// snake of 500 and the rest food. The search draws at random until it falls back to
// listing the free cells.
void BM_FindFreeCell(benchmark::State& state)
{
    NullHost host;
    SeededRandom random(11);
    Game game(host, random);
    const int N = 39;  // 37 x 37 = 1369 inner cells
    game.canvas().resize(N * 8 + 20, N * 8);
    game.BuildField(shippedSkin(QStringLiteral("kestrum")).scaled(31 * 9, 8));
    GameState& s = game.state();
    if (s.FieldSize != N) {
        state.SkipWithError("unexpected field size");
        return;
    }
    std::vector<TCellPos> inner;
    for (int y = 1; y <= N - 2; ++y)
        for (int x = 1; x <= N - 2; ++x)
            inner.push_back({x, y});
    size_t k = 0;
    for (int i = 0; i < kPackRecords; ++i) {
        TWall& w = s.Walls[static_cast<size_t>(i)];
        const TCellPos c = inner[k++];
        w.X = c.X;
        w.Y = c.Y;
    }
    s.SnakeLast = kMaxSnakeLast;
    for (int i = 0; i <= s.SnakeLast; ++i)
        s.SnakeBody[static_cast<size_t>(i)] = inner[k++];
    s.FoodCount = 0;
    while (k + 5 < inner.size() && s.FoodCount < kFoodCells)
        s.FoodList[static_cast<size_t>(s.FoodCount++)] = inner[k++];
    s.Death = {{0, 0}, false, -1};
    s.Drug = {{0, 0}, false, -1};
    s.ExitPos = {-1, -2};
    int found = 0;
    for (auto _ : state) {
        TCellPos c;
        found += game.FindFreeCell(false, c) ? 1 : 0;
        benchmark::DoNotOptimize(c);
    }
    if (found == 0 || inner.size() - k != 5)
        state.SkipWithError("the field is not set up with five free cells");
    state.counters["free"] = static_cast<double>(inner.size() - k);
}
BENCHMARK(BM_FindFreeCell)->Name("BM_FindFreeCell/5free");

// Every level of the shipped packs on the largest field.
void BM_LevelPackReader(benchmark::State& state)
{
    const QString pack = dataPath(state.range(0) == 0 ? QStringLiteral("levels/garden.lev")
                                                      : QStringLiteral("levels/fortress.lev"));
    WallTable walls{};
    int records = 0;
    for (auto _ : state) {
        for (int level = 0; level <= 10; ++level) {
            parkWalls(walls, 130);
            records += readPackLevel(pack, level, 130, walls, {}).records;
        }
    }
    if (records == 0)
        state.SkipWithError("the pack gave no walls");
}
BENCHMARK(BM_LevelPackReader)->ArgNames({"pack"})->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_LanguageLoader(benchmark::State& state)
{
    const QString file = dataPath(state.range(0) == 0 ? QStringLiteral("English.lng")
                                                      : QStringLiteral("Russian.lng"));
    for (auto _ : state) {
        LanguageTexts texts;
        QString error;
        if (!texts.load(file, &error)) {
            state.SkipWithError("the language file did not load");
            break;
        }
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(BM_LanguageLoader)->ArgNames({"file"})->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Start-up work: the side-panel cartoon's frames.
void BM_PanelCartoon(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(paintPanelCartoon());
}
BENCHMARK(BM_PanelCartoon)->Unit(benchmark::kMillisecond);

// The first clip after a silence: the wave list takes the device again, then plays.
// SDL's disk driver stands in for a sound card.
void BM_ClipAfterSilence(benchmark::State& state)
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", "/dev/null");
    SoundEffects list;
    QString error;
    if (!list.load(dataPath(QStringLiteral("Sounds.dxw")), &error) || !list.openDevice()) {
        state.SkipWithError("no wave list or no device");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        while (list.sounding(QStringLiteral("ShowApple")) > 0)
            QThread::msleep(5);
        list.sleepIfSilent();
        const bool slept = !list.awake();
        state.ResumeTiming();
        list.play(QStringLiteral("ShowApple"));
        if (!slept) {
            state.SkipWithError("the device did not go to sleep");
            break;
        }
    }
    list.closeDevice();
    qunsetenv("SDL_AUDIODRIVER");
}
BENCHMARK(BM_ClipAfterSilence)->Iterations(20)->Unit(benchmark::kMillisecond);

// --- Budgets --------------------------------------------------------------------------

struct Budget {
    const char* prefix;
    double seconds;
    const char* what;
};
// A tick at most 1 % of the fastest interval (20 ms), an animator step 1 % of its 10 ms,
// a death frame 5 % of the sequence's 50 ms, the largest field build under 100 ms.
constexpr Budget kBudgets[] = {
    {"BM_Tick/", 200e-6, "1 % of 20 ms"},
    {"BM_AnimationStep/", 100e-6, "1 % of 10 ms"},
    {"BM_SequenceStep_death/", 2.5e-3, "5 % of 50 ms"},
    {"BM_BuildField/3840x2160", 100e-3, "100 ms"},
    {"BM_ClipAfterSilence", 10e-3, "unnoticed"},
};

struct Figure {
    std::string name;
    double seconds;
    bool failed;
};

// The usual console table, and the figures kept for the budget check.
class BudgetReporter : public benchmark::ConsoleReporter {
public:
    std::vector<Figure> figures;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            figures.push_back({run.benchmark_name(), seconds, run.error_occurred});
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

std::string human(double seconds)
{
    char text[32];
    if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    return text;
}

int checkBudgets(const std::vector<Figure>& figures)
{
    int over = 0;
    std::printf("\n%-44s %12s %12s %-14s %s\n", "Benchmark", "Time", "Budget", "(of)", "Result");
    for (const Figure& f : figures) {
        const Budget* budget = nullptr;
        for (const Budget& b : kBudgets)
            if (f.name.rfind(b.prefix, 0) == 0)
                budget = &b;
        const char* result = "-";
        if (f.failed) {
            result = "ERROR";
            ++over;
        } else if (budget) {
            result = f.seconds <= budget->seconds ? "ok" : "OVER";
            over += f.seconds <= budget->seconds ? 0 : 1;
        }
        std::printf("%-44s %12s %12s %-14s %s\n", f.name.c_str(), human(f.seconds).c_str(),
                    budget ? human(budget->seconds).c_str() : "", budget ? budget->what : "", result);
    }
    for (const Budget& b : kBudgets) {
        bool seen = false;
        for (const Figure& f : figures)
            seen = seen || f.name.rfind(b.prefix, 0) == 0;
        if (!seen) {
            std::printf("%s: not measured\n", b.prefix);
            ++over;
        }
    }
    std::printf(over ? "\n%d figure(s) over budget or failed\n" : "\nEvery figure within its budget\n", over);
    return over ? 1 : 0;
}

}  // namespace
}  // namespace kestrum::bench

int main(int argc, char** argv)
{
    bool budgets = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check-budgets") == 0)
            budgets = true;
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(count, args.data());  // fonts for the game-over text
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;
    kestrum::bench::BudgetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    int failed = 0;
    for (const auto& f : reporter.figures)
        failed += f.failed ? 1 : 0;
    if (budgets)
        return kestrum::bench::checkBudgets(reporter.figures);
    return failed ? 1 : 0;
}
