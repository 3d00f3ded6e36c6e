#include "review/explainwindow.h"

#include "engine/shanten.h"
#include "review/tilepictures.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace review {

bool isWait(const engine::Explanation& explanation, engine::Hai tile) {
    return std::any_of(explanation.waits.begin(), explanation.waits.end(),
                       [tile](const engine::Wait& w) { return w.tile == tile; });
}

bool isFifthCopy(const engine::Explanation& explanation, engine::Hai tile) {
    return std::find(explanation.fifthCopies.begin(), explanation.fifthCopies.end(), tile) !=
           explanation.fifthCopies.end();
}

ExplainWindow::ExplainWindow(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowDoesNotAcceptFocus) {
    setWindowTitle(QStringLiteral("解説"));
    // Read and scrolled with the mouse: the keys stay with the game window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* outer = new QVBoxLayout(this);
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setFocusPolicy(Qt::NoFocus);
    content_ = new QWidget(scroll_);
    lines_ = new QVBoxLayout(content_);
    lines_->setAlignment(Qt::AlignTop);
    // Room for a whole split from the start, so the window need not widen after an answer.
    const QMargins margins = lines_->contentsMargins();
    content_->setMinimumWidth(SplitRowWidth + margins.left() + margins.right());
    content_->installEventFilter(this);
    scroll_->setWidget(content_);
    outer->addWidget(scroll_);
    reviewButton_ = new QPushButton(QStringLiteral("振り返り"), this);
    reviewButton_->setFocusPolicy(Qt::NoFocus);
    reviewButton_->hide();
    outer->addWidget(reviewButton_, 0, Qt::AlignRight);
    connect(reviewButton_, &QPushButton::clicked, this, &ExplainWindow::reviewRequested);
    showPending();
    keepRoomForContent();
    resize(sizeHint());
}

bool ExplainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Whatever the content holds, the scroll area keeps room for its widest line.
    if (watched == content_ && event->type() == QEvent::LayoutRequest) keepRoomForContent();
    return QWidget::eventFilter(watched, event);
}

void ExplainWindow::keepRoomForContent() {
    const int widest = std::max(content_->minimumWidth(), content_->minimumSizeHint().width());
    scroll_->setMinimumWidth(widest + 2 * scroll_->frameWidth() +
                             scroll_->verticalScrollBar()->sizeHint().width());
}

QSize ExplainWindow::sizeHint() const {
    return {minimumSizeHint().width(), std::max(minimumSizeHint().height(), 480)};
}

void ExplainWindow::setReviewAvailable(bool available) {
    reviewButton_->setVisible(available);
}

