// The history of play: what a game leaves in history.sqlite3, what damage and faults leave, and
// the figures and export drawn from it.
#include "engine/gamecode.h"
#include "engine/mondai.h"
#include "history/dashboard.h"
#include "history/history.h"
#include "history/schedule.h"
#include "tst_game.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <limits>
#include <set>

using history::History;

namespace {

// A real hand of the game's own making; variant 0 answered right, 1 one wait missed, 2 one tile
// marked that is no wait.
engine::ProblemRecord problem(std::uint32_t seed, int variant) {
    engine::Mt19937Random random(seed);
    engine::Mondai m(random);
    m.buildProblem(static_cast<std::int32_t>(seed % 3), 1, 1);
    engine::ProblemRecord r{{}, m.Machi, m.Machi, static_cast<std::int32_t>(1000 + seed % 9000)};
    std::copy_n(m.Tehai.begin(), 13, r.hand.begin());
    for (std::size_t k = 1; k < 38; ++k) {
        if (variant == 1 && r.kotae[k] != 0) r.kotae[k] = 0, variant = 0;
        if (variant == 2 && engine::isTile(static_cast<int>(k)) && r.machi[k] == 0)
            r.kotae[k] = 1, variant = 0;
    }
    r.correct = r.kotae == r.machi;
    r.points = r.correct ? static_cast<std::int32_t>(100 + seed % 100) : 0;
    return r;
}

// Problems 1..count of one game, each answered right; false when one could not be written.
bool writeGame(const QString& path, int count) {
    History h(path);
    const auto game = h.beginGame({QDateTime::currentDateTimeUtc(), 0, QStringLiteral("X")});
    bool all = true;
    for (int n = 1; n <= count; ++n)
        all = h.recordAnswer(game, n, problem(static_cast<std::uint32_t>(n), 0), {}) && all;
    return all;
}

QVariant scalar(const QString& path, const QString& sql) {
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(sql) && q.next()) value = q.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return value;
}

// "ok 0 0" when every answer is whole: the file sound, each problem with exactly its waits, each
// game counting its problems.
QString wholeAnswers(const QString& path) {
    return scalar(path,
                  QStringLiteral("SELECT (SELECT group_concat(integrity_check) FROM pragma_integrity_check)"
                                 " || ' ' || (SELECT count(*) FROM problems p WHERE wait_count <>"
                                 " (SELECT count(*) FROM waits w WHERE w.problem = p.id)) || ' ' || (SELECT"
                                 " count(*) FROM games g WHERE answered <> (SELECT count(*) FROM problems p"
                                 " WHERE p.game = g.id))"))
        .toString();
}

// A number, a text, or tile codes separated by spaces as the file keeps them.
template <typename T> QString text(const T& value) {
    if constexpr (std::is_arithmetic_v<T>) {
        return QString::number(value);
    } else if constexpr (std::is_convertible_v<T, QString>) {
        return value;
    } else {
        QStringList codes;
        for (auto code : value) codes << QString::number(code);
        return codes.join(' ');
    }
}

// Values as the tests compare them: separated by single spaces, as the file keeps tile codes.
template <typename... T> QString fields(const T&... values) {
    return QStringList{text(values)...}.join(' ');
}

QString marked(const std::array<std::int16_t, 38>& byCode) {
    QStringList out;
    for (int k = 1; k < 38; ++k)
        if (byCode[static_cast<std::size_t>(k)]) out << QString::number(k);
    return out.join(' ');
}

