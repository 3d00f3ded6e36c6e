#pragma once

#include "engine/explain.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// Everything that shapes the ten hands of a game: with the same code the same hands come
// back in the same order.
struct GameCode {
    int level = 0; // 0..2
    bool notenOK = false;
    bool sortHai = false;
    std::uint32_t seed = 0; // of the game's Mt19937Random
    // 弱点練習: 1 + the WaitShape every hand is drawn again until it has a wait of; 0 for any hand.
    int shape = 0;

    std::optional<WaitShape> practiceShape() const {
        return shape > 0 ? std::optional<WaitShape>(static_cast<WaitShape>(shape - 1)) : std::nullopt;
    }
    static int shapeField(WaitShape s) { return static_cast<int>(s) + 1; }
    bool operator==(const GameCode&) const = default;
};

// Nine characters of Crockford's base 32 (no I L O U), the last a check character, shown
// as three groups of three: "XXX-XXX-XXX". Level must be 0..2, shape 0..5.
std::string encodeGameCode(const GameCode& code);

// Any case; spaces, tabs, line ends and hyphens ignored; O read as 0 and I, L as 1. Refuses anything else,
// a wrong length, a failed check or a field out of range.
std::optional<GameCode> decodeGameCode(std::string_view text);

} // namespace engine
