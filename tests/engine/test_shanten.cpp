#include "engine/shanten.h"
#include "hands.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

TEST(Shanten, KnownHandsAndTheirEffectiveTiles) {
    const struct {
        const char* hand;
        int shanten;
        const char* effective; // "" when not checked
        int copies;
    } cases[] = {
        {"23m 123p 123s 111z 55m", 0, "1m4m", 8},
        {"1112345678999m", 0, "1m2m3m4m5m6m7m8m9m", 23},
        // Three sets and 23m: the pair from 5m or 東, 23m finished, or 22m beside 35m.
        {"123456789p 23m 5m 1z", 1, "1m2m4m5m1z", 17},
        {"11335577m 22p 44s 1z", 3, "", 0},
        {"19m 19p 19s 1234567z", 8, "1m2m3m7m8m9m1p2p3p7p8p9p1s2s3s7s8s9s1z2z3z4z5z6z7z", 87},
        // Its only finishing tile would be a fifth 5m: not ready.
        {"5555m 123456789p", 1, "", 0},
    };
    for (const auto& c : cases) {
        const auto hand = hand13(parseTiles(c.hand));
        const auto d = engine::distance(hand);
        EXPECT_EQ(engine::shanten(hand), c.shanten) << c.hand;
        EXPECT_EQ(d.shanten, c.shanten) << c.hand;
        if (*c.effective == '\0') continue;
        std::vector<Hai> effective;
        for (const auto& e : d.effective) effective.push_back(e.tile);
        EXPECT_EQ(effective, parseTiles(c.effective)) << c.hand;
        EXPECT_EQ(d.copiesLeft(), c.copies) << c.hand;
    }
}

// The reference: the fewest tiles missing from any pair and four sets holding no tile more than
// four times, found by plain search suit by suit (suits share no group), then the sets shared
// among the suits in every way. Within a suit, the groups that hold the lowest tile still
// unplaced are chosen (in a fixed order, so each choice is met once), then its other copies are
// thrown away; groups that hold no tile of the hand are built from nothing.
struct SuitSearch {
    Counts h{};    // tiles of the suit not yet placed
    Counts used{}; // copies in the groups chosen
    int left = 0;  // tiles in h
    int sets = 0, pair = 0;
    int best = 99;

    // Options at the lowest tile a: 0 the pair, 1 a triplet, 2..4 the runs from a-2, a-1, a.
    void place(int cost, int setsNow, int pairNow, int from) {
        // Each tile still held can save at most one missing tile.
        const int toBuild = 3 * (sets - setsNow) + 2 * (pair - pairNow);
        if (cost + std::max(0, toBuild - left) >= best) return;
        int a = 1;
        while (a <= 37 && h[a] == 0) ++a;
        if (a > 37) {
            best = cost + toBuild;
            return;
        }
        if (from <= 0 && pairNow < pair) group(a, 0, 0, 2, cost, setsNow, pairNow + 1);
        if (from <= 1 && setsNow < sets) group(a, 1, 0, 3, cost, setsNow + 1, pairNow);
        for (int o = std::max(from, 2); o <= 4 && setsNow < sets; ++o) {
            const int start = a - 4 + o;
            if (a < 30 && start >= a / 10 * 10 + 1 && start % 10 <= 7)
                group(a, o, 1, 3, cost, setsNow + 1, pairNow);
        }
        const int n = h[a];
        h[a] = 0;
        left -= n;
        place(cost, setsNow, pairNow, 0); // the rest of a thrown away
        h[a] = n;
        left += n;
    }

    // Option o at a: n tiles from its first in steps of `step` (0: copies of a, 1: a run).
    void group(int a, int o, int step, int n, int cost, int setsNow, int pairNow) {
        const int first = step == 0 ? a : a - 4 + o;
        std::array<bool, 3> took{};
        bool fits = true;
        for (int i = 0; i < n; ++i) fits = ++used[first + i * step] <= 4 && fits;
        for (int i = 0; i < n; ++i) {
            const int t = first + i * step;
            took[i] = h[t] > 0; // else built from nothing
            h[t] -= took[i];
            left -= took[i];
            cost += !took[i];
        }
        if (fits) place(cost, setsNow, pairNow, h[a] > 0 ? o : 0);
        for (int i = 0; i < n; ++i) {
            const int t = first + i * step;
            h[t] += took[i];
            left += took[i];
            --used[t];
        }
    }
};