// A second program (path, mode, answers): writes games of ten answers, saying after each commit
// how many it has, then each notice it is given (one only is due). As mode "nobody" it runs as
// another user when it can; "full" leaves it little room for files.
int childMain(const QStringList& args) {
    if (args[1] == QStringLiteral("nobody") && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 3;
    if (args[1] == QStringLiteral("full")) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tiny{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &tiny);
    }
    History h(args[0]);
    std::int64_t game = -1;
    for (int n = 0; args[2].toInt() == 0 || n < args[2].toInt(); ++n) {
        if (n % 10 == 0) game = h.beginGame({QDateTime::currentDateTimeUtc(), 0, QStringLiteral("X")});
        if (h.recordAnswer(game, n % 10 + 1, problem(static_cast<std::uint32_t>(n), n % 3),
                           QDateTime::currentDateTimeUtc()))
            std::printf("answered %d\n", n + 1), std::fflush(stdout);
        if (n % 10 == 9) h.endGame(game, 1000);
    }
    for (int asked = 0; asked < 2; ++asked)
        if (const QString notice = h.takeNotice(); !notice.isEmpty())
            std::printf("notice %s\n", notice.toUtf8().constData());
    return 0;
}

// What is at a path: a link, a folder, a file and its bytes, or something else.
QByteArray state(const QString& path) {
    const QFileInfo info(path);
    QFile f(path);
    if (info.isSymLink() || !info.isFile())
        return info.isSymLink() ? "link" : info.isDir() ? "folder" : "other";
    return f.open(QIODevice::ReadOnly) ? "file " + f.readAll() : "unreadable";
}

// Makes the fault at the path; false when it could not.
using Make = std::function<bool(const QString& path)>;

// One game as the seeding helper wrote it: each problem with the moment it was answered.
struct Seeded {
    history::GameStart start;
    std::vector<std::pair<qint64, engine::ProblemRecord>> problems;
    int points = 0;
};

const QDateTime seedNow(QDate(2026, 6, 15), QTime(12, 0), Qt::UTC);

// 300 games over 120 days through the writer, for the figures and the export: every day of the
// last ten, some unfinished, one 今日の一局 a day on most days and sometimes a second one.
struct SeededHistory {
    QTemporaryDir dir;
    History history{dir.filePath(QStringLiteral("history.sqlite3"))};
    std::vector<Seeded> games;
    SeededHistory() {
        QRandomGenerator random(7);
        for (int g = 0; g < 300; ++g) {
            const qint64 day = g < 20 ? g / 2 : random.bounded(120);
            Seeded& s = games.emplace_back();
            s.start.startedUtc = seedNow.addMSecs(-day * 86'400'000 - random.bounded(36'000'000));
            s.start.kind = static_cast<engine::GameKind>(g % 7 == 0 ? 4 : g % 5 == 0 ? 1 : 0);
            s.start.level = random.bounded(3);
            s.start.code = QStringLiteral("X");
            const std::int64_t id = history.beginGame(s.start);
            for (int n = 0; n < (g % 11 == 0 ? 4 : 10); ++n) {
                const auto& [at, p] = s.problems.emplace_back(
                    s.start.startedUtc.toMSecsSinceEpoch() + 20'000 * (n + 1),
                    problem(static_cast<std::uint32_t>(g * 10 + n), random.bounded(4) % 3));
                history.recordAnswer(id, n + 1, p, QDateTime::fromMSecsSinceEpoch(at, Qt::UTC));
                s.points += p.points;
            }
            if (s.problems.size() == 10) history.endGame(id, s.points);
        }
    }
    static SeededHistory& get() {
        static SeededHistory s;
        return s;
    }
};

} // namespace

class HistoryTest : public QObject {
    Q_OBJECT
  private slots:
    void historyLivesBesideTheSettingsOrInTheDataFolder();
    void wholeGameThroughTheGameWindow_data();
    void wholeGameThroughTheGameWindow();
    void faultsLetPlayGoOnWithOneNotice_data();
    void faultsLetPlayGoOnWithOneNotice();
    void otherProgramsLeaveWholeAnswers_data();
    void otherProgramsLeaveWholeAnswers();
    void version1FileIsMigrated();
    void dashboardFiguresMatchTheRows_data();
    void dashboardFiguresMatchTheRows();
    void csvHoldsEveryProblem();
    void scheduleBoxesAndDueDaysFollowTheAnswersOfEachDay();
    void theDueHandsComeLongestDueFirstAtMostTenAsShown();
};

