#include "review/reviewwindow.h"

#include "engine/explain.h"
#include "review/explainwindow.h"
#include "review/tilepictures.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace review {

namespace {

std::vector<engine::Hai> tilesOf(const std::array<std::int16_t, 38>& flags) {
    std::vector<engine::Hai> tiles;
    for (engine::Hai t = engine::FirstTile; t <= engine::LastTile; ++t)
        if (engine::isTile(t) && flags[static_cast<std::size_t>(t)] != 0) tiles.push_back(t);
    return tiles;
}

// The tiles in rows of at most `perRow`, one under the other.
QImage stackedRows(const std::vector<engine::Hai>& tiles, std::size_t perRow) {
    std::vector<QImage> rows;
    for (std::size_t at = 0; at < tiles.size(); at += perRow)
        rows.push_back(
            tileRow({tiles.begin() + static_cast<std::ptrdiff_t>(at),
                     tiles.begin() + static_cast<std::ptrdiff_t>(std::min(tiles.size(), at + perRow))}));
    if (rows.size() == 1) return rows.front();
    const qreal ratio = rows.front().devicePixelRatio();
    QImage all(rows.front().width(), rows.front().height() * static_cast<int>(rows.size()),
               QImage::Format_ARGB32_Premultiplied);
    all.fill(Qt::transparent);
    QPainter painter(&all);
    for (std::size_t i = 0; i < rows.size(); ++i)
        painter.drawImage(0, rows.front().height() * static_cast<int>(i), rows[i]);
    painter.end();
    all.setDevicePixelRatio(ratio);
    return all;
}

// Marks and waits wrap after three tiles, so every column fits beside the game window on a
// small screen; the hand stays whole.
QTableWidgetItem* pictureItem(const std::vector<engine::Hai>& tiles, const QString& empty,
                              std::size_t perRow = 3) {
    auto* item = new QTableWidgetItem;
    if (tiles.empty())
        item->setText(empty);
    else
        item->setData(Qt::DecorationRole, QPixmap::fromImage(stackedRows(tiles, perRow)));
    QStringList names;
    for (const engine::Hai t : tiles) names << tileName(t);
    item->setToolTip(names.join(QStringLiteral("・")));
    return item;
}

} // namespace

ReviewWindow::ReviewWindow(const std::vector<engine::ProblemRecord>& records, const engine::GameCode& code,
                           QWidget* parent)
    : QWidget(parent, Qt::Tool), records_(records),
      code_(QString::fromStdString(engine::encodeGameCode(code))) {
    setWindowTitle(QStringLiteral("振り返り"));
    setAttribute(Qt::WA_ShowWithoutActivating); // opened from the game, the keys stay there
    table_ = new QTableWidget(static_cast<int>(records_.size()), 6, this);
    table_->setHorizontalHeaderLabels({QStringLiteral("手牌"), QStringLiteral("解答"), QStringLiteral("待ち"),
                                       QStringLiteral("時間"), QStringLiteral("得点"),
                                       QStringLiteral("結果")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < table_->rowCount(); ++row) fillRow(row, records_[static_cast<std::size_t>(row)]);
    table_->resizeColumnsToContents();
    table_->resizeRowsToContents();

    auto* codeLabel = new QLabel(QStringLiteral("対局コード: ") + code_, this);
    codeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* copy = new QPushButton(QStringLiteral("コードをコピー"), this);
    connect(copy, &QPushButton::clicked, this, &ReviewWindow::copyCode);
    copied_ = new QLabel(this);
    copied_->setObjectName("Copied");
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(codeLabel);
    codeRow->addStretch();
    codeRow->addWidget(copied_);
    codeRow->addWidget(copy);

    explain_ = new ExplainWindow(this);
    explain_->setWindowFlags(Qt::Widget); // a part of this window here
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(codeRow);
    layout->addWidget(table_, 3);
    layout->addWidget(explain_, 2);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) { showRow(row); });
    if (!records_.empty()) table_->selectRow(0);
    resize(sizeHint());
}

QSize ReviewWindow::sizeHint() const {
    // Every column and row of the table whole, and the explanation below two thirds as tall.
    const int tableWidth = table_->verticalHeader()->sizeHint().width() +
                           table_->horizontalHeader()->length() + 2 * table_->frameWidth() +
                           table_->verticalScrollBar()->sizeHint().width();
    const int tableHeight = table_->horizontalHeader()->sizeHint().height() +
                            table_->verticalHeader()->length() + 2 * table_->frameWidth();
    const QMargins m = layout()->contentsMargins();
    const int width = std::max(tableWidth, explain_->minimumSizeHint().width()) + m.left() + m.right();
    const int codeRow = layout()->itemAt(0)->sizeHint().height();
    return {width, m.top() + codeRow + 2 * layout()->spacing() + tableHeight * 5 / 3 + m.bottom()};
}

void ReviewWindow::fillRow(int row, const engine::ProblemRecord& record) {
    table_->setItem(row, 0,
                    pictureItem({record.hand.begin(), record.hand.end()}, QString(), record.hand.size()));
    table_->setItem(row, 1, pictureItem(tilesOf(record.kotae), QStringLiteral("なし")));
    table_->setItem(row, 2, pictureItem(tilesOf(record.machi), QStringLiteral("待ちなし")));
    table_->setItem(
        row, 3, new QTableWidgetItem(QString::number(record.timeMs / 1000.0, 'f', 1) + QStringLiteral("秒")));
    table_->setItem(row, 4, new QTableWidgetItem(QString::number(record.points) + QStringLiteral("点")));
    table_->setItem(row, 5,
                    new QTableWidgetItem(record.correct ? QStringLiteral("正解") : QStringLiteral("不正解")));
}

void ReviewWindow::showRow(int row) {
    if (row < 0 || row >= static_cast<int>(records_.size())) return;
    const auto& record = records_[static_cast<std::size_t>(row)];
    explain_->showAnswer(record, engine::explain(record.hand));
}

void ReviewWindow::copyCode() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard) clipboard->setText(code_);
    copied_->setText(clipboard ? QStringLiteral("コピーしました") : QStringLiteral("コピーできませんでした"));
}

} // namespace review
