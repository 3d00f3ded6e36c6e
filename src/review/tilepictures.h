#pragma once

#include "engine/explain.h"
#include "engine/tiles.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

class QWidget;

namespace review {

inline constexpr int SmallTileWidth = engine::TileWidth * 3 / 4;
inline constexpr int SmallTileHeight = engine::TileHeight * 3 / 4;
inline constexpr QRgb PickedOut = 0xFFD02020; // frame round the completing tile

// The Japanese name of a tile: 1萬, 5筒, 9索, 東, 發 ...
QString tileName(engine::Hai tile);
// The Japanese name of a wait's shape.
QString shapeText(engine::WaitShape shape);

// Tiles in a row at three quarters of their size, cut from the tile sheet. A gap of half a
// tile is left before every index in gapsBefore; the tile at `picked` (-1: none) is framed.
QImage tileRow(const std::vector<engine::Hai>& tiles, const std::vector<int>& gapsBefore = {},
               int picked = -1);

// One split laid out as pair and sets with the completing tile framed.
QImage splitPicture(const engine::Split& split, engine::Hai completing);

// Where a helper window whose frame is `size` goes: right of the pair of windows, else left,
// else below, else above, wholly on the screen. Where it fits none of these whole, it goes into
// the largest room on the screen beside the game window, made smaller down to `least`; only a
// screen with no such room gets it over the game window.
QRect placeBeside(const QRect& pair, const QRect& game, QSize size, const QRect& screen, QSize least = {});

// Moves `window` to where placeBeside puts it, smaller if it must be; a window not yet shown
// is taken to get a frame like `framed`'s.
void moveBeside(QWidget* window, const QWidget* framed, const QRect& pair, const QRect& game,
                const QRect& screen);

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
