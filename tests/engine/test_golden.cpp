#include "hands.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

struct Golden {
    int level;
    std::vector<Hai> hand; // display order: not-ready variation on, shuffled
};

// The first five problems of each level from one seed, recorded from the generator as it plays.
// Any change to how many numbers are drawn, or in which order, moves these hands.
const Golden golden[] = {
    {0, {2, 7, 27, 9, 3, 21, 22, 23, 32, 32, 8, 32, 27}},
    {0, {4, 5, 11, 7, 28, 28, 9, 12, 13, 7, 28, 36, 36}},
    {0, {1, 6, 4, 14, 26, 24, 5, 3, 27, 2, 25, 24, 16}},
    {0, {3, 1, 22, 5, 22, 2, 28, 27, 24, 3, 4, 23, 25}},
    {0, {14, 19, 14, 21, 18, 29, 18, 19, 22, 29, 29, 23, 19}},
    {1, {2, 7, 8, 7, 3, 8, 8, 8, 21, 22, 7, 23, 9}},
    {1, {7, 9, 12, 11, 28, 28, 12, 13, 14, 11, 28, 36, 36}},
    {1, {4, 13, 11, 14, 26, 24, 12, 6, 27, 5, 25, 24, 16}},
    {1, {2, 1, 22, 3, 22, 1, 28, 27, 24, 2, 3, 23, 25}},
    {1, {4, 7, 4, 7, 6, 21, 5, 7, 18, 22, 23, 18, 7}},
    {2, {1, 3, 8, 7, 7, 2, 7, 8, 7, 8, 5, 8, 9}},
    {2, {12, 13, 14, 14, 18, 17, 14, 15, 16, 13, 19, 19, 19}},
    {2, {11, 16, 14, 17, 16, 17, 15, 13, 19, 12, 17, 16, 16}},
    {2, {2, 4, 1, 3, 5, 2, 7, 6, 2, 6, 3, 5, 6}},
    {2, {13, 12, 14, 15, 13, 16, 13, 14, 16, 17, 18, 19, 14}},
};

TEST(Golden, FixedSeedGivesTheRecordedProblemsOfEachLevel) {
    for (int level = 0; level < 3; ++level) {
        engine::Mt19937Random rnd(20261206);
        engine::Mondai m(rnd);
        for (const Golden& g : golden) {
            if (g.level != level) continue;
            m.buildProblem(level, 1, 0);
            EXPECT_EQ(handOf(m), g.hand) << "level " << level;
        }
    }
}

// Moving a tile onto a kind already held four times used to leave five copies of it in the
// hand, which no set of tiles can hold. Each case is a seed, level and problem where the first
// draw of the step landed on such a kind.
TEST(FifthCopyRegression, NotReadyVariationNeverLeavesFiveCopiesOfATile) {
    const struct {
        std::uint32_t seed;
        int level, problem;
    } cases[] = {{2, 2, 3}, {11, 0, 6}, {19, 1, 3}, {25, 2, 9}, {40, 2, 6}};
    for (const auto& c : cases) {
        engine::Mt19937Random rnd(c.seed);
        engine::Mondai m(rnd);
        for (int i = 0; i <= c.problem; ++i) m.buildProblem(c.level, 1, 1);
        const auto hand = handOf(m);
        EXPECT_LE(mostCopies(hand), 4) << "seed " << c.seed << ": " << describe(hand);
    }
}

} // namespace
