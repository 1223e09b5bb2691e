#include "Mixer.h"

#include <dlfcn.h>

#include <mutex>

namespace kestrum {

namespace {

const Mixer* load()
{
    // The run-time names of the Debian packages libsdl2-2.0-0 and libsdl2-mixer-2.0-0.
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    void* mixerLibrary = sdl ? dlopen("libSDL2_mixer-2.0.so.0", RTLD_NOW | RTLD_GLOBAL) : nullptr;
    if (!mixerLibrary)
        return nullptr;
    static Mixer m;
    const bool ok =
        resolveSymbol(sdl, "SDL_WasInit", m.WasInit) && resolveSymbol(sdl, "SDL_InitSubSystem", m.InitSubSystem) &&
        resolveSymbol(sdl, "SDL_QuitSubSystem", m.QuitSubSystem) && resolveSymbol(sdl, "SDL_SetHint", m.SetHint) &&
        resolveSymbol(sdl, "SDL_RWFromConstMem", m.RWFromConstMem) &&
        resolveSymbol(mixerLibrary, "Mix_OpenAudio", m.OpenAudio) &&
        resolveSymbol(mixerLibrary, "Mix_CloseAudio", m.CloseAudio) &&
        resolveSymbol(mixerLibrary, "Mix_QuerySpec", m.QuerySpec) &&
        resolveSymbol(mixerLibrary, "Mix_AllocateChannels", m.AllocateChannels) &&
        resolveSymbol(mixerLibrary, "Mix_LoadWAV_RW", m.LoadWAV_RW) &&
        resolveSymbol(mixerLibrary, "Mix_FreeChunk", m.FreeChunk) &&
        resolveSymbol(mixerLibrary, "Mix_VolumeChunk", m.VolumeChunk) &&
        resolveSymbol(mixerLibrary, "Mix_PlayChannelTimed", m.PlayChannelTimed) &&
        resolveSymbol(mixerLibrary, "Mix_Playing", m.Playing) &&
        resolveSymbol(mixerLibrary, "Mix_GetChunk", m.GetChunk) &&
        resolveSymbol(mixerLibrary, "Mix_HaltChannel", m.HaltChannel) &&
        resolveSymbol(mixerLibrary, "Mix_SetPanning", m.SetPanning) &&
        resolveSymbol(mixerLibrary, "Mix_SetSoundFonts", m.SetSoundFonts) &&
        resolveSymbol(mixerLibrary, "Mix_LoadMUS", m.LoadMUS) &&
        resolveSymbol(mixerLibrary, "Mix_FreeMusic", m.FreeMusic) &&
        resolveSymbol(mixerLibrary, "Mix_PlayMusic", m.PlayMusic) &&
        resolveSymbol(mixerLibrary, "Mix_VolumeMusic", m.VolumeMusic) &&
        resolveSymbol(mixerLibrary, "Mix_PlayingMusic", m.PlayingMusic) &&
        resolveSymbol(mixerLibrary, "Mix_HaltMusic", m.HaltMusic) &&
        resolveSymbol(mixerLibrary, "Mix_RewindMusic", m.RewindMusic) &&
        resolveSymbol(mixerLibrary, "Mix_HookMusicFinished", m.HookMusicFinished) &&
        resolveSymbol(mixerLibrary, "Mix_ChannelFinished", m.ChannelFinished);
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
