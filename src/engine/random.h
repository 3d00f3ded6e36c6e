#pragma once

#include <cstdint>
#include <random>

namespace engine {

// The random numbers of the game: single-precision values uniform in [0, 1),
// drawn one at a time. Injected so a test can replay a game from a seed.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual float Rnd() = 0;
};

// The program's generator: 24 random bits per draw, so every value is exact in a float.
class Mt19937Random final : public RandomSource {
  public:
    explicit Mt19937Random(std::uint32_t seed = 5489u) : gen_(seed) {}
    void seed(std::uint32_t s) { gen_.seed(s); }
    float Rnd() override;

  private:
    std::mt19937 gen_;
};

// Seed taken from the wall clock, as the game screen does when it loads.
std::uint32_t clockSeed();

} // namespace engine
