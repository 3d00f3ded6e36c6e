#include "engine/game.h"
#include "engine/practice.h"

#include "hands.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using engine::GameCode;
using engine::GameDescription;
using engine::GameKind;
using engine::WaitShape;
using Hand = std::array<engine::Hai, 13>;

Hand shownHand(const engine::Mondai& m) {
    Hand hand{};
    std::copy_n(m.Tehai.begin(), 13, hand.begin());
    return hand;
}

// The ten hands a game deals, as shown; settings are the code's.
std::vector<Hand> dealGame(const GameDescription& game) {
    engine::Mt19937Random rnd(game.code->seed);
    engine::Mondai m(rnd);
    std::vector<Hand> hands;
    for (int i = 0; i < 10; ++i) {
        engine::dealProblem(m, game, *game.code, i);
        hands.push_back(shownHand(m));
    }
    return hands;
}

TEST(WeakShape, EveryDealtHandHasAWaitOfTheShapeAtEveryLevel) {
    for (int level = 0; level < 3; ++level) {
        for (std::uint32_t seed = 0; seed < 10000; ++seed) {
            const WaitShape shape = engine::AllShapes[seed % 5];
            const auto game = GameDescription::weakShape(level, seed % 2 == 0, shape, seed);
            engine::Mt19937Random rnd(seed);
            engine::Mondai m(rnd);
            engine::dealProblem(m, game, *game.code, 0);
            const auto explanation = engine::explain(shownHand(m));
            ASSERT_TRUE(engine::hasWaitOfShape(explanation, shape))
                << "level " << level << " seed " << seed << " shape " << engine::shapeName(shape);
            // The judgement the game scores by agrees with the explanation's waits.
            for (const auto& wait : explanation.waits) ASSERT_EQ(m.Machi[wait.tile], 1);
            ASSERT_EQ(std::count(m.Machi.begin(), m.Machi.end(), 1),
                      static_cast<long>(explanation.waits.size()));
        }
    }
}

TEST(WeakShape, SameCodeDealsTheSameTenHandsAndAnotherSeedOthers) {
    for (const WaitShape shape : engine::AllShapes) {
        const auto game = GameDescription::weakShape(1, false, shape, 777);
        const auto hands = dealGame(game);
        EXPECT_EQ(dealGame(game), hands);
        const auto replayed =
            GameDescription::fromCode(*engine::decodeGameCode(engine::encodeGameCode(*game.code)));
        EXPECT_EQ(dealGame(replayed), hands);
        EXPECT_NE(dealGame(GameDescription::weakShape(1, false, shape, 778)), hands);
    }
}

TEST(WeakShape, CodesRoundTripAndOutOfRangeShapesAreRefused) {
    for (int level = 0; level < 3; ++level)
        for (const WaitShape shape : engine::AllShapes)
            for (const std::uint32_t seed : {0u, 99u, 0xFFFFFFFFu}) {
                const GameCode code{level, seed % 2 == 1, level == 1, seed, GameCode::shapeField(shape)};
                EXPECT_EQ(engine::decodeGameCode(engine::encodeGameCode(code)), code);
            }
    // The first character holds SortHai, the shape and the spare bit: shapes 6 and 7 and the
    // spare bit are no code, whatever the check says.
    const std::string text = engine::encodeGameCode({0, false, false, 5u});
    constexpr std::string_view Alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
    int accepted = 0;
    for (const char first : Alphabet)
        for (const char check : Alphabet) {
            std::string typed = text;
            typed[0] = first;
            typed[10] = check;
            if (engine::decodeGameCode(typed)) ++accepted;
        }
    EXPECT_EQ(accepted, 2 * 6); // SortHai either way, shape none or one of five
}

// Codes made before the shape existed, and the game each plays.
struct OldCode {
    const char* text;
    GameCode code;
};
const OldCode oldCodes[] = {
    {"000-000-000", {0, false, false, 0u}},         {"140-KAA-AQK", {1, false, true, 20261207u}},
    {"0VZ-ZZZ-ZZS", {2, true, false, 4294967295u}}, {"1R3-NQK-8NX", {2, true, true, 123456789u}},
    {"1KF-AVF-QF6", {0, true, true, 3735928559u}},  {"040-000-1AV", {1, false, false, 42u}},
};

TEST(GameCodeCompatibility, EveryOldCodeReadsAndDealsAsBefore) {
    for (const OldCode& old : oldCodes) {
        const auto code = engine::decodeGameCode(old.text);
        ASSERT_TRUE(code) << old.text;
        EXPECT_EQ(*code, old.code) << old.text;
        EXPECT_FALSE(code->practiceShape()) << old.text;
        EXPECT_EQ(engine::encodeGameCode(old.code), old.text);
        // The designed generator, drawn exactly as before.
        engine::Mt19937Random rnd(old.code.seed);
        engine::Mondai m(rnd);
        std::vector<Hand> direct;
        for (int i = 0; i < 10; ++i) {
            m.buildProblem(old.code.level, old.code.notenOK, old.code.sortHai);
            direct.push_back(shownHand(m));
        }
        EXPECT_EQ(dealGame(GameDescription::fromCode(*code)), direct) << old.text;
    }
}

