#include "review/tilepictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <array>
#include <optional>

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

QImage smallTile(engine::Hai tile, int ratio) {
    static const QImage sheet(QStringLiteral(":/tiles.png"));
    static const QImage sheet2x(QStringLiteral(":/tiles@2x.png"));
    const bool twice = ratio >= 2 && !sheet2x.isNull();
    const int r = twice ? 2 : 1;
    const QRect cell(engine::sheetX(tile) * r, engine::sheetY(tile) * r, engine::TileWidth * r,
                     engine::TileHeight * r);
    return (twice ? sheet2x : sheet)
        .copy(cell)
        .scaled(SmallTileWidth * r, SmallTileHeight * r, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage tileRow(const std::vector<engine::Hai>& tiles, const std::vector<int>& gapsBefore, int picked) {
    // The sharpest screen decides: a picture of twice the pixels shrinks well, the reverse blurs.
    const int ratio = qGuiApp && qGuiApp->devicePixelRatio() >= 1.5 ? 2 : 1;
    const int gap = SmallTileWidth / 2;
    const int width =
        static_cast<int>(tiles.size()) * SmallTileWidth + static_cast<int>(gapsBefore.size()) * gap;
    QImage row((std::max(width, 1) + 2) * ratio, (SmallTileHeight + 4) * ratio,
               QImage::Format_ARGB32_Premultiplied);
    row.setDevicePixelRatio(ratio);
    row.fill(Qt::transparent);
    QPainter painter(&row);
    int x = 1;
    for (int i = 0; i < static_cast<int>(tiles.size()); ++i) {
        if (std::find(gapsBefore.begin(), gapsBefore.end(), i) != gapsBefore.end()) x += gap;
        const engine::Hai t = tiles[static_cast<std::size_t>(i)];
        if (engine::isTile(t)) {
            QImage tile = smallTile(t, ratio);
            tile.setDevicePixelRatio(ratio);
            painter.drawImage(QPoint(x, 2), tile);
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

namespace {

// The part of `room` a window of `size` takes, as near `near` as the room allows.
QRect fitInto(const QRect& room, QSize size, QPoint near) {
    QRect placed(QPoint(), size.boundedTo(room.size()));
    placed.moveLeft(std::clamp(near.x(), room.left(), room.right() - placed.width() + 1));
    placed.moveTop(std::clamp(near.y(), room.top(), room.bottom() - placed.height() + 1));
    return placed;
}

bool clearOf(const QRect& placed, const std::vector<QRect>& keep) {
    return std::none_of(keep.begin(), keep.end(), [&](const QRect& r) { return placed.intersects(r); });
}

QRect unionOf(const std::vector<QRect>& rects) {
    QRect all;
    for (const QRect& r : rects) all |= r;
    return all;
}

// Right of `block`, left of it, below it, above it: the first whole place on the screen, slid
// along that side to stay on it.
std::optional<QRect> wholeBeside(const QRect& block, QSize size, const QRect& screen,
                                 const std::vector<QRect>& keep) {
    const std::array<QPoint, 4> tries{
        QPoint(block.right() + 1, block.top()), QPoint(block.left() - size.width(), block.top()),
        QPoint(block.left(), block.bottom() + 1), QPoint(block.left(), block.top() - size.height())};
    for (std::size_t i = 0; i < tries.size(); ++i) {
        QRect placed(tries[i], size);
        if (i < 2)
            placed.moveTop(std::clamp(placed.top(), screen.top(), screen.bottom() - size.height() + 1));
        else
            placed.moveLeft(std::clamp(placed.left(), screen.left(), screen.right() - size.width() + 1));
        if (screen.contains(placed) && clearOf(placed, keep)) return placed;
    }
    return std::nullopt;
}

// The first place of at least `least` in the strips of the screen right, left, below and
// above `block`, in that order.
std::optional<QRect> shrunkBeside(const QRect& block, QSize size, QSize least, const QRect& screen,
                                  const std::vector<QRect>& keep) {
    const std::array<QRect, 4> rooms{QRect(QPoint(block.right() + 1, screen.top()), screen.bottomRight()),
                                     QRect(screen.topLeft(), QPoint(block.left() - 1, screen.bottom())),
                                     QRect(QPoint(screen.left(), block.bottom() + 1), screen.bottomRight()),
                                     QRect(screen.topLeft(), QPoint(screen.right(), block.top() - 1))};
    const std::array<QPoint, 4> near{
        QPoint(block.right() + 1, block.top()), QPoint(block.left() - size.width(), block.top()),
        QPoint(block.left(), block.bottom() + 1), QPoint(block.left(), block.top() - size.height())};
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        const QRect room = rooms[i].intersected(screen);
        if (room.width() < least.width() || room.height() < least.height() || room.isEmpty()) continue;
        const QRect placed = fitInto(room, size, near[i]);
        if (clearOf(placed, keep)) return placed;
    }
    return std::nullopt;
}

} // namespace

QRect placeClear(const Surroundings& around, QSize size, QSize least) {
    size = size.boundedTo(around.screen.size());
    least = least.boundedTo(size);
    const QRect pair = around.game | around.title;
    std::vector<QRect> helpers = around.others;
    helpers.push_back(around.game);
    std::vector<QRect> all = helpers;
    if (!around.title.isEmpty()) all.push_back(around.title);
    // What must stay uncovered, from everything down to the game's hand and palette alone.
    const std::array<std::vector<QRect>, 4> levels{all, helpers, {around.game}, {around.core}};
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const auto& keep = levels[level];
        std::vector<QRect> blocks{unionOf(keep)};
        if (level == 0) blocks.insert(blocks.begin(), pair);
        for (const QRect& block : blocks)
            if (const auto placed = wholeBeside(block, size, around.screen, keep)) return *placed;
        for (const QRect& block : blocks)
            if (const auto placed = shrunkBeside(block, size, least, around.screen, keep)) return *placed;
    }
    // A screen smaller than all that: a room off the core, as wide as it should be if it can.
    for (const QSize fewest : {QSize(least.width(), 1), QSize(1, 1)})
        if (const auto placed = shrunkBeside(around.core, size, fewest, around.screen, {around.core}))
            return *placed;
    return fitInto(around.screen, size, around.screen.topLeft());
}

void moveClear(QWidget* window, const QWidget* framed, const Surroundings& around) {
    // A window not yet shown has no frame yet; it will get one like the shown window's.
    const QWidget* measured = window->isVisible() ? window : framed;
    const QSize extra = measured->frameGeometry().size() - measured->size();
    const QSize least = window->minimumSizeHint();
    const QSize wanted = window->sizeHint().expandedTo(least);
    // Narrower would cut what the window shows; shorter only brings a scroll bar.
    const QSize fewest(wanted.width(),
                       std::min(wanted.height(), std::max(least.height(), wanted.height() / 3)));
    const QRect frame = placeClear(around, wanted + extra, fewest + extra);
    window->resize(frame.size() - extra);
    window->move(frame.topLeft());
}

} // namespace review

namespace review {

QString shapeDefinition(engine::WaitShape shape) {
    switch (shape) {
    case engine::WaitShape::Ryanmen:
        return QStringLiteral("両面: 隣り合う2枚（例 4・5）で、両側の牌（3・6）のどちらでも順子になる待ち。");
    case engine::WaitShape::Kanchan:
        return QStringLiteral("嵌張: 1つ飛びの2枚（例 4・6）で、間の牌（5）を待つ。");
    case engine::WaitShape::Penchan:
        return QStringLiteral("辺張: 端の2枚 1・2（または 8・9）で、片側の3（または 7）だけを待つ。");
    case engine::WaitShape::Tanki:
        return QStringLiteral("単騎: 1枚だけ残った牌と同じ牌を待ち、雀頭を作る。");
    case engine::WaitShape::Shanpon:
        return QStringLiteral("双碰: 対子が2組あり、どちらかが刻子になれば和了。両方の牌が待ち。");
    }
    return {};
}

QString groupName(engine::Group::Kind kind) {
    switch (kind) {
    case engine::Group::Kind::Pair:
        return QStringLiteral("雀頭");
    case engine::Group::Kind::Run:
        return QStringLiteral("順子");
    case engine::Group::Kind::Triplet:
        return QStringLiteral("刻子");
    }
    return {};
}

namespace {

// A blank picture of `logical` size at the pixel density of `like`.
QImage blankLike(const QImage& like, QSize logical) {
    const qreal dpr = like.devicePixelRatio();
    QImage image((QSizeF(logical) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

QSize logicalSize(const QImage& image) {
    return (QSizeF(image.size()) / image.devicePixelRatio()).toSize();
}

} // namespace

QImage readingPicture(const std::vector<engine::Hai>& hand, const std::vector<int>& picked,
                      const std::vector<engine::Hai>& waits) {
    const QImage left = tileRow(hand);
    const QImage right = tileRow(waits);
    const int arrow = SmallTileWidth + 4;
    const QSize l = logicalSize(left), r = logicalSize(right);
    QImage out = blankLike(left, QSize(l.width() + arrow + r.width(), std::max(l.height(), r.height())));
    QPainter painter(&out);
    painter.drawImage(QPoint(0, 0), left);
    painter.drawImage(QPoint(l.width() + arrow, 0), right);
    painter.setPen(QPen(QColor::fromRgba(PickedOut), 2));
    for (const int i : picked)
        painter.drawRect(QRect(1 + i * SmallTileWidth, 1, SmallTileWidth, SmallTileHeight + 2));
    painter.setPen(QPen(Qt::black, 2));
    const int y = l.height() / 2, x0 = l.width() + 3, x1 = l.width() + arrow - 3;
    painter.drawLine(x0, y, x1, y);
    painter.drawLine(x1, y, x1 - 5, y - 4);
    painter.drawLine(x1, y, x1 - 5, y + 4);
    return out;
}

QImage labelledSplitPicture(const engine::Split& split, engine::Hai completing, double scale) {
    const QImage tiles = splitPicture(split, completing);
    const QSize full = logicalSize(tiles);
    const QSize small = (QSizeF(full) * scale).toSize();
    QFont font;
    font.setPixelSize(10);
    const int textHeight = QFontMetrics(font).height();
    QImage out = blankLike(tiles, QSize(small.width(), small.height() + textHeight));
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), small), tiles);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int gap = SmallTileWidth / 2;
    int x = 1, index = 0;
    for (const engine::Group& group : split.groups) {
        if (index > 0) x += gap;
        const int width = (group.kind == engine::Group::Kind::Pair ? 2 : 3) * SmallTileWidth;
        const QRect under(static_cast<int>(x * scale), small.height(), static_cast<int>(width * scale),
                          textHeight);
        painter.drawText(under, Qt::AlignHCenter | Qt::AlignTop, groupName(group.kind));
        x += width;
        ++index;
    }
    return out;
}

} // namespace review
