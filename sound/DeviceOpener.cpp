#include "DeviceOpener.h"

#include "SoundEffects.h"

#include <QMetaObject>

namespace kestrum {

DeviceOpener::DeviceOpener(std::function<bool()> open, std::function<void()> close)
    : open_(open ? std::move(open) : [] { return AudioDevice::acquire(); }),
      close_(close ? std::move(close) : [] { AudioDevice::release(); })
{
}

DeviceOpener::~DeviceOpener()
{
    alive_ = false;
    if (worker_.joinable())
        worker_.join();
}

void DeviceOpener::open(std::function<void(bool held)> done)
{
    waiting_.push_back(std::move(done));
    if (worker_.joinable())
        return;  // the try under way answers this request too
    worker_ = std::thread([this] {
        const bool held = open_();
        // Delivered on the owner's thread; a window already gone gives the opening back
        // (the destructor waits for this thread, so `this` is still there to ask).
        if (!alive_) {
            if (held)
                close_();
            return;
        }
        QMetaObject::invokeMethod(this, [this, held] { finished(held); }, Qt::QueuedConnection);
    });
}

void DeviceOpener::finished(bool held)
{
    worker_.join();
    std::vector<std::function<void(bool)>> waiting;
    waiting.swap(waiting_);
    // The first request has the worker's opening; each further one its own, taken before
    // any answer can give the first back (quick while the device is open).
    std::vector<bool> answers(waiting.size(), false);
    for (size_t i = 0; i < waiting.size(); ++i)
        answers[i] = held && (i == 0 || open_());
    for (size_t i = 0; i < waiting.size(); ++i)
        waiting[i](answers[i]);
}

}  // namespace kestrum