void HistoryTest::historyLivesBesideTheSettingsOrInTheDataFolder() {
    // XDG_DATA_HOME, whether the program's folder is writable, the folder: ~ home, @ the program's.
    for (const auto& [dataHome, programFolderWritable, at] :
         {std::tuple("/data", true, "@"), std::tuple("/data", false, "/data/bralun"),
          std::tuple("data", false, "~/.local/share/bralun"),
          std::tuple("", false, "~/.local/share/bralun")}) {
        testsupport::Environment env;
        qputenv("XDG_DATA_HOME", dataHome); // put back by env
        const bool writable = programFolderWritable;
        Module1::setWritableCheck(
            [&](const QString& path) { return writable || !path.startsWith(env.dir()); });
        const QString path = History::defaultPath();
        Module1::setWritableCheck({});
        QString folder = QString::fromUtf8(at);
        folder.replace(QLatin1Char('~'), QDir::homePath()).replace(QLatin1Char('@'), env.dir());
        QCOMPARE(QDir::cleanPath(path), QDir::cleanPath(folder + QStringLiteral("/history.sqlite3")));
    }
}

void HistoryTest::wholeGameThroughTheGameWindow_data() {
    QTest::addColumn<bool>("fromCode");
    QTest::addColumn<bool>("folderInTheWay"); // no history: one notice, and the game goes on
    QTest::newRow("normal game") << false << false;
    QTest::newRow("game of a code") << true << false;
    QTest::newRow("a folder named history.sqlite3") << false << true;
}

void HistoryTest::wholeGameThroughTheGameWindow() {
    QFETCH(bool, fromCode);
    QFETCH(bool, folderInTheWay);
    gametest::Session s(1);
    if (folderInTheWay) QVERIFY(QDir(s.env.dir()).mkdir(QStringLiteral("history.sqlite3")));
    Form1& game = s.open();
    if (fromCode) game.playCode({2, true, false, 99});
    for (int i = 0; i < 10; ++i) {
        gametest::click(game.Command2);
        gametest::markWaits(game);
        if (i % 3 == 1) gametest::pressTile(game, game.Machi[1] == 0 ? 1 : game.Machi[2] == 0 ? 2 : 3);
        s.env.advance(4000);
        gametest::click(game.Command1);
    }
    QCOMPARE(game.records().size(), std::size_t{10});
    QStringList notices; // modal, shown, why
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (const auto* box = qobject_cast<const QMessageBox*>(w);
            box && box->objectName() == "HistoryNotice")
            notices << fields(box->isModal(), box->isVisible(),
                              box->text().contains(QStringLiteral("ファイルではない")));
    QCOMPARE(notices, folderInTheWay ? QStringList{QStringLiteral("0 1 1")} : QStringList());
    // The game; then each problem: hand, time, points, right, its waits, tiles marked wrongly.
    QStringList want{fields(fromCode ? 1 : 0, fromCode ? 2 : 1,
                            QString::fromStdString(engine::encodeGameCode(game.gameCode())), game.Score)};
    for (std::size_t i = 0; i < 10; ++i) {
        const engine::ProblemRecord& r = game.records()[i];
        want << fields(text(r.hand), 4000, r.points, r.correct, std::count(r.machi.begin(), r.machi.end(), 1),
                       i % 3 == 1);
    }
    QCOMPARE(scalar(s.env.file(QStringLiteral("history.sqlite3")),
                    QStringLiteral("SELECT (SELECT kind || ' ' || level || ' ' || code || ' ' || score FROM"
                                   " games) || ';' || group_concat(row, ';') FROM (SELECT hand || ' ' ||"
                                   " time_ms || ' ' || points || ' ' || correct || ' ' || (SELECT count(*)"
                                   " FROM waits w WHERE w.problem = p.id) || ' ' || (SELECT count(*) FROM"
                                   " wrong_marks m WHERE m.problem = p.id) AS row FROM problems p"
                                   " ORDER BY number)"))
                 .toString(),
             folderInTheWay ? QString() : want.join(';'));
}

