#include "hands.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

class Judgement : public ::testing::Test {
  protected:
    engine::Mt19937Random rnd{1};
    engine::Mondai m{rnd};

    // Judges each hand against the search, counting what the hands exercised.
    int hands = 0, ready = 0, refused = 0; // refused: a fifth copy would have completed it
    std::vector<std::string> wrong;
    void compare(const std::vector<Hai>& hand) {
        ++hands;
        const Waits want = solveWaits(hand);
        if (judge(m, hand) != want && wrong.size() < 20) wrong.push_back(describe(hand));
        ready += std::count(want.begin(), want.end(), true) > 0;
        Counts c = countTiles(hand);
        for (int k = 1; k <= 37; ++k) {
            if (c[k] != 4) continue;
            ++c[k];
            refused += isComplete(c);
            --c[k];
        }
    }
};

TEST_F(Judgement, KnownHands) {
    // Hands of one suit are all judged by the search below.
    const std::pair<const char*, const char*> cases[] = {
        {"123456789m 111p 5s", "5s"},      {"1199m 123p 123s 111z", "19m"},
        {"23m 123p 123s 111z 55m", "14m"}, {"13m 123p 123s 111z 55m", "2m"},
        {"12m 123p 123s 111z 55m", "3m"},  {"1111234m 123p 123s", "4m"}, // 1m would be a fifth copy
        {"5555z 123456789m", ""},                                        // only a fifth 5z would complete it
        {"11335577m 22p 44s 1z", ""}, // seven pairs is no winning shape here
        {"19m 19p 19s 1234567z", ""}, // nor thirteen orphans
        {"1357m 2468p 13579s", ""},   // not ready
        {"123m 456p 789s 11z 22z", "12z"}, {"111z 222z 333z 444z 5z", "5z"},
    };
    for (const auto& [hand, waits] : cases) {
        ASSERT_EQ(parseTiles(hand).size(), 13u) << hand;
        EXPECT_EQ(judge(m, parseTiles(hand)), waitsOf(waits)) << hand;
    }
}

TEST_F(Judgement, ReadsSlotsZeroToTwelveInAnyOrderAndLeavesThemAsFound) {
    auto hand = parseTiles("9m 1m 5m 9m 1m 2m 9m 3m 1m 8m 6m 7m 4m"); // nine-sided, unsorted
    for (Hai spare : {Hai{99}, Hai{0}, Hai{5}, Hai{37}}) {
        EXPECT_EQ(judge(m, hand, spare), waitsOf("123456789m")) << spare;
        EXPECT_EQ(handOf(m), hand);
        EXPECT_EQ(m.Tehai[13], spare);
    }
    // A hand holding a non-tile has no waits, clearing those of the hand before.
    for (Hai bad : {Hai{99}, Hai{0}, Hai{20}, Hai{-3}, Hai{38}}) {
        hand[4] = bad;
        EXPECT_EQ(judge(m, hand), Waits{}) << bad;
        EXPECT_EQ(handOf(m), hand);
        judge(m, parseTiles("1112345678999m"));
    }
}

// Every one-suit hand of 13 tiles with at most four copies a kind, spread over the three suits.
TEST_F(Judgement, AgreesWithSearchOnEveryOneSuitHand) {
    std::array<int, 9> c{};
    auto visit = [&](auto&& self, int kind, int left) -> void {
        if (kind == 9) {
            if (left != 0) return;
            std::vector<Hai> hand;
            for (int k = 0; k < 9; ++k)
                hand.insert(hand.end(), c[k], static_cast<Hai>(10 * (hands % 3) + k + 1));
            return compare(hand);
        }
        for (c[kind] = 0; c[kind] <= 4 && c[kind] <= left; ++c[kind]) self(self, kind + 1, left - c[kind]);
    };
    visit(visit, 0, 13);
    EXPECT_EQ(hands, 93600);
    EXPECT_GT(ready, 10000);
    EXPECT_GT(refused, 1000);
    EXPECT_EQ(wrong, std::vector<std::string>{});
}

} // namespace
