// Game pads through SDL2's game controller interface: the D-pad and the left stick steer,
// Start pauses and resumes, the south button starts a waiting snake. Nothing polls: a pad's
// own device wakes the event loop when it has news, and the input folder's changes tell of
// pads plugged in or out. Without a pad the game pays nothing but the library's loading.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class QSocketNotifier;

namespace kestrum {

class Gamepads : public QObject {
    Q_OBJECT
public:
    enum class Press { Up, Down, Left, Right, Start, South };
    Q_ENUM(Press)

    explicit Gamepads(QObject* parent = nullptr);
    ~Gamepads() override;

    // Loads SDL, takes the pads that are plugged in and watches for others; false when
    // SDL cannot be loaded or started (the game then plays from the keyboard only).
    bool start();
    bool started() const { return started_; }
    // Reads what the pads did and tells each press once.
    void pump();
    int count() const { return static_cast<int>(pads_.size()); }

    // A stick must lean this far (of 32767) along one axis to steer, and come back inside
    // kStickRest before it steers the same way again.
    static constexpr int kStickPress = 16000;
    static constexpr int kStickRest = 8000;

    // SDL's virtual game pad, for tests: attached, set, detached; index or -1.
    static int attachVirtualPad();
    static void setVirtualButton(int index, int button, bool down);
    static void setVirtualAxis(int index, int axis, int value);
    static void detachVirtualPad(int index);

signals:
    void pressed(kestrum::Gamepads::Press press);
    void padsChanged(int count);

private:
    struct Pad;
    void open(int deviceIndex);
    void close(int instanceId);
    Pad* find(int instanceId);
    void stick(Pad& pad);
    void watchDevice(Pad& pad, const char* path);
    // After the input folder changes the system may take a moment to let the new device
    // be read: the pads are looked at again a few times, then no more.
    void settle();

    bool started_ = false;
    std::vector<std::unique_ptr<Pad>> pads_;
    QFileSystemWatcher folder_;
    QTimer settle_;
    int settleSteps_ = 0;
    // Where SDL cannot say which device a pad is, it is read on a timer, and only then.
    QTimer blindPads_;
};

}  // namespace kestrum