using SuitCosts = std::array<std::array<int, 2>, 5>; // [sets][pair]

// With `below`, each entry is searched only for a cost under it (a drawn tile lowers an entry
// by one or not at all), and keeps it when there is none.
SuitCosts suitCosts(const Counts& c, int suit, const SuitCosts* below = nullptr) {
    SuitCosts out{};
    for (int k = 0; k <= 4; ++k)
        for (int q = 0; q <= 1; ++q) {
            SuitSearch s{.sets = k, .pair = q, .best = below ? (*below)[k][q] : 99};
            for (int t = suit * 10 + 1; t <= suit * 10 + 9 && t <= 37; ++t) {
                s.h[t] = c[t];
                s.left += c[t];
            }
            s.place(0, 0, 0, 0);
            out[k][q] = s.best;
        }
    return out;
}

int combine(const std::array<SuitCosts, 4>& t) {
    int best = 99;
    for (int a = 0; a <= 4; ++a)
        for (int b = 0; a + b <= 4; ++b)
            for (int s = 0; a + b + s <= 4; ++s)
                for (int q = 0; q < 4; ++q) {
                    const std::array<int, 4> k{a, b, s, 4 - a - b - s};
                    int sum = 0;
                    for (int u = 0; u < 4; ++u) sum += t[u][k[u]][u == q];
                    best = std::min(best, sum);
                }
    return best;
}

// Hands from the generator (ready, and one tile moved) and hands of random tiles.
std::array<Hai, 13> testHand(int i, engine::Mondai& m, engine::RandomSource& rnd) {
    if (i % 2 == 0) {
        m.buildProblem(i / 2 % 3, 1, 1);
        return hand13(handOf(m));
    }
    std::array<Hai, 13> hand{};
    Counts c{};
    // Every other random hand is drawn from one or two suits, where the hard shapes are.
    const int kinds = i % 4 == 1 ? 34 : 18;
    for (auto& t : hand) {
        do {
            const int k = static_cast<int>(rnd.Rnd() * static_cast<float>(kinds)) % kinds;
            t = static_cast<Hai>(k / 9 * 10 + k % 9 + 1);
        } while (c[t] >= 4);
        ++c[t];
    }
    return hand;
}

TEST(Shanten, AgreesWithAPlainSearchAndEveryEffectiveTileLowersIt) {
    engine::Mt19937Random rnd(4242);
    engine::Mondai m(rnd);
    constexpr int hands = 100000;
    int faults = 0;
    std::array<int, 10> bySteps{};
    for (int i = 0; i < hands && faults < 10; ++i) {
        const auto hand = testHand(i, m, rnd);
        Counts c = countTiles({hand.begin(), hand.end()});
        std::array<SuitCosts, 4> costs{};
        for (int suit = 0; suit < 4; ++suit) costs[suit] = suitCosts(c, suit);
        const int missing = combine(costs);
        const auto d = engine::distance(hand);
        ++bySteps[static_cast<std::size_t>(std::clamp(d.shanten, 0, 9))];
        std::string fault = d.shanten == missing - 1 ? "" : "shanten " + std::to_string(d.shanten);
        std::size_t listed = 0;
        // Every hand's effective tiles, one suit search a tile.
        for (int x = 1; x <= 37 && fault.empty(); ++x) {
            if (!engine::isTile(x) || c[x] >= 4) continue;
            ++c[x];
            auto drawn = costs;
            drawn[x / 10] = suitCosts(c, x / 10, &costs[x / 10]);
            const bool lowers = combine(drawn) < missing;
            --c[x];
            const bool inList = listed < d.effective.size() && d.effective[listed].tile == x;
            if (inList && d.effective[listed].copiesLeft != 4 - c[x])
                fault = "copies of " + std::to_string(x);
            listed += inList;
            if (lowers != inList) fault = "effective " + std::to_string(x);
        }
        if (fault.empty() && listed != d.effective.size()) fault = "listed a tile held four times";
        faults += !fault.empty();
        EXPECT_EQ(fault, "") << describe({hand.begin(), hand.end()});
    }
    // The hands reached every distance from ready to far.
    for (int s = 0; s <= 5; ++s) EXPECT_GT(bySteps[static_cast<std::size_t>(s)], 0) << s;
}

} // namespace
