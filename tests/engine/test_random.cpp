#include "hands.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace enginetest;
using engine::Hai;

namespace {

TEST(Random, DrawsAreExact24BitFractionsBelowOne) {
    engine::Mt19937Random a(777), b(777);
    double sum = 0;
    int low = 0, high = 0;
    for (int i = 0; i < 100000; ++i) {
        const float r = a.Rnd();
        ASSERT_EQ(r, b.Rnd());
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        const double scaled = static_cast<double>(r) * 16777216.0;
        ASSERT_EQ(scaled, std::floor(scaled)) << r;
        sum += r;
        low += r < 0.01f;
        high += r >= 0.99f;
    }
    EXPECT_NEAR(sum / 100000, 0.5, 0.01);
    EXPECT_NEAR(low, 1000, 200);
    EXPECT_NEAR(high, 1000, 200);

    a.seed(777);
    engine::Mt19937Random c(777);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(a.Rnd(), c.Rnd());
}

// Plays back a fixed sequence, then carries on from a generator, counting every draw.
class ScriptedRandom final : public engine::RandomSource {
  public:
    explicit ScriptedRandom(std::vector<float> script) : script_(std::move(script)) {}
    float Rnd() override {
        ++draws;
        return next_ < script_.size() ? script_[next_++] : more_.Rnd();
    }
    int draws = 0;

  private:
    std::vector<float> script_;
    std::size_t next_ = 0;
    engine::Mt19937Random more_{1};
};

// Level 2 (every tile 1..9 characters) draws: suit, pair, four sets, the removal.
// Each Rndhai is two draws; each set one draw for its kind and one Rndhai per try.
struct Script {
    const char* name;
    std::vector<float> draws;
    std::int16_t notenOK;
    std::int16_t sortHai;
    const char* hand; // the 13 tiles, in any order
    int drawn;
};

const Script scripts[] = {
    {"moves a 1 up to 2 after redrawing the step off the suit",
     {0.0f,                            // main suit characters
      0.0f,  0.0f,                     // pair 1m
      0.0f,  0.0f,  0.0f,              // run 123m
      0.95f, 0.0f,  0.5f,              // triplet 555m
      0.0f,  0.0f,  0.99f, 0.0f, 0.6f, // run: 9m refused, then 678m
      0.0f,  0.0f,  0.0f,              // run 123m
      0.5f,  0.0f,                     // remove slot 0
      0.1f,  0.75f, 0.0f,  0.9f},      // move slot 9 (1m): down is 0, up is 2m
     1,
     0,
     "1122233555678m",
     23 + 101},
    {"steps the other way when the neighbour is held four times",
     {0.0f, 0.0f, 0.35f,                     // pair 4m
      0.0f, 0.0f, 0.25f, 0.0f,  0.0f, 0.35f, // runs 345m, 456m
      0.0f, 0.0f, 0.0f,  0.95f, 0.0f, 0.9f,  // run 123m, triplet 999m
      0.5f, 0.5f,                            // remove slot 6 (1m)
      0.1f, 0.2f, 0.0f},                     // move slot 2 (5m) down: 4m is full
     1,
     1,
     "2334444566999m",
     20},
    {"keeps the hand when the only step is full",
     {0.0f,  0.0f, 0.15f,                   // pair 2m
      0.0f,  0.0f, 0.0f,  0.0f, 0.0f, 0.0f, // runs 123m, 123m
      0.95f, 0.0f, 0.5f,  0.0f, 0.0f, 0.7f, // triplet 555m, run 789m
      0.5f,  0.2f,                          // remove slot 2 (3m)
      0.1f,  0.0f, 0.0f,  0.7f},            // slot 0 (1m): 0 redrawn, 2m full
     1,
     1,
     "1122223555789m",
     21},
    {"keeps the hand when both neighbours are full",
     {0.0f, 0.0f, 0.15f,                    // pair 2m
      0.0f, 0.0f, 0.15f, 0.0f, 0.0f, 0.15f, // runs 234m, 234m
      0.0f, 0.0f, 0.35f, 0.0f, 0.0f, 0.35f, // runs 456m, 456m
      0.5f, 0.6f,                           // remove slot 7 (5m)
      0.1f, 0.1f, 0.0f},                    // slot 1 (3m): 2m and 4m full
     1,
     1,
     "2222334444566m",
     20},
    {"leaves the empty slot alone",
     {0.0f, 0.0f, 0.15f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.95f, 0.0f, 0.5f, 0.0f, 0.0f, 0.7f, 0.5f,
      0.2f,        // remove slot 2 (3m)
      0.1f, 0.2f}, // slot 2 holds the marker
     1,
     1,
     "1122223555789m",
     19},
    {"draws once for the variation when it is off",
     {0.0f, 0.0f, 0.15f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.95f, 0.0f, 0.5f, 0.0f, 0.0f, 0.7f,
      0.01f, // pair broken: slot 13
      0.1f},
     0,
     1,
     "1122233555789m",
     17},
    {"draws once for the variation when the draw is 0.2 or more",
     {0.0f, 0.0f, 0.15f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.95f, 0.0f, 0.5f, 0.0f, 0.0f, 0.7f, 0.5f, 0.2f,
      0.2f},
     1,
     0,
     "1122223555789m",
     18 + 101},
};

TEST(DrawAccounting, ProblemsDrawExactlyAsTheStepsSay) {
    for (const Script& s : scripts) {
        ScriptedRandom rnd(s.draws);
        engine::Mondai m(rnd);
        m.buildProblem(2, s.notenOK, s.sortHai);
        EXPECT_EQ(rnd.draws, s.drawn) << s.name;
        auto hand = handOf(m);
        std::sort(hand.begin(), hand.end());
        EXPECT_EQ(hand, parseTiles(s.hand)) << s.name;
        EXPECT_EQ(m.Tehai[13], engine::EmptySlot) << s.name;
        EXPECT_EQ(machiOf(m), solveWaits(hand)) << s.name;
    }
}

} // namespace
