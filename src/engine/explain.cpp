#include "engine/explain.h"

#include <algorithm>

namespace engine {

namespace {

// Tile counts by code; spare entries so a run test near the top never reads past the end.
using Counts = std::array<std::int8_t, 40>;
using Groups = std::array<Group, 5>;

// Every distinct way a set of counts splits into a pair and four sets. Groups are taken in
// ascending (tile, kind) order, so each multiset of groups is found exactly once.
struct Search {
    Counts c{};
    Groups chosen{};
    int depth = 0;
    int pairAt = -1; // index in chosen of the pair
    std::vector<Groups> found;
};

void enumerate(Search& s);

void addToCounts(Counts& c, const Group& g, int sign) {
    switch (g.kind) {
    case Group::Kind::Pair:
        c[g.tile] = static_cast<std::int8_t>(c[g.tile] - 2 * sign);
        break;
    case Group::Kind::Triplet:
        c[g.tile] = static_cast<std::int8_t>(c[g.tile] - 3 * sign);
        break;
    case Group::Kind::Run:
        for (int k = 0; k < 3; ++k) c[g.tile + k] = static_cast<std::int8_t>(c[g.tile + k] - sign);
        break;
    }
}

void take(Search& s, Group g) {
    addToCounts(s.c, g, 1);
    s.chosen[s.depth] = g;
    if (g.kind == Group::Kind::Pair) s.pairAt = s.depth;
    ++s.depth;
    enumerate(s);
    --s.depth;
    if (g.kind == Group::Kind::Pair) s.pairAt = -1;
    addToCounts(s.c, g, -1);
}

// The split as the caller sees it: the pair first, then the sets in the order they were taken.
void record(Search& s) {
    Groups g{};
    g[0] = s.chosen[s.pairAt];
    int n = 1;
    for (int i = 0; i < 5; ++i) {
        if (i != s.pairAt) g[n++] = s.chosen[i];
    }
    s.found.push_back(g);
}

void enumerate(Search& s) {
    int a = FirstTile;
    while (a <= LastTile && s.c[a] == 0) ++a;
    if (a > LastTile) {
        if (s.depth == 5 && s.pairAt >= 0) record(s);
        return;
    }
    if (s.depth == 5) return;
    const Hai t = static_cast<Hai>(a);
    // A group may open at the tile of the one before it only if its kind does not sort lower.
    const bool sameTile = s.depth > 0 && s.chosen[s.depth - 1].tile == t;
    const auto lastKind = sameTile ? s.chosen[s.depth - 1].kind : Group::Kind::Pair;
    if (s.pairAt < 0 && s.c[a] >= 2 && lastKind <= Group::Kind::Pair) take(s, {Group::Kind::Pair, t});
    if (s.c[a] >= 3 && lastKind <= Group::Kind::Triplet) take(s, {Group::Kind::Triplet, t});
    if (a < 30 && a % 10 <= 7 && s.c[a + 1] > 0 && s.c[a + 2] > 0) take(s, {Group::Kind::Run, t});
}

// A quick necessary test of 14 counts: one suit holds the pair (two more than a multiple of
// three), every other a multiple of three, and each honour is none, a pair or a triplet.
bool mayComplete(const Counts& c) {
    int pairs = 0;
    for (int suit = 0; suit < 3; ++suit) {
        int n = 0;
        for (int k = 1; k <= 9; ++k) n += c[suit * 10 + k];
        if (n % 3 == 1) return false;
        pairs += n % 3 == 2;
    }
    for (int h = 31; h <= LastTile; ++h) {
        // Five is the pair and a triplet: a fifth copy still has to be recognised as the shape.
        if (c[h] == 1 || c[h] == 4 || c[h] > 5) return false;
        pairs += c[h] == 2 || c[h] == 5;
    }
    return pairs == 1;
}

bool holds(const Group& g, Hai x) {
    if (g.kind == Group::Kind::Run) return x >= g.tile && x <= g.tile + 2;
    return x == g.tile;
}

WaitShape shapeOf(const Group& g, Hai x) {
    if (g.kind == Group::Kind::Pair) return WaitShape::Tanki;
    if (g.kind == Group::Kind::Triplet) return WaitShape::Shanpon;
    if (x == g.tile + 1) return WaitShape::Kanchan;
    // The two left behind are 12 (waiting on 3) or 89 (waiting on 7): one side only.
    if (x == g.tile) return g.tile % 10 == 7 ? WaitShape::Penchan : WaitShape::Ryanmen;
    return g.tile % 10 == 1 ? WaitShape::Penchan : WaitShape::Ryanmen;
}

// One entry for each distinct group of the split that the tile can finish; identical sets sit
// side by side, so only the first of them counts.
void addSplits(const Groups& g, Hai x, std::vector<Split>& out) {
    for (int i = 0; i < 5; ++i) {
        if (!holds(g[i], x) || (i > 0 && g[i] == g[i - 1])) continue;
        out.push_back({g, i, shapeOf(g[i], x)});
    }
}

} // namespace

const Wait* Explanation::find(Hai tile) const {
    const auto it =
        std::find_if(waits.begin(), waits.end(), [tile](const Wait& w) { return w.tile == tile; });
    return it == waits.end() ? nullptr : &*it;
}

Verdict Explanation::verdict(Hai tile) const {
    if (find(tile) != nullptr) return Verdict::IsAWait;
    if (std::find(fifthCopies.begin(), fifthCopies.end(), tile) != fifthCopies.end())
        return Verdict::FifthCopy;
    return Verdict::NoSplit;
}

Explanation explain(const std::array<Hai, 13>& hand) {
    Explanation e;
    Search s;
    for (Hai h : hand) {
        if (!isTile(h)) return e;
        ++s.c[h];
    }
    for (Hai x = FirstTile; x <= LastTile; ++x) {
        if (!isTile(x)) continue;
        ++s.c[x];
        s.found.clear();
        if (mayComplete(s.c)) enumerate(s);
        --s.c[x];
        if (s.found.empty()) continue;
        // Four in the hand already: the tile would make a fifth copy, which cannot be drawn.
        if (s.c[x] >= 4) {
            e.fifthCopies.push_back(x);
            continue;
        }
        Wait w{x, {}};
        for (const Groups& g : s.found) addSplits(g, x, w.splits);
        e.waits.push_back(std::move(w));
    }
    return e;
}

WaitingPart waitingPart(const Split& split, Hai completing) {
    const Group& g = split.groups[static_cast<std::size_t>(split.completed)];
    WaitingPart part;
    switch (g.kind) {
    case Group::Kind::Pair:
        part.tiles = {g.tile, 0};
        part.size = 1;
        break;
    case Group::Kind::Triplet:
        part.tiles = {g.tile, g.tile};
        part.size = 2;
        break;
    case Group::Kind::Run:
        for (int k = 0; k < 3; ++k) {
            const auto t = static_cast<Hai>(g.tile + k);
            if (t != completing && part.size < 2) part.tiles[static_cast<std::size_t>(part.size++)] = t;
        }
        break;
    }
    return part;
}

std::vector<Reading> readings(const Explanation& explanation) {
    std::vector<Reading> out;
    for (const Wait& w : explanation.waits) {
        for (int i = 0; i < static_cast<int>(w.splits.size()); ++i) {
            const Split& s = w.splits[static_cast<std::size_t>(i)];
            const WaitingPart part = waitingPart(s, w.tile);
            auto it = std::find_if(out.begin(), out.end(),
                                   [&](const Reading& r) { return r.part == part && r.shape == s.shape; });
            if (it == out.end()) it = out.insert(out.end(), Reading{part, s.shape, {}, {}});
            if (it->waits.empty() || it->waits.back() != w.tile) it->waits.push_back(w.tile);
            it->splits.push_back({w.tile, i});
        }
    }
    return out;
}

const char* shapeName(WaitShape shape) {
    switch (shape) {
    case WaitShape::Tanki:
        return "単騎";
    case WaitShape::Shanpon:
        return "双碰";
    case WaitShape::Ryanmen:
        return "両面";
    case WaitShape::Kanchan:
        return "嵌張";
    case WaitShape::Penchan:
        return "辺張";
    }
    return "";
}

} // namespace engine
