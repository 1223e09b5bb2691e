// Measuring aids of bench/program_bench.sh, switched on by KESTRUM_TRACE_START: the moments
// the window is first mapped and its field first drawn, and a count of the field's frames,
// written to standard error. The game and the bare reference window share them, so both
// are measured the same way.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace kestrum::trace {

inline bool enabled() { return qEnvironmentVariableIsSet("KESTRUM_TRACE_START"); }

// "kestrum: WHAT NANOSECONDS", wall-clock.
inline void moment(const char* what)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch()).count();
    std::fprintf(stderr, "kestrum: %s %lld\n", what, static_cast<long long>(ns));
}

// Installed on the application: the first exposed window is the mapping, the first paint
// of the widget named `field` is the first drawn field.
class StartupTrace : public QObject {
public:
    explicit StartupTrace(const char* field) : field_(QLatin1String(field)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!mapped_ && event->type() == QEvent::Expose && qobject_cast<QWindow*>(watched) &&
            static_cast<QWindow*>(watched)->isExposed()) {
            mapped_ = true;
            moment("mapped");
        }
        if (!drawn_ && event->type() == QEvent::Paint && watched->objectName() == field_) {
            drawn_ = true;
            // After this paint the backing store is flushed to the screen.
            QTimer::singleShot(0, this, [this] {
                moment("field drawn");
                QCoreApplication::instance()->removeEventFilter(this);
            });
        }
        return false;
    }

private:
    QString field_;
    bool mapped_ = false;
    bool drawn_ = false;
};

// Installed on the field widget: counts its paints, one a frame shown. SIGUSR1 writes
// "kestrum: frames COUNT".
class FrameCounter : public QObject {
public:
    void watch(QObject* field)
    {
        field->installEventFilter(this);
        std::signal(SIGUSR1, &FrameCounter::report);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            frames().fetch_add(1, std::memory_order_relaxed);
        return false;
    }

private:
    static std::atomic<long>& frames()
    {
        static std::atomic<long> count{0};
        return count;
    }
    // Only what a signal handler may do: digits by hand and one write.
    static void report(int)
    {
        char text[48] = "kestrum: frames ";
        char digits[24];
        int n = 0;
        long v = frames().load(std::memory_order_relaxed);
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v > 0 && n < 20);
        int len = 16;
        while (n > 0)
            text[len++] = digits[--n];
        text[len++] = '\n';
        [[maybe_unused]] const auto written = ::write(2, text, static_cast<size_t>(len));
    }
};

}  // namespace kestrum::trace