void HistoryTest::faultsLetPlayGoOnWithOneNotice_data() {
    QTest::addColumn<Make>("make");
    QTest::addColumn<bool>("movedAside"); // else left as it was, and nothing written
    const auto sql = [](const char* text) {
        return Make([=](auto& p) { return !scalar(p, text).isValid(); });
    };
    QTest::newRow("not a database") << Make([](auto& p) {
        QFile f(p);
        return f.open(QIODevice::WriteOnly) && f.write(QByteArray(5000, 'x')) == 5000;
    }) << true;
    QTest::newRow("truncated") << Make([](auto& p) {
        return writeGame(p, 60) && QFileInfo(p).size() > 16384 && QFile(p).resize(QFileInfo(p).size() / 2);
    }) << true;
    QTest::newRow("another program's database") << sql("CREATE TABLE addresses(name TEXT)") << true;
    QTest::newRow("FIFO") << Make([](auto& p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; }) << false;
    QTest::newRow("/dev/null link") << Make([](auto& p) {
        return QFile::link(QStringLiteral("/dev/null"), p);
    }) << false;
    QTest::newRow("from a newer program") << sql("PRAGMA user_version = 9") << false;
}

void HistoryTest::faultsLetPlayGoOnWithOneNotice() {
    QFETCH(Make, make);
    QFETCH(bool, movedAside);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite3"));
    QVERIFY(make(path));
    const QByteArray before = state(path);
    History h(path);
    const std::int64_t game = h.beginGame({QDateTime::currentDateTimeUtc(), 0, QStringLiteral("X")});
    QCOMPARE(h.recordAnswer(game, 1, problem(1, 0), QDateTime::currentDateTimeUtc()), movedAside);
    QCOMPARE(h.endGame(game, 150), movedAside);
    QVERIFY(!h.takeNotice().isEmpty() && h.takeNotice().isEmpty()); // one notice only
    const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("history.sqlite3.broken-*")});
    QCOMPARE(aside.size(), movedAside ? 1 : 0);
    QCOMPARE(state(movedAside ? dir.filePath(aside[0]) : path), before);
    if (!movedAside) return;
    QVERIFY(QRegularExpression(QStringLiteral("^history\\.sqlite3\\.broken-\\d{8}-\\d{6}$"))
                .match(aside[0])
                .hasMatch());
    QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) || ' ' || max(score) FROM games")).toString(),
             QStringLiteral("1 150"));
}

// Other copies of the program writing to the file: a failing one stops at a whole answer and
// says so once, two at once both land, and a kill keeps every answer committed.
void HistoryTest::otherProgramsLeaveWholeAnswers_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("programs");
    QTest::addColumn<int>("answers"); // 0: until killed, once `least` are committed
    QTest::addColumn<int>("least");   // answers each program says it wrote
    QTest::addColumn<int>("most");
    QTest::newRow("read-only") << "nobody" << 1 << 200 << 0 << 0;
    QTest::newRow("disk full") << "full" << 1 << 200 << 0 << 199;
    QTest::newRow("two programs at once") << "" << 2 << 60 << 60 << 60;
    for (int after : {2, 15, 31}) QTest::addRow("killed after %d", after) << "" << 1 << 0 << after << 1000000;
}