TEST(DailyCode, SameDateSameGameNeighbouringDatesDiffer) {
    constexpr std::int64_t jan2000 = 2451545; // Julian day of 2000-01-01
    std::set<std::uint32_t> seeds;
    for (std::int64_t day = jan2000; day < jan2000 + 36525; ++day) {
        const GameCode code = engine::dailyCode(day);
        ASSERT_EQ(engine::dailyCode(day), code);
        ASSERT_NE(engine::dailyCode(day - 1).seed, code.seed) << day;
        ASSERT_NE(engine::dailyCode(day + 1).seed, code.seed) << day;
        ASSERT_EQ(code.level, 1);
        ASSERT_FALSE(code.notenOK);
        ASSERT_FALSE(code.practiceShape());
        seeds.insert(code.seed);
    }
    EXPECT_GT(seeds.size(), 36500u);
    const auto today = GameDescription::daily(jan2000);
    EXPECT_EQ(today.timeLimit, 150);
    EXPECT_NE(dealGame(today), dealGame(GameDescription::daily(jan2000 + 1)));
}

TEST(Schedule, BoxesAndDueDaysFollowTheAnswers) {
    struct Step {
        int box;
        bool correct;
        std::int64_t day;
        std::optional<engine::ScheduleEntry> after;
    };
    const Step steps[] = {
        {0, false, 0, engine::ScheduleEntry{1, 1}},  // missed on day 0: due day 1
        {1, true, 1, engine::ScheduleEntry{2, 4}},   // then 3 days
        {2, true, 4, engine::ScheduleEntry{3, 11}},  // 7 days
        {3, true, 11, engine::ScheduleEntry{4, 32}}, // 21 days
        {4, true, 32, std::nullopt},                 // retired
        {0, true, 5, std::nullopt},                  // answered right: never enters
        {2, false, 9, engine::ScheduleEntry{1, 10}}, // wrong in any box: box 1 again
        {3, false, 20, engine::ScheduleEntry{1, 21}},
        {4, false, 40, engine::ScheduleEntry{1, 41}},
        {1, false, 2, engine::ScheduleEntry{1, 3}},
    };
    for (const Step& s : steps)
        EXPECT_EQ(engine::afterAnswer(s.box, s.correct, s.day), s.after)
            << "box " << s.box << " day " << s.day;
}

TEST(GameDescription, ReviewDealsTheGivenHandsAsShownThenFillsWithTheShape) {
    const Hand first{1, 9, 2, 3, 4, 5, 6, 7, 8, 9, 1, 9, 1}; // 九蓮: any order as shown
    const Hand second{31, 31, 31, 32, 32, 32, 5, 6, 7, 15, 16, 17, 37};
    const auto game = GameDescription::review({first, second}, 0, true, WaitShape::Penchan, 3);
    const auto hands = dealGame(game);
    EXPECT_EQ(hands[0], first);
    EXPECT_EQ(hands[1], second);
    for (std::size_t i = 2; i < hands.size(); ++i)
        EXPECT_TRUE(engine::hasWaitOfShape(engine::explain(hands[i]), WaitShape::Penchan)) << i;

    engine::Mt19937Random rnd(1);
    engine::Mondai m(rnd);
    engine::dealProblem(m, game, *game.code, 0);
    for (int k = 1; k <= 9; ++k) EXPECT_EQ(m.Machi[k], 1) << k; // nine-sided wait, judged
    EXPECT_EQ(m.Tehai[13], engine::EmptySlot);
    engine::dealProblem(m, game, *game.code, 1);
    EXPECT_EQ(std::count(m.Machi.begin(), m.Machi.end(), 1), 1);
    EXPECT_EQ(m.Machi[37], 1);

    EXPECT_TRUE(GameDescription{}.mayRecord());
    for (const auto& practice : {game, GameDescription::daily(1), GameDescription::fromCode({}),
                                 GameDescription::weakShape(0, true, WaitShape::Tanki, 1)})
        EXPECT_FALSE(practice.mayRecord()) << practice.name();
}

} // namespace

namespace {

TEST(WeakShape, DefaultIsTheHighestShareMissedAmongShapesMetOftenEnough) {
    using T = engine::ShapeTally;
    struct Case {
        std::array<T, 5> tally; // 単騎 双碰 両面 嵌張 辺張
        WaitShape expected;
    };
    const Case cases[] = {
        {{}, WaitShape::Ryanmen},                                                   // no history
        {{T{10, 0}, T{10, 0}, T{10, 0}, T{10, 0}, T{10, 0}}, WaitShape::Ryanmen},   // nothing missed
        {{T{10, 2}, T{10, 1}, T{40, 4}, T{10, 5}, T{8, 2}}, WaitShape::Kanchan},    // 50 %
        {{T{10, 2}, T{10, 1}, T{40, 4}, T{4, 4}, T{8, 3}}, WaitShape::Penchan},     // 4 waits: too few
        {{T{20, 19}, T{10, 1}, T{40, 39}, T{10, 0}, T{10, 0}}, WaitShape::Ryanmen}, // 97.5 % over 95 %
        {{T{5, 1}, T{6, 0}, T{0, 0}, T{0, 0}, T{0, 0}}, WaitShape::Tanki},          // only 単騎 missed
    };
    for (const Case& c : cases) EXPECT_EQ(engine::weakestShape(c.tally), c.expected);
}

} // namespace
