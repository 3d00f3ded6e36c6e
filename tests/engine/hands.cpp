#include "hands.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace enginetest {

std::vector<Hai> parseTiles(std::string_view text) {
    std::vector<Hai> tiles;
    std::string digits;
    for (char ch : text) {
        if (ch == ' ') continue;
        if (ch >= '0' && ch <= '9') {
            digits += ch;
            continue;
        }
        int base = 0;
        switch (ch) {
        case 'm':
            base = 0;
            break;
        case 'p':
            base = 10;
            break;
        case 's':
            base = 20;
            break;
        case 'z':
            base = 30;
            break;
        default:
            throw std::invalid_argument("unknown suit in " + std::string(text));
        }
        for (char d : digits) {
            const int code = base + (d - '0');
            if (!engine::isTile(code)) throw std::invalid_argument("not a tile in " + std::string(text));
            tiles.push_back(static_cast<Hai>(code));
        }
        digits.clear();
    }
    if (!digits.empty()) throw std::invalid_argument("digits without a suit in " + std::string(text));
    return tiles;
}

Waits waitsOf(std::string_view text) {
    Waits w{};
    for (Hai h : parseTiles(text)) w[h] = true;
    return w;
}

Counts countTiles(const std::vector<Hai>& tiles) {
    Counts c{};
    for (Hai h : tiles) ++c[h];
    return c;
}

namespace {

bool splitsIntoSets(Counts& c) {
    int a = 1;
    while (a <= 37 && c[a] == 0) ++a;
    if (a > 37) return true;
    if (c[a] >= 3) {
        c[a] -= 3;
        const bool ok = splitsIntoSets(c);
        c[a] += 3;
        if (ok) return true;
    }
    if (a < 30 && a % 10 <= 7 && c[a + 1] > 0 && c[a + 2] > 0) {
        --c[a], --c[a + 1], --c[a + 2];
        const bool ok = splitsIntoSets(c);
        ++c[a], ++c[a + 1], ++c[a + 2];
        if (ok) return true;
    }
    return false;
}

} // namespace

bool isComplete(Counts counts) {
    for (int k = 1; k <= 37; ++k) {
        if (counts[k] < 2) continue;
        counts[k] -= 2;
        if (splitsIntoSets(counts)) return true;
        counts[k] += 2;
    }
    return false;
}

Waits solveWaits(const std::vector<Hai>& hand) {
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

Waits judge(engine::Mondai& m, const std::vector<Hai>& hand, Hai spare) {
    std::copy(hand.begin(), hand.end(), m.Tehai.begin());
    m.Tehai[13] = spare;
    m.Hantei();
    return machiOf(m);
}

Waits machiOf(const engine::Mondai& m) {
    Waits w{};
    for (int x = 0; x < 38; ++x) w[x] = m.Machi[x] == 1;
    return w;
}

std::vector<Hai> handOf(const engine::Mondai& m) {
    return {m.Tehai.begin(), m.Tehai.begin() + 13};
}

std::string describe(const std::vector<Hai>& hand) {
    std::string s;
    for (Hai h : hand) s += std::to_string(h) + ' ';
    return s;
}

std::vector<Hai> randomCompleteHand(std::mt19937& gen) {
    auto roll = [&gen](int n) { return std::uniform_int_distribution<int>(0, n - 1)(gen); };
    for (;;) {
        std::vector<int> suits{roll(3) * 10};
        if (roll(2) == 0) suits.push_back((suits[0] + 10 * (1 + roll(2))) % 30);
        const bool honours = roll(3) == 0;
        auto kind = [&]() {
            if (honours && roll(4) == 0) return 31 + roll(7);
            return suits[roll(static_cast<int>(suits.size()))] + 1 + roll(9);
        };

        Counts c{};
        std::vector<Hai> hand;
        auto place = [&](int code, int n) {
            for (int i = 0; i < n; ++i) hand.push_back(static_cast<Hai>(code));
            c[code] += n;
        };
        const int pair = kind();
        place(pair, 2);
        int tries = 0;
        while (hand.size() < 14 && ++tries < 100) {
            const int a = kind();
            if (roll(10) < 7) {
                if (a > 29 || a % 10 > 7 || c[a] == 4 || c[a + 1] == 4 || c[a + 2] == 4) continue;
                place(a, 1), place(a + 1, 1), place(a + 2, 1);
            } else {
                if (c[a] > 1) continue;
                place(a, 3);
            }
        }
        if (hand.size() == 14) return hand;
    }
}

} // namespace enginetest
