#include "engine/mondai.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace engine {

namespace {

// Int(Rnd x n): the integer part of the exact product, always 0..n-1 for a draw in [0, 1).
int Int(float r, int n) {
    return static_cast<int>(std::floor(static_cast<double>(r) * n));
}

// Tile counts indexed by code; two spare entries so a run test at 27 never reads past the end.
using Counts = std::array<std::int8_t, 40>;

// Takes runs (repeated passes, at most one run per start code a pass), then triplets, out of c,
// and returns the number of sets taken. lo..hi bounds the codes that can be non-zero.
int extractSets(Counts& c, int lo, int hi) {
    int sets = 0;
    const int lastStart = hi - 2 < 27 ? hi - 2 : 27;
    for (bool took = true; took;) {
        took = false;
        for (int a = lo; a <= lastStart; ++a) {
            if (c[a] > 0 && c[a + 1] > 0 && c[a + 2] > 0) {
                --c[a];
                --c[a + 1];
                --c[a + 2];
                ++sets;
                took = true;
            }
        }
    }
    for (bool took = true; took;) {
        took = false;
        for (int a = lo; a <= hi; ++a) {
            if (c[a] >= 3) {
                c[a] = static_cast<std::int8_t>(c[a] - 3);
                ++sets;
                took = true;
            }
        }
    }
    return sets;
}

// The two strategies on the twelve tiles beside the pair, in ascending order.
bool splitsIntoFourSets(const std::array<Hai, 12>& rest) {
    const int lo = rest[0];
    const int hi = rest[11];

    Counts c{};
    for (Hai h : rest) ++c[h];
    if (extractSets(c, lo, hi) == 4) return true;

    // Three at a time, so a triplet that arrives whole is taken before a run can split it.
    c = Counts{};
    int sets = 0;
    for (int g = 0; g < 12; g += 3) {
        ++c[rest[g]];
        ++c[rest[g + 1]];
        ++c[rest[g + 2]];
        sets += extractSets(c, lo, rest[g + 2]);
    }
    return sets == 4;
}

// The 13 tiles as the judgement reads them: ascending, with the copies held of each kind and
// the number of tiles of each suit (honours as suit 3).
struct HeldHand {
    std::array<Hai, 13> sorted;
    std::array<std::int8_t, 38> held;
    std::array<int, 4> perSuit;
};

// False when a slot holds no tile code.
bool readHand(const std::array<Hai, 14>& tehai, HeldHand& h) {
    for (int i = 0; i < 13; ++i) {
        if (!isTile(tehai[i])) return false;
        h.sorted[i] = tehai[i];
        ++h.held[tehai[i]];
        ++h.perSuit[tehai[i] / 10];
    }
    // Ascending, as Sorting leaves it; the order of equal codes cannot matter.
    for (int i = 1; i < 13; ++i) {
        const Hai v = h.sorted[i];
        int j = i;
        for (; j > 0 && h.sorted[j - 1] > v; --j) h.sorted[j] = h.sorted[j - 1];
        h.sorted[j] = v;
    }
    return true;
}

// The strategies only ever count four sets that really are there, so a candidate or a pair for
// which no split can exist is passed over without changing the outcome: x must meet a tile of
// its own kind or, in a suit, one within two steps.
bool canJoin(const HeldHand& h, int x) {
    if (h.held[x] > 0) return true;
    if (x > 30) return false;
    for (int d = -2; d <= 2; ++d) {
        const int y = x + d;
        if (y >= 1 && y / 10 == x / 10 && y % 10 != 0 && h.held[y] > 0) return true;
    }
    return false;
}

// With x added and the pair taken out, every suit must hold a multiple of three tiles and every
// honour none or a triplet.
bool restCanSplit(const HeldHand& h, int x, int pair) {
    std::array<int, 4> n = h.perSuit;
    ++n[x / 10];
    n[pair / 10] -= 2;
    if (n[0] % 3 != 0 || n[1] % 3 != 0 || n[2] % 3 != 0) return false;
    for (int k = 31; k <= 37; ++k) {
        const int c = h.held[k] + (k == x) - 2 * (k == pair);
        if (c != 0 && c != 3) return false;
    }
    return true;
}

// Does the candidate x complete the hand, by either strategy for some pair?
bool completes(const HeldHand& h, int x) {
    // A fifth copy of the candidate is refused whatever the split.
    if (h.held[x] + 1 > 4 || !canJoin(h, x)) return false;

    std::array<Hai, 14> sorted{};
    int k = 0;
    for (; k < 13 && h.sorted[k] <= x; ++k) sorted[k] = h.sorted[k];
    sorted[k] = static_cast<Hai>(x);
    for (; k < 13; ++k) sorted[k + 1] = h.sorted[k];

    std::array<Hai, 12> rest{};
    for (int p = 0; p <= 12; ++p) {
        // A kind held three or four times gives the same rest at each of its pair positions.
        if (sorted[p] != sorted[p + 1] || (p > 0 && sorted[p - 1] == sorted[p])) continue;
        if (!restCanSplit(h, x, sorted[p])) continue;
        int r = 0;
        for (int i = 0; i < 14; ++i) {
            if (i != p && i != p + 1) rest[r++] = sorted[i];
        }
        if (splitsIntoFourSets(rest)) return true;
    }
    return false;
}

int copiesIn(const std::array<Hai, 14>& tehai, int code) {
    return static_cast<int>(std::count(tehai.begin(), tehai.end(), code));
}

} // namespace