void HistoryTest::otherProgramsLeaveWholeAnswers() {
    QFETCH(QString, mode);
    QFETCH(int, programs);
    QFETCH(int, answers);
    QFETCH(int, least);
    QFETCH(int, most);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data/history.sqlite3"));
    const auto chmod = [&dir](const char* name, mode_t to) {
        return ::chmod(QFile::encodeName(dir.filePath(QString::fromUtf8(name))).constData(), to) == 0;
    };
    qsizetype expected = mode.isEmpty() ? 0 : 3; // a failing program finds answers there
    if (expected) QVERIFY(writeGame(path, 3));
    if (mode == QStringLiteral("nobody")) // read-only, and to another user when run as root
        QVERIFY(chmod(".", 0701) && chmod("data", 0555) && chmod("data/history.sqlite3", 0444));
    std::vector<QProcess*> children;
    for (int i = 0; i < programs; ++i) {
        children.push_back(new QProcess(this));
        children.back()->start(QCoreApplication::applicationFilePath(),
                               {QStringLiteral("--child"), path, mode, QString::number(answers)});
    }
    QByteArray output;
    while (answers == 0 && output.count("answered ") < least && children[0]->waitForReadyRead(60000))
        output += children[0]->readAllStandardOutput();
    if (answers == 0) ::usleep(QRandomGenerator::global()->bounded(3000u)), children[0]->kill();
    for (QProcess* p : children) {
        QVERIFY(p->waitForFinished(120000));
        output += p->readAllStandardOutput();
        const qsizetype written = output.count("answered ");
        QVERIFY2(written >= least && written <= most && output.count("notice ") == (mode.isEmpty() ? 0 : 1) &&
                     (answers == 0 || p->exitCode() == 0),
                 output.constData());
        expected += written;
        output.clear();
    }
    QVERIFY(chmod("data", 0755));
    QCOMPARE(wholeAnswers(path), QStringLiteral("ok 0 0"));
    // Killed between its commit and saying so, a program has one answer more than it said.
    const int kept = scalar(path, QStringLiteral("SELECT count(*) FROM problems")).toInt();
    QVERIFY2(kept == expected || (answers == 0 && kept == expected + 1), qPrintable(QString::number(kept)));
}

void HistoryTest::version1FileIsMigrated() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite3"));
    const engine::ProblemRecord extra = problem(6, 2); // one tile marked that is no wait
    // A file as the first version of the history left it.
    for (const QString& sql :
         {QStringLiteral(
              "CREATE TABLE games(id INTEGER PRIMARY KEY, started_ms, level, code, noten_ok, sort_hai,"
              " upside_down, time_limit, may_record, score)"),
          QStringLiteral("CREATE TABLE problems(id INTEGER PRIMARY KEY, game REFERENCES games(id), number,"
                         " answered_ms, hand, marks, waits, time_ms, points, correct, UNIQUE(game, number))"),
          QStringLiteral("INSERT INTO games VALUES(1, 0, 1, 'X', 0, 1, 0, 150, 1, NULL)"),
          QStringLiteral("INSERT INTO problems VALUES(1, 1, 1, 1000, '%1', '%2', '%3', 5000, 0, 0)")
              .arg(text(extra.hand), marked(extra.kotae), marked(extra.machi)),
          QStringLiteral("PRAGMA user_version = 1")})
        scalar(path, sql);
    History h(path);
    QVERIFY(h.available() && h.takeNotice().isEmpty());
    // Its waits, the reason of its wrong mark, the game's count; answered wrongly: in box 1 of 復習.
    const engine::Explanation e = engine::explain(extra.hand);
    const auto wrongTile =
        static_cast<engine::Hai>(scalar(path, QStringLiteral("SELECT tile FROM wrong_marks")).toInt());
    QCOMPARE(
        scalar(path, QStringLiteral("SELECT user_version || ' ' || (SELECT count(*) FROM waits) || ' ' ||"
                                    " (SELECT reason FROM wrong_marks) || ' ' || (SELECT answered FROM games)"
                                    " || ' ' || (SELECT count(*) || ' ' || max(box) FROM schedule)"
                                    " FROM pragma_user_version"))
            .toString(),
        fields(3, e.waits.size(), e.verdict(wrongTile) == engine::Verdict::FifthCopy ? 2 : 1, 1, 1, 1));
    QVERIFY(h.recordAnswer(1, 2, problem(7, 0), QDateTime::currentDateTimeUtc()));
    QCOMPARE(history::loadDashboard(h, history::Period::All, engine::GameKind::Normal, seedNow).problems, 2);
}

