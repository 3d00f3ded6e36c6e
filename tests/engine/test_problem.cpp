#include "hands.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace enginetest;
using engine::Hai;

namespace {

bool ascending(const std::vector<Hai>& hand) {
    return std::is_sorted(hand.begin(), hand.end());
}

std::vector<Hai> sortedCopy(std::vector<Hai> hand) {
    std::sort(hand.begin(), hand.end());
    return hand;
}

TEST(Sorting, OrdersAllFourteenSlotsWithTheMarkerLast) {
    engine::Mt19937Random rnd(3);
    engine::Mondai m(rnd);

    m.Tehai = {37, 5, 21, 5, 1, 19, 33, 2, 2, 29, 11, 9, 31, 99};
    m.Sorting();
    EXPECT_EQ(m.Tehai, (std::array<Hai, 14>{1, 2, 2, 5, 5, 9, 11, 19, 21, 29, 31, 33, 37, 99}));

    m.Tehai = {4, 99, 3, 3, 17, 12, 25, 26, 27, 33, 33, 1, 2, 5};
    m.Sorting();
    EXPECT_EQ(m.Tehai, (std::array<Hai, 14>{1, 2, 3, 3, 4, 5, 12, 17, 25, 26, 27, 33, 33, 99}));

    const std::array<Hai, 14> done{1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 99, 99};
    m.Tehai = done;
    m.Sorting();
    EXPECT_EQ(m.Tehai, done);

    m.Tehai = {14, 13, 12, 11, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    m.Sorting();
    EXPECT_EQ(m.Tehai, (std::array<Hai, 14>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14}));
}

class Problem : public ::testing::Test {
  protected:
    engine::Mt19937Random rnd{4242};
    engine::Mondai m{rnd};

    // The same problem twice from the same point of the random sequence.
    struct Pair {
        std::vector<Hai> a, b;
        Waits machiA, machiB;
        Hai spareA, spareB;
    };
    Pair twice(int level, std::int16_t notenA, std::int16_t sortA, std::int16_t notenB, std::int16_t sortB) {
        const engine::Mt19937Random start = rnd;
        Pair p;
        m.buildProblem(level, notenA, sortA);
        p.a = handOf(m), p.machiA = machiOf(m), p.spareA = m.Tehai[13];
        rnd = start;
        m.buildProblem(level, notenB, sortB);
        p.b = handOf(m), p.machiB = machiOf(m), p.spareB = m.Tehai[13];
        return p;
    }
};

TEST_F(Problem, WithoutNotReadyHandsEveryProblemHasAWait) {
    for (int level = 0; level < 3; ++level) {
        for (int i = 0; i < 2000; ++i) {
            m.buildProblem(level, 0, 1);
            const auto hand = handOf(m);
            ASSERT_TRUE(ascending(hand)) << describe(hand);
            ASSERT_EQ(m.Tehai[13], engine::EmptySlot);
            const Waits w = machiOf(m);
            ASSERT_TRUE(std::count(w.begin(), w.end(), true) > 0) << describe(hand);
            ASSERT_EQ(w, solveWaits(hand)) << describe(hand);
        }
    }
}

TEST_F(Problem, NotReadyVariationMovesOneTileOneStepInAboutOneProblemInFive) {
    for (int level = 0; level < 3; ++level) {
        constexpr int problems = 8000;
        int altered = 0, notReady = 0;
        for (int i = 0; i < problems; ++i) {
            const Pair p = twice(level, 0, 1, 1, 1);
            ASSERT_EQ(p.spareB, engine::EmptySlot);
            const Counts c = countTiles(p.b);
            ASSERT_LE(*std::max_element(c.begin(), c.end()), 4) << "fifth copy in " << describe(p.b);
            ASSERT_EQ(p.machiB, solveWaits(p.b)) << describe(p.b);
            if (p.a == p.b) continue;
            ++altered;
            notReady += std::count(p.machiB.begin(), p.machiB.end(), true) == 0;
            // Exactly one tile differs, by one step within its suit.
            std::vector<Hai> gone, added;
            std::set_difference(p.a.begin(), p.a.end(), p.b.begin(), p.b.end(), std::back_inserter(gone));
            std::set_difference(p.b.begin(), p.b.end(), p.a.begin(), p.a.end(), std::back_inserter(added));
            ASSERT_EQ(gone.size(), 1u) << describe(p.a) << "/ " << describe(p.b);
            ASSERT_EQ(added.size(), 1u);
            EXPECT_EQ(std::abs(gone[0] - added[0]), 1);
            EXPECT_EQ(gone[0] / 10, added[0] / 10);
            EXPECT_LE(gone[0], 29);
        }
        // One in five draws, less the slots holding an honour or the empty marker.
        const double share = static_cast<double>(altered) / problems;
        EXPECT_LT(share, 0.215) << "level " << level;
        EXPECT_GT(share, level == 2 ? 0.15 : 0.09) << "level " << level;
        EXPECT_GT(notReady, 0) << "level " << level;
    }
}

TEST_F(Problem, ShuffledDisplayKeepsTheTilesAndTheWaits) {
    int shuffled = 0;
    constexpr int problems = 3000;
    for (int i = 0; i < problems; ++i) {
        const Pair p = twice(i % 3, 1, 1, 1, 0);
        ASSERT_TRUE(ascending(p.a));
        EXPECT_EQ(sortedCopy(p.b), p.a);
        EXPECT_EQ(p.machiB, p.machiA);
        EXPECT_EQ(p.spareB, engine::EmptySlot);
        shuffled += !ascending(p.b);
    }
    EXPECT_GT(shuffled, problems * 9 / 10);
}

} // namespace
