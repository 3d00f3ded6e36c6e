#pragma once

#include "engine/explain.h"
#include "engine/tiles.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QWidget;

namespace review {

inline constexpr int SmallTileWidth = engine::TileWidth * 3 / 4;
inline constexpr int SmallTileHeight = engine::TileHeight * 3 / 4;
inline constexpr QRgb PickedOut = 0xFFD02020; // frame round the completing tile
// The width of a split's picture: fourteen tiles and the four gaps between its groups.
inline constexpr int SplitRowWidth = 2 + 14 * SmallTileWidth + 4 * (SmallTileWidth / 2);

// The Japanese name of a tile: 1萬, 5筒, 9索, 東, 發 ...
QString tileName(engine::Hai tile);
// The Japanese name of a wait's shape.
QString shapeText(engine::WaitShape shape);

// Tiles in a row at three quarters of their size, cut from the tile sheet. A gap of half a
// tile is left before every index in gapsBefore; the tile at `picked` (-1: none) is framed.
// On a screen at twice the scale the picture has twice the pixels, cut from the twice-size
// sheet; its size in logical pixels stays the same.
QImage tileRow(const std::vector<engine::Hai>& tiles, const std::vector<int>& gapsBefore = {},
               int picked = -1);
// One tile of such a row, in the pixels of a screen at `ratio` (1 or 2).
QImage smallTile(engine::Hai tile, int ratio);

// One split laid out as pair and sets with the completing tile framed.
QImage splitPicture(const engine::Split& split, engine::Hai completing);

// What a helper window of the game must keep clear of, in screen coordinates.
struct Surroundings {
    QRect game;                // the game window's frame
    QRect core;                // its hand and palette: never covered
    QRect title;               // the title window's frame; empty when there is none
    std::vector<QRect> others; // the other helper windows shown now
    QRect screen;              // the screen's free area
};

// Where a helper window whose frame is `size` goes. Clear of the game, the title and the other
// helper windows: whole right or left of the pair of windows, else below, else above; else
// made smaller down to `least` in the largest room beside them. Only where none of that fits
// does it cover the other helpers, then the title, then the game window, never its core.
QRect placeClear(const Surroundings& around, QSize size, QSize least);

// Moves `window` to where placeClear puts it at the size its content asks for, smaller if it
// must be; a window not yet shown is taken to get a frame like `framed`'s.
void moveClear(QWidget* window, const QWidget* framed, const Surroundings& around);

} // namespace review

namespace review {

// One line that says what makes a shape, for the tooltip on its name and the help file.
QString shapeDefinition(engine::WaitShape shape);

// The hand in a row with the tiles at `picked` framed, then an arrow and the tiles they wait on.
QImage readingPicture(const std::vector<engine::Hai>& hand, const std::vector<int>& picked,
                      const std::vector<engine::Hai>& waits);

// A split drawn at `scale` of splitPicture, each group named beneath: 雀頭, 順子 or 刻子.
QImage labelledSplitPicture(const engine::Split& split, engine::Hai completing, double scale);

// The name under a group of a split: 雀頭, 順子, 刻子.
QString groupName(engine::Group::Kind kind);

} // namespace review
