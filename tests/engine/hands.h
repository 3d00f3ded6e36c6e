#pragma once

#include "engine/mondai.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace enginetest {

using engine::Hai;
using Waits = std::array<bool, 38>;
using Counts = std::array<int, 38>;

// "123m 456p 789s 11z": digits then the suit; m characters, p circles, s bamboo,
// z honours 1..7 (East South West North, green red white). Blanks are ignored.
inline std::vector<Hai> parseTiles(std::string_view text) {
    std::vector<Hai> tiles;
    std::size_t digits = 0;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            tiles.push_back(static_cast<Hai>(ch - '0'));
            ++digits;
        } else if (const auto suit = std::string_view("mpsz").find(ch); suit != std::string_view::npos) {
            for (auto it = tiles.end() - static_cast<long>(digits); it != tiles.end(); ++it) {
                *it = static_cast<Hai>(*it + 10 * suit);
                if (!engine::isTile(*it)) throw std::invalid_argument("not a tile in " + std::string(text));
            }
            digits = 0;
        } else if (ch != ' ') {
            throw std::invalid_argument("unknown suit in " + std::string(text));
        }
    }
    if (digits != 0) throw std::invalid_argument("digits without a suit in " + std::string(text));
    return tiles;
}

// The codes given as a tile string, e.g. waitsOf("25s") for the waits 22 and 25.
inline Waits waitsOf(std::string_view text) {
    Waits w{};
    for (Hai h : parseTiles(text)) w[h] = true;
    return w;
}

inline Counts countTiles(const std::vector<Hai>& tiles) {
    Counts c{};
    for (Hai h : tiles) ++c[h];
    return c;
}

inline int mostCopies(const std::vector<Hai>& tiles) {
    const Counts c = countTiles(tiles);
    return *std::max_element(c.begin(), c.end());
}

// Plain backtracking: do these counts split into four sets and a pair (or, with the pair
// taken, into sets alone)? The counts come back as they were.
inline bool isComplete(Counts& c, bool pairLeft = true) {
    int a = 1;
    while (a <= 37 && c[a] == 0) ++a;
    if (a > 37) return !pairLeft;
    // The lowest tile left opens a pair, a triplet or a run.
    auto without = [&](int n, int step, bool pairAfter) {
        for (int i = 0; i < n; ++i) --c[a + i * step];
        const bool ok = isComplete(c, pairAfter);
        for (int i = 0; i < n; ++i) ++c[a + i * step];
        return ok;
    };
    return (pairLeft && c[a] >= 2 && without(2, 0, false)) || (c[a] >= 3 && without(3, 0, pairLeft)) ||
           (a < 30 && a % 10 <= 7 && c[a + 1] > 0 && c[a + 2] > 0 && without(3, 1, pairLeft));
}

// The tiles that complete a 13-tile hand, refusing a fifth copy of the candidate.
inline Waits solveWaits(const std::vector<Hai>& hand) {
    Waits w{};
    Counts c = countTiles(hand);
    for (int x = 1; x <= 37; ++x) {
        if (!engine::isTile(x) || c[x] >= 4) continue;
        ++c[x];
        w[x] = isComplete(c);
        --c[x];
    }
    return w;
}

inline Waits machiOf(const engine::Mondai& m) {
    Waits w{};
    for (int x = 0; x < 38; ++x) w[x] = m.Machi[x] == 1;
    return w;
}

// The 13 tiles of slots 0..12.
inline std::vector<Hai> handOf(const engine::Mondai& m) {
    return {m.Tehai.begin(), m.Tehai.begin() + 13};
}

// Loads slots 0..12 (slot 13 gets `spare`) and judges the hand.
inline Waits judge(engine::Mondai& m, const std::vector<Hai>& hand, Hai spare = engine::EmptySlot) {
    std::copy(hand.begin(), hand.end(), m.Tehai.begin());
    m.Tehai[13] = spare;
    m.Hantei();
    return machiOf(m);
}

inline std::string describe(const std::vector<Hai>& hand) {
    std::string s;
    for (Hai h : hand) s += std::to_string(h) + ' ';
    return s;
}

// The hand as the engine's 13 slots; a table row of another length is a mistake in the test.
inline std::array<Hai, 13> hand13(const std::vector<Hai>& tiles) {
    std::array<Hai, 13> hand{};
    if (tiles.size() != hand.size()) throw std::invalid_argument("not 13 tiles: " + describe(tiles));
    std::copy(tiles.begin(), tiles.end(), hand.begin());
    return hand;
}

} // namespace enginetest
