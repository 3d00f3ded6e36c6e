#pragma once

#include "tehai.h"

#include <array>
#include <random>
#include <string_view>
#include <vector>

namespace enginetest {

using engine::Hai;
using Waits = std::array<bool, 38>;
using Counts = std::array<int, 38>;

// "123m 456p 789s 11z": digits then the suit; m characters, p circles, s bamboo,
// z honours 1..7 (East South West North, green red white). Blanks are ignored.
std::vector<Hai> parseTiles(std::string_view text);

// The codes given as a tile string, e.g. waitsOf("25s") for the waits 22 and 25.
Waits waitsOf(std::string_view text);

Counts countTiles(const std::vector<Hai>& tiles);

// Plain backtracking: does this 14-tile count split into a pair and four sets?
bool isComplete(Counts counts);

// The tiles that complete a 13-tile hand, refusing a fifth copy of the candidate.
Waits solveWaits(const std::vector<Hai>& hand);

// Loads slots 0..12 (slot 13 gets `spare`) and judges the hand.
Waits judge(engine::Mondai& m, const std::vector<Hai>& hand, Hai spare = engine::EmptySlot);

Waits machiOf(const engine::Mondai& m);

// The 13 tiles of slots 0..12.
std::vector<Hai> handOf(const engine::Mondai& m);

std::string describe(const std::vector<Hai>& hand);

// A complete 14-tile hand of a pair and four sets, at most four copies of a kind, its
// tiles drawn from one or two suits and sometimes the honours so that shapes overlap.
std::vector<Hai> randomCompleteHand(std::mt19937& gen);

} // namespace enginetest
