#include "engine/random.h"

#include <chrono>

namespace engine {

float Mt19937Random::Rnd() {
    // 24 bits fill a float's significand, so every value is exact and below 1.
    return static_cast<float>(gen_() >> 8) * (1.0f / 16777216.0f);
}

std::uint32_t clockSeed() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
    return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

} // namespace engine
