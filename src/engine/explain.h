#pragma once

#include "engine/tiles.h"

#include <array>
#include <cstdint>
#include <vector>

namespace engine {

// How the completing tile sits in one split of the complete hand.
enum class WaitShape : std::uint8_t {
    Tanki,   // 単騎: it completes the pair
    Shanpon, // 双碰: it completes a triplet beside another pair
    Ryanmen, // 両面: it completes a run from either end of two in a row
    Kanchan, // 嵌張: it fills the middle of a run
    Penchan, // 辺張: 12 waiting on 3, 89 waiting on 7
};

// The pair or one set of a split: a pair or triplet of `tile`, or the run tile, tile+1, tile+2.
struct Group {
    enum class Kind : std::uint8_t { Pair, Triplet, Run };
    Kind kind;
    Hai tile;
    bool operator==(const Group&) const = default;
};

// One way the 14 tiles split into a pair and four sets, and where the completing tile went.
struct Split {
    std::array<Group, 5> groups; // the pair first, then the four sets in ascending order
    int completed;               // index into groups of the group the completing tile finishes
    WaitShape shape;
};

// A tile that completes the hand, with every distinct way it does so.
struct Wait {
    Hai tile;
    std::vector<Split> splits; // at least one
};

// Why a tile is, or is not, a wait.
enum class Verdict : std::uint8_t { IsAWait, NoSplit, FifthCopy };

struct Explanation {
    std::vector<Wait> waits;      // ascending by tile: exactly the tiles the judgement marks
    std::vector<Hai> fifthCopies; // would complete the shape, but the hand already holds four
    bool ready() const { return !waits.empty(); }
    const Wait* find(Hai tile) const;
    Verdict verdict(Hai tile) const;
};

// The waits of a 13-tile hand (tile codes, any order) and how each completes it.
Explanation explain(const std::array<Hai, 13>& hand);

// The tiles of the 13 that wait in one split: the lone tile of a 単騎, the pair of a 双碰, the
// two tiles of a 両面, 嵌張 or 辺張, ascending.
struct WaitingPart {
    std::array<Hai, 2> tiles{};
    int size = 0;
    bool operator==(const WaitingPart&) const = default;
};

WaitingPart waitingPart(const Split& split, Hai completing);

// One way of reading the hand: a waiting part with its shape, every wait it takes, and each
// split in which it takes one, wait by wait.
struct Reading {
    struct At {
        Hai wait;
        int split; // index into that wait's splits
    };
    WaitingPart part;
    WaitShape shape;
    std::vector<Hai> waits; // ascending
    std::vector<At> splits; // in the order of the waits, then of their splits
};

// The readings of the waits, in the order of the first wait and split that shows each.
std::vector<Reading> readings(const Explanation& explanation);

// The Japanese name of a shape, UTF-8: 単騎, 双碰, 両面, 嵌張, 辺張.
const char* shapeName(WaitShape shape);

} // namespace engine