namespace {

// Days in a row up to today (or yesterday, today not yet played) among the local days given.
int daysInARow(const std::set<QDate>& days, QDate today) {
    if (!days.contains(today)) today = today.addDays(-1);
    int n = 0;
    while (days.contains(today.addDays(-n))) ++n;
    return n;
}

// The figures of the games started since sinceMs, in one pass over what was seeded.
using Kind = std::optional<engine::GameKind>;

history::Dashboard expected(const QDateTime& now, int days, Kind kind) {
    history::Dashboard x;
    const QDate today = now.toLocalTime().date();
    const qint64 sinceMs = now.toMSecsSinceEpoch() - days * 86'400'000LL;
    std::set<QDate> played, daily;
    qint64 firstDaily = std::numeric_limits<qint64>::max(); // today's first 今日の一局 counts
    std::array<history::WaitCountFigures, 7> by{};          // 0: all problems; 1..5 by count of waits
    for (const Seeded& g : SeededHistory::get().games) {
        const QDate day = g.start.startedUtc.toLocalTime().date();
        const qint64 started = g.start.startedUtc.toMSecsSinceEpoch();
        if (g.start.kind == engine::GameKind::Daily) daily.insert(day);
        if (g.start.kind == engine::GameKind::Daily && day == today && started < firstDaily)
            firstDaily = started, x.dailyScoreToday = g.points;
        if (kind && g.start.kind != *kind) continue;
        played.insert(day);
        if (started < sinceMs) continue;
        ++x.games;
        if (g.problems.size() == 10) x.scores.push_back({g.start.startedUtc, g.start.level, g.points});
        for (const auto& [at, p] : g.problems) {
            const engine::Explanation e = engine::explain(p.hand);
            for (const engine::Wait& w : e.waits) {
                std::set<engine::WaitShape> shapes; // a wait of several shapes counts under each
                for (const engine::Split& s : w.splits) shapes.insert(s.shape);
                for (engine::WaitShape s : shapes) {
                    ++x.shapes[std::size_t(s)].waits;
                    x.shapes[std::size_t(s)].missed += p.kotae[std::size_t(w.tile)] == 0;
                }
            }
            for (std::size_t i :
                 {std::size_t{0}, e.waits.empty() ? 6 : std::min<std::size_t>(e.waits.size(), 5)}) {
                ++by[i].problems;
                by[i].right += p.correct;
                by[i].averageMs += p.timeMs; // a total until all are counted
            }
            x.notReadyWrong += e.waits.empty() && !p.correct;
            if (!p.correct)
                x.wrong.push_back({QDateTime::fromMSecsSinceEpoch(at, Qt::UTC), g.start.level, p});
        }
    }
    for (auto& f : by) f.averageMs = f.problems ? f.averageMs / f.problems : 0.0;
    std::copy_n(by.begin() + 1, 5, x.byWaitCount.begin());
    x.problems = by[0].problems, x.right = by[0].right, x.averageMs = by[0].averageMs;
    std::stable_sort(x.scores.begin(), x.scores.end(),
                     [](auto& a, auto& b) { return a.playedUtc < b.playedUtc; });
    std::stable_sort(x.wrong.begin(), x.wrong.end(),
                     [](auto& a, auto& b) { return a.answeredUtc > b.answeredUtc; });
    x.wrong.resize(std::min<std::size_t>(50, x.wrong.size()));
    x.streakDays = daysInARow(played, today);
    x.dailyStreak = daysInARow(daily, today);
    return x;
}

// Every figure the 成績 window shows, a line each: totals and streaks; by shape and by count of
// waits; each score; each problem answered wrongly.
QStringList figures(const history::Dashboard& d) {
    QStringList out{fields(d.games, d.problems, d.right, d.averageMs, d.notReadyWrong, d.streakDays,
                           d.dailyStreak, d.dailyScoreToday.value_or(-1))};
    for (std::size_t i = 0; i < 5; ++i) {
        out << fields(d.shapes[i].waits, d.shapes[i].missed, d.byWaitCount[i].problems,
                      d.byWaitCount[i].right, d.byWaitCount[i].averageMs);
    }
    for (const history::ScorePoint& s : d.scores)
        out << fields(s.playedUtc.toMSecsSinceEpoch(), s.level, s.score);
    for (const history::WrongProblem& w : d.wrong) {
        out << fields(w.answeredUtc.toMSecsSinceEpoch(), w.level, text(w.record.hand), marked(w.record.kotae),
                      marked(w.record.machi), w.record.timeMs, w.record.points);
    }
    return out;
}

} // namespace

