// The signals that ask a program to end (SIGTERM, SIGINT, SIGHUP: a logout, Ctrl+C in its
// terminal, a closed terminal), turned into a call on the event thread: the game ends as
// after Exit, once what the player just earned is kept.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace kestrum {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    // `quit` runs on the event thread, once, when the first of the signals arrives.
    explicit QuitSignals(std::function<void()> quit, QObject* parent = nullptr);
    ~QuitSignals() override;

private:
    std::function<void()> quit_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kestrum
