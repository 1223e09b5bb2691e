#include "Mixer.h"

#include <dlfcn.h>

#include <mutex>

namespace kestrum {

namespace {

template <typename F>
bool resolve(void* library, const char* name, F& function)
{
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

const Mixer* load()
{
    // The run-time names of the Debian packages libsdl2-2.0-0 and libsdl2-mixer-2.0-0.
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    void* mixerLibrary = sdl ? dlopen("libSDL2_mixer-2.0.so.0", RTLD_NOW | RTLD_GLOBAL) : nullptr;
    if (!mixerLibrary)
        return nullptr;
    static Mixer m;
    const bool ok =
        resolve(sdl, "SDL_WasInit", m.WasInit) && resolve(sdl, "SDL_InitSubSystem", m.InitSubSystem) &&
        resolve(sdl, "SDL_QuitSubSystem", m.QuitSubSystem) && resolve(sdl, "SDL_SetHint", m.SetHint) &&
        resolve(sdl, "SDL_RWFromConstMem", m.RWFromConstMem) &&
        resolve(mixerLibrary, "Mix_OpenAudio", m.OpenAudio) &&
        resolve(mixerLibrary, "Mix_CloseAudio", m.CloseAudio) &&
        resolve(mixerLibrary, "Mix_QuerySpec", m.QuerySpec) &&
        resolve(mixerLibrary, "Mix_AllocateChannels", m.AllocateChannels) &&
        resolve(mixerLibrary, "Mix_LoadWAV_RW", m.LoadWAV_RW) &&
        resolve(mixerLibrary, "Mix_FreeChunk", m.FreeChunk) &&
        resolve(mixerLibrary, "Mix_VolumeChunk", m.VolumeChunk) &&
        resolve(mixerLibrary, "Mix_PlayChannelTimed", m.PlayChannelTimed) &&
        resolve(mixerLibrary, "Mix_Playing", m.Playing) &&
        resolve(mixerLibrary, "Mix_GetChunk", m.GetChunk) &&
        resolve(mixerLibrary, "Mix_HaltChannel", m.HaltChannel) &&
        resolve(mixerLibrary, "Mix_SetPanning", m.SetPanning) &&
        resolve(mixerLibrary, "Mix_SetSoundFonts", m.SetSoundFonts) &&
        resolve(mixerLibrary, "Mix_LoadMUS", m.LoadMUS) &&
        resolve(mixerLibrary, "Mix_FreeMusic", m.FreeMusic) &&
        resolve(mixerLibrary, "Mix_PlayMusic", m.PlayMusic) &&
        resolve(mixerLibrary, "Mix_VolumeMusic", m.VolumeMusic) &&
        resolve(mixerLibrary, "Mix_PlayingMusic", m.PlayingMusic) &&
        resolve(mixerLibrary, "Mix_HaltMusic", m.HaltMusic) &&
        resolve(mixerLibrary, "Mix_RewindMusic", m.RewindMusic) &&
        resolve(mixerLibrary, "Mix_HookMusicFinished", m.HookMusicFinished) &&
        resolve(mixerLibrary, "Mix_ChannelFinished", m.ChannelFinished);
    return ok ? &m : nullptr;
}

}  // namespace

std::recursive_mutex& sdlLock()
{
    static std::recursive_mutex lock;
    return lock;
}

const Mixer* mixer()
{
    static const Mixer* loaded = load();
    return loaded;
}

}  // namespace kestrum
