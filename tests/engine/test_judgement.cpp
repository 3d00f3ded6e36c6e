#include "hands.h"

#include <gtest/gtest.h>

#include <random>

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
    const std::pair<const char*, const char*> cases[] = {
        {"1112345678999m", "123456789m"}, // nine-sided
        {"123456789m 111p 5s", "5s"},      {"1199m 123p 123s 111z", "19m"},
        {"23m 123p 123s 111z 55m", "14m"}, {"13m 123p 123s 111z 55m", "2m"},
        {"12m 123p 123s 111z 55m", "3m"},  {"1112223334445m", "23456m"},
        {"2223334445556m", "134567m"},     {"1111234m 123p 123s", "4m"}, // 1m would be a fifth copy
        {"5555z 123456789m", ""},                                        // only a fifth 5z would complete it
        {"11335577m 22p 44s 1z", ""}, // seven pairs is no winning shape here
        {"19m 19p 19s 1234567z", ""}, // nor thirteen orphans
        {"1357m 2468p 13579s", ""},   // not ready
        {"1112345678999p", "123456789p"},  {"123m 456p 789s 11z 22z", "12z"},
        {"111z 222z 333z 444z 5z", "5z"},
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

TEST_F(Judgement, AgreesWithSearchOnRandomHandsAcrossSuits) {
    std::mt19937 gen(20240601);
    auto roll = [&gen](int n) { return std::uniform_int_distribution<int>(0, n - 1)(gen); };
    // A pair and four sets from one or two suits, sometimes with honours, so that shapes overlap.
    auto completeHand = [&] {
        for (;;) {
            const int s1 = 10 * roll(3), s2 = roll(2) == 0 ? s1 : (s1 + 10 + 10 * roll(2)) % 30;
            const bool honours = roll(3) == 0;
            auto kind = [&] {
                return honours && roll(4) == 0 ? 31 + roll(7) : (roll(2) ? s1 : s2) + 1 + roll(9);
            };
            std::vector<Hai> hand(2, static_cast<Hai>(kind()));
            for (int set = 0; set < 4; ++set) {
                const int a = kind();
                const bool run = roll(10) < 7 && a < 30 && a % 10 <= 7;
                for (int k = 0; k < 3; ++k) hand.push_back(static_cast<Hai>(run ? a + k : a));
            }
            if (mostCopies(hand) <= 4) return hand;
        }
    };
    std::vector<Hai> wall;
    for (int k = 1; k <= 37; ++k) {
        if (engine::isTile(k)) wall.insert(wall.end(), 4, static_cast<Hai>(k));
    }

    for (int i = 0; i < 200000; ++i) {
        std::vector<Hai> hand;
        if (i % 4 == 0) { // a plain deal from the wall
            std::shuffle(wall.begin(), wall.end(), gen);
            hand.assign(wall.begin(), wall.begin() + 13);
        } else if (i % 4 != 3) { // a complete hand less one tile, every other one with a tile moved
            hand = completeHand();
            hand.erase(hand.begin() + roll(14));
            const int j = roll(13), to = hand[j] + (roll(2) == 0 ? -1 : 1);
            if (i % 4 == 2 && engine::isTile(to) && countTiles(hand)[to] < 4) hand[j] = static_cast<Hai>(to);
        } else { // four copies of one kind, the rest close to it
            const int quad = 1 + roll(9) + 10 * roll(3);
            hand.assign(4, static_cast<Hai>(quad));
            while (hand.size() < 13) {
                const int code = roll(6) == 0 ? 31 + roll(7) : quad + roll(7) - 3;
                if (engine::isTile(code) && countTiles(hand)[code] < 4)
                    hand.push_back(static_cast<Hai>(code));
            }
            std::shuffle(hand.begin(), hand.end(), gen);
        }
        compare(hand);
    }
    EXPECT_GT(ready, 80000);
    EXPECT_GT(refused, 2000);
    EXPECT_EQ(wrong, std::vector<std::string>{});
}

} // namespace
