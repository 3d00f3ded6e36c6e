#pragma once

#include <cstdint>

namespace engine {

// Tile code: 10 x suit + number. 1..9 characters, 11..19 circles, 21..29 bamboo,
// 31..37 East South West North, green, red, white dragon. Codes ending in 0 are no tile.
using Hai = std::int16_t;
inline constexpr Hai EmptySlot = 99; // sorts behind every tile
inline constexpr Hai FirstTile = 1;
inline constexpr Hai LastTile = 37;
inline constexpr int TileWidth = 28;
inline constexpr int TileHeight = 38;
inline constexpr int SheetColumns = 9;
inline constexpr int SheetRows = 4;

constexpr bool isTile(int code) {
    return code >= FirstTile && code <= LastTile && code % 10 != 0;
}

// Top-left pixel of a tile's cell on the tile sheet (also the answer palette).
constexpr int sheetX(int code) {
    return (code % 10) * TileWidth - TileWidth;
}
constexpr int sheetY(int code) {
    return (code / 10) * TileHeight;
}

} // namespace engine
