// The game timer in the real window: 500 ticks at 20 ms and at 50 ms, the snake kept
// alive on a closed path. Reports the mean interval and the 99th percentile of the
// deviation from the setting; with --check-budgets fails when the mean is more than 1 %
// off or that percentile reaches 2 ms.
#include "BenchSupport.h"

#include "app/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Result {
    int interval;
    double mean;
    double p99;
};

Result summary(int interval, const std::vector<std::chrono::steady_clock::time_point>& stamps);

Result measure(kestrum::MainWindow& window, int interval, int ticks)
{
    using Clock = std::chrono::steady_clock;
    kestrum::Game& game = window.game();
    window.gameTimer().stop();
    window.gameTimer().setInterval(interval);
    game.state().Score = 0;  // no score to hand to the hall of fame
    game.newGame();          // a new game at this speed
    kestrum::GameState& s = game.state();
    // Nothing that ends the attempt, and no mushroom with its warning dialog.
    kestrum::bench::neverEnd(s);
    s.Drug = {{0, 0}, false, -1};

    std::vector<Clock::time_point> stamps;
    stamps.reserve(static_cast<size_t>(ticks) + 1);
    QEventLoop loop;
    // Connected after the window's own handler, so it runs right after each tick.
    const auto connection = QObject::connect(&window.gameTimer(), &QTimer::timeout, [&] {
        stamps.push_back(Clock::now());
        kestrum::bench::steerOnPath(game, 3);
        if (static_cast<int>(stamps.size()) > ticks || s.Seq != kestrum::Sequence::None)
            loop.quit();
    });
    kestrum::bench::startOnPath(game);
    loop.exec();
    QObject::disconnect(connection);
    window.gameTimer().stop();
    if (static_cast<int>(stamps.size()) <= ticks) {
        std::fprintf(stderr, "the snake left its path after %zu ticks\n", stamps.size());
        return {interval, NAN, NAN};
    }
    return summary(interval, stamps);
}

// A bare precise timer at the same interval, in the same process and the same minutes:
// the jitter the machine itself brings.
Result measureBare(int interval, int ticks)
{
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> stamps;
    stamps.reserve(static_cast<size_t>(ticks) + 1);
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(interval);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        stamps.push_back(Clock::now());
        if (static_cast<int>(stamps.size()) > ticks)
            loop.quit();
    });
    timer.start();
    loop.exec();
    return summary(interval, stamps);
}

Result summary(int interval, const std::vector<std::chrono::steady_clock::time_point>& stamps)
{
    std::vector<double> deviation;
    double sum = 0;
    for (size_t i = 1; i < stamps.size(); ++i) {
        const double ms = std::chrono::duration<double, std::milli>(stamps[i] - stamps[i - 1]).count();
        sum += ms;
        deviation.push_back(std::fabs(ms - interval));
    }
    std::sort(deviation.begin(), deviation.end());
    const size_t at = std::min(deviation.size() - 1, static_cast<size_t>(std::ceil(0.99 * deviation.size())) - 1);
    return {interval, sum / static_cast<double>(deviation.size()), deviation[at]};
}

}  // namespace

int main(int argc, char** argv)
{
    const bool budgets = argc > 1 && std::strcmp(argv[1], "--check-budgets") == 0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // The program's files, linked into a folder of our own; the settings stay there too.
    QTemporaryDir home;
    const QDir data(QStringLiteral(KESTRUM_DATA_DIR));
    for (const QString& name : data.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        QFile::link(data.filePath(name), home.filePath(name));
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    QDir::setCurrent(home.path());

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    kestrum::MainWindow window(nullptr, [](const QString& text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
    window.show();
    QApplication::processEvents();

    const int ticks = 500;
    std::printf("%-10s %8s %14s %16s %20s %s\n", "Interval", "Ticks", "Mean interval", "p99 deviation",
                "bare timer's p99", "Result");
    int over = 0;
    for (const int interval : {20, 50}) {
        const Result r = measure(window, interval, ticks);
        const Result bare = measureBare(interval, ticks);
        const bool ok = std::fabs(r.mean - interval) <= 0.01 * interval && r.p99 < std::max(2.0, bare.p99 + 1.0);
        over += ok ? 0 : 1;
        std::printf("%7d ms %8d %11.3f ms %13.3f ms %17.3f ms %s\n", interval, ticks, r.mean, r.p99, bare.p99,
                    ok ? "ok" : "OVER");
    }
    std::printf("Budget: mean within 1 %% of the interval; p99 deviation under 2 ms, or under 1 ms more "
                "than a bare timer's where the machine itself jitters more\n");
    return budgets && over ? 1 : 0;
}
