// SDL2 and SDL2_mixer, loaded the first time the sound or the music is switched on. With
// both off (as a new player starts) the game never loads them or the sixty libraries of
// codecs and synthesisers they bring, and comes up that much sooner.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <dlfcn.h>

#include <mutex>

namespace kestrum {

struct Mixer {
    decltype(&::SDL_WasInit) WasInit;
    decltype(&::SDL_InitSubSystem) InitSubSystem;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem;
    decltype(&::SDL_SetHint) SetHint;
    decltype(&::SDL_RWFromConstMem) RWFromConstMem;
    decltype(&::Mix_OpenAudio) OpenAudio;
    decltype(&::Mix_CloseAudio) CloseAudio;
    decltype(&::Mix_QuerySpec) QuerySpec;
    decltype(&::Mix_AllocateChannels) AllocateChannels;
    decltype(&::Mix_LoadWAV_RW) LoadWAV_RW;
    decltype(&::Mix_FreeChunk) FreeChunk;
    decltype(&::Mix_VolumeChunk) VolumeChunk;
    decltype(&::Mix_PlayChannelTimed) PlayChannelTimed;
    decltype(&::Mix_Playing) Playing;
    decltype(&::Mix_GetChunk) GetChunk;
    decltype(&::Mix_HaltChannel) HaltChannel;
    decltype(&::Mix_SetPanning) SetPanning;
    decltype(&::Mix_SetSoundFonts) SetSoundFonts;
    decltype(&::Mix_LoadMUS) LoadMUS;
    decltype(&::Mix_FreeMusic) FreeMusic;
    decltype(&::Mix_PlayMusic) PlayMusic;
    decltype(&::Mix_VolumeMusic) VolumeMusic;
    decltype(&::Mix_PlayingMusic) PlayingMusic;
    decltype(&::Mix_HaltMusic) HaltMusic;
    decltype(&::Mix_RewindMusic) RewindMusic;
    decltype(&::Mix_HookMusicFinished) HookMusicFinished;
    decltype(&::Mix_ChannelFinished) ChannelFinished;
};

// Looks a function of a library opened with dlopen up by its name.
template <typename F>
bool resolveSymbol(void* library, const char* name, F& function)
{
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

// The functions, loaded on the first call; nullptr when the libraries cannot be loaded,
// and the game stays silent. Everything but AudioDevice::acquire runs on an open device
// and so after a successful load.
const Mixer* mixer();
// SDL's subsystems are started and stopped from more than one thread (the sound device is
// opened on a worker, the pads on the window's): every start and stop holds this.
std::recursive_mutex& sdlLock();
inline const Mixer& mix() { return *mixer(); }

}  // namespace kestrum
