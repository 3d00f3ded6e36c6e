#pragma once

#include <cstdint>
#include <memory>

namespace platform {

inline constexpr unsigned SND_ASYNC = 1;
inline constexpr unsigned SND_NODEFAULT = 2;
inline constexpr unsigned SND_MEMORY = 4;

// Plays a whole RIFF wave image from memory without waiting; a new sound cuts off the one
// playing. Silent, never failing, without a sound device. The result is true when the
// sound was handed to the device.
bool sndPlaySoundA(const std::uint8_t* image, unsigned flags);

// The seam behind sndPlaySoundA: tests install a recorder.
class WaveOutput {
  public:
    virtual ~WaveOutput() = default;
    virtual bool play(const std::uint8_t* image, unsigned flags) = 0;
};
void setWaveOutput(std::unique_ptr<WaveOutput> output); // nullptr restores the real device

} // namespace platform
