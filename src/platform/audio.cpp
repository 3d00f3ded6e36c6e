#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform {

namespace {

enum class State { Closed, Open, Failed };
State state = State::Closed;

constexpr int BufferFrames = 512;

} // namespace

bool openAudio() {
    if (state == State::Open) return true;
    if (state == State::Failed) return false;

    // The window system owns the process's signals, not SDL.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        state = State::Failed;
        return false;
    }
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, BufferFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        state = State::Failed;
        return false;
    }
    Mix_Init(MIX_INIT_MID);  // a missing MIDI synthesizer only silences the music
    Mix_AllocateChannels(1); // every effect shares channel 0
    state = State::Open;
    return true;
}

void closeAudio() {
    if (state == State::Open) {
        detail::releaseWave();
        detail::releaseMusic();
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    state = State::Closed;
}

} // namespace platform