void HistoryTest::dashboardFiguresMatchTheRows_data() {
    QTest::addColumn<history::Period>("period");
    QTest::addColumn<int>("days");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("later"); // days after the last games were played
    QTest::newRow("30 days") << history::Period::Last30Days << 30 << Kind() << 0;
    QTest::newRow("90 days") << history::Period::Last90Days << 90 << Kind() << 0;
    QTest::newRow("all") << history::Period::All << 100000 << Kind() << 0;
    QTest::newRow("all, normal games")
        << history::Period::All << 100000 << Kind(engine::GameKind::Normal) << 0;
    QTest::newRow("all, today not yet played") << history::Period::All << 100000 << Kind() << 1;
}

void HistoryTest::dashboardFiguresMatchTheRows() {
    QFETCH(history::Period, period);
    QFETCH(int, days);
    QFETCH(Kind, kind);
    QFETCH(int, later);
    const QDateTime now = seedNow.addDays(later);
    const history::Dashboard d = history::loadDashboard(SeededHistory::get().history, period, kind, now);
    const history::Dashboard want = expected(now, days, kind);
    // The seeds reach every figure.
    QVERIFY(want.streakDays >= 9 && want.wrong.size() == 50 && (later || want.dailyScoreToday));
    QCOMPARE(figures(d), figures(want));
    // 苦手 and 得意: judged on 20 waits or more, no weak shape missed less often than a strong one.
    const auto rate = [&d](engine::WaitShape s) {
        const history::ShapeFigures& f = d.shapes[std::size_t(s)];
        return f.waits >= 20 ? double(f.missed) / f.waits : -1.0;
    };
    QVERIFY(!d.weak.empty() && !d.strong.empty());
    for (engine::WaitShape w : d.weak)
        for (engine::WaitShape s : d.strong) QVERIFY(w != s && rate(w) >= rate(s) && rate(s) >= 0);
}

void HistoryTest::csvHoldsEveryProblem() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("成績.csv"));
    QCOMPARE(history::exportCsv(SeededHistory::get().history, file), QString());
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(lines.takeFirst().startsWith(QStringLiteral("ゲーム,開始(UTC),種類,レベル")));
    // Of each problem, in the order answered: when, hand, time, points, right.
    QStringList got, want;
    for (const QString& line : lines) {
        const QStringList c = line.split(',');
        got << (c.size() == 14 ? fields(c[6], c[7], c[11], c[12], c[13]) : line);
    }
    for (const Seeded& g : SeededHistory::get().games) {
        for (const auto& [at, p] : g.problems) {
            want << fields(QDateTime::fromMSecsSinceEpoch(at, Qt::UTC).toString(Qt::ISODateWithMs),
                           text(p.hand), p.timeMs, p.points, p.correct);
        }
    }
    std::stable_sort(want.begin(), want.end(), [](auto& a, auto& b) { return a.left(24) < b.left(24); });
    QCOMPARE(got, want);
    QVERIFY(!history::exportCsv(SeededHistory::get().history, dir.filePath(QStringLiteral("none/x.csv")))
                 .isEmpty());
}

