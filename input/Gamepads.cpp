#include "Gamepads.h"

#include "sound/Mixer.h"

#include <QDir>
#include <QSocketNotifier>

#include <SDL.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace kestrum {

namespace {

struct PadLibrary {
    decltype(&::SDL_SetHint) SetHint;
    decltype(&::SDL_InitSubSystem) InitSubSystem;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem;
    decltype(&::SDL_PollEvent) PollEvent;
    decltype(&::SDL_GameControllerOpen) ControllerOpen;
    decltype(&::SDL_GameControllerClose) ControllerClose;
    decltype(&::SDL_GameControllerGetJoystick) ControllerJoystick;
    decltype(&::SDL_JoystickInstanceID) JoystickInstanceID;
    decltype(&::SDL_JoystickPath) JoystickPath;  // SDL 2.24 on; may be missing
    decltype(&::SDL_JoystickAttachVirtual) AttachVirtual;
    decltype(&::SDL_JoystickDetachVirtual) DetachVirtual;
    decltype(&::SDL_JoystickOpen) JoystickOpen;
    decltype(&::SDL_JoystickClose) JoystickClose;
    decltype(&::SDL_JoystickSetVirtualButton) SetVirtualButton;
    decltype(&::SDL_JoystickSetVirtualAxis) SetVirtualAxis;
};

const PadLibrary* padLibrary()
{
    static const PadLibrary* loaded = []() -> const PadLibrary* {
        void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
        if (!sdl)
            return nullptr;
        static PadLibrary l;
        const bool ok = resolveSymbol(sdl, "SDL_SetHint", l.SetHint) && resolveSymbol(sdl, "SDL_InitSubSystem", l.InitSubSystem) &&
                        resolveSymbol(sdl, "SDL_QuitSubSystem", l.QuitSubSystem) && resolveSymbol(sdl, "SDL_PollEvent", l.PollEvent) &&
                        resolveSymbol(sdl, "SDL_GameControllerOpen", l.ControllerOpen) &&
                        resolveSymbol(sdl, "SDL_GameControllerClose", l.ControllerClose) &&
                        resolveSymbol(sdl, "SDL_GameControllerGetJoystick", l.ControllerJoystick) &&
                        resolveSymbol(sdl, "SDL_JoystickInstanceID", l.JoystickInstanceID) &&
                        resolveSymbol(sdl, "SDL_JoystickAttachVirtual", l.AttachVirtual) &&
                        resolveSymbol(sdl, "SDL_JoystickDetachVirtual", l.DetachVirtual) &&
                        resolveSymbol(sdl, "SDL_JoystickOpen", l.JoystickOpen) && resolveSymbol(sdl, "SDL_JoystickClose", l.JoystickClose) &&
                        resolveSymbol(sdl, "SDL_JoystickSetVirtualButton", l.SetVirtualButton) &&
                        resolveSymbol(sdl, "SDL_JoystickSetVirtualAxis", l.SetVirtualAxis);
        resolveSymbol(sdl, "SDL_JoystickPath", l.JoystickPath);
        return ok ? &l : nullptr;
    }();
    return loaded;
}

const PadLibrary& pad() { return *padLibrary(); }

// Directions as the game's steering keys know them.
constexpr Gamepads::Press kStickPresses[] = {Gamepads::Press::Up, Gamepads::Press::Down, Gamepads::Press::Left,
                                             Gamepads::Press::Right};

}  // namespace

struct Gamepads::Pad {
    SDL_GameController* controller = nullptr;
    int instanceId = -1;
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    int x = 0, y = 0;
    int stickPress = -1;  // the direction the stick last steered, until it comes back
    bool stickMoved = false;
    ~Pad()
    {
        notifier.reset();
        if (fd >= 0)
            ::close(fd);
        if (controller)
            pad().ControllerClose(controller);
    }
};

Gamepads::Gamepads(QObject* parent) : QObject(parent)
{
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, [this] {
        pump();
        settle();
    });
    blindPads_.setInterval(16);
    connect(&blindPads_, &QTimer::timeout, this, &Gamepads::pump);
    connect(&folder_, &QFileSystemWatcher::directoryChanged, this, [this] {
        pump();
        settleSteps_ = 0;
        settle();
    });
}

