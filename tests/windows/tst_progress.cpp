// The 成績 window: every figure and chart shows what the history holds, for the period and
// kind chosen; a wrongly answered problem opens in the 解説 window; an empty history says so
// in words; the CSV goes where the player chose.

#include "engine/explain.h"
#include "history/history.h"
#include "progress/progresscharts.h"
#include "progress/progresswindow.h"
#include "review/explainwindow.h"
#include "review/tilepictures.h"
#include "testsupport.h"
#include "title/form2.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <algorithm>

#include <map>
#include <random>
#include <set>

using history::Dashboard;
using history::Period;

namespace {

const QDateTime Now(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);

// 11m 23m 456p 789s 東東東 waiting on 1m and 4m, marked 1m only.
history::WrongProblem missedRyanmen(int daysAgo) {
    history::WrongProblem p{Now.addDays(-daysAgo), 1, {}};
    p.record.hand = {1, 1, 2, 3, 14, 15, 16, 27, 28, 29, 31, 31, 31};
    p.record.machi[1] = p.record.machi[4] = p.record.kotae[1] = 1;
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
    d.wrong = {missedRyanmen(1), missedRyanmen(3 + scale)};
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

// Hands whose waits cover every shape, several waits and none.
const std::array<std::array<engine::Hai, 13>, 7> SeedHands{{
    {1, 1, 2, 3, 14, 15, 16, 27, 28, 29, 31, 31, 31},
    {1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9},
    {2, 3, 4, 12, 13, 14, 22, 23, 24, 5, 5, 31, 31},
    {1, 2, 12, 13, 14, 22, 23, 24, 5, 6, 7, 31, 31},
    {1, 3, 12, 13, 14, 22, 23, 24, 5, 6, 7, 31, 31},
    {1, 3, 5, 7, 9, 12, 14, 16, 18, 22, 24, 31, 32},
    {2, 3, 4, 12, 13, 14, 22, 23, 24, 5, 6, 7, 31},
}};

// `count` games over the 120 days up to Now through the history's own writer, none four days
// ago, so the run of days played ends there. Marks are drawn: most waits marked, some missed,
// now and then a tile that is no wait.
void seed(history::History& h, int count) {
    std::mt19937 draw(14);
    for (int i = 0; i < count; ++i) {
        int daysAgo = 119 - i * 120 / count;
        if (daysAgo == 4) daysAgo = 5;
        const QDateTime started = Now.addDays(-daysAgo).addSecs(-3600 * (1 + i % 3));
        const std::int64_t id = h.beginGame(
            {started, i % 3, "ABC-DEF-GHJ", false, true, false, 150, true, engine::GameKind(i % 5)});
        int score = 0;
        for (int n = 1; n <= 10; ++n) {
            engine::ProblemRecord r;
            r.hand = SeedHands[draw() % SeedHands.size()];
            for (const engine::Wait& w : engine::explain(r.hand).waits) {
                r.machi[std::size_t(w.tile)] = 1;
                r.kotae[std::size_t(w.tile)] = draw() % 4 != 0;
            }
            if (draw() % 6 == 0) r.kotae[std::size_t(21 + draw() % 9)] = 1;
            r.correct = r.kotae == r.machi;
            r.timeMs = std::int32_t(1000 + draw() % 9000);
            r.points = r.correct ? 200 - r.timeMs / 100 : 0;
            score += r.points;
            QVERIFY2(h.recordAnswer(id, n, r, started.addSecs(10 * n)), qPrintable(h.takeNotice()));
        }
        if (i % 7 != 3) QVERIFY(h.endGame(id, score));
    }
}

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
    QCOMPARE(label(w, "daily").contains(QStringLiteral("今日の得点 %1").arg(d.dailyScoreToday.value_or(-1))),
             d.dailyScoreToday.has_value());

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
    void thePeriodAndKindChosenAreTheFiguresAskedFor();
    void anEmptyPeriodShowsAFriendlyLineNotEmptyAxes();
    void exportWritesTheChosenFileOrSaysWhyNot();
    void aSeededHistoryShowsWhatItsGamesAddUpTo();
    void aHistoryThatCannotBeOpenedIsSaidInWords();
    void theTitleWindowOpensItByMenuAndF3();
};

void ProgressTest::thePeriodAndKindChosenAreTheFiguresAskedFor() {
    testsupport::Environment env;
    FakeHistory fake{sample(1), {}, {}, {}};
    progress::ProgressWindow window(fake.source());
    QCOMPARE(fake.asked.back().first, Period::Last30Days); // the default
    QCOMPARE(fake.asked.back().second, std::nullopt);
    checkShows(window, fake.figures);
    // The weakest shapes stand out in the shape chart.
    QList<int> selected =
        seriesOf<QBarSeries>(window, "shapeChart").at(0)->barSets().constFirst()->selectedBars();
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, QList<int>({int(engine::WaitShape::Kanchan), int(engine::WaitShape::Penchan)}));
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

// The history's own figures are checked against its rows by its tests; here the window must
// show them for each choice, and the choices must matter.
void ProgressTest::aSeededHistoryShowsWhatItsGamesAddUpTo() {
    testsupport::Environment env;
    history::History h(env.file("history.sqlite3"));
    seed(h, 300);
    if (QTest::currentTestFailed()) return;
    progress::ProgressWindow window(
        {[&h](Period p, std::optional<engine::GameKind> k) { return history::loadDashboard(h, p, k, Now); },
         [&h](const QString& file) { return history::exportCsv(h, file); }, [&h] { return h.takeNotice(); }});
    window.show();
    const struct {
        int period, kind;
        Period asked;
        std::optional<engine::GameKind> kind_;
    } cases[] = {{0, 0, Period::Last30Days, std::nullopt},
                 {1, 0, Period::Last90Days, std::nullopt},
                 {2, 0, Period::All, std::nullopt},
                 {1, 2, Period::Last90Days, engine::GameKind::Code},
                 {2, 5, Period::All, engine::GameKind::Daily}};
    std::set<int> problemCounts;
    Dashboard figures;
    for (const auto& c : cases) {
        window.periodChoice->setCurrentIndex(c.period);
        window.kindChoice->setCurrentIndex(c.kind);
        figures = history::loadDashboard(h, c.asked, c.kind_, Now);
        checkShows(window, figures);
        if (QTest::currentTestFailed()) return;
        problemCounts.insert(figures.problems);
    }
    QCOMPARE(problemCounts.size(), std::size(cases)); // every choice shows other figures
    QCOMPARE(figures.problems, 600);                  // 今日の一局: every fifth game
    QVERIFY(figures.dailyScoreToday.has_value());

    // A wrongly answered problem chosen opens in the 解説 window with its hand.
    auto* list = window.findChild<QTreeWidget*>("wrongList");
    for (const int row : {1, 0}) {
        emit list->itemClicked(list->topLevelItem(row), 0);
        const engine::ProblemRecord& r = figures.wrong[std::size_t(row)].record;
        QVERIFY(window.explainWindow()->isVisible());
        std::vector<engine::Hai> sorted(r.hand.begin(), r.hand.end());
        std::sort(sorted.begin(), sorted.end()); // the explanation shows the hand sorted
        QCOMPARE(window.explainWindow()->pictures().at(0), review::tileRow(sorted));
    }

    const QString file = env.file("export.csv");
    testsupport::whenModalShows("QFileDialog", [&](QWidget* w) {
        w->findChild<QLineEdit*>("fileNameEdit")->setText(file);
        static_cast<QDialog*>(w)->accept();
    });
    window.exportButton->click();
    QCOMPARE(env.readFile("export.csv").count('\n'), 1 + 300 * 10);
}

void ProgressTest::aHistoryThatCannotBeOpenedIsSaidInWords() {
    testsupport::Environment env;
    QVERIFY(QDir(env.dir()).mkdir("history.sqlite3")); // a folder by that name is left alone
    history::setProgramHistoryPath(env.file("history.sqlite3"));
    progress::ProgressWindow window(progress::programSource());
    history::setProgramHistoryPath({});
    QVERIFY(!window.showsFigures());
    QVERIFY(label(window, "status").contains(QStringLiteral("history.sqlite3")));
    QVERIFY(QFileInfo(env.file("history.sqlite3")).isDir());
}

void ProgressTest::theTitleWindowOpensItByMenuAndF3() {
    testsupport::Environment env;
    history::setProgramHistoryPath(env.file("history.sqlite3"));
    Form2 title;
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));
    QString shown;
    testsupport::whenModalShows("progress::ProgressWindow", [&](QWidget* w) {
        shown = static_cast<progress::ProgressWindow*>(w)->plainText();
        w->close();
    });
    QTest::keyClick(&title, Qt::Key_F3);
    QCOMPARE(shown, QStringLiteral("この期間・種類で解いた問題はまだありません。"));
    QVERIFY(QFile::exists(env.file("history.sqlite3"))); // opened when the window needed it

    // A menu is a popup, not a modal window: looked for as such.
    QTimer menuWatch;
    QObject::connect(&menuWatch, &QTimer::timeout, [&menuWatch] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        menuWatch.stop();
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("成績…")) action->trigger();
        menu->close();
    });
    menuWatch.start(10);
    shown.clear();
    testsupport::whenModalShows("progress::ProgressWindow", [&](QWidget* w) {
        shown = static_cast<progress::ProgressWindow*>(w)->plainText();
        w->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(10, 10), title.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&title, &menuEvent);
    QTRY_VERIFY(!shown.isEmpty());
    history::setProgramHistoryPath({});
}

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"
