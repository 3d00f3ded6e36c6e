#pragma once

#include "engine/tiles.h"

#include <array>
#include <cstdint>

namespace engine {

// One problem of a game as it was played, kept for its explanation and the review.
struct ProblemRecord {
    std::array<Hai, 13> hand{};           // as shown, left to right
    std::array<std::int16_t, 38> kotae{}; // the player's marks by tile code: nonzero = marked
    std::array<std::int16_t, 38> machi{}; // the waits by tile code: nonzero = a wait
    std::int32_t timeMs = 0;              // from the problem's start to the answer
    std::int32_t points = 0;
    bool correct = false;
};

} // namespace engine
