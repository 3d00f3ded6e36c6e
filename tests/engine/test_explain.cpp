#include "engine/explain.h"
#include "hands.h"

#include <gtest/gtest.h>

#include <utility>

using namespace enginetest;
using engine::Group;
using engine::Split;
using engine::WaitShape;

namespace {

engine::Explanation explainText(std::string_view text) {
    const auto tiles = parseTiles(text);
    std::array<Hai, 13> hand{};
    if (tiles.size() != hand.size()) throw std::invalid_argument("not 13 tiles: " + std::string(text));
    std::copy(tiles.begin(), tiles.end(), hand.begin());
    return engine::explain(hand);
}

std::string groupText(const Group& g) {
    const int n = g.tile % 10;
    std::string digits = g.kind == Group::Kind::Run
                             ? std::to_string(n * 100 + (n + 1) * 10 + n + 2)
                             : std::string(g.kind == Group::Kind::Pair ? 2 : 3, static_cast<char>('0' + n));
    return digits + "mpsz"[g.tile / 10];
}

// "55m [123m] 123p 123s 111z 両面": the groups in order, the completed one in brackets, the shape.
std::string splitText(const Split& s) {
    std::string text;
    for (int i = 0; i < 5; ++i) {
        const std::string g = groupText(s.groups[i]);
        text += i == s.completed ? "[" + g + "] " : g + " ";
    }
    return text + engine::shapeName(s.shape);
}

std::vector<std::string> splitsOf(const engine::Explanation& e, Hai tile) {
    std::vector<std::string> texts;
    if (const engine::Wait* w = e.find(tile)) {
        for (const Split& s : w->splits) texts.push_back(splitText(s));
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::vector<Hai> waitTiles(const engine::Explanation& e) {
    std::vector<Hai> tiles;
    for (const auto& w : e.waits) tiles.push_back(w.tile);
    return tiles;
}

TEST(Explain, EachShapeOfWaitOnAHandWorkedOut) {
    const struct {
        const char* hand;
        const char* tile;
        std::vector<std::string> splits;
    } cases[] = {
        {"23m 123p 123s 111z 55m", "1m", {"55m [123m] 123p 123s 111z 両面"}},
        {"23m 123p 123s 111z 55m", "4m", {"55m [234m] 123p 123s 111z 両面"}},
        {"13m 123p 123s 111z 55m", "2m", {"55m [123m] 123p 123s 111z 嵌張"}},
        {"12m 123p 123s 111z 55m", "3m", {"55m [123m] 123p 123s 111z 辺張"}},
        {"89m 123p 123s 111z 55m", "7m", {"55m [789m] 123p 123s 111z 辺張"}},
        {"123456789m 111p 5s", "5s", {"[55s] 123m 456m 789m 111p 単騎"}},
        {"123m 456p 789s 11z 22z", "1z", {"22z 123m 456p 789s [111z] 双碰"}},
        {"123m 456p 789s 11z 22z", "2z", {"11z 123m 456p 789s [222z] 双碰"}},
        // The same split twice: the tile may finish the triplet or the run.
        {"1112345678999m", "1m", {"99m 111m [123m] 456m 789m 両面", "99m [111m] 123m 456m 789m 双碰"}},
        {"1112345678999m", "9m", {"11m 123m 456m 789m [999m] 双碰", "11m 123m 456m [789m] 999m 両面"}},
        {"1112345678999m", "5m", {"[55m] 111m 234m 678m 999m 単騎"}},
        // Four ways to split; in one the tile finishes a run, and the two runs 345 are one entry.
        {"1112223334445m",
         "5m",
         {"[55m] 111m 222m 333m 444m 単騎", "[55m] 111m 234m 234m 234m 単騎",
          "[55m] 123m 123m 123m 444m 単騎", "22m 111m 234m [345m] 345m 両面"}},
        // 2223 waiting on 4: a run beside the pair, or the pair beside a triplet and a run.
        {"2223m 123p 456s 789s", "4m", {"22m [234m] 123p 456s 789s 両面"}},
        {"2223m 123p 456s 789s", "3m", {"[33m] 222m 123p 456s 789s 単騎"}},
    };
    for (const auto& c : cases) {
        const Hai tile = parseTiles(c.tile)[0];
        auto want = c.splits;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(splitsOf(explainText(c.hand), tile), want) << c.hand << " on " << c.tile;
    }
}

// "45m 両面": the tiles of the 13 that wait, and the shape, for each reading of one wait.
std::vector<std::string> partsOf(const engine::Explanation& e, Hai tile) {
    std::vector<std::string> texts;
    if (const engine::Wait* w = e.find(tile)) {
        for (const Split& s : w->splits) {
            const auto part = engine::waitingPart(s, tile);
            std::string t;
            for (int i = 0; i < part.size; ++i) t += std::to_string(part.tiles[i] % 10);
            t = t + "mpsz"[part.tiles[0] / 10] + " " + engine::shapeName(s.shape);
            if (std::find(texts.begin(), texts.end(), t) == texts.end()) texts.push_back(t);
        }
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

TEST(Explain, TheWaitingPartHeldBeforeTheDraw) {
    const struct {
        const char* hand;
        const char* tile;
        std::vector<std::string> parts;
    } cases[] = {
        {"45m 123p 123s 111z 55s", "3m", {"45m 両面"}},
        {"45m 123p 123s 111z 55s", "6m", {"45m 両面"}},
        {"13m 123p 123s 111z 55m", "2m", {"13m 嵌張"}},
        {"12m 123p 123s 111z 55m", "3m", {"12m 辺張"}},
        {"89p 123m 123s 111z 55m", "7p", {"89p 辺張"}},
        {"123456789m 111p 5s", "5s", {"5s 単騎"}},
        {"123m 456p 789s 11z 66m", "6m", {"66m 双碰"}},
        {"123m 456p 789s 11z 66m", "1z", {"11z 双碰"}},
        // The nine waits of 1112345678999m.
        {"1112345678999m", "1m", {"11m 双碰", "23m 両面"}},
        {"1112345678999m", "2m", {"2m 単騎"}},
        {"1112345678999m", "3m", {"12m 辺張", "45m 両面"}},
        {"1112345678999m", "4m", {"23m 両面", "56m 両面"}},
        {"1112345678999m", "5m", {"5m 単騎"}},
        {"1112345678999m", "6m", {"45m 両面", "78m 両面"}},
        {"1112345678999m", "7m", {"56m 両面", "89m 辺張"}},
        {"1112345678999m", "8m", {"8m 単騎"}},
        {"1112345678999m", "9m", {"78m 両面", "99m 双碰"}},
        // 2345666m waits on 1m 2m 4m 5m 7m: the 666 read as a triplet or as a pair and a tile.
        {"2345666m 123p 456p", "1m", {"23m 両面"}},
        {"2345666m 123p 456p", "2m", {"2m 単騎"}},
        {"2345666m 123p 456p", "4m", {"23m 両面", "56m 両面"}},
        {"2345666m 123p 456p", "5m", {"5m 単騎"}},
        {"2345666m 123p 456p", "7m", {"56m 両面"}},
    };
    for (const auto& c : cases) {
        auto want = c.parts;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(partsOf(explainText(c.hand), parseTiles(c.tile)[0]), want) << c.hand << " on " << c.tile;
    }
    EXPECT_EQ(waitTiles(explainText("2345666m 123p 456p")), parseTiles("12457m"));
}

TEST(Explain, WaitsAndVerdictsOfKnownHands) {
    const auto nine = explainText("1112345678999m");
    EXPECT_EQ(waitTiles(nine), parseTiles("123456789m"));
    EXPECT_TRUE(nine.ready());
    EXPECT_TRUE(nine.fifthCopies.empty());

    // 1m would complete 1111 234: the pair, a triplet and a run, but there is no fifth 1m.
    const auto four = explainText("1111234m 123p 123s");
    EXPECT_EQ(waitTiles(four), parseTiles("4m"));
    EXPECT_EQ(four.fifthCopies, parseTiles("1m"));
    EXPECT_EQ(four.verdict(1), engine::Verdict::FifthCopy);
    EXPECT_EQ(four.verdict(4), engine::Verdict::IsAWait);
    EXPECT_EQ(four.verdict(7), engine::Verdict::NoSplit);
    EXPECT_EQ(four.find(1), nullptr);

    const auto notReady = explainText("1357m 2468p 13579s");
    EXPECT_FALSE(notReady.ready());
    EXPECT_TRUE(notReady.fifthCopies.empty());
    EXPECT_EQ(notReady.verdict(5), engine::Verdict::NoSplit);
    EXPECT_EQ(explainText("5555z 123456789m").fifthCopies, parseTiles("5z"));
    EXPECT_FALSE(explainText("11335577m 22p 44s 1z").ready()); // seven pairs is no winning shape
}

TEST(Explain, HandWithCodesThatAreNoTilesHasNoExplanation) {
    for (Hai bad : {Hai{0}, Hai{10}, Hai{30}, Hai{38}, Hai{99}, Hai{-1}, Hai{32767}}) {
        std::array<Hai, 13> hand{1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9};
        hand[5] = bad;
        const auto e = engine::explain(hand);
        EXPECT_TRUE(e.waits.empty() && e.fifthCopies.empty()) << bad;
    }
}

// An independent search: the pair, then four sets chosen from a fixed list in list order.
// A group is coded tile * 4 + kind, so codes sort as a split lists its sets; a key holds the five
// groups, pair first, and then the completed group.
using Key = std::array<int, 6>;

int codeOf(const Group& g) {
    return g.tile * 4 + static_cast<int>(g.kind);
}

bool fits(const Counts& c, const Group& g) {
    if (g.kind == Group::Kind::Run) return c[g.tile] > 0 && c[g.tile + 1] > 0 && c[g.tile + 2] > 0;
    return c[g.tile] >= 3;
}

void change(Counts& c, const Group& g, int by) {
    if (g.kind == Group::Kind::Run) {
        for (int k = 0; k < 3; ++k) c[g.tile + k] += by;
    } else {
        c[g.tile] += 3 * by;
    }
}

// One entry for each distinct group of a found split that holds x.
void addKeys(Key key, Hai x, std::vector<Key>& keys) {
    for (int i = 0; i < 5; ++i) {
        const int tile = key[i] / 4;
        const bool run = key[i] % 4 == static_cast<int>(Group::Kind::Run);
        const bool holds = run ? x >= tile && x <= tile + 2 : x == tile;
        if (!holds || std::find(key.begin(), key.begin() + i, key[i]) != key.begin() + i) continue;
        key[5] = key[i];
        keys.push_back(key);
    }
}

void chooseSets(Counts& c, const std::vector<Group>& sets, std::size_t from, Key& key, int n, Hai x,
                std::vector<Key>& keys) {
    if (n == 5) {
        if (std::all_of(c.begin(), c.end(), [](int k) { return k == 0; })) addKeys(key, x, keys);
        return;
    }
    for (std::size_t i = from; i < sets.size(); ++i) {
        if (!fits(c, sets[i])) continue;
        change(c, sets[i], -1);
        key[n] = codeOf(sets[i]);
        chooseSets(c, sets, i, key, n + 1, x, keys);
        change(c, sets[i], 1);
    }
}

// Every (split, completed group) that the tile x gives the 14 counts c.
std::vector<Key> bruteForce(Counts c, Hai x) {
    std::vector<Group> sets;
    for (int a = 1; a <= 37; ++a) {
        const Group triplet{Group::Kind::Triplet, static_cast<Hai>(a)};
        const Group run{Group::Kind::Run, static_cast<Hai>(a)};
        if (engine::isTile(a) && fits(c, triplet)) sets.push_back(triplet);
        if (a < 30 && a % 10 >= 1 && a % 10 <= 7 && fits(c, run)) sets.push_back(run);
    }
    std::vector<Key> keys;
    for (int p = 1; p <= 37; ++p) {
        if (c[p] < 2) continue;
        c[p] -= 2;
        Key key{codeOf({Group::Kind::Pair, static_cast<Hai>(p)})};
        chooseSets(c, sets, 0, key, 1, x, keys);
        c[p] += 2;
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// The shape named by the two tiles left when x is taken out of its completed group.
WaitShape expectedShape(const Group& g, Hai x) {
    if (g.kind == Group::Kind::Pair) return WaitShape::Tanki;
    if (g.kind == Group::Kind::Triplet) return WaitShape::Shanpon;
    std::vector<int> left;
    for (int k = 0; k < 3; ++k) {
        if (g.tile + k != x) left.push_back((g.tile + k) % 10);
    }
    if (left[1] - left[0] == 2) return WaitShape::Kanchan;
    return left == std::vector<int>{1, 2} || left == std::vector<int>{8, 9} ? WaitShape::Penchan
                                                                            : WaitShape::Ryanmen;
}

// What is wrong with one listed split of hand + x, or "" when it is sound.
std::string checkSplit(const Split& s, Counts full, Hai x) {
    if (s.groups[0].kind != Group::Kind::Pair) return "no pair first";
    for (int i = 0; i < 5; ++i) {
        const Group& g = s.groups[i];
        if (!engine::isTile(g.tile) || (i > 0 && g.kind == Group::Kind::Pair)) return "bad group";
        if (g.kind == Group::Kind::Run && (g.tile > 29 || g.tile % 10 > 7)) return "bad run";
        if (g.kind == Group::Kind::Run) {
            for (int k = 0; k < 3; ++k) --full[g.tile + k];
        } else {
            full[g.tile] -= g.kind == Group::Kind::Pair ? 2 : 3;
        }
    }
    if (std::any_of(full.begin(), full.end(), [](int n) { return n != 0; })) return "not the 14 tiles";
    if (s.completed < 0 || s.completed > 4) return "no completed group";
    const Group& done = s.groups[s.completed];
    const int first = done.tile, last = done.kind == Group::Kind::Run ? first + 2 : first;
    if (x < first || x > last) return "completed group lacks the tile";
    if (s.shape != expectedShape(done, x)) return "wrong shape";
    return "";
}

// Checks one hand's explanation against the judgement and the search; "" when all agree.
std::string checkHand(const engine::Mondai& m, const engine::Explanation& e) {
    const auto hand = handOf(m);
    Counts c = countTiles(hand);
    std::vector<Hai> machi;
    for (int x = 1; x <= 37; ++x) {
        if (m.Machi[x] == 1) machi.push_back(static_cast<Hai>(x));
    }
    if (waitTiles(e) != machi) return "waits differ from Machi";
    for (const auto& w : e.waits) {
        ++c[w.tile];
        std::vector<Key> listed;
        for (const Split& s : w.splits) {
            if (const std::string fault = checkSplit(s, c, w.tile); !fault.empty()) return fault;
            Key k{};
            for (int i = 0; i < 5; ++i) k[i] = codeOf(s.groups[i]);
            k[5] = codeOf(s.groups[s.completed]);
            listed.push_back(k);
        }
        std::sort(listed.begin(), listed.end());
        if (listed != bruteForce(c, w.tile))
            return "splits differ from the search on " + std::to_string(w.tile);
        --c[w.tile];
    }
    for (int x = 1; x <= 37; ++x) {
        if (c[x] != 4) continue;
        ++c[x];
        const bool shape = isComplete(c);
        --c[x];
        const bool listed = std::count(e.fifthCopies.begin(), e.fifthCopies.end(), x) == 1;
        if (shape != listed) return "fifth copy " + std::to_string(x);
    }
    return "";
}

TEST(Explain, AgreesWithJudgementAndSearchOnGeneratedHands) {
    engine::Mt19937Random rnd(777);
    engine::Mondai m(rnd);
    constexpr int problems = 100000;
    int faults = 0, splits = 0, fifth = 0;
    for (int i = 0; i < problems && faults < 10; ++i) {
        // Every level, with and without the not-ready step, shown sorted and shuffled.
        m.buildProblem(i % 3, static_cast<std::int16_t>(i / 3 % 2), static_cast<std::int16_t>(i / 6 % 2));
        std::array<Hai, 13> hand{};
        std::copy(m.Tehai.begin(), m.Tehai.begin() + 13, hand.begin());
        const auto e = engine::explain(hand);
        for (const auto& w : e.waits) splits += static_cast<int>(w.splits.size());
        fifth += !e.fifthCopies.empty();
        const std::string fault = checkHand(m, e);
        if (!fault.empty()) ++faults;
        EXPECT_EQ(fault, "") << describe(handOf(m));
    }
    // The run reached the shapes that matter: many splits, and some fifth copies refused.
    EXPECT_GT(splits, problems);
    EXPECT_GT(fifth, 0);
}

} // namespace
