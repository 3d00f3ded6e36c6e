#include "platform/waveplayer.h"

#include "platform/audio.h"

#include "platform/sdlmixer.h"

#include <cstring>

namespace platform {

namespace {

std::unique_ptr<WaveOutput>& installedOutput() {
    static std::unique_ptr<WaveOutput> output;
    return output;
}

// The effect now on channel 0. Freed on this thread when the next one replaces it, never
// from Mix_ChannelFinished, which runs on the audio thread.
Mix_Chunk* current = nullptr;

std::uint32_t readLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool playOnDevice(const std::uint8_t* image, unsigned flags) {
    // Only in-memory images are played; a named file or system sound is not supported.
    if (image == nullptr || (flags & SND_MEMORY) == 0) return false;
    if (std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0) return false;
    const std::uint32_t riffSize = readLE32(image + 4);
    if (riffSize > 0x7FFFFFF0u) return false;
    if (!openAudio()) return false;

    const sdl::Api* const sdl = sdl::api();
    SDL_RWops* source = sdl->RWFromConstMem(image, static_cast<int>(riffSize + 8));
    if (source == nullptr) return false;
    Mix_Chunk* chunk = sdl->LoadWAV_RW(source, 1);
    if (chunk == nullptr) return false;
    // Playing on the busy channel cuts off the earlier effect under the mixer's lock; after
    // that the audio thread no longer reads it and it can be freed here.
    if (sdl->PlayChannel(0, chunk, 0) < 0) {
        sdl->FreeChunk(chunk);
        return false;
    }
    if (current != nullptr) sdl->FreeChunk(current);
    current = chunk;
    return true;
}

} // namespace

bool sndPlaySoundA(const std::uint8_t* image, unsigned flags) {
    if (installedOutput()) return installedOutput()->play(image, flags);
    return playOnDevice(image, flags);
}

void setWaveOutput(std::unique_ptr<WaveOutput> output) {
    installedOutput() = std::move(output);
}

namespace detail {

void releaseWave() {
    if (current == nullptr) return;
    sdl::api()->HaltChannel(0);
    sdl::api()->FreeChunk(current);
    current = nullptr;
}

} // namespace detail

} // namespace platform
