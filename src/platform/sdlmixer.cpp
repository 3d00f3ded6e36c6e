#include "platform/sdlmixer.h"

#include <dlfcn.h>

namespace platform::sdl {

namespace {

template <typename F> bool resolve(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

const Api* load() {
    static Api table{};
    // The mixer pulls in SDL itself; global symbols let both see one SDL.
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    void* mixer = sdl ? dlopen("libSDL2_mixer-2.0.so.0", RTLD_NOW | RTLD_GLOBAL) : nullptr;
    if (!mixer) return nullptr;
    const bool ok =
        resolve(sdl, "SDL_SetHint", table.SetHint) &&
        resolve(sdl, "SDL_InitSubSystem", table.InitSubSystem) &&
        resolve(sdl, "SDL_QuitSubSystem", table.QuitSubSystem) &&
        resolve(sdl, "SDL_RWFromConstMem", table.RWFromConstMem) &&
        resolve(sdl, "SDL_GetError", table.GetError) && resolve(mixer, "Mix_OpenAudio", table.OpenAudio) &&
        resolve(mixer, "Mix_CloseAudio", table.CloseAudio) && resolve(mixer, "Mix_Init", table.Init) &&
        resolve(mixer, "Mix_Quit", table.Quit) &&
        resolve(mixer, "Mix_AllocateChannels", table.AllocateChannels) &&
        resolve(mixer, "Mix_LoadWAV_RW", table.LoadWAV_RW) &&
        resolve(mixer, "Mix_PlayChannel", table.PlayChannel) &&
        resolve(mixer, "Mix_HaltChannel", table.HaltChannel) &&
        resolve(mixer, "Mix_FreeChunk", table.FreeChunk) && resolve(mixer, "Mix_LoadMUS", table.LoadMUS) &&
        resolve(mixer, "Mix_PlayMusic", table.PlayMusic) &&
        resolve(mixer, "Mix_HaltMusic", table.HaltMusic) && resolve(mixer, "Mix_FreeMusic", table.FreeMusic);
    return ok ? &table : nullptr;
}

} // namespace

const Api* api() {
    static const Api* const table = load();
    return table;
}

} // namespace platform::sdl
