#include "platform/audio.h"

#include "platform/sdlmixer.h"

namespace platform {

namespace {

enum class State { Closed, Open, Failed };
State state = State::Closed;

constexpr int BufferFrames = 512;

} // namespace

bool openAudio() {
    if (state == State::Open) return true;
    if (state == State::Failed) return false;

    const sdl::Api* const sdl = sdl::api();
    if (sdl == nullptr) {
        state = State::Failed;
        return false;
    }
    // The window system owns the process's signals, not SDL.
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) {
        state = State::Failed;
        return false;
    }
    if (sdl->OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, BufferFrames) != 0) {
        sdl->QuitSubSystem(SDL_INIT_AUDIO);
        state = State::Failed;
        return false;
    }
    sdl->Init(MIX_INIT_MID);  // a missing MIDI synthesizer only silences the music
    sdl->AllocateChannels(1); // every effect shares channel 0
    state = State::Open;
    return true;
}

void closeAudio() {
    if (state == State::Open) {
        detail::releaseWave();
        detail::releaseMusic();
        const sdl::Api* const sdl = sdl::api();
        sdl->CloseAudio();
        sdl->Quit();
        sdl->QuitSubSystem(SDL_INIT_AUDIO);
    }
    state = State::Closed;
}

} // namespace platform
