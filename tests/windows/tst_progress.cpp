// The 成績 window: every figure and chart shows what the history holds, for the period and
// kind chosen; a wrongly answered problem opens in the 解説 window; an empty history says so
// in words; the CSV goes where the player chose.

#include "engine/explain.h"
#include "progress/progresscharts.h"
#include "progress/progresswindow.h"
#include "review/explainwindow.h"
#include "review/tilepictures.h"
#include "testsupport.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

using history::Dashboard;
using history::Period;

namespace {

const QDateTime Now(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);

// 11m 23m 456p 789s 東東東 waiting on 1m and 4m, marked 1m only: answered wrongly.
history::WrongProblem missedRyanmen(int daysAgo) {
    history::WrongProblem p;
    p.answeredUtc = Now.addDays(-daysAgo);
    p.level = 1;
    p.record.hand = {1, 1, 2, 3, 14, 15, 16, 27, 28, 29, 31, 31, 31};
    p.record.machi[1] = p.record.machi[4] = 1;
    p.record.kotae[1] = 1;
    return p;
}

// Scattered odd tiles and two winds: no tile completes it.
history::WrongProblem notReady(int daysAgo) {
    history::WrongProblem p;
    p.answeredUtc = Now.addDays(-daysAgo);
    p.level = 2;
    p.record.hand = {1, 3, 5, 7, 9, 12, 14, 16, 18, 22, 24, 31, 32};
    p.record.kotae[5] = 1;
    return p;
}

Dashboard sample(int scale) {
    Dashboard d;
    d.games = 12 * scale;
    d.problems = 120 * scale;
    d.right = 97 * scale;
    d.averageMs = 4250.0 * scale;
    d.streakDays = 3 + scale;
    for (int i = 0; i < 6 * scale; ++i) d.scores.push_back({Now.addDays(i - 40), i % 3, 1000 + 37 * i});
    d.shapes = {{{40, 3}, {30 * scale, 12}, {80, 5 * scale}, {25, 9}, {22, 11}}};
    d.notReadyWrong = 7 * scale;
    d.byWaitCount = {{{50, 45, 3000}, {40, 30, 4500}, {20, 12, 6000}, {0, 0, 0}, {10 * scale, 3, 9800}}};
    d.weak = {engine::WaitShape::Penchan, engine::WaitShape::Kanchan};
    d.strong = {engine::WaitShape::Ryanmen, engine::WaitShape::Tanki};
    d.wrong = {missedRyanmen(1), notReady(2), missedRyanmen(3 + scale)};
    d.dailyStreak = 2 * scale;
    if (scale > 1) d.dailyScoreToday = 4321;
    return d;
}

// A source that hands out `figures` and notes what was asked of it.
struct FakeHistory {
    Dashboard figures;
    std::vector<std::pair<Period, std::optional<engine::GameKind>>> asked;
    QStringList exported;
    QString exportFailure;

