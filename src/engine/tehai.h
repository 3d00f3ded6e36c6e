#pragma once

#include "random.h"

#include <array>
#include <cstdint>

namespace engine {

// Tile code: 10 x suit + number. 1..9 characters, 11..19 circles, 21..29 bamboo,
// 31..37 East South West North, green, red, white dragon. Codes ending in 0 are no tile.
using Hai = std::int16_t;
inline constexpr Hai EmptySlot = 99; // sorts behind every tile
inline constexpr int TileWidth = 28;
inline constexpr int TileHeight = 38;

constexpr bool isTile(int code) {
    return code >= 1 && code <= 37 && code % 10 != 0;
}

// Top-left pixel of a tile's cell on the tile sheet (also the answer palette).
constexpr int sheetX(int code) {
    return (code % 10) * TileWidth - TileWidth;
}
constexpr int sheetY(int code) {
    return (code / 10) * TileHeight;
}

// The hand of a problem and its waits, with the operations that build and judge it.
// The game screen holds one of these; its members are the game's own state.
class Mondai {
  public:
    explicit Mondai(RandomSource& random) : rnd_(&random) {}

    std::array<Hai, 14> Tehai{};          // slots 0..12 the hand, 13 spare
    std::array<std::int16_t, 38> Machi{}; // 1 where the tile completes the hand

    void Sorting();                               // bubble sort of all 14 slots
    Hai Rndhai(std::int16_t& s, std::int16_t& t); // one tile biased to suit s
    void makeHaipai(std::int16_t& t, float& z);   // 14-tile hand, one slot 99
    void Hantei();                                // fills Machi, restores Tehai

    // The hand of the next problem: generate for the level, maybe move one tile
    // (notenOK 1), sort, judge, and shuffle for display unless sortHai is 1.
    void buildProblem(std::int32_t level, std::int16_t notenOK, std::int16_t sortHai);

    RandomSource& random() { return *rnd_; }
    float Rnd() { return rnd_->Rnd(); }

  private:
    RandomSource* rnd_;
};

} // namespace engine
