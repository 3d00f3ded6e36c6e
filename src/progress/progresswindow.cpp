#include "progress/progresswindow.h"

#include "engine/explain.h"
#include "history/history.h"
#include "progress/progresscharts.h"
#include "review/explainwindow.h"
#include "review/tilepictures.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>

#include <array>

namespace progress {

namespace {

constexpr std::array<engine::GameKind, 5> kinds{engine::GameKind::Normal, engine::GameKind::Code,
                                                engine::GameKind::Review, engine::GameKind::WeakShape,
                                                engine::GameKind::Daily};

QLabel* valueLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("—"), parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QChartView* chartView(const char* name, QWidget* parent) {
    auto* view = new QChartView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(380, 250);
    return view;
}

// 苦手: 嵌張（見逃し 31.0%）・辺張（…）, or why there is nothing to name yet.
QString shapeLine(const QString& heading, const std::vector<engine::WaitShape>& shapes,
                  const history::Dashboard& figures) {
    if (shapes.empty())
        return heading + QStringLiteral(": まだわかりません（待ちが20以上ある形から選びます）");
    QStringList parts;
    for (const engine::WaitShape shape : shapes) {
        const history::ShapeFigures& f = figures.shapes[static_cast<std::size_t>(shape)];
        parts << review::shapeText(shape) + QStringLiteral("（見逃し ") + percentText(f.missed, f.waits) +
                     QStringLiteral("）");
    }
    return heading + QStringLiteral(": ") + parts.join(QStringLiteral("・"));
}

QString dailyLine(const history::Dashboard& figures) {
    const QString today = figures.dailyScoreToday
                              ? QStringLiteral("今日の得点 %1").arg(*figures.dailyScoreToday)
                              : QStringLiteral("今日はまだ遊んでいません");
    return QStringLiteral("今日の一局: %1日連続・").arg(figures.dailyStreak) + today;
}

QString tileNames(const std::array<std::int16_t, 38>& flags, const QString& none) {
    QStringList names;
    for (engine::Hai t = engine::FirstTile; t <= engine::LastTile; ++t)
        if (engine::isTile(t) && flags[static_cast<std::size_t>(t)] != 0) names << review::tileName(t);
    return names.isEmpty() ? none : names.join(QStringLiteral("・"));
}

} // namespace

ProgressWindow::ProgressWindow(Source source, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      source_(std::move(source)) {
    setObjectName("ProgressWindow");
    setWindowTitle(QStringLiteral("成績"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeChoices());
    pages_ = new QStackedWidget(this);
    emptyLine_ = new QLabel(pages_);
    emptyLine_->setObjectName("emptyLine");
    emptyLine_->setAlignment(Qt::AlignCenter);
    emptyLine_->setWordWrap(true);
    pages_->addWidget(emptyLine_);
    auto* scroll = new QScrollArea(pages_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(makeDashboard());
    pages_->addWidget(scroll);
    layout->addWidget(pages_, 1);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);
    layout->addWidget(status_);
    fitToScreen();
    refresh();
}

QWidget* ProgressWindow::makeChoices() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    periodChoice = new QComboBox(row);
    periodChoice->setObjectName("periodChoice");
    periodChoice->addItem(QStringLiteral("30日"), static_cast<int>(history::Period::Last30Days));
    periodChoice->addItem(QStringLiteral("90日"), static_cast<int>(history::Period::Last90Days));
    periodChoice->addItem(QStringLiteral("全期間"), static_cast<int>(history::Period::All));
    kindChoice = new QComboBox(row);
    kindChoice->setObjectName("kindChoice");
    kindChoice->addItem(QStringLiteral("すべて"), -1);
    for (const engine::GameKind kind : kinds)
        kindChoice->addItem(history::kindName(kind), static_cast<int>(kind));
    exportButton = new QPushButton(QStringLiteral("CSVに書き出す…"), row);
    exportButton->setObjectName("exportButton");
    layout->addWidget(new QLabel(QStringLiteral("期間:"), row));
    layout->addWidget(periodChoice);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("種類:"), row));
    layout->addWidget(kindChoice);
    layout->addStretch();
    layout->addWidget(exportButton);
    connect(periodChoice, &QComboBox::currentIndexChanged, this, &ProgressWindow::refresh);
    connect(kindChoice, &QComboBox::currentIndexChanged, this, &ProgressWindow::refresh);
    connect(exportButton, &QPushButton::clicked, this, &ProgressWindow::exportCsv);
    return row;
}

