#pragma once

#include "engine/random.h"
#include "engine/tiles.h"

#include <array>
#include <cstdint>

namespace engine {

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
    // Its steps: the hand generated, maybe varied, and sorted; then shuffled unless sortHai is 1.
    void generateSorted(std::int32_t level, std::int16_t notenOK);
    void shuffleForDisplay(std::int16_t sortHai);

    RandomSource& random() { return *rnd_; }
    float Rnd() { return rnd_->Rnd(); }

  private:
    RandomSource* rnd_;
};

} // namespace engine