void ExplainWindow::clear() {
    while (QLayoutItem* item = lines_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

QLabel* ExplainWindow::addText(const QString& text, bool heading, QVBoxLayout* into) {
    auto* label = new QLabel(text, content_);
    label->setWordWrap(true);
    if (heading) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    (into ? into : lines_)->addWidget(label);
    return label;
}

void ExplainWindow::addPicture(const QImage& picture, const QString& caption, QVBoxLayout* into) {
    auto* label = new QLabel(content_);
    label->setPixmap(QPixmap::fromImage(picture));
    label->setAccessibleName(caption);
    label->setToolTip(caption);
    label->setProperty("picture", picture);
    (into ? into : lines_)->addWidget(label);
}

void ExplainWindow::showPending() {
    clear();
    addText(QStringLiteral("解答後に解説が表示されます。"));
}

void ExplainWindow::showAnswer(const engine::ProblemRecord& record, const engine::Explanation& explanation) {
    clear();
    // Sorted whatever the game showed: the shapes are read from a sorted hand.
    sorted_ = record.hand;
    std::sort(sorted_.begin(), sorted_.end());
    addText(record.correct ? QStringLiteral("正解") : QStringLiteral("不正解"), true);
    addPicture(tileRow({sorted_.begin(), sorted_.end()}), QStringLiteral("手牌"));
    if (explanation.ready())
        addWaits(explanation);
    else
        addNotReady(explanation);
    addWrongMarks(record, explanation);
    addMissed(record, explanation);
}

namespace {

QString names(const std::vector<engine::Hai>& tiles) {
    QStringList list;
    for (const engine::Hai t : tiles) list << tileName(t);
    return list.join(QStringLiteral("・"));
}

// A wait's shapes in one order for every wait, so waits of the same shapes read alike.
std::vector<engine::WaitShape> shapesOf(const engine::Wait& wait) {
    using engine::WaitShape;
    std::vector<WaitShape> shapes;
    for (const WaitShape shape :
         {WaitShape::Ryanmen, WaitShape::Kanchan, WaitShape::Penchan, WaitShape::Shanpon, WaitShape::Tanki})
        if (std::any_of(wait.splits.begin(), wait.splits.end(),
                        [shape](const auto& s) { return s.shape == shape; }))
            shapes.push_back(shape);
    return shapes;
}

// 待ち: 3萬・6萬（両面）、1萬（双碰）: waits of the same shapes named together.
QString waitList(const engine::Explanation& explanation) {
    std::vector<std::pair<std::vector<engine::WaitShape>, std::vector<engine::Hai>>> groups;
    for (const auto& wait : explanation.waits) {
        const auto shapes = shapesOf(wait);
        auto it =
            std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == shapes; });
        if (it == groups.end()) it = groups.insert(groups.end(), {shapes, {}});
        it->second.push_back(wait.tile);
    }
    QStringList parts;
    for (const auto& [shapes, tiles] : groups) {
        QStringList shapeNames;
        for (const auto shape : shapes) shapeNames << shapeText(shape);
        parts << names(tiles) + QStringLiteral("（") + shapeNames.join(QStringLiteral("・")) +
                     QStringLiteral("）");
    }
    return QStringLiteral("待ち: ") + parts.join(QStringLiteral("、"));
}

// 3萬で和了: 雀頭 1萬1萬・順子 [1萬2萬3萬]・...: the completed group in brackets.
QString splitCaption(const engine::Split& split, engine::Hai completing) {
    QStringList groups;
    for (std::size_t g = 0; g < split.groups.size(); ++g) {
        const engine::Group& group = split.groups[g];
        const int count = group.kind == engine::Group::Kind::Pair ? 2 : 3;
        QString tiles;
        for (int k = 0; k < count; ++k)
            tiles += tileName(
                static_cast<engine::Hai>(group.tile + (group.kind == engine::Group::Kind::Run ? k : 0)));
        if (static_cast<int>(g) == split.completed) tiles = QStringLiteral("[") + tiles + QStringLiteral("]");
        groups << groupName(group.kind) + QLatin1Char(' ') + tiles;
    }
    return tileName(completing) + QStringLiteral("で和了: ") + groups.join(QStringLiteral("・"));
}

// Where the waiting part sits in the sorted hand: copies side by side, the last of the lower
// tile and then the first copies of the higher.
std::vector<int> placesOf(const engine::WaitingPart& part, const std::array<engine::Hai, 13>& hand) {
    std::vector<int> picked;
    const auto& tiles = part.tiles;
    for (int k = 0; k < part.size; ++k) {
        const engine::Hai tile = tiles[static_cast<std::size_t>(k)];
        const bool last = k == 0 && part.size == 2 && tiles[0] != tiles[1];
        const auto from = hand.begin() + (k == 1 && tiles[0] == tile ? picked.back() + 1 : 0);
        const auto at =
            last ? std::find(hand.rbegin(), hand.rend(), tile).base() - 1 : std::find(from, hand.end(), tile);
        picked.push_back(static_cast<int>(at - hand.begin()));
    }
    return picked;
}

} // namespace