Gamepads::~Gamepads()
{
    pads_.clear();
    if (started_) {
        const std::lock_guard lock(sdlLock());
        pad().QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
}

bool Gamepads::start()
{
    if (started_)
        return true;
    if (!padLibrary())
        return false;
    {
        const std::lock_guard lock(sdlLock());
        // SDL would turn SIGINT and SIGTERM into quit events nobody reads.
        pad().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (pad().InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
            return false;
    }
    started_ = true;
    if (QDir(QStringLiteral("/dev/input")).exists())
        folder_.addPath(QStringLiteral("/dev/input"));
    pump();  // the pads plugged in already
    return true;
}

void Gamepads::settle()
{
    static constexpr int kSteps[] = {150, 500, 1500};
    if (settleSteps_ >= static_cast<int>(std::size(kSteps)))
        return;
    settle_.start(kSteps[settleSteps_++]);
}

Gamepads::Pad* Gamepads::find(int instanceId)
{
    for (auto& p : pads_)
        if (p->instanceId == instanceId)
            return p.get();
    return nullptr;
}

void Gamepads::open(int deviceIndex)
{
    SDL_GameController* controller = pad().ControllerOpen(deviceIndex);
    if (!controller)
        return;
    SDL_Joystick* joystick = pad().ControllerJoystick(controller);
    const int id = pad().JoystickInstanceID(joystick);
    if (find(id)) {
        pad().ControllerClose(controller);  // one reference is enough
        return;
    }
    auto p = std::make_unique<Pad>();
    p->controller = controller;
    p->instanceId = id;
    watchDevice(*p, pad().JoystickPath ? pad().JoystickPath(joystick) : nullptr);
    pads_.push_back(std::move(p));
    emit padsChanged(count());
}

// The pad's event device, opened a second time only to be woken by it: SDL reads the
// events from its own handle, this one is emptied and thrown away.
void Gamepads::watchDevice(Pad& p, const char* path)
{
    if (path && *path)
        p.fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (p.fd < 0)
        return;
    p.notifier = std::make_unique<QSocketNotifier>(p.fd, QSocketNotifier::Read);
    Pad* raw = &p;
    connect(p.notifier.get(), &QSocketNotifier::activated, this, [this, raw] {
        char buffer[1024];
        ssize_t n = 0;
        while ((n = ::read(raw->fd, buffer, sizeof buffer)) > 0) {
        }
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            raw->notifier->setEnabled(false);  // unplugged: SDL reports it, pump() lets it go
        pump();
    });
}

void Gamepads::close(int instanceId)
{
    const auto at = std::find_if(pads_.begin(), pads_.end(), [&](const auto& p) { return p->instanceId == instanceId; });
    if (at == pads_.end())
        return;
    pads_.erase(at);
    emit padsChanged(count());
}

// The stick is judged once both of its axes of a reading are in: SDL tells them one by one.
void Gamepads::stick(Pad& p)
{
    const int ax = std::abs(p.x), ay = std::abs(p.y);
    if (ax < kStickRest && ay < kStickRest) {
        p.stickPress = -1;
        return;
    }
    if (std::max(ax, ay) < kStickPress)
        return;
    const int direction = ay >= ax ? (p.y < 0 ? 0 : 1) : (p.x < 0 ? 2 : 3);
    if (direction == p.stickPress)
        return;
    p.stickPress = direction;
    emit pressed(kStickPresses[direction]);
}

void Gamepads::pump()
{
    if (!started_)
        return;
    SDL_Event e;
    while (pad().PollEvent(&e)) {
        switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
            open(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            close(e.cdevice.which);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
            if (!find(e.cbutton.which))
                break;
            switch (e.cbutton.button) {
            case SDL_CONTROLLER_BUTTON_DPAD_UP: emit pressed(Press::Up); break;
            case SDL_CONTROLLER_BUTTON_DPAD_DOWN: emit pressed(Press::Down); break;
            case SDL_CONTROLLER_BUTTON_DPAD_LEFT: emit pressed(Press::Left); break;
            case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: emit pressed(Press::Right); break;
            case SDL_CONTROLLER_BUTTON_START: emit pressed(Press::Start); break;
            case SDL_CONTROLLER_BUTTON_A: emit pressed(Press::South); break;
            default: break;
            }
            break;
        case SDL_CONTROLLERAXISMOTION:
            if (Pad* p = find(e.caxis.which);
                p && (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)) {
                (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ? p->x : p->y) = e.caxis.value;
                p->stickMoved = true;
            }
            break;
        default:
            break;
        }
    }
    for (auto& p : pads_)
        if (std::exchange(p->stickMoved, false))
            stick(*p);
    const bool blind = std::any_of(pads_.begin(), pads_.end(), [](const auto& p) { return !p->notifier; });
    if (blind && !blindPads_.isActive())
        blindPads_.start();
    else if (!blind)
        blindPads_.stop();
}

int Gamepads::attachVirtualPad()
{
    if (!padLibrary())
        return -1;
    return pad().AttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                               SDL_CONTROLLER_BUTTON_MAX, 0);
}

namespace {
// The virtual pads' joysticks, each opened for as long as it is attached.
SDL_Joystick* openedVirtual[8] = {};

SDL_Joystick* virtualJoystick(int index)
{
    if (index < 0 || index >= 8 || !padLibrary())
        return nullptr;
    if (!openedVirtual[index])
        openedVirtual[index] = pad().JoystickOpen(index);
    return openedVirtual[index];
}
}  // namespace

void Gamepads::setVirtualButton(int index, int button, bool down)
{
    if (SDL_Joystick* j = virtualJoystick(index))
        pad().SetVirtualButton(j, button, down ? 1 : 0);
}

void Gamepads::setVirtualAxis(int index, int axis, int value)
{
    if (SDL_Joystick* j = virtualJoystick(index))
        pad().SetVirtualAxis(j, axis, static_cast<Sint16>(std::clamp(value, -32768, 32767)));
}

void Gamepads::detachVirtualPad(int index)
{
    if (index < 0 || index >= 8 || !padLibrary())
        return;
    if (openedVirtual[index])
        pad().JoystickClose(std::exchange(openedVirtual[index], nullptr));
    pad().DetachVirtual(index);
}

}  // namespace kestrum
