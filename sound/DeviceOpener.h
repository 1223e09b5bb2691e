// Opening the audio device off the event thread. Loading the sound libraries and asking a
// sound server (or finding that there is none) takes up to a fifth of a second, which the
// window must not wait for.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace kestrum {

class DeviceOpener : public QObject {
public:
    // open: holds the device once more and says whether it could (AudioDevice::acquire).
    explicit DeviceOpener(std::function<bool()> open = {}, std::function<void()> close = {});
    ~DeviceOpener() override;

    // Calls done(held) on this object's thread once the device has been tried, with one
    // opening held for the caller when held is true. Never calls it before returning;
    // requests made while a try runs wait for it and share its result (each its own
    // opening).
    void open(std::function<void(bool held)> done);
    bool busy() const { return worker_.joinable(); }

private:
    void finished(bool held);

    std::function<bool()> open_;
    std::function<void()> close_;
    std::thread worker_;
    std::vector<std::function<void(bool)>> waiting_;
    std::atomic<bool> alive_{true};
};

}  // namespace kestrum
