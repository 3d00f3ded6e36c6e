#include "hands.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// The sheet is also the palette: a code's cell is where a player sees that tile.
TEST(Tiles, SheetCellsOfKnownCodes) {
    const struct {
        int code, x, y;
    } cells[] = {{1, 0, 0}, {9, 224, 0}, {19, 224, 38}, {21, 0, 76}, {31, 0, 114}, {37, 168, 114}};
    for (const auto& c : cells) {
        EXPECT_EQ(engine::sheetX(c.code), c.x) << c.code;
        EXPECT_EQ(engine::sheetY(c.code), c.y) << c.code;
    }
    for (int code : {0, 10, 20, 30, 38, 99}) EXPECT_FALSE(engine::isTile(code)) << code;
}

// Each problem built three times from the same draws: without the variation it is always ready,
// with it about one in five has one tile moved a step; both come sorted, judged right, marker
// last. Unsorted, the same tiles and waits come in a shuffled order.
TEST(Problem, NotReadyVariationMovesOneTileOneStepInAboutOneProblemInFive) {
    engine::Mt19937Random rnd(4242);
    engine::Mondai m(rnd);
    for (int level = 0; level < 3; ++level) {
        constexpr int problems = 8000;
        int altered = 0, notReady = 0, shuffled = 0;
        for (int i = 0; i < problems; ++i) {
            const engine::Mt19937Random start = rnd;
            m.buildProblem(level, 0, 1);
            const auto a = handOf(m);
            ASSERT_EQ(machiOf(m), solveWaits(a)) << describe(a);
            rnd = start;
            m.buildProblem(level, 1, 1);
            const auto b = handOf(m);
            ASSERT_EQ(machiOf(m), solveWaits(b)) << describe(b);
            ASSERT_TRUE(std::is_sorted(a.begin(), a.end()) && std::is_sorted(b.begin(), b.end()))
                << describe(b);
            ASSERT_EQ(m.Tehai[13], engine::EmptySlot);
            ASSERT_LE(mostCopies(b), 4) << "fifth copy in " << describe(b);
            const Waits waits = machiOf(m);
            rnd = start;
            m.buildProblem(level, 1, 0);
            auto c = handOf(m);
            shuffled += !std::is_sorted(c.begin(), c.end());
            std::sort(c.begin(), c.end());
            ASSERT_TRUE(c == b && machiOf(m) == waits && m.Tehai[13] == engine::EmptySlot) << describe(c);
            if (a == b) continue;
            ++altered;
            notReady += std::count(m.Machi.begin(), m.Machi.end(), 1) == 0;
            // Exactly one tile differs, by one step within its suit.
            std::vector<Hai> gone, added;
            std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(gone));
            std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(added));
            ASSERT_EQ(gone.size(), 1u) << describe(a) << "/ " << describe(b);
            ASSERT_EQ(added.size(), 1u);
            EXPECT_EQ(std::abs(gone[0] - added[0]), 1);
            EXPECT_EQ(gone[0] / 10, added[0] / 10);
            EXPECT_LE(gone[0], 29);
        }
        // One in five draws, less the slots holding an honour or the empty marker.
        EXPECT_LT(altered, problems * 0.215) << "level " << level;
        EXPECT_GT(altered, problems * (level == 2 ? 0.15 : 0.09)) << "level " << level;
        EXPECT_GT(notReady, 0) << "level " << level;
        EXPECT_GT(shuffled, problems * 9 / 10) << "level " << level;
    }
}

} // namespace
