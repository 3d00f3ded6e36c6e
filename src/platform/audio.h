#pragma once

namespace platform {

// Opens the sound device shared by the wave player and the music: stereo, a buffer of 512
// frames so an effect starts within a few milliseconds. Idempotent; false when no device can
// be had. A failure is remembered, so later calls cost nothing, until closeAudio().
bool openAudio();

// Stops and frees every sound, closes the device and forgets an earlier failure.
void closeAudio();

namespace detail {
// Called by closeAudio() before the device goes away.
void releaseWave();
void releaseMusic();
} // namespace detail

} // namespace platform