void ExplainWindow::addWaits(const engine::Explanation& explanation) {
    addText(waitList(explanation), true);
    QStringList left;
    int total = 0;
    for (const auto& wait : explanation.waits) {
        const int n = engine::copiesLeft(sorted_, wait.tile);
        total += n;
        left << tileName(wait.tile) + QStringLiteral(" 残り%1枚").arg(n);
    }
    addText(left.join(QStringLiteral("・")));
    addText(QStringLiteral("待ちの残り 計%1枚").arg(total));
    for (const auto& reading : engine::readings(explanation)) addReading(explanation, reading);
}

// The hand with the waiting part framed, the tiles it waits on and the shape; then a split for
// each of those tiles, the other splits behind a button.
void ExplainWindow::addReading(const engine::Explanation& explanation, const engine::Reading& reading) {
    const std::vector<int> picked = placesOf(reading.part, sorted_);
    QString part;
    for (int k = 0; k < reading.part.size; ++k)
        part += tileName(reading.part.tiles[static_cast<std::size_t>(k)]);
    auto* row = new QWidget(content_);
    auto* across = new QHBoxLayout(row);
    across->setContentsMargins(0, 6, 0, 0);
    auto* picture = new QLabel(row);
    const QImage image = readingPicture({sorted_.begin(), sorted_.end()}, picked, reading.waits);
    picture->setPixmap(QPixmap::fromImage(image));
    picture->setProperty("picture", image);
    picture->setAccessibleName(part + QStringLiteral(" → ") + names(reading.waits));
    picture->setToolTip(picture->accessibleName());
    auto* shape = new QLabel(shapeText(reading.shape), row);
    shape->setToolTip(shapeDefinition(reading.shape));
    across->addWidget(picture);
    across->addWidget(shape);
    across->addStretch();
    lines_->addWidget(row);

    std::vector<engine::Reading::At> rest;
    for (const auto& at : reading.splits) {
        const bool first =
            std::none_of(reading.splits.begin(), reading.splits.begin() + (&at - reading.splits.data()),
                         [&](const auto& before) { return before.wait == at.wait; });
        if (first)
            addSplit(explanation, at, lines_);
        else
            rest.push_back(at);
    }
    if (rest.empty()) return;
    auto* more = new QPushButton(QStringLiteral("ほか%1通りの分け方").arg(rest.size()), content_);
    more->setCheckable(true);
    more->setFlat(true);
    auto* box = new QWidget(content_);
    auto* inside = new QVBoxLayout(box);
    inside->setContentsMargins(0, 0, 0, 0);
    for (const auto& at : rest) addSplit(explanation, at, inside);
    box->hide();
    connect(more, &QPushButton::toggled, box, &QWidget::setVisible);
    lines_->addWidget(more, 0, Qt::AlignLeft);
    lines_->addWidget(box);
}

void ExplainWindow::addSplit(const engine::Explanation& explanation, const engine::Reading::At& at,
                             QVBoxLayout* into) {
    const engine::Split& split = explanation.find(at.wait)->splits[static_cast<std::size_t>(at.split)];
    auto* label = new QLabel(content_);
    const QImage image = labelledSplitPicture(split, at.wait, 0.75);
    label->setPixmap(QPixmap::fromImage(image));
    label->setProperty("picture", image);
    label->setAccessibleName(splitCaption(split, at.wait));
    label->setToolTip(label->accessibleName());
    label->setContentsMargins(SmallTileWidth, 0, 0, 0);
    into->addWidget(label);
}

