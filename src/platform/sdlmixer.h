#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform::sdl {

// SDL and SDL_mixer, loaded when the sound device is first opened: linked in, they would load
// their many codec libraries before the title window could show.
struct Api {
    decltype(&::SDL_SetHint) SetHint;
    decltype(&::SDL_InitSubSystem) InitSubSystem;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem;
    decltype(&::SDL_RWFromConstMem) RWFromConstMem;
    decltype(&::SDL_GetError) GetError;
    decltype(&::Mix_OpenAudio) OpenAudio;
    decltype(&::Mix_CloseAudio) CloseAudio;
    decltype(&::Mix_Init) Init;
    decltype(&::Mix_Quit) Quit;
    decltype(&::Mix_AllocateChannels) AllocateChannels;
    decltype(&::Mix_LoadWAV_RW) LoadWAV_RW;
    decltype(&::Mix_PlayChannel) PlayChannel;
    decltype(&::Mix_HaltChannel) HaltChannel;
    decltype(&::Mix_FreeChunk) FreeChunk;
    decltype(&::Mix_LoadMUS) LoadMUS;
    decltype(&::Mix_PlayMusic) PlayMusic;
    decltype(&::Mix_HaltMusic) HaltMusic;
    decltype(&::Mix_FreeMusic) FreeMusic;
};

// Loads the libraries once; nullptr when they or any function cannot be had.
const Api* api();

} // namespace platform::sdl
