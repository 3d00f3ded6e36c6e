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

// The file dialog the next export opens is given `file`.
void chooseFile(const QString& file) {
    testsupport::whenModalShows("QFileDialog", [file](QWidget* w) {
        w->findChild<QLineEdit*>("fileNameEdit")->setText(file);
        static_cast<QDialog*>(w)->accept();
    });
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
    QCOMPARE(QStringList({label(w, "games"), label(w, "problems"), label(w, "rate"), label(w, "averageTime"),
                          label(w, "streak")}),
             QStringList({QString::number(d.games), QString::number(d.problems),
                          QString::asprintf("%.1f%%", 100.0 * d.right / d.problems),
                          QString::asprintf("%.1f秒", d.averageMs / 1000),
                          QStringLiteral("%1日").arg(d.streakDays)}));
    std::map<QString, QList<QPointF>> lines;
    for (const auto& p : d.scores)
        lines[progress::levelName(p.level)] << QPointF(double(p.playedUtc.toMSecsSinceEpoch()), p.score);
    const auto scoreLines = seriesOf<QLineSeries>(w, "scoreChart");
    QCOMPARE(scoreLines.size(), lines.size());
    for (QLineSeries* line : scoreLines) QCOMPARE(line->points(), lines[line->name()]);

    QList<qreal> missed;
    for (const auto& s : d.shapes) missed << s.missed;
    QBarSeries* shapeBars = seriesOf<QBarSeries>(w, "shapeChart").at(0);
    QCOMPARE(barValues(shapeBars), missed << d.notReadyWrong);
    // The weakest shapes stand out.
    QList<int> weak, selected = shapeBars->barSets().constFirst()->selectedBars();
    for (const auto shape : d.weak) weak << int(shape);
    std::sort(weak.begin(), weak.end());
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, weak);

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
    void anEmptyHistoryThenASeededOneShowWhatItsGamesAddUpTo();
    void aHistoryThatCannotBeOpenedIsSaidInWords();
    void theTitleWindowOpensItByMenuAndF3();
};

// The history's own figures are checked against its rows by its tests; here the window must
// show them for each choice, and the choices must matter.
void ProgressTest::anEmptyHistoryThenASeededOneShowWhatItsGamesAddUpTo() {
    testsupport::Environment env;
    history::History h(env.file("history.sqlite3"));
    progress::ProgressWindow window(
        {[&h](Period p, std::optional<engine::GameKind> k) { return history::loadDashboard(h, p, k, Now); },
         [&h](const QString& file) { return history::exportCsv(h, file); }, [&h] { return h.takeNotice(); }});
    window.show();
    // Nothing answered yet: a friendly line instead of empty axes.
    const std::tuple<int, int, const char*> empty[] = {
        {0, 0, "この期間・種類で解いた問題はまだありません。"},
        {2, 3, "この期間・種類で解いた問題はまだありません。"},
        {2, 0, "まだ成績がありません。対局すると、ここに成績が表示されます。"}};
    for (const auto& [period, kind, line] : empty) {
        window.periodChoice->setCurrentIndex(period);
        window.kindChoice->setCurrentIndex(kind);
        QCOMPARE(window.plainText(), QString::fromUtf8(line));
        QVERIFY(!window.showsFigures() && window.findChild<QLabel*>("emptyLine")->isVisible());
        QVERIFY(!window.findChild<QChartView*>("scoreChart")->isVisible());
    }
    seed(h, 300);
    if (QTest::currentTestFailed()) return;
    const std::tuple<int, int, Period, std::optional<engine::GameKind>> cases[] = {
        {0, 0, Period::Last30Days, std::nullopt},
        {1, 0, Period::Last90Days, std::nullopt},
        {2, 0, Period::All, std::nullopt},
        {1, 2, Period::Last90Days, engine::GameKind::Code},
        {2, 5, Period::All, engine::GameKind::Daily}};
    std::set<int> problemCounts;
    Dashboard figures;
    for (const auto& [periodIndex, kindIndex, period, kind] : cases) {
        window.periodChoice->setCurrentIndex(periodIndex);
        window.kindChoice->setCurrentIndex(kindIndex);
        figures = history::loadDashboard(h, period, kind, Now);
        checkShows(window, figures);
        if (QTest::currentTestFailed()) return;
        problemCounts.insert(figures.problems);
    }
    QCOMPARE(problemCounts.size(), std::size(cases)); // every choice shows other figures
    QVERIFY(figures.dailyScoreToday.has_value());

    // A wrongly answered problem chosen opens in the 解説 window with its hand.
    auto* list = window.findChild<QTreeWidget*>("wrongList");
    for (const int row : {1, 0}) {
        emit list->itemClicked(list->topLevelItem(row), 0);
        const auto& hand = figures.wrong[std::size_t(row)].record.hand;
        std::vector<engine::Hai> sorted(hand.begin(), hand.end());
        std::sort(sorted.begin(), sorted.end()); // the 解説 window shows a hand in order
        QVERIFY(window.explainWindow()->isVisible());
        QCOMPARE(window.explainWindow()->pictures().at(0), review::tileRow(sorted));
    }

    chooseFile(env.file("export.csv"));
    window.exportButton->click();
    QCOMPARE(env.readFile("export.csv").count('\n'), 1 + 300 * 10);
    QVERIFY(label(window, "status").contains(env.file("export.csv")));

    // A failure is said with the file and why; a cancel writes nothing.
    const QString nowhere = env.file("missing/export.csv");
    QString shown;
    chooseFile(nowhere);
    testsupport::whenModalShows("QMessageBox", [&shown](QWidget* w) {
        shown = static_cast<QMessageBox*>(w)->text();
        static_cast<QMessageBox*>(w)->accept();
    });
    window.exportButton->click();
    QVERIFY(shown.contains(nowhere) && shown.contains(QStringLiteral("書き込めません")));
    const QString status = label(window, "status");
    testsupport::whenModalShows("QFileDialog", [](QWidget* w) { static_cast<QFileDialog*>(w)->reject(); });
    window.exportButton->click();
    QCOMPARE(label(window, "status"), status);
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
    Form2::setProgressOpener(progress::openWindow); // the window linked in, not loaded
    const auto readWindow = [&shown] {
        testsupport::whenModalShows("progress::ProgressWindow", [&shown](QWidget* w) {
            shown = static_cast<progress::ProgressWindow*>(w)->plainText();
            w->close();
        });
    };
    readWindow();
    QTest::keyClick(&title, Qt::Key_F3);
    QCOMPARE(shown, QStringLiteral("この期間・種類で解いた問題はまだありません。"));
    QVERIFY(QFile::exists(env.file("history.sqlite3"))); // opened when the window needed it

    // A menu is a popup, not a modal window: looked for as such.
    QTimer::singleShot(50, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* action : menu ? menu->actions() : QList<QAction*>())
            if (action->text() == QStringLiteral("成績…")) action->trigger();
        if (menu) menu->close();
    });
    shown.clear();
    readWindow();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(10, 10), title.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&title, &menuEvent);
    QTRY_VERIFY(!shown.isEmpty());

    // No module beside this program: said, and the title window goes on.
    Form2::setProgressOpener({});
    testsupport::whenModalShows("QMessageBox", [&shown](QWidget* w) {
        shown = static_cast<QMessageBox*>(w)->text();
        w->close();
    });
    title.openProgress();
    QVERIFY2(shown.startsWith(QStringLiteral("成績の画面を開けません。")) &&
                 shown.contains("bralun-progress.so"),
             qPrintable(shown));
    QVERIFY(title.isVisible());
    history::setProgramHistoryPath({});
}

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"
