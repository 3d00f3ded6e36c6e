#include "review/tilepictures.h"

#include <QPainter>

#include <algorithm>
#include <array>

namespace review {

QString tileName(engine::Hai tile) {
    static const std::array<const char*, 3> suits{"萬", "筒", "索"};
    static const std::array<const char*, 7> honours{"東", "南", "西", "北", "發", "中", "白"};
    if (!engine::isTile(tile)) return QStringLiteral("?");
    if (tile > 30) return QString::fromUtf8(honours[static_cast<std::size_t>(tile - 31)]);
    return QString::number(tile % 10) + QString::fromUtf8(suits[static_cast<std::size_t>(tile / 10)]);
}

QString shapeText(engine::WaitShape shape) {
    return QString::fromUtf8(engine::shapeName(shape));
}

QImage tileRow(const std::vector<engine::Hai>& tiles, const std::vector<int>& gapsBefore, int picked) {
    static const QImage sheet(QStringLiteral(":/tiles.png"));
    const int gap = SmallTileWidth / 2;
    const int width =
        static_cast<int>(tiles.size()) * SmallTileWidth + static_cast<int>(gapsBefore.size()) * gap;
    QImage row(std::max(width, 1) + 2, SmallTileHeight + 4, QImage::Format_ARGB32_Premultiplied);
    row.fill(Qt::transparent);
    QPainter painter(&row);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    int x = 1;
    for (int i = 0; i < static_cast<int>(tiles.size()); ++i) {
        if (std::find(gapsBefore.begin(), gapsBefore.end(), i) != gapsBefore.end()) x += gap;
        const engine::Hai t = tiles[static_cast<std::size_t>(i)];
        if (engine::isTile(t)) {
            const QRect cell(engine::sheetX(t), engine::sheetY(t), engine::TileWidth, engine::TileHeight);
            painter.drawImage(QRect(x, 2, SmallTileWidth, SmallTileHeight), sheet, cell);
        }
        if (i == picked) {
            painter.setPen(QPen(QColor::fromRgba(PickedOut), 2));
            painter.drawRect(QRect(x, 1, SmallTileWidth, SmallTileHeight + 2));
        }
        x += SmallTileWidth;
    }
    return row;
}

QImage splitPicture(const engine::Split& split, engine::Hai completing) {
    std::vector<engine::Hai> tiles;
    std::vector<int> gaps;
    int picked = -1;
    for (int g = 0; g < 5; ++g) {
        const engine::Group& group = split.groups[static_cast<std::size_t>(g)];
        if (g > 0) gaps.push_back(static_cast<int>(tiles.size()));
        const int count = group.kind == engine::Group::Kind::Pair ? 2 : 3;
        for (int k = 0; k < count; ++k) {
            const auto tile =
                static_cast<engine::Hai>(group.tile + (group.kind == engine::Group::Kind::Run ? k : 0));
            // The completing tile is the last copy of its kind in the finished group.
            if (g == split.completed && tile == completing) picked = static_cast<int>(tiles.size());
            tiles.push_back(tile);
        }
    }
    return tileRow(tiles, gaps, picked);
}

QPoint placeBeside(const QRect& pair, const QRect& game, QSize size, const QRect& screen) {
    const std::array<QPoint, 4> tries{
        QPoint(pair.right() + 1, pair.top()), QPoint(pair.left() - size.width(), pair.top()),
        QPoint(pair.left(), pair.bottom() + 1), QPoint(pair.left(), pair.top() - size.height())};
    for (const QPoint& at : tries) {
        if (screen.contains(QRect(at, size))) return at;
    }
    // Nothing fits whole: keep it on the screen, then push it off the game window.
    QRect best(tries[0], size);
    best.moveLeft(
        std::clamp(best.left(), screen.left(), std::max(screen.left(), screen.right() - size.width() + 1)));
    best.moveTop(
        std::clamp(best.top(), screen.top(), std::max(screen.top(), screen.bottom() - size.height() + 1)));
    if (best.intersects(game)) best.moveLeft(game.right() + 1);
    return best.topLeft();
}

} // namespace review