// Five figures side by side, each under its caption; the shapes and the game of the day below.
QWidget* ProgressWindow::makeFigures() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    games_ = valueLabel("games", box);
    problems_ = valueLabel("problems", box);
    rate_ = valueLabel("rate", box);
    averageTime_ = valueLabel("averageTime", box);
    streak_ = valueLabel("streak", box);
    const std::array<std::pair<const char*, QLabel*>, 5> figures{{{"対局数", games_},
                                                                  {"解答数", problems_},
                                                                  {"正解率", rate_},
                                                                  {"平均時間", averageTime_},
                                                                  {"連続日数", streak_}}};
    for (int i = 0; i < 5; ++i) {
        auto* caption = new QLabel(QString::fromUtf8(figures[static_cast<std::size_t>(i)].first), box);
        caption->setAlignment(Qt::AlignCenter);
        grid->addWidget(caption, 0, i);
        grid->addWidget(figures[static_cast<std::size_t>(i)].second, 1, i);
    }
    weak_ = new QLabel(box);
    weak_->setObjectName("weak");
    strong_ = new QLabel(box);
    strong_->setObjectName("strong");
    daily_ = new QLabel(box);
    daily_->setObjectName("daily");
    grid->addWidget(weak_, 2, 0, 1, 5);
    grid->addWidget(strong_, 3, 0, 1, 5);
    grid->addWidget(daily_, 4, 0, 1, 5);
    return box;
}

// The figures on top; the score chart and the shapes, then the wait counts and the list.
QWidget* ProgressWindow::makeDashboard() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(makeFigures(), 0, 0, 1, 2);
    scores_ = chartView("scoreChart", page);
    shapes_ = chartView("shapeChart", page);
    waitCounts_ = chartView("waitCountChart", page);
    wrong_ = new QTreeWidget(page);
    wrong_->setObjectName("wrongList");
    wrong_->setHeaderLabels(
        {QStringLiteral("日時"), QStringLiteral("級"), QStringLiteral("待ち"), QStringLiteral("手牌")});
    wrong_->setRootIsDecorated(false);
    wrong_->setIconSize(QSize(13 * review::SmallTileWidth + 2, review::SmallTileHeight + 4));
    wrong_->setMinimumSize(380, 250);
    auto* wrongBox = new QWidget(page);
    auto* wrongLayout = new QVBoxLayout(wrongBox);
    wrongLayout->setContentsMargins(0, 0, 0, 0);
    wrongLayout->addWidget(new QLabel(QStringLiteral("最近まちがえた問題（選ぶと解説を表示）"), wrongBox));
    wrongLayout->addWidget(wrong_);
    grid->addWidget(scores_, 1, 0);
    grid->addWidget(shapes_, 1, 1);
    grid->addWidget(waitCounts_, 2, 0);
    grid->addWidget(wrongBox, 2, 1);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(2, 1);
    connect(wrong_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { openWrong(wrong_->indexOfTopLevelItem(item)); });
    connect(wrong_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { openWrong(wrong_->indexOfTopLevelItem(item)); });
    return page;
}

// As large as the dashboard wants, but never larger than the screen it opens on.
void ProgressWindow::fitToScreen() {
    QSize size(1040, 780);
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
}

history::Period ProgressWindow::period() const {
    return static_cast<history::Period>(periodChoice->currentData().toInt());
}

std::optional<engine::GameKind> ProgressWindow::kind() const {
    const int kind = kindChoice->currentData().toInt();
    if (kind < 0) return std::nullopt;
    return static_cast<engine::GameKind>(kind);
}

bool ProgressWindow::showsFigures() const {
    return pages_->currentIndex() == 1;
}

void ProgressWindow::refresh() {
    figures_ = source_.load ? source_.load(period(), kind()) : history::Dashboard{};
    if (source_.notice) {
        const QString notice = source_.notice();
        if (!notice.isEmpty()) status_->setText(notice);
    }
    if (figures_.problems == 0) {
        const bool everything = period() == history::Period::All && !kind();
        emptyLine_->setText(
            everything ? QStringLiteral("まだ成績がありません。対局すると、ここに成績が表示されます。")
                       : QStringLiteral("この期間・種類で解いた問題はまだありません。"));
        pages_->setCurrentIndex(0);
        writeTestText();
        return;
    }
    pages_->setCurrentIndex(1);
    showFigures();
    showWrong();
    writeTestText();
}