namespace {

// An answer to the hand of problem n for the 復習 schedule, given on `day`.
bool answer(History& store, engine::GameKind kind, int n, bool correct, std::int64_t day) {
    engine::ProblemRecord record = problem(static_cast<std::uint32_t>(n), 0);
    record.correct = correct;
    return history::scheduleAnswer(store, kind, record, day);
}

history::Hand hand(int n) {
    return problem(static_cast<std::uint32_t>(n), 0).hand;
}

} // namespace

void HistoryTest::scheduleBoxesAndDueDaysFollowTheAnswersOfEachDay() {
    QTemporaryDir dir;
    History store(dir.filePath(QStringLiteral("history.sqlite3")));
    using E = engine::ScheduleEntry;
    using engine::GameKind;
    struct Step {
        GameKind kind;
        int hand;
        bool correct;
        std::int64_t day;
        std::optional<E> after;
        int dueThatDay; // the count the menu shows
    };
    const Step steps[] = {
        {GameKind::Normal, 1, false, 0, E{1, 1}, 0},      // missed on day 0: due day 1
        {GameKind::Review, 1, true, 1, E{2, 4}, 0},       // then 3 days
        {GameKind::Review, 1, true, 4, E{3, 11}, 0},      // 7 days
        {GameKind::Review, 1, true, 11, E{4, 32}, 0},     // 21 days
        {GameKind::Review, 1, true, 32, {}, 0},           // retired
        {GameKind::Normal, 2, true, 32, {}, 0},           // right at once: never enters
        {GameKind::Daily, 3, false, 40, E{1, 41}, 0},     // any kind of game
        {GameKind::Normal, 3, true, 41, E{1, 41}, 1},     // met again elsewhere: no move up
        {GameKind::Review, 3, true, 41, E{2, 44}, 0},     //
        {GameKind::Review, 3, true, 44, E{3, 51}, 0},     //
        {GameKind::WeakShape, 3, false, 51, E{1, 52}, 0}, // wrong from box 3: box 1
        {GameKind::Code, 4, false, 51, E{1, 52}, 0},      //
    };
    for (const Step& s : steps) {
        QVERIFY(answer(store, s.kind, s.hand, s.correct, s.day));
        QCOMPARE(history::scheduleOf(store, hand(s.hand)), s.after);
        QCOMPARE(history::dueCount(store, s.day), s.dueThatDay);
    }
    QCOMPARE(history::dueCount(store, 52), 2);
}

void HistoryTest::theDueHandsComeLongestDueFirstAtMostTenAsShown() {
    QTemporaryDir dir;
    History store(dir.filePath(QStringLiteral("history.sqlite3")));
    for (int n = 0; n < 12; ++n)
        QVERIFY(answer(store, engine::GameKind::Normal, n, false, 50 - n)); // later n, earlier day
    QCOMPARE(history::dueCount(store, 51), 12);
    QCOMPARE(history::dueCount(store, 45), 6); // missed on day 44 or before
    const auto due = history::dueHands(store, 51);
    QCOMPARE(due.size(), std::size_t{10});
    for (std::size_t i = 0; i < due.size(); ++i) QCOMPARE(due[i], hand(11 - static_cast<int>(i)));
    QVERIFY(history::dueHands(store, 39).empty());
}

int main(int argc, char** argv) {
    if (argc == 5 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return childMain(app.arguments().mid(2));
    }
    qputenv("TZ", "Asia/Tokyo"); // local days differ from UTC days
    QApplication app(argc, argv);
    HistoryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_history.moc"