// How far the hand is, the tiles that bring it closer and, one step away, what to throw then.
void ExplainWindow::addNotReady(const engine::Explanation& explanation) {
    const engine::Distance distance = engine::distance(sorted_);
    std::vector<engine::Hai> effective;
    for (const auto& e : distance.effective) effective.push_back(e.tile);
    QString line = QStringLiteral("聴牌していません（%1向聴）。").arg(distance.shanten);
    if (!effective.empty())
        line += QStringLiteral("有効牌: ") + names(effective) +
                QStringLiteral("（計%1枚）").arg(distance.copiesLeft());
    addText(line, true);
    for (const engine::Hai tile : explanation.fifthCopies)
        addText(tileName(tile) + QStringLiteral("が来れば和了の形ですが、") + tileName(tile) +
                QStringLiteral("は4枚とも手牌にあって使い切っているので、待ちにはなりません。"));
    if (effective.empty()) return;
    addPicture(tileRow(effective), QStringLiteral("有効牌: ") + names(effective));
    for (const auto& e : distance.effective) {
        QStringList ways, plain;
        for (const auto& discard : engine::discardsAfter(sorted_, e.tile)) {
            plain << tileName(discard.tile);
            if (!discard.waits.empty())
                ways << tileName(discard.tile) + QStringLiteral("を切れば") + names(discard.waits) +
                            QStringLiteral("待ち");
        }
        if (distance.shanten > 1)
            ways = {plain.join(QStringLiteral("・")) +
                    QStringLiteral("のどれかを切れば%1向聴").arg(distance.shanten - 1)};
        addText(tileName(e.tile) + QStringLiteral("（残り%1枚）を引いたら: ").arg(e.copiesLeft) +
                ways.join(QStringLiteral("、")));
    }
}

void ExplainWindow::addWrongMarks(const engine::ProblemRecord& record,
                                  const engine::Explanation& explanation) {
    bool headed = false;
    for (engine::Hai tile = engine::FirstTile; tile <= engine::LastTile; ++tile) {
        if (!engine::isTile(tile) || record.kotae[static_cast<std::size_t>(tile)] == 0 ||
            isWait(explanation, tile))
            continue;
        if (!headed) addText(QStringLiteral("待ちではない牌"), true);
        headed = true;
        addPicture(tileRow({tile}), tileName(tile));
        addText(tileName(tile) + QStringLiteral(": ") +
                (isFifthCopy(explanation, tile)
                     ? QStringLiteral("手牌に4枚あるので5枚目はありません")
                     : QStringLiteral("どう分けても雀頭1つと面子4つになりません")));
    }
}

void ExplainWindow::addMissed(const engine::ProblemRecord& record, const engine::Explanation& explanation) {
    std::vector<engine::Hai> missed;
    for (const auto& wait : explanation.waits)
        if (record.kotae[static_cast<std::size_t>(wait.tile)] == 0) missed.push_back(wait.tile);
    if (missed.empty()) return;
    QStringList names;
    for (const engine::Hai tile : missed) names << tileName(tile);
    addText(QStringLiteral("見逃した待ち: ") + names.join(QStringLiteral("・")), true);
    addPicture(tileRow(missed), names.join(QStringLiteral("・")));
}

namespace {

// Shown, or to be shown with the window: inside no box of splits the player has not opened.
// (Children added to a shown window become visible only later, so visibility itself won't do.)
bool opened(const QWidget* widget, const QWidget* top) {
    for (; widget != nullptr && widget != top; widget = widget->parentWidget())
        if (widget->testAttribute(Qt::WA_WState_ExplicitShowHide) && widget->isHidden()) return false;
    return true;
}

} // namespace

QString ExplainWindow::plainText() const {
    QStringList texts;
    for (const QLabel* label : content_->findChildren<QLabel*>())
        if (opened(label, content_) && !label->text().isEmpty()) texts << label->text();
    return texts.join(QLatin1Char('\n'));
}

std::vector<QImage> ExplainWindow::pictures() const {
    std::vector<QImage> result;
    for (const QLabel* label : content_->findChildren<QLabel*>())
        if (opened(label, content_) && label->property("picture").isValid())
            result.push_back(label->property("picture").value<QImage>());
    return result;
}

QStringList ExplainWindow::captions() const {
    QStringList result;
    for (const QLabel* label : content_->findChildren<QLabel*>())
        if (opened(label, content_) && label->property("picture").isValid())
            result << label->accessibleName();
    return result;
}

} // namespace review