    progress::Source source() {
        return {[this](Period p, std::optional<engine::GameKind> k) {
                    asked.emplace_back(p, k);
                    return figures;
                },
                [this](const QString& file) {
                    exported << file;
                    return exportFailure;
                },
                {}};
    }
};

QString label(const progress::ProgressWindow& w, const char* name) {
    return w.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

template <typename Series>
std::vector<Series*> seriesOf(const progress::ProgressWindow& w, const char* chart) {
    std::vector<Series*> found;
    for (QAbstractSeries* s : w.findChild<QChartView*>(QString::fromLatin1(chart))->chart()->series())
        if (auto* typed = qobject_cast<Series*>(s)) found.push_back(typed);
    return found;
}

QList<qreal> barValues(QBarSeries* series) {
    QList<qreal> values;
    const QBarSet* set = series->barSets().constFirst();
    for (int i = 0; i < set->count(); ++i) values << set->at(i);
    return values;
}

// What the window must show of `d`, computed here from the figures themselves.
void checkShows(const progress::ProgressWindow& w, const Dashboard& d) {
    QVERIFY(w.showsFigures());
    QCOMPARE(label(w, "games"), QString::number(d.games));
    QCOMPARE(label(w, "problems"), QString::number(d.problems));
    QCOMPARE(label(w, "rate"), QString::asprintf("%.1f%%", 100.0 * d.right / d.problems));
    QCOMPARE(label(w, "averageTime"), QString::asprintf("%.1f", d.averageMs / 1000) + QStringLiteral("秒"));
    QCOMPARE(label(w, "streak"), QString::number(d.streakDays) + QStringLiteral("日"));

    std::map<QString, QList<QPointF>> lines;
    for (const auto& p : d.scores)
        lines[progress::levelName(p.level)] << QPointF(double(p.playedUtc.toMSecsSinceEpoch()), p.score);
    const auto scoreLines = seriesOf<QLineSeries>(w, "scoreChart");
    QCOMPARE(scoreLines.size(), lines.size());
    for (QLineSeries* line : scoreLines) QCOMPARE(line->points(), lines[line->name()]);

    QList<qreal> missed;
    for (const auto& s : d.shapes) missed << s.missed;
    QCOMPARE(barValues(seriesOf<QBarSeries>(w, "shapeChart").at(0)), missed << d.notReadyWrong);

    QList<qreal> rates;
    QList<QPointF> seconds;
    for (int i = 0; i < 5; ++i) {
        const auto& f = d.byWaitCount[std::size_t(i)];
        rates << (f.problems ? 100.0 * f.right / f.problems : 0.0);
        if (f.problems) seconds << QPointF(i, f.averageMs / 1000);
    }
    QCOMPARE(barValues(seriesOf<QBarSeries>(w, "waitCountChart").at(0)), rates);
    QCOMPARE(seriesOf<QLineSeries>(w, "waitCountChart").at(0)->points(), seconds);

    for (const auto& [name, shapes] : {std::pair{"weak", d.weak}, std::pair{"strong", d.strong}})
        for (const auto shape : shapes) QVERIFY(label(w, name).contains(review::shapeText(shape)));
    QVERIFY(label(w, "daily").contains(QStringLiteral("%1日連続").arg(d.dailyStreak)));
    if (d.dailyScoreToday) QVERIFY(label(w, "daily").contains(QString::number(*d.dailyScoreToday)));

    const auto* list = w.findChild<QTreeWidget*>("wrongList");
    QCOMPARE(list->topLevelItemCount(), int(d.wrong.size()));
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        QCOMPARE(list->topLevelItem(row)->text(0),
                 d.wrong[std::size_t(row)].answeredUtc.toLocalTime().toString("yyyy/MM/dd HH:mm"));
}

} // namespace

class ProgressTest : public QObject {
    Q_OBJECT
  private slots:
    void everyFigureAndChartShowsTheFigures_data();
    void everyFigureAndChartShowsTheFigures();
    void thePeriodAndKindChosenAreTheFiguresAskedFor();
    void choosingAWrongProblemExplainsThatHand();
    void anEmptyPeriodShowsAFriendlyLineNotEmptyAxes();
    void exportWritesTheChosenFileOrSaysWhyNot();
};

void ProgressTest::everyFigureAndChartShowsTheFigures_data() {
    QTest::addColumn<int>("scale");
    QTest::newRow("small") << 1;
    QTest::newRow("larger, with today's game of the day") << 3;
}

void ProgressTest::everyFigureAndChartShowsTheFigures() {
    QFETCH(int, scale);
    testsupport::Environment env;
    FakeHistory fake{sample(scale), {}, {}, {}};
    progress::ProgressWindow window(fake.source());
    window.show();
    checkShows(window, fake.figures);
    // The weakest shapes stand out in the shape chart.
    const QBarSet* set = seriesOf<QBarSeries>(window, "shapeChart").at(0)->barSets().constFirst();
    QList<int> selected = set->selectedBars();
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, QList<int>({int(engine::WaitShape::Kanchan), int(engine::WaitShape::Penchan)}));
}

void ProgressTest::thePeriodAndKindChosenAreTheFiguresAskedFor() {
    testsupport::Environment env;
    FakeHistory fake{sample(1), {}, {}, {}};
    progress::ProgressWindow window(fake.source());
    QCOMPARE(fake.asked.back().first, Period::Last30Days); // the default
    QCOMPARE(fake.asked.back().second, std::nullopt);
    const struct {
        int period, kind;
        Period asked;
        std::optional<engine::GameKind> kind_;
    } cases[] = {{1, 0, Period::Last90Days, std::nullopt},
                 {2, 0, Period::All, std::nullopt},
                 {2, 5, Period::All, engine::GameKind::Daily},
                 {0, 4, Period::Last30Days, engine::GameKind::WeakShape},
                 {0, 1, Period::Last30Days, engine::GameKind::Normal}};
    int scale = 1;
    for (const auto& c : cases) {
        fake.figures = sample(++scale);
        window.periodChoice->setCurrentIndex(c.period);
        window.kindChoice->setCurrentIndex(c.kind);
        QCOMPARE(fake.asked.back().first, c.asked);
        QCOMPARE(fake.asked.back().second, c.kind_);
        checkShows(window, fake.figures);
    }
}