// The end-to-end tests read what the window shows from this file; players never set it.
void ProgressWindow::writeTestText() const {
    const QString path = qEnvironmentVariable("BRALUN_TEST_PROGRESS_TEXT");
    if (path.isEmpty()) return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(plainText().toUtf8() + '\n');
}

void ProgressWindow::showFigures() {
    games_->setText(QString::number(figures_.games));
    problems_->setText(QString::number(figures_.problems));
    rate_->setText(percentText(figures_.right, figures_.problems));
    averageTime_->setText(secondsText(figures_.averageMs));
    streak_->setText(QStringLiteral("%1日").arg(figures_.streakDays));
    weak_->setText(shapeLine(QStringLiteral("苦手"), figures_.weak, figures_));
    strong_->setText(shapeLine(QStringLiteral("得意"), figures_.strong, figures_));
    daily_->setText(dailyLine(figures_));
    replaceChart(scores_, scoreChart(figures_));
    replaceChart(shapes_, shapeChart(figures_));
    replaceChart(waitCounts_, waitCountChart(figures_));
}

void ProgressWindow::replaceChart(QChartView* view, QChart* chart) {
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

void ProgressWindow::showWrong() {
    wrong_->clear();
    for (const history::WrongProblem& problem : figures_.wrong) {
        auto* item = new QTreeWidgetItem(wrong_);
        item->setText(0, problem.answeredUtc.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm")));
        item->setText(1, levelName(problem.level));
        item->setIcon(3, QIcon(QPixmap::fromImage(review::tileRow(std::vector<engine::Hai>(
                             problem.record.hand.begin(), problem.record.hand.end())))));
        QStringList hand;
        for (const engine::Hai tile : problem.record.hand) hand << review::tileName(tile);
        item->setToolTip(3, hand.join(QLatin1Char(' ')));
        item->setText(2, tileNames(problem.record.machi, QStringLiteral("待ちなし")));
    }
    for (int column = 0; column < wrong_->columnCount(); ++column) wrong_->resizeColumnToContents(column);
}

QString ProgressWindow::plainText() const {
    if (!showsFigures()) return emptyLine_->text();
    QStringList lines;
    const std::array<std::pair<const char*, const QLabel*>, 5> figures{{{"対局数", games_},
                                                                        {"解答数", problems_},
                                                                        {"正解率", rate_},
                                                                        {"平均時間", averageTime_},
                                                                        {"連続日数", streak_}}};
    for (const auto& [caption, label] : figures)
        lines << QString::fromUtf8(caption) + QStringLiteral(": ") + label->text();
    lines << weak_->text() << strong_->text() << daily_->text();
    return lines.join(QLatin1Char('\n'));
}

void ProgressWindow::openWrong(int index) {
    if (index < 0 || index >= static_cast<int>(figures_.wrong.size())) return;
    const engine::ProblemRecord& record = figures_.wrong[static_cast<std::size_t>(index)].record;
    const bool first = !explain_;
    if (first) explain_ = new review::ExplainWindow(this);
    explain_->showAnswer(record, engine::explain(record.hand));
    if (first && screen()) {
        // Beside this window, never over it: here it stands where a game window would.
        review::Surroundings around;
        around.game = around.core = frameGeometry();
        around.screen = screen()->availableGeometry();
        review::moveClear(explain_, this, around);
    }
    explain_->show();
    explain_->raise();
}

void ProgressWindow::exportCsv() {
    QFileDialog dialog(this, QStringLiteral("成績をCSVに書き出す"), QDir::homePath(),
                       QStringLiteral("CSV (*.csv)"));
    dialog.setObjectName("ExportDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(QStringLiteral("bralun-seiseki.csv"));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("場所:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("ファイル名:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("種類:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("保存"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().constFirst();
    const QString failure = source_.exportCsv ? source_.exportCsv(file) : QStringLiteral("履歴がありません");
    if (failure.isEmpty()) {
        status_->setText(QStringLiteral("CSVに書き出しました: ") + QDir::toNativeSeparators(file));
        return;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("成績"),
                    QStringLiteral("CSVを書き出せませんでした。\n\nファイル: %1\n理由: %2")
                        .arg(QDir::toNativeSeparators(file), failure),
                    QMessageBox::Ok, this);
    box.setObjectName("ExportFailed");
    box.exec();
}

} // namespace progress
