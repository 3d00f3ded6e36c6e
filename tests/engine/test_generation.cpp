#include "hands.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace enginetest;
using engine::Hai;

namespace {

struct LevelParams {
    std::int16_t t;
    float z;
};
constexpr LevelParams levelParams[3] = {{10, 0.7f}, {50, 0.8f}, {100, 0.9f}};

bool isRunStart(int a) {
    return a >= 1 && a <= 27 && a % 10 >= 1 && a % 10 <= 7;
}

// Reads a generated hand back as pair (slots 12, 13) and sets (slots g..g+2) around its one
// empty slot. Returns the removed tile, or 0 when the hand is not so built.
struct Reading {
    Hai removed = 0;
    int runs = 0;
    int triplets = 0;
};

Reading readGenerated(const std::array<Hai, 14>& t) {
    Reading r;
    const auto hole = std::find(t.begin(), t.end(), engine::EmptySlot) - t.begin();
    if (std::count(t.begin(), t.end(), engine::EmptySlot) != 1) return {};
    if (hole == 13) {
        r.removed = t[12];
    } else if (hole == 12 || t[12] != t[13]) {
        return {};
    }
    for (int g = 0; g <= 9; g += 3) {
        int v[3] = {t[g], t[g + 1], t[g + 2]};
        const int k = static_cast<int>(hole) - g;
        if (k >= 0 && k < 3) {
            // The two tiles left show whether it was a run or a triplet, and so the missing one.
            const int a = k == 0 ? v[1] : v[0];
            const int b = k == 2 ? v[1] : v[2];
            const bool triplet = a == b;
            v[k] = triplet ? a : (k == 0 ? a - 1 : (k == 1 ? a + 1 : b + 1));
            r.removed = static_cast<Hai>(v[k]);
        }
        if (v[0] == v[1] && v[1] == v[2] && engine::isTile(v[0])) {
            ++r.triplets;
        } else if (isRunStart(v[0]) && v[1] == v[0] + 1 && v[2] == v[0] + 2) {
            ++r.runs;
        } else {
            return {};
        }
    }
    return r;
}

TEST(Generation, HandsArePairAndFourSetsLessOneTileThatIsAWait) {
    engine::Mt19937Random rnd(12345);
    engine::Mondai m(rnd);
    constexpr int perLevel = 4000;
    int pairBroken = 0;
    for (int level = 0; level < 3; ++level) {
        std::int16_t t = levelParams[level].t;
        float z = levelParams[level].z;
        int runs = 0, triplets = 0, withHonours = 0, oneSuit = 0;
        for (int i = 0; i < perLevel; ++i) {
            m.makeHaipai(t, z);
            const Reading r = readGenerated(m.Tehai);
            ASSERT_NE(r.removed, 0) << describe({m.Tehai.begin(), m.Tehai.end()});
            runs += r.runs;
            triplets += r.triplets;
            pairBroken += m.Tehai[13] == engine::EmptySlot;

            std::vector<Hai> full;
            for (Hai h : m.Tehai) {
                if (h != engine::EmptySlot) full.push_back(h);
            }
            full.push_back(r.removed);
            const Counts c = countTiles(full);
            ASSERT_LE(*std::max_element(c.begin(), c.end()), 4) << describe(full);
            withHonours += std::any_of(full.begin(), full.end(), [](Hai h) { return h > 30; });
            oneSuit += std::all_of(full.begin(), full.end(), [&](Hai h) { return h / 10 == full[0] / 10; });

            m.Sorting();
            ASSERT_EQ(m.Tehai[13], engine::EmptySlot);
            m.Hantei();
            ASSERT_EQ(m.Machi[r.removed], 1) << describe(handOf(m)) << "removed " << r.removed;
        }
        EXPECT_EQ(t, levelParams[level].t);
        EXPECT_EQ(z, levelParams[level].z);
        const double runShare = static_cast<double>(runs) / (runs + triplets);
        EXPECT_NEAR(runShare, levelParams[level].z, 0.03) << "level " << level;
        if (level == 2) {
            EXPECT_EQ(withHonours, 0);
            EXPECT_EQ(oneSuit, perLevel);
        } else {
            EXPECT_GT(withHonours, perLevel / 10) << "level " << level;
            EXPECT_LT(oneSuit, perLevel / 2) << "level " << level;
        }
    }
    // About one hand in twenty breaks the pair: 600 expected of 12000.
    EXPECT_GT(pairBroken, 480);
    EXPECT_LT(pairBroken, 720);
}

TEST(Generation, RandomTileFavoursTheMainSuitByShare) {
    engine::Mt19937Random rnd(99);
    engine::Mondai m(rnd);
    std::int16_t s = 10;
    std::int16_t all = 100, none = 0, half = 50;
    std::array<int, 38> seen{};
    for (int i = 0; i < 9000; ++i) {
        const Hai h = m.Rndhai(s, all);
        ASSERT_TRUE(h >= 11 && h <= 19) << h;
        ++seen[h];
    }
    for (int k = 11; k <= 19; ++k) EXPECT_NEAR(seen[k], 1000, 150) << k;

    seen.fill(0);
    for (int i = 0; i < 34000; ++i) {
        const Hai h = m.Rndhai(s, none);
        ASSERT_TRUE(engine::isTile(h)) << h;
        ++seen[h];
    }
    for (int k = 1; k <= 37; ++k) {
        if (engine::isTile(k)) {
            EXPECT_NEAR(seen[k], 1000, 150) << k;
        }
    }

    int main = 0;
    for (int i = 0; i < 10000; ++i) {
        const Hai h = m.Rndhai(s, half);
        main += h >= 11 && h <= 19;
    }
    // Half from the suit, and 9/34 of the other half land there anyway.
    EXPECT_NEAR(main, 10000 * (0.5 + 0.5 * 9 / 34.0), 300);
}

} // namespace
