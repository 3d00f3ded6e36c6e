#pragma once

#include "engine/tiles.h"

#include <array>
#include <vector>

namespace engine {

// How many draws, each followed by a discard, a 13-tile hand needs before it has a wait in the
// standard form (a pair and four sets): 0 is ready, 8 the most. No tile is ever counted on for a
// fifth copy, so 0 holds exactly when the judgement finds a wait.
int shanten(const std::array<Hai, 13>& hand);

// A tile whose draw brings the hand a step closer (有効牌), and how many of it are not in the hand.
struct Effective {
    Hai tile;
    int copiesLeft;
    bool operator==(const Effective&) const = default;
};

struct Distance {
    int shanten = 0;
    std::vector<Effective> effective; // ascending; for a ready hand these are its waits
    int copiesLeft() const;           // over all the effective tiles
};

Distance distance(const std::array<Hai, 13>& hand);

// After drawing `drawn`, a discard that brings the hand a step closer, with the waits of the
// hand it leaves when that hand is ready.
struct Discard {
    Hai tile;
    std::vector<Hai> waits;
};

std::vector<Discard> discardsAfter(const std::array<Hai, 13>& hand, Hai drawn);

// Copies of `tile` not in the hand: four less those held, never below 0.
int copiesLeft(const std::array<Hai, 13>& hand, Hai tile);

} // namespace engine
