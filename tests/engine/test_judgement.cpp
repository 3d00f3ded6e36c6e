#include "hands.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace enginetest;
using engine::Hai;

namespace {

struct Case {
    const char* hand;
    const char* waits;
};

class Judgement : public ::testing::Test {
  protected:
    engine::Mt19937Random rnd{1};
    engine::Mondai m{rnd};
};

TEST_F(Judgement, KnownHands) {
    const Case cases[] = {
        {"1112345678999m", "123456789m"}, // nine-sided
        {"123456789m 111p 5s", "5s"},      {"1199m 123p 123s 111z", "19m"},
        {"23m 123p 123s 111z 55m", "14m"}, {"13m 123p 123s 111z 55m", "2m"},
        {"12m 123p 123s 111z 55m", "3m"},  {"1112223334445m", "23456m"},
        {"2223334445556m", "134567m"},     {"1111234m 123p 123s", "4m"}, // 1m would be a fifth copy
        {"11335577m 22p 44s 1z", ""}, // seven pairs is no winning shape here
        {"19m 19p 19s 1234567z", ""}, // nor thirteen orphans
        {"1357m 2468p 13579s", ""},   // not ready
        {"1112345678999p", "123456789p"},  {"123m 456p 789s 11z 22z", "12z"},
        {"111z 222z 333z 444z 5z", "5z"},
    };
    for (const Case& c : cases) {
        const auto hand = parseTiles(c.hand);
        ASSERT_EQ(hand.size(), 13u) << c.hand;
        EXPECT_EQ(judge(m, hand), waitsOf(c.waits)) << c.hand;
    }
}

TEST_F(Judgement, RefusesOnlyTheFifthCopyOfTheCandidate) {
    // Four 1m held: 1m is refused, but the hand is still ready on 4m.
    EXPECT_EQ(judge(m, parseTiles("1111234m 123p 123s")), waitsOf("4m"));
    // Four 5z and three runs: only a fifth 5z would complete it.
    EXPECT_EQ(judge(m, parseTiles("5555z 123456789m")), Waits{});
}

TEST_F(Judgement, LeavesTheHandAsFoundWhateverSlot13Holds) {
    const auto hand = parseTiles("9m 1s 5p 1m 7z 2m 5p 3m 1s 8m 6m 7m 1s"); // unsorted on purpose
    for (Hai spare : {Hai{99}, Hai{0}, Hai{5}, Hai{37}}) {
        judge(m, hand, spare);
        EXPECT_EQ(handOf(m), hand);
        EXPECT_EQ(m.Tehai[13], spare);
    }
}

TEST_F(Judgement, WritesEveryTileFlagAndNoOther) {
    m.Machi.fill(7);
    judge(m, parseTiles("1112345678999m"));
    for (int x = 0; x < 38; ++x) {
        if (engine::isTile(x)) {
            EXPECT_EQ(m.Machi[x], x <= 9 ? 1 : 0) << x;
        } else {
            EXPECT_EQ(m.Machi[x], 7) << x;
        }
    }
    // A later hand that is not ready clears every earlier flag.
    judge(m, parseTiles("1357m 2468p 13579s"));
    for (int x = 1; x < 38; ++x) {
        if (engine::isTile(x)) {
            EXPECT_EQ(m.Machi[x], 0) << x;
        }
    }
}

TEST_F(Judgement, HandWithANonTileHasNoWaits) {
    auto hand = parseTiles("1112345678999m");
    for (Hai bad : {Hai{99}, Hai{0}, Hai{20}, Hai{-3}, Hai{38}}) {
        hand[4] = bad;
        EXPECT_EQ(judge(m, hand), Waits{}) << bad;
        EXPECT_EQ(handOf(m), hand);
    }
}

// Every one-suit hand of 13 tiles with at most four copies a kind, spread over the three suits.
TEST_F(Judgement, AgreesWithSearchOnEveryOneSuitHand) {
    int hands = 0, ready = 0, refused = 0;
    std::vector<std::string> disagreements;
    std::array<int, 9> c{};
    auto visit = [&](auto&& self, int kind, int left) -> void {
        if (kind == 9) {
            if (left != 0) return;
            const int base = 10 * (hands % 3);
            std::vector<Hai> hand;
            for (int k = 0; k < 9; ++k) {
                for (int i = 0; i < c[k]; ++i) hand.push_back(static_cast<Hai>(base + k + 1));
            }
            ++hands;
            const Waits got = judge(m, hand);
            const Waits want = solveWaits(hand);
            if (got != want && disagreements.size() < 20) disagreements.push_back(describe(hand));
            ready += std::count(want.begin(), want.end(), true) > 0;
            for (int k = 0; k < 9; ++k) {
                if (c[k] != 4) continue;
                Counts full = countTiles(hand);
                ++full[base + k + 1];
                refused += isComplete(full);
            }
            return;
        }
        for (int n = 0; n <= 4 && n <= left; ++n) {
            c[kind] = n;
            self(self, kind + 1, left - n);
        }
        c[kind] = 0;
    };
    visit(visit, 0, 13);

    EXPECT_EQ(hands, 93600);
    EXPECT_GT(ready, 10000);
    EXPECT_GT(refused, 1000); // the fifth-copy rule mattered for these
    EXPECT_TRUE(disagreements.empty()) << disagreements.size() << " hands, first: " << disagreements[0];
}

TEST_F(Judgement, AgreesWithSearchOnRandomHandsAcrossSuits) {
    std::mt19937 gen(20240601);
    auto roll = [&gen](int n) { return std::uniform_int_distribution<int>(0, n - 1)(gen); };

    std::vector<Hai> wall;
    for (int k = 1; k <= 37; ++k) {
        if (engine::isTile(k)) wall.insert(wall.end(), 4, static_cast<Hai>(k));
    }

    int hands = 0, ready = 0, withFour = 0, refused = 0;
    std::vector<std::string> disagreements;
    for (int i = 0; i < 200000; ++i) {
        std::vector<Hai> hand;
        switch (i % 4) {
        case 0: // a plain deal from the wall
            std::shuffle(wall.begin(), wall.end(), gen);
            hand.assign(wall.begin(), wall.begin() + 13);
            break;
        case 1: // a complete hand less one tile: always ready
            hand = randomCompleteHand(gen);
            hand.erase(hand.begin() + roll(14));
            break;
        case 2: { // the same with one tile moved: often ready on other tiles, or not at all
            hand = randomCompleteHand(gen);
            hand.erase(hand.begin() + roll(14));
            const Counts c = countTiles(hand);
            const int j = roll(13);
            const int to = hand[j] + (roll(2) == 0 ? -1 : 1);
            if (engine::isTile(to) && c[to] < 4) hand[j] = static_cast<Hai>(to);
            break;
        }
        default: { // four copies of one kind, the rest close to it
            const int quad = 1 + roll(9) + 10 * roll(3);
            hand.assign(4, static_cast<Hai>(quad));
            Counts c{};
            c[quad] = 4;
            while (hand.size() < 13) {
                const int near = quad + roll(7) - 3;
                const int code = roll(6) == 0 ? 31 + roll(7) : near;
                if (!engine::isTile(code) || c[code] == 4) continue;
                ++c[code];
                hand.push_back(static_cast<Hai>(code));
            }
            std::shuffle(hand.begin(), hand.end(), gen);
            break;
        }
        }
        ASSERT_EQ(hand.size(), 13u);
        const Counts c = countTiles(hand);
        ASSERT_LE(*std::max_element(c.begin(), c.end()), 4) << describe(hand);

        ++hands;
        const Waits got = judge(m, hand);
        const Waits want = solveWaits(hand);
        if (got != want && disagreements.size() < 20) disagreements.push_back(describe(hand));
        ready += std::count(want.begin(), want.end(), true) > 0;
        for (int k = 1; k <= 37; ++k) {
            if (c[k] != 4) continue;
            ++withFour;
            Counts full = c;
            ++full[k];
            refused += isComplete(full);
        }
    }
    EXPECT_EQ(hands, 200000);
    EXPECT_GT(ready, 80000);
    EXPECT_GT(withFour, 50000);
    EXPECT_GT(refused, 2000);
    EXPECT_TRUE(disagreements.empty()) << disagreements.size() << " hands, first: " << disagreements[0];
}

} // namespace