void ProgressTest::choosingAWrongProblemExplainsThatHand() {
    testsupport::Environment env;
    FakeHistory fake{sample(1), {}, {}, {}};
    progress::ProgressWindow window(fake.source());
    window.show();
    QCOMPARE(window.explainWindow(), nullptr);
    auto* list = window.findChild<QTreeWidget*>("wrongList");
    for (const int row : {1, 0}) {
        const engine::ProblemRecord& record = fake.figures.wrong[std::size_t(row)].record;
        emit list->itemActivated(list->topLevelItem(row), 0);
        review::ExplainWindow* explain = window.explainWindow();
        QVERIFY(explain && explain->isVisible());
        QCOMPARE(explain->pictures().at(0), review::tileRow({record.hand.begin(), record.hand.end()}));
        const QString text = explain->plainText();
        QVERIFY(text.startsWith(QStringLiteral("不正解")));
        if (row == 1) {
            QVERIFY(text.contains(QStringLiteral("待ちなし")));
        } else {
            QVERIFY(text.contains(QStringLiteral("待ち: 1萬・4萬")));
            QVERIFY(text.contains(QStringLiteral("見逃した待ち: 4萬")));
        }
    }
}

void ProgressTest::anEmptyPeriodShowsAFriendlyLineNotEmptyAxes() {
    testsupport::Environment env;
    FakeHistory fake;
    fake.figures.games = 1; // begun but never answered: nothing to chart yet
    progress::ProgressWindow window(fake.source());
    window.show();
    const struct {
        int period, kind;
        const char* line;
    } cases[] = {{0, 0, "この期間・種類で解いた問題はまだありません。"},
                 {2, 3, "この期間・種類で解いた問題はまだありません。"},
                 {2, 0, "まだ成績がありません。対局すると、ここに成績が表示されます。"}};
    for (const auto& c : cases) {
        window.periodChoice->setCurrentIndex(c.period);
        window.kindChoice->setCurrentIndex(c.kind);
        QVERIFY(!window.showsFigures());
        QCOMPARE(window.plainText(), QString::fromUtf8(c.line));
        QVERIFY(window.findChild<QLabel*>("emptyLine")->isVisible());
        for (const char* chart : {"scoreChart", "shapeChart", "waitCountChart"})
            QVERIFY(!window.findChild<QChartView*>(chart)->isVisible());
    }
    fake.figures = sample(1);
    window.refresh();
    QVERIFY(window.findChild<QChartView*>("scoreChart")->isVisible());
}

void ProgressTest::exportWritesTheChosenFileOrSaysWhyNot() {
    testsupport::Environment env;
    FakeHistory fake{sample(1), {}, {}, {}};
    progress::ProgressWindow window(fake.source());
    window.show();
    const QString file = env.file("成績.csv");
    const auto chooseFile = [&](QWidget* w) {
        auto* dialog = static_cast<QFileDialog*>(w);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(file);
        static_cast<QDialog*>(dialog)->accept();
    };
    testsupport::whenModalShows("QFileDialog", chooseFile);
    window.exportButton->click();
    QCOMPARE(fake.exported, QStringList{file});
    QVERIFY(label(window, "status").contains(file));

    fake.exportFailure = QStringLiteral("ディスクがいっぱいです");
    QString shown;
    testsupport::whenModalShows("QFileDialog", chooseFile);
    testsupport::whenModalShows("QMessageBox", [&](QWidget* w) {
        shown = static_cast<QMessageBox*>(w)->text();
        static_cast<QMessageBox*>(w)->accept();
    });
    window.exportButton->click();
    QCOMPARE(fake.exported.size(), 2);
    QVERIFY(shown.contains(fake.exportFailure));
    QVERIFY(shown.contains(file));

    testsupport::whenModalShows("QFileDialog", [](QWidget* w) { static_cast<QFileDialog*>(w)->reject(); });
    window.exportButton->click();
    QCOMPARE(fake.exported.size(), 2); // cancelled: nothing written
}

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"
