#include "hands.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// The tile that fills the one empty slot of a generated hand so that slots 0..11 read as four
// sets and slots 12 and 13 as the pair (the pair is never broken at 12); 0 when none does.
Hai removedTile(std::array<Hai, 14> t, int& runs) {
    const auto hole = std::find(t.begin(), t.end(), engine::EmptySlot);
    if (std::count(t.begin(), t.end(), engine::EmptySlot) != 1 || hole == t.begin() + 12) return 0;
    for (int x = 1; x <= 37; ++x) {
        *hole = static_cast<Hai>(x);
        bool sets = engine::isTile(x) && t[12] == t[13];
        runs = 0;
        for (int g = 0; g <= 9; g += 3) {
            const bool run = t[g] < 30 && t[g] % 10 <= 7 && t[g + 1] == t[g] + 1 && t[g + 2] == t[g] + 2;
            sets = sets && (run || (t[g] == t[g + 1] && t[g] == t[g + 2]));
            runs += run;
        }
        if (sets) return static_cast<Hai>(x);
    }
    return 0;
}

TEST(Generation, HandsArePairAndFourSetsLessOneTileThatIsAWait) {
    engine::Mt19937Random rnd(12345);
    engine::Mondai m(rnd);
    constexpr int perLevel = 4000;
    const std::pair<std::int16_t, float> levels[3] = {{10, 0.7f}, {50, 0.8f}, {100, 0.9f}};
    int pairBroken = 0;
    for (int level = 0; level < 3; ++level) {
        auto [t, z] = levels[level];
        int runs = 0, withHonours = 0, oneSuit = 0;
        for (int i = 0; i < perLevel; ++i) {
            m.makeHaipai(t, z);
            int setRuns = 0;
            const Hai removed = removedTile(m.Tehai, setRuns);
            ASSERT_NE(removed, 0) << describe({m.Tehai.begin(), m.Tehai.end()});
            runs += setRuns;
            pairBroken += m.Tehai[13] == engine::EmptySlot;

            std::vector<Hai> full{removed};
            std::copy_if(m.Tehai.begin(), m.Tehai.end(), std::back_inserter(full),
                         [](Hai h) { return h != engine::EmptySlot; });
            ASSERT_LE(mostCopies(full), 4) << describe(full);
            withHonours += std::any_of(full.begin(), full.end(), [](Hai h) { return h > 30; });
            oneSuit += std::all_of(full.begin(), full.end(), [&](Hai h) { return h / 10 == full[0] / 10; });

            m.Sorting();
            m.Hantei();
            ASSERT_EQ(m.Machi[removed], 1) << describe(handOf(m)) << "removed " << removed;
        }
        EXPECT_NEAR(runs / (4.0 * perLevel), z, 0.03) << "level " << level;
        if (level == 2) {
            EXPECT_EQ(withHonours, 0);
            EXPECT_EQ(oneSuit, perLevel);
        } else {
            EXPECT_GT(withHonours, perLevel / 10) << "level " << level;
            EXPECT_LT(oneSuit, perLevel / 2) << "level " << level;
        }
    }
    // About one hand in twenty breaks the pair: 600 expected of 12000.
    EXPECT_NEAR(pairBroken, 600, 120);
}

} // namespace
