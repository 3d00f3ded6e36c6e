#include "engine/shanten.h"

#include "engine/explain.h"

#include <algorithm>
#include <cstdint>

namespace engine {

namespace {

// The fewest tiles missing from a hand is found suit by suit: for each suit, and for every
// number of sets (0..4) with or without the pair, the fewest tiles to add so that the suit holds
// exactly those groups, never more than four of a tile. Tiles of the hand left out cost nothing:
// they are the discards.
constexpr std::int8_t Far = 60;
using Table = std::array<std::array<std::int8_t, 2>, 5>; // [sets][pair]
using Counts = std::array<std::int8_t, 38>;

std::int8_t missing(int wanted, int held) {
    return static_cast<std::int8_t>(wanted > held ? wanted - held : 0);
}

void lower(std::int8_t& to, int cost) {
    if (cost < to) to = static_cast<std::int8_t>(cost);
}

// A number suit, position by position; the state is the runs still open from the two positions
// before (they cover this one), the sets begun so far and whether the pair is placed.
struct Layer {
    std::int8_t v[5][5][5][2];
    void fill() { std::fill(&v[0][0][0][0], &v[0][0][0][0] + sizeof v, Far); }
};

// Groups with no tile of the hand in them cost their whole size wherever they go, so the search
// places only groups that hold a tile of the suit, and adds the rest at that cost afterwards.
void stepPosition(const Layer& cur, Layer& next, const std::int8_t* held, int k) {
    next.fill();
    const int here = held[k];
    const int runsUseful = k <= 7 ? std::max({here, int{held[k + 1]}, int{held[k + 2]}}) : 0;
    const int copiesUseful = here > 0 ? 1 : 0;
    for (int o1 = 0; o1 <= 4; ++o1)
        for (int o2 = 0; o1 + o2 <= 4; ++o2)
            for (int u = o1 + o2; u <= 4; ++u)
                for (int q = 0; q <= 1; ++q) {
                    const std::int8_t cost = cur.v[o1][o2][u][q];
                    if (cost >= Far) continue;
                    for (int t = 0; t <= copiesUseful && u + t <= 4 && o1 + o2 + 3 * t <= 4; ++t)
                        for (int qn = 0; qn <= (q == 0 ? copiesUseful : 0) && o1 + o2 + 3 * t + 2 * qn <= 4;
                             ++qn) {
                            const int fixed = o1 + o2 + 3 * t + 2 * qn;
                            const int most = std::min({runsUseful, 4 - u - t, 4 - fixed});
                            for (int r = 0; r <= most; ++r)
                                lower(next.v[r][o1][u + t + r][q + qn], cost + missing(fixed + r, here));
                        }
                }
}

// A table of groups that hold tiles, closed under adding groups built from nothing.
Table withGroupsFromNothing(const Table& placed) {
    Table t{};
    for (int k = 0; k <= 4; ++k)
        for (int q = 0; q <= 1; ++q) {
            int best = Far;
            for (int pk = 0; pk <= k; ++pk)
                for (int pq = 0; pq <= q; ++pq)
                    best = std::min(best, placed[pk][pq] + 3 * (k - pk) + 2 * (q - pq));
            t[k][q] = static_cast<std::int8_t>(best);
        }
    return t;
}

Table numberSuit(const Counts& c, int base) {
    Table t{};
    for (auto& row : t) row = {Far, Far};
    t[0][0] = 0;
    bool empty = true;
    for (int k = 1; k <= 9; ++k) empty = empty && c[base + k] == 0;
    if (empty) return withGroupsFromNothing(t);
    // Two spare zeros past 9, so the runs from 8 and 9 look at nothing.
    std::array<std::int8_t, 12> held{};
    for (int k = 1; k <= 9; ++k) held[k] = c[base + k];
    Layer a, b;
    a.fill();
    a.v[0][0][0][0] = 0;
    for (int k = 1; k <= 9; ++k) {
        stepPosition(a, b, held.data(), k);
        std::swap(a, b);
    }
    for (int k = 0; k <= 4; ++k)
        for (int q = 0; q <= 1; ++q) t[k][q] = a.v[0][0][k][q];
    return withGroupsFromNothing(t);
}

// Honours make only triplets and the pair.
Table honours(const Counts& c) {
    std::int8_t v[5][2];
    std::fill(&v[0][0], &v[0][0] + 10, Far);
    v[0][0] = 0;
    for (int h = 31; h <= LastTile; ++h) {
        if (c[h] == 0) continue;
        std::int8_t w[5][2];
        std::copy(&v[0][0], &v[0][0] + 10, &w[0][0]);
        for (int u = 0; u <= 4; ++u)
            for (int q = 0; q <= 1; ++q) {
                if (v[u][q] >= Far) continue;
                if (u < 4) lower(w[u + 1][q], v[u][q] + missing(3, c[h]));
                if (q == 0) lower(w[u][1], v[u][q] + missing(2, c[h]));
            }
        std::copy(&w[0][0], &w[0][0] + 10, &v[0][0]);
    }
    Table t{};
    for (int u = 0; u <= 4; ++u)
        for (int q = 0; q <= 1; ++q) t[u][q] = v[u][q];
    return withGroupsFromNothing(t);
}

using Tables = std::array<Table, 4>;

Tables tablesOf(const Counts& c) {
    return {numberSuit(c, 0), numberSuit(c, 10), numberSuit(c, 20), honours(c)};
}

// The fewest tiles to add for a pair and four sets, sets shared among the suits in every way.
int fewestMissing(const Tables& t) {
    int best = Far;
    for (int a = 0; a <= 4; ++a)
        for (int b = 0; a + b <= 4; ++b)
            for (int s = 0; a + b + s <= 4; ++s) {
                const int z = 4 - a - b - s;
                const int sets = t[0][a][0] + t[1][b][0] + t[2][s][0] + t[3][z][0];
                const int withPair =
                    std::min({sets - t[0][a][0] + t[0][a][1], sets - t[1][b][0] + t[1][b][1],
                              sets - t[2][s][0] + t[2][s][1], sets - t[3][z][0] + t[3][z][1]});
                best = std::min(best, withPair);
            }
    return best;
}

int suitOf(Hai tile) {
    return tile / 10;
}

bool countHand(const std::array<Hai, 13>& hand, Counts& c) {
    for (Hai h : hand) {
        if (!isTile(h)) return false;
        ++c[h];
    }
    return true;
}

// A tile with nothing of its suit within two steps can only stand in a group built from nothing,
// so whether its draw helps is the same for every such tile.
bool isolated(const Counts& c, Hai x) {
    if (c[x] > 0) return false;
    if (x > 30) return true;
    const int base = x / 10 * 10;
    for (int y = std::max(base + 1, x - 2); y <= std::min(base + 9, x + 2); ++y)
        if (c[y] > 0) return false;
    return true;
}

// The table of one suit after a change to its counts.
Table suitTable(const Counts& c, int suit) {
    return suit == 3 ? honours(c) : numberSuit(c, suit * 10);
}

} // namespace

int shanten(const std::array<Hai, 13>& hand) {
    Counts c{};
    if (!countHand(hand, c)) return 8;
    return fewestMissing(tablesOf(c)) - 1;
}

int Distance::copiesLeft() const {
    int n = 0;
    for (const Effective& e : effective) n += e.copiesLeft;
    return n;
}

Distance distance(const std::array<Hai, 13>& hand) {
    Distance d;
    Counts c{};
    if (!countHand(hand, c)) {
        d.shanten = 8;
        return d;
    }
    Tables t = tablesOf(c);
    const int now = fewestMissing(t);
    d.shanten = now - 1;
    int isolatedHelps = -1; // not yet known
    for (Hai x = FirstTile; x <= LastTile; ++x) {
        if (!isTile(x) || c[x] >= 4) continue;
        const bool alone = isolated(c, x);
        if (!alone || isolatedHelps < 0) {
            const int suit = suitOf(x);
            const Table kept = t[suit];
            ++c[x];
            t[suit] = suitTable(c, suit);
            const bool helps = fewestMissing(t) < now;
            --c[x];
            t[suit] = kept;
            if (alone) isolatedHelps = helps;
            if (helps) d.effective.push_back({x, 4 - c[x]});
        } else if (isolatedHelps == 1) {
            d.effective.push_back({x, 4});
        }
    }
    return d;
}

std::vector<Discard> discardsAfter(const std::array<Hai, 13>& hand, Hai drawn) {
    std::vector<Discard> out;
    const int before = shanten(hand);
    std::array<Hai, 14> all{};
    std::copy(hand.begin(), hand.end(), all.begin());
    all[13] = drawn;
    std::sort(all.begin(), all.end());
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i > 0 && all[i] == all[i - 1]) continue;
        std::array<Hai, 13> left{};
        std::copy(all.begin(), all.begin() + static_cast<long>(i), left.begin());
        std::copy(all.begin() + static_cast<long>(i) + 1, all.end(), left.begin() + static_cast<long>(i));
        const int after = shanten(left);
        if (after >= before) continue;
        Discard d{all[i], {}};
        if (after == 0)
            for (const Wait& w : explain(left).waits) d.waits.push_back(w.tile);
        out.push_back(std::move(d));
    }
    return out;
}

int copiesLeft(const std::array<Hai, 13>& hand, Hai tile) {
    const auto held = std::count(hand.begin(), hand.end(), tile);
    return held >= 4 ? 0 : 4 - static_cast<int>(held);
}

} // namespace engine