void Mondai::Sorting() {
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int i = 0; i <= 12; ++i) {
            if (Tehai[i] > Tehai[i + 1]) {
                std::swap(Tehai[i], Tehai[i + 1]);
                swapped = true;
            }
        }
    }
}

Hai Mondai::Rndhai(std::int16_t& s, std::int16_t& t) {
    if (Int(Rnd(), 100) < t) return static_cast<Hai>(Int(Rnd(), 9) + s + 1);
    int x = 0;
    do {
        x = Int(Rnd(), 37) + 1;
    } while (x % 10 == 0);
    return static_cast<Hai>(x);
}

void Mondai::makeHaipai(std::int16_t& t, float& z) {
    std::array<std::int16_t, 38> count{};
    std::int16_t s = static_cast<std::int16_t>(Int(Rnd(), 3) * 10);

    const Hai p = Rndhai(s, t);
    Tehai[12] = p;
    Tehai[13] = p;
    count[p] = 2;

    for (int g = 0; g <= 9; g += 3) {
        if (Rnd() < z) {
            Hai a = 0;
            do {
                a = Rndhai(s, t);
            } while (!(a % 10 <= 7 && a <= 29 && count[a] != 4 && count[a + 1] != 4 && count[a + 2] != 4));
            for (int k = 0; k < 3; ++k) {
                Tehai[g + k] = static_cast<Hai>(a + k);
                ++count[a + k];
            }
        } else {
            Hai a = 0;
            do {
                a = Rndhai(s, t);
            } while (count[a] > 1);
            for (int k = 0; k < 3; ++k) Tehai[g + k] = a;
            count[a] = static_cast<std::int16_t>(count[a] + 3);
        }
    }

    if (static_cast<double>(Rnd()) < 0.05) {
        Tehai[13] = EmptySlot;
    } else {
        Tehai[Int(Rnd(), 12)] = EmptySlot;
    }
}

void Mondai::Hantei() {
    // Only a hand of 13 tile codes can be judged; anything else has no waits rather than
    // counts indexed out of bounds.
    HeldHand h{};
    const bool tiles = readHand(Tehai, h);
    // Tehai itself is only read, so it comes back as it was found.
    for (int x = 1; x <= 37; ++x) {
        if (x % 10 == 0) continue;
        Machi[x] = tiles && completes(h, x) ? 1 : 0;
    }
}

void Mondai::buildProblem(std::int32_t level, std::int16_t notenOK, std::int16_t sortHai) {
    generateSorted(level, notenOK);
    Hantei();
    shuffleForDisplay(sortHai);
}

void Mondai::generateSorted(std::int32_t level, std::int16_t notenOK) {
    // Levels outside 0..2 take the nearest level.
    std::int16_t t = 100;
    float z = 0.9f;
    if (level <= 0) {
        t = 10;
        z = 0.7f;
    } else if (level == 1) {
        t = 50;
        z = 0.8f;
    }
    makeHaipai(t, z);

    // Not-ready variation: move one tile a step within its suit.
    const float r = Rnd();
    if (static_cast<double>(r) < 0.2 && notenOK == 1) {
        const int i = Int(Rnd(), 13);
        const int from = Tehai[i];
        if (from <= 29) {
            int n = 0;
            do {
                n = from + 2 * Int(Rnd(), 2) - 1;
            } while (n % 10 == 0);
            // A neighbour already held four times would become a fifth copy, which no real set
            // of tiles has: step the other way if that is a tile with a copy left, else keep the
            // hand. The choice draws nothing, so the random sequence stays as it was.
            if (copiesIn(Tehai, n) >= 4) {
                const int other = 2 * from - n;
                n = other % 10 != 0 && copiesIn(Tehai, other) < 4 ? other : from;
            }
            Tehai[i] = static_cast<Hai>(n);
        }
    }

    Sorting();
}

void Mondai::shuffleForDisplay(std::int16_t sortHai) {
    if (sortHai == 0) {
        for (int k = 0; k <= 100; ++k) {
            const int i = Int(Rnd(), 12);
            std::swap(Tehai[i], Tehai[i + 1]);
        }
    }
}

} // namespace engine
