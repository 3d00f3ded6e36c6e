#include "hands.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace enginetest;

namespace {

TEST(Random, DrawsAreExact24BitFractionsBelowOneRepeatedFromASeed) {
    engine::Mt19937Random a(777), b(777);
    double sum = 0;
    for (int i = 0; i < 100000; ++i) {
        const float r = a.Rnd();
        ASSERT_EQ(r, b.Rnd());
        ASSERT_TRUE(r >= 0.0f && r < 1.0f) << r;
        const double scaled = static_cast<double>(r) * 16777216.0;
        ASSERT_EQ(scaled, std::floor(scaled)) << r;
        sum += r;
    }
    EXPECT_NEAR(sum / 100000, 0.5, 0.01);
    a.seed(777); // starts over
    EXPECT_EQ(a.Rnd(), engine::Mt19937Random(777).Rnd());
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

// The draws that deal a hand of characters: the suit, then 'r' or 't' for a run or a triplet
// ahead of its tile, each tile 1..9 a character and a..g an honour (two draws each), the pair
// first. A refused run start is followed by the tile drawn instead. Then the draws given.
std::vector<float> deal(std::string_view tiles, std::initializer_list<float> then) {
    std::vector<float> d{0.0f};
    for (char c : tiles) {
        if (c == 'r' || c == 't') d.push_back(c == 'r' ? 0.0f : 0.95f);
        if (c >= '1' && c <= '9') d.insert(d.end(), {0.0f, (static_cast<float>(c - '0') - 0.5f) / 9});
        if (c >= 'a' && c <= 'g') d.insert(d.end(), {0.5f, (static_cast<float>(c - 'a' + 31) - 0.5f) / 37});
    }
    d.insert(d.end(), then);
    return d;
}

// After the deal: the removal (a draw below 0.05 breaks the pair, else one for the slot), then
// the variation draw, its slot (Int(Rnd x 13)) and its steps (below 0.5 down, else up).
struct Script {
    const char* name;
    std::vector<float> draws;
    std::int16_t notenOK, sortHai;
    const char* hand; // the 13 tiles, in any order
    int drawn;
};
const Script scripts[] = {
    {"moves a 1 up to 2 after redrawing the step off the suit",
     deal("1r1t5r96r1", {0.5f, 0.0f, 0.1f, 0.75f, 0.0f, 0.9f}), 1, 0, "1122233555678m", 23 + 101},
    {"steps the other way when the neighbour is held four times",
     deal("4r3r4r1t9", {0.5f, 0.5f, 0.1f, 0.2f, 0.0f}), 1, 1, "2334444566999m", 20},
    {"keeps the hand when the only step is full", deal("2r1r1t5r7", {0.5f, 0.2f, 0.1f, 0.0f, 0.0f, 0.7f}), 1,
     1, "1122223555789m", 21},
    {"keeps the hand when both neighbours are full", deal("2r2r2r4r4", {0.5f, 0.6f, 0.1f, 0.1f, 0.0f}), 1, 1,
     "2222334444566m", 20},
    {"leaves an honour alone", deal("2r1r1tar7", {0.5f, 0.2f, 0.1f, 0.5f}), 1, 1, "1122223789m 111z", 19},
    {"leaves the empty slot alone", deal("2r1r1t5r7", {0.5f, 0.2f, 0.1f, 0.2f}), 1, 1, "1122223555789m", 19},
    {"draws once for the variation when it is off", deal("2r1r1t5r7", {0.01f, 0.1f}), 0, 1, "1122233555789m",
     17},
    {"draws once for the variation when the draw is 0.2 or more", deal("2r1r1t5r7", {0.5f, 0.2f, 0.2f}), 1, 0,
     "1122223555789m", 18 + 101},
};

TEST(DrawAccounting, ProblemsDrawExactlyAsTheStepsSay) {
    for (const Script& s : scripts) {
        ScriptedRandom rnd(s.draws);
        engine::Mondai m(rnd);
        m.buildProblem(0, s.notenOK, s.sortHai);
        EXPECT_EQ(rnd.draws, s.drawn) << s.name;
        auto hand = handOf(m);
        std::sort(hand.begin(), hand.end());
        EXPECT_EQ(hand, parseTiles(s.hand)) << s.name;
    }
}

} // namespace
