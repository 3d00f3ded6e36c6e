#include "review/explainwindow.h"

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

void ExplainWindow::addText(const QString& text, bool heading) {
    auto* label = new QLabel(text, content_);
    label->setWordWrap(true);
    if (heading) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    lines_->addWidget(label);
}

void ExplainWindow::addPicture(const QImage& picture, const QString& caption) {
    auto* label = new QLabel(content_);
    label->setPixmap(QPixmap::fromImage(picture));
    label->setAccessibleName(caption);
    label->setToolTip(caption);
    label->setProperty("picture", picture);
    lines_->addWidget(label);
}

void ExplainWindow::showPending() {
    clear();
    addText(QStringLiteral("解答後に解説が表示されます。"));
}

void ExplainWindow::showAnswer(const engine::ProblemRecord& record, const engine::Explanation& explanation) {
    clear();
    addText(record.correct ? QStringLiteral("正解") : QStringLiteral("不正解"), true);
    std::vector<engine::Hai> hand(record.hand.begin(), record.hand.end());
    addPicture(tileRow(hand), QStringLiteral("手牌"));
    if (explanation.ready())
        addWaits(explanation);
    else
        addNoWait(explanation);
    addWrongMarks(record, explanation);
    addMissed(record, explanation);
}

void ExplainWindow::addWaits(const engine::Explanation& explanation) {
    QStringList names;
    for (const auto& wait : explanation.waits) names << tileName(wait.tile);
    addText(QStringLiteral("待ち: ") + names.join(QStringLiteral("・")), true);
    for (const auto& wait : explanation.waits) {
        QStringList shapes;
        for (const auto& split : wait.splits) {
            const QString shape = shapeText(split.shape);
            if (!shapes.contains(shape)) shapes << shape;
        }
        addText(tileName(wait.tile) + QStringLiteral("（") + shapes.join(QStringLiteral("・")) +
                QStringLiteral("）"));
        for (const auto& split : wait.splits)
            addPicture(splitPicture(split, wait.tile),
                       tileName(wait.tile) + QStringLiteral("で和了: ") + shapeText(split.shape));
    }
}

void ExplainWindow::addNoWait(const engine::Explanation& explanation) {
    addText(QStringLiteral("待ちなし"), true);
    addText(QStringLiteral("どの牌を加えても雀頭1つと面子4つになりません。"));
    for (const engine::Hai tile : explanation.fifthCopies)
        addText(tileName(tile) +
                QStringLiteral("なら和了の形になりますが、手牌に4枚あるので5枚目はありません。"));
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

QString ExplainWindow::plainText() const {
    QStringList texts;
    for (const QLabel* label : content_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (!label->text().isEmpty()) texts << label->text();
    return texts.join(QLatin1Char('\n'));
}

std::vector<QImage> ExplainWindow::pictures() const {
    std::vector<QImage> result;
    for (const QLabel* label : content_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->property("picture").isValid())
            result.push_back(label->property("picture").value<QImage>());
    return result;
}

} // namespace review
