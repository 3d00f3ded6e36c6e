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
// places only groups that hold a tile of the suit (never more than it holds tiles), and adds the
// rest at that cost afterwards.
// Runs from k are worth placing only as many times as one of their tiles is held.
int runsUseful(const std::int8_t* held, int k) {
    return k <= 7 ? std::max({int{held[k]}, int{held[k + 1]}, int{held[k + 2]}}) : 0;
}

// Every group begun by position k holds a tile at or before k + 2.
int groupsCap(const std::int8_t* held, int k, int most) {
    int seen = 0;
    for (int j = 1; j <= std::min(9, k + 2); ++j) seen += held[j];
    return std::min(most, seen);
}

void stepPosition(const Layer& cur, Layer& next, const std::int8_t* held, int k, int most) {
    next.fill();
    const int here = held[k];
    const int runs = runsUseful(held, k);
    const int copiesUseful = here > 0 ? 1 : 0;
    const int cap = groupsCap(held, k, most);
    for (int o1 = 0; o1 <= 4; ++o1)
        for (int o2 = 0; o1 + o2 <= 4; ++o2)
            for (int u = o1 + o2; u <= cap; ++u)
                for (int q = 0; q <= 1; ++q) {
                    const std::int8_t cost = cur.v[o1][o2][u][q];
                    if (cost >= Far) continue;
                    if (runs == 0 && copiesUseful == 0) {
                        lower(next.v[0][o1][u][q], cost + o1 + o2);
                        continue;
                    }
                    for (int t = 0; t <= copiesUseful && u + t <= cap && o1 + o2 + 3 * t <= 4; ++t)
                        for (int qn = 0; qn <= (q == 0 ? copiesUseful : 0) && o1 + o2 + 3 * t + 2 * qn <= 4;
                             ++qn) {
                            const int fixed = o1 + o2 + 3 * t + 2 * qn;
                            const int top = std::min({runs, cap - u - t, 4 - fixed});
                            for (int r = 0; r <= top; ++r)
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

// A number suit's counts, with two spare zeros past 9 so the runs from 8 and 9 look at nothing,
// and the layers before each position, so that a draw need only redo the positions it touches.
struct Suit {
    std::array<std::int8_t, 12> held{};
    int tiles = 0;
    std::array<Layer, 10> before; // [k - 1]: before position k, by sets begun and pair placed
    std::array<Layer, 11> after;  // [k]: from position k on, by sets and pair still to place
};

Table runFrom(const Suit& s, Layer a, int from, bool keep, Suit* kept) {
    Layer b;
    const int most = std::min(4, s.tiles);
    for (int k = from; k <= 9; ++k) {
        if (keep) kept->before[static_cast<std::size_t>(k - 1)] = a;
        stepPosition(a, b, s.held.data(), k, most);
        std::swap(a, b);
    }
    Table t{};
    for (int k = 0; k <= 4; ++k)
        for (int q = 0; q <= 1; ++q) t[k][q] = a.v[0][0][k][q];
    return withGroupsFromNothing(t);
}

Table numberSuit(const Counts& c, int base, Suit& s) {
    for (int k = 1; k <= 9; ++k) {
        s.held[k] = c[base + k];
        s.tiles += c[base + k];
    }
    Layer a;
    a.fill();
    a.v[0][0][0][0] = 0;
    return runFrom(s, a, 1, true, &s);
}

// The cheapest way to finish the suit from each position, for every number of sets and pair
// still to place: what a draw at one position leaves unchanged past it.
void fillAfter(Suit& s) {
    s.after[10].fill();
    s.after[10].v[0][0][0][0] = 0;
    for (int k = 9; k >= 1; --k) {
        const Layer& next = s.after[static_cast<std::size_t>(k + 1)];
        Layer& here = s.after[static_cast<std::size_t>(k)];
        here.fill();
        const int held = s.held[k];
        const int runsUseful = k <= 7 ? std::max({held, int{s.held[k + 1]}, int{s.held[k + 2]}}) : 0;
        const int copies = held > 0 ? 1 : 0;
        for (int o1 = 0; o1 <= 4; ++o1)
            for (int o2 = 0; o1 + o2 <= 4; ++o2)
                for (int t = 0; t <= copies && o1 + o2 + 3 * t <= 4; ++t)
                    for (int qn = 0; qn <= copies && o1 + o2 + 3 * t + 2 * qn <= 4; ++qn) {
                        const int fixed = o1 + o2 + 3 * t + 2 * qn;
                        for (int r = 0; r <= std::min(runsUseful, 4 - fixed); ++r) {
                            const int cost = missing(fixed + r, held);
                            for (int ku = t + r; ku <= 4; ++ku)
                                for (int qu = qn; qu <= 1; ++qu) {
                                    const std::int8_t rest = next.v[r][o1][ku - t - r][qu - qn];
                                    if (rest < Far) lower(here.v[o1][o2][ku][qu], cost + rest);
                                }
                        }
                    }
    }
}

// The suit's table with one more of the tile at position p: the positions it touches redone,
// then joined to the finish kept past them.
Table withOneMore(const Suit& s, int p) {
    std::array<std::int8_t, 12> held = s.held;
    ++held[p];
    const int most = std::min(4, s.tiles + 1);
    // Positions before p change only where the tile changes what may be placed there.
    int from = p;
    for (int k = p - 1; k >= std::max(1, p - 2); --k)
        if (runsUseful(held.data(), k) != runsUseful(s.held.data(), k) ||
            groupsCap(held.data(), k, most) != groupsCap(s.held.data(), k, std::min(4, s.tiles)))
            from = k;
    Layer a = s.before[static_cast<std::size_t>(from - 1)], b;
    for (int k = from; k <= p; ++k) {
        stepPosition(a, b, held.data(), k, most);
        std::swap(a, b);
    }
    const Layer& rest = s.after[static_cast<std::size_t>(p + 1)];
    Table t{};
    for (auto& row : t) row = {Far, Far};
    for (int o1 = 0; o1 <= 4; ++o1)
        for (int o2 = 0; o1 + o2 <= 4; ++o2)
            for (int u = o1 + o2; u <= most; ++u)
                for (int q = 0; q <= 1; ++q) {
                    const std::int8_t cost = a.v[o1][o2][u][q];
                    if (cost >= Far) continue;
                    for (int k = u; k <= 4; ++k)
                        for (int pq = q; pq <= 1; ++pq) lower(t[k][pq], cost + rest.v[o1][o2][k - u][pq - q]);
                }
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

Tables tablesOf(const Counts& c, std::array<Suit, 3>& suits) {
    return {numberSuit(c, 0, suits[0]), numberSuit(c, 10, suits[1]), numberSuit(c, 20, suits[2]), honours(c)};
}

// Two suits' tables as one: the sets and the pair shared between them in every way.
Table join(const Table& a, const Table& b) {
    Table r{};
    for (auto& row : r) row = {Far, Far};
    for (int ka = 0; ka <= 4; ++ka)
        for (int kb = 0; ka + kb <= 4; ++kb)
            for (int qa = 0; qa <= 1; ++qa)
                for (int qb = 0; qa + qb <= 1; ++qb) lower(r[ka + kb][qa + qb], a[ka][qa] + b[kb][qb]);
    return r;
}

// The fewest tiles to add for a pair and four sets: one suit's table beside the other three.
int fewestMissing(const Table& one, const Table& others) {
    int best = Far;
    for (int k = 0; k <= 4; ++k)
        for (int q = 0; q <= 1; ++q) best = std::min(best, one[k][q] + others[4 - k][1 - q]);
    return best;
}

Table othersThan(const Tables& t, int suit) {
    Table r{};
    for (auto& row : r) row = {Far, Far};
    r[0][0] = 0;
    for (int u = 0; u < 4; ++u)
        if (u != suit) r = join(r, t[static_cast<std::size_t>(u)]);
    return r;
}

int fewestMissing(const Tables& t) {
    return fewestMissing(t[0], othersThan(t, 0));
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

} // namespace

int shanten(const std::array<Hai, 13>& hand) {
    Counts c{};
    if (!countHand(hand, c)) return 8;
    std::array<Suit, 3> suits;
    return fewestMissing(tablesOf(c, suits)) - 1;
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
    std::array<Suit, 3> suits;
    Tables t = tablesOf(c, suits);
    const int now = fewestMissing(t);
    d.shanten = now - 1;
    if (d.shanten == 0) {
        // A ready hand is brought closer only by the tiles that complete it.
        for (const Wait& w : explain(hand).waits) d.effective.push_back({w.tile, 4 - c[w.tile]});
        return d;
    }
    for (Suit& s : suits) fillAfter(s);
    std::array<Table, 4> others{};
    for (int suit = 0; suit < 4; ++suit) others[static_cast<std::size_t>(suit)] = othersThan(t, suit);
    int isolatedHelps = -1; // not yet known
    for (Hai x = FirstTile; x <= LastTile; ++x) {
        if (!isTile(x) || c[x] >= 4) continue;
        const bool alone = isolated(c, x);
        if (!alone || isolatedHelps < 0) {
            const int suit = suitOf(x);
            ++c[x];
            const Table drawn =
                suit == 3 ? honours(c) : withOneMore(suits[static_cast<std::size_t>(suit)], x % 10);
            const bool helps = fewestMissing(drawn, others[static_cast<std::size_t>(suit)]) < now;
            --c[x];
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
