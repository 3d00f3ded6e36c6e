#include "engine/game.h"
#include "engine/practice.h"

#include <gtest/gtest.h>

namespace {

using engine::GameCode;
using engine::GameDescription;
using engine::WaitShape;
using Hand = std::array<engine::Hai, 13>;

// The first `count` hands a game deals, as shown, with the judged waits of the first.
std::vector<Hand> dealGame(const GameDescription& game, std::array<std::int16_t, 38>* machi = nullptr,
                           int count = 10) {
    engine::Mt19937Random rnd(game.code->seed);
    engine::Mondai m(rnd);
    std::vector<Hand> hands(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        engine::dealProblem(m, game, *game.code, i);
        std::copy_n(m.Tehai.begin(), 13, hands[static_cast<std::size_t>(i)].begin());
        if (i == 0 && machi) *machi = m.Machi;
    }
    return hands;
}

TEST(WeakShape, EveryHandHasAWaitOfTheShapeAtEveryLevelAndASeedReplaysIt) {
    for (int level = 0; level < 3; ++level) {
        for (std::uint32_t seed = 0; seed < 10000; ++seed) {
            const WaitShape shape = engine::AllShapes[seed % 5];
            const auto game = GameDescription::weakShape(level, seed % 2 == 0, shape, seed);
            std::array<std::int16_t, 38> machi{};
            const auto explanation = engine::explain(dealGame(game, &machi, 1)[0]);
            ASSERT_TRUE(engine::hasWaitOfShape(explanation, shape)) << "level " << level << " seed " << seed;
            // Judged as the game scores it.
            for (const auto& wait : explanation.waits) ASSERT_EQ(machi[wait.tile], 1) << seed;
            ASSERT_EQ(std::count(machi.begin(), machi.end(), 1), std::ssize(explanation.waits)) << seed;
        }
        // Its code typed back deals the same game; another seed, another.
        for (const WaitShape shape : engine::AllShapes) {
            const auto game = GameDescription::weakShape(level, level == 1, shape, 777u + unsigned(level));
            const auto typed = engine::decodeGameCode(engine::encodeGameCode(*game.code));
            ASSERT_EQ(typed, *game.code);
            const auto hands = dealGame(game);
            EXPECT_EQ(dealGame(GameDescription::fromCode(*typed)), hands);
            EXPECT_NE(dealGame(GameDescription::weakShape(level, level == 1, shape, 900)), hands);
        }
    }
}

TEST(GameCode, OldCodesReadAndDealAsBeforeAndNoSpareValuePasses) {
    // Codes made before the shape existed, by the program of that day.
    const std::pair<const char*, GameCode> old[] = {
        {"000-000-000", {0, false, false, 0u}},         {"140-KAA-AQK", {1, false, true, 20261207u}},
        {"0VZ-ZZZ-ZZS", {2, true, false, 4294967295u}}, {"1R3-NQK-8NX", {2, true, true, 123456789u}},
        {"1KF-AVF-QF6", {0, true, true, 3735928559u}},  {"040-000-1AV", {1, false, false, 42u}},
    };
    for (const auto& [text, code] : old) {
        ASSERT_EQ(engine::decodeGameCode(text), code) << text;
        EXPECT_EQ(engine::encodeGameCode(code), text);
        engine::Mt19937Random rnd(code.seed); // the designed generator, drawn exactly as before
        engine::Mondai m(rnd);
        std::vector<Hand> direct(10);
        for (Hand& hand : direct) {
            m.buildProblem(code.level, code.notenOK, code.sortHai);
            std::copy_n(m.Tehai.begin(), 13, hand.begin());
        }
        EXPECT_EQ(dealGame(GameDescription::fromCode(code)), direct) << text;
    }
    // Shapes 6 and 7 and the spare bit share the first character with SortHai: no code.
    std::string text = engine::encodeGameCode({0, false, false, 5u});
    int accepted = 0;
    for (const char first : std::string_view("0123456789ABCDEFGHJKMNPQRSTVWXYZ"))
        for (const char check : std::string_view("0123456789ABCDEFGHJKMNPQRSTVWXYZ")) {
            text[0] = first;
            text[10] = check;
            accepted += engine::decodeGameCode(text).has_value();
        }
    EXPECT_EQ(accepted, 2 * 6);
}

TEST(DailyCode, SameDateSameGameNeighbouringDatesDiffer) {
    constexpr std::int64_t jan2000 = 2451545; // Julian day of 2000-01-01
    for (std::int64_t day = jan2000; day < jan2000 + 36525; ++day) {
        const GameCode code = engine::dailyCode(day);
        ASSERT_EQ(engine::dailyCode(day), code);
        ASSERT_NE(engine::dailyCode(day - 1).seed, code.seed) << day;
        ASSERT_NE(engine::dailyCode(day + 1).seed, code.seed) << day;
        ASSERT_EQ(code, (GameCode{1, false, true, code.seed})) << day; // 中級, standard settings
    }
    const auto today = GameDescription::daily(jan2000);
    EXPECT_EQ(today.timeLimit, 150);
    EXPECT_NE(dealGame(today), dealGame(GameDescription::daily(jan2000 + 1)));
}

TEST(WeakShape, DefaultIsTheHighestShareMissedAmongShapesMetOftenEnough) {
    using T = engine::ShapeTally; // 単騎 双碰 両面 嵌張 辺張
    const std::pair<std::array<T, 5>, WaitShape> cases[] = {
        {{}, WaitShape::Ryanmen},                                                   // no history
        {{T{10, 0}, T{10, 0}, T{10, 0}, T{10, 0}, T{10, 0}}, WaitShape::Ryanmen},   // nothing missed
        {{T{10, 2}, T{10, 1}, T{40, 4}, T{10, 5}, T{8, 2}}, WaitShape::Kanchan},    // 50 %
        {{T{10, 2}, T{10, 1}, T{40, 4}, T{4, 4}, T{8, 3}}, WaitShape::Penchan},     // 4 waits: too few
        {{T{20, 19}, T{10, 1}, T{40, 39}, T{10, 0}, T{10, 0}}, WaitShape::Ryanmen}, // 97.5 % over 95 %
    };
    for (const auto& [tally, expected] : cases) EXPECT_EQ(engine::weakestShape(tally), expected);
}

TEST(GameDescription, ReviewDealsTheGivenHandsAsShownThenTheShape) {
    const Hand nineGates{1, 9, 2, 3, 4, 5, 6, 7, 8, 9, 1, 9, 1}; // as shown: any order
    const auto game = GameDescription::review({nineGates}, 0, true, WaitShape::Penchan, 3);
    std::array<std::int16_t, 38> machi{};
    const auto hands = dealGame(game, &machi);
    EXPECT_EQ(hands[0], nineGates);
    for (int k = 1; k <= 9; ++k) EXPECT_EQ(machi[static_cast<std::size_t>(k)], 1) << k;
    for (std::size_t i = 1; i < hands.size(); ++i)
        EXPECT_TRUE(engine::hasWaitOfShape(engine::explain(hands[i]), WaitShape::Penchan)) << i;
}

} // namespace
