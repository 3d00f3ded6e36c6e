#include "engine/explain.h"
#include "hands.h"

#include <gtest/gtest.h>

#include <set>

using namespace enginetest;
using engine::Group;
using engine::Split;
using engine::WaitShape;

namespace {

// "1m:11m双碰,23m両面 5z:5枚目": each tile that is no NoSplit, with the waiting parts of a wait
// (the tiles of the 13 that wait) and their shapes, each once.
std::string waitsText(const engine::Explanation& e) {
    std::string text;
    for (Hai t = 1; t <= 37; ++t) {
        if (!engine::isTile(t) || e.verdict(t) == engine::Verdict::NoSplit) continue;
        text += (text.empty() ? "" : " ") + std::to_string(t % 10) + "mpsz"[t / 10] + ":";
        const engine::Wait* w = e.find(t);
        if (e.verdict(t) == engine::Verdict::FifthCopy || w == nullptr) {
            text += "5枚目";
            continue;
        }
        std::set<std::string> parts;
        for (const Split& s : w->splits) {
            const auto part = engine::waitingPart(s, t);
            std::string p;
            for (int i = 0; i < part.size; ++i) p += std::to_string(part.tiles[i] % 10);
            parts.insert(p + "mpsz"[part.tiles[0] / 10] + engine::shapeName(s.shape));
        }
        for (const auto& p : parts) text += p + (p == *parts.rbegin() ? "" : ",");
    }
    return text;
}

TEST(Explain, WaitsOfHandsWorkedOutWithTheirWaitingPartsAndShapes) {
    const struct {
        const char* hand;
        const char* waits;
    } cases[] = {
        {"23m 123p 123s 111z 55m", "1m:23m両面 4m:23m両面"},
        {"13m 123p 123s 111z 55m", "2m:13m嵌張"},
        {"12m 123p 123s 111z 55m", "3m:12m辺張"},
        {"123456789m 111p 5s", "5s:5s単騎"},
        {"123m 456p 789s 11z 66m", "6m:66m双碰 1z:11z双碰"},
        // 1m and 9m finish a triplet or a run in the same split.
        {"1112345678999m", "1m:11m双碰,23m両面 2m:2m単騎 3m:12m辺張,45m両面 4m:23m両面,56m両面 5m:5m単騎 "
                           "6m:45m両面,78m両面 7m:56m両面,89m辺張 8m:8m単騎 9m:78m両面,99m双碰"},
        // The 666 read as a triplet or as a pair and a tile.
        {"2345666m 123p 456p", "1m:23m両面 2m:2m単騎 4m:23m両面,56m両面 5m:5m単騎 7m:56m両面"},
        // 5m alone in three splits (111 222 333 444, 111 234 234 234, 123 123 123 444).
        {"1112223334445m", "2m:2m単騎,34m両面 3m:12m辺張,24m嵌張,33m双碰,45m両面 4m:35m嵌張,44m双碰 "
                           "5m:34m両面,5m単騎 6m:45m両面"},
        {"2223m 123p 456s 789s", "1m:23m両面 3m:3m単騎 4m:23m両面"},
        // 1m would complete 1111 234, but there is no fifth 1m.
        {"1111234m 123p 123s", "1m:5枚目 4m:4m単騎"},
        {"5555z 123456789m", "5z:5枚目"},
        {"1357m 2468p 13579s", ""},
        {"11335577m 22p 44s 1z", ""}, // seven pairs is no winning shape
    };
    for (const auto& c : cases)
        EXPECT_EQ(waitsText(engine::explain(hand13(parseTiles(c.hand)))), c.waits) << c.hand;
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
    for (int k = 0; k < 3; ++k) c[g.tile + (g.kind == Group::Kind::Run ? k : 0)] += by;
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
    for (int k = 0; k < 3; ++k)
        if (g.tile + k != x) left.push_back((g.tile + k) % 10);
    if (left[1] - left[0] == 2) return WaitShape::Kanchan;
    return left == std::vector<int>{1, 2} || left == std::vector<int>{8, 9} ? WaitShape::Penchan
                                                                            : WaitShape::Ryanmen;
}

// Checks one hand's explanation against the judgement and the search; "" when all agree.
std::string checkHand(const engine::Mondai& m, const engine::Explanation& e) {
    const auto hand = handOf(m);
    Counts c = countTiles(hand);
    std::vector<Hai> machi, waits;
    for (Hai x = 1; x <= 37; ++x)
        if (m.Machi[x] == 1) machi.push_back(x);
    for (const auto& w : e.waits) waits.push_back(w.tile);
    if (waits != machi) return "waits differ from Machi";
    for (const auto& w : e.waits) {
        ++c[w.tile];
        std::vector<Key> listed;
        for (const Split& s : w.splits) {
            // Groups and their order are checked by the search below; the shape by its tiles.
            if (s.completed < 0 || s.completed > 4) return "no completed group";
            if (s.shape != expectedShape(s.groups[s.completed], w.tile)) return "wrong shape";
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
        const auto e = engine::explain(hand13(handOf(m)));
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
