// The history of play: what a game leaves in history.sqlite3, what damage and faults leave, and
// the figures and export drawn from it.
#include "engine/gamecode.h"
#include "engine/mondai.h"
#include "history/dashboard.h"
#include "history/history.h"
#include "tst_game.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <set>

using history::History;

namespace {

// A real hand of the game's own making; variant 0 answered right, 1 one wait missed, 2 one tile
// marked that is no wait.
engine::ProblemRecord problem(std::uint32_t seed, int variant) {
    engine::Mt19937Random random(seed);
    engine::Mondai m(random);
    m.buildProblem(static_cast<std::int32_t>(seed % 3), 1, 1);
    engine::ProblemRecord r;
    std::copy_n(m.Tehai.begin(), 13, r.hand.begin());
    r.machi = m.Machi;
    r.kotae = m.Machi;
    for (std::size_t k = 1; k < 38; ++k) {
        if (variant == 1 && r.kotae[k] != 0) r.kotae[k] = 0, variant = 0;
        if (variant == 2 && engine::isTile(static_cast<int>(k)) && r.machi[k] == 0)
            r.kotae[k] = 1, variant = 0;
    }
    r.correct = r.kotae == r.machi;
    r.timeMs = static_cast<std::int32_t>(1000 + seed % 9000);
    r.points = r.correct ? static_cast<std::int32_t>(100 + seed % 100) : 0;
    return r;
}

history::GameStart startNow() {
    history::GameStart start;
    start.startedUtc = QDateTime::currentDateTimeUtc();
    start.code = QStringLiteral("X");
    return start;
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

// Every answer whole: each problem has exactly its waits, and each game counts its problems.
bool wholeAnswers(const QString& path) {
    return scalar(path, QStringLiteral("PRAGMA integrity_check")).toString() == QStringLiteral("ok") &&
           scalar(path, QStringLiteral("SELECT count(*) FROM problems p WHERE wait_count <>"
                                       " (SELECT count(*) FROM waits w WHERE w.problem = p.id)"))
                   .toInt() == 0 &&
           scalar(path, QStringLiteral("SELECT count(*) FROM games g WHERE answered <>"
                                       " (SELECT count(*) FROM problems p WHERE p.game = g.id)"))
                   .toInt() == 0;
}

// A second program: writes games of ten answers, saying after each commit how many it has.
int childMain() {
    const QString path = qEnvironmentVariable("HISTORY_CHILD");
    const QString mode = qEnvironmentVariable("HISTORY_MODE");
    if (mode == QStringLiteral("nobody") && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 3;
    if (mode == QStringLiteral("full")) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tiny{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &tiny);
    }
    History h(path);
    const int answers = qEnvironmentVariableIntValue("HISTORY_ANSWERS");
    std::int64_t game = -1;
    for (int n = 0; n < answers; ++n) {
        if (n % 10 == 0) game = h.beginGame(startNow());
        if (h.recordAnswer(game, n % 10 + 1, problem(static_cast<std::uint32_t>(n), n % 3),
                           QDateTime::currentDateTimeUtc()))
            std::printf("answered %d\n", n + 1), std::fflush(stdout);
        if (n % 10 == 9) h.endGame(game, 1000);
    }
    const QString notice = h.takeNotice();
    if (!notice.isEmpty()) std::printf("notice %s\n", notice.toUtf8().constData());
    return h.takeNotice().isEmpty() ? 0 : 4; // told once only
}

QProcess* startChild(const QString& path, const QString& mode, int answers, QObject* parent) {
    auto* p = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HISTORY_CHILD"), path);
    env.insert(QStringLiteral("HISTORY_MODE"), mode);
    env.insert(QStringLiteral("HISTORY_ANSWERS"), QString::number(answers));
    p->setProcessEnvironment(env);
    p->start(QCoreApplication::applicationFilePath(), {});
    return p;
}

int lastAnswered(const QByteArray& output) {
    int last = 0;
    for (const QByteArray& line : output.split('\n')) {
        if (line.startsWith("answered ")) last = line.mid(9).toInt();
    }
    return last;
}

// One game as the seeding helper wrote it, for the figures the test works out itself.
struct Seeded {
    qint64 startedMs = 0;
    engine::GameKind kind = engine::GameKind::Normal;
    int level = 0;
    std::vector<engine::ProblemRecord> problems;
    std::optional<int> score;
};

const QDateTime seedNow(QDate(2026, 6, 15), QTime(12, 0), Qt::UTC);

// 300 games over 120 days through the writer: every day of the last ten, some unfinished,
// one 今日の一局 a day on most days and sometimes a second one.
std::vector<Seeded> seedHistory(History& h) {
    std::vector<Seeded> games;
    QRandomGenerator random(7);
    for (int g = 0; g < 300; ++g) {
        Seeded s;
        const qint64 day = g < 20 ? g / 2 : random.bounded(120);
        s.startedMs = seedNow.toMSecsSinceEpoch() - day * 86'400'000 - random.bounded(36'000'000);
        s.kind = static_cast<engine::GameKind>(g % 7 == 0 ? 4 : g % 5 == 0 ? 1 : 0);
        s.level = random.bounded(3);
        const std::int64_t id = h.beginGame({QDateTime::fromMSecsSinceEpoch(s.startedMs, Qt::UTC), s.level,
                                             QStringLiteral("X"), false, true, false, 150, true, s.kind});
        const int count = g % 11 == 0 ? 4 : 10;
        for (int n = 0; n < count; ++n) {
            s.problems.push_back(problem(static_cast<std::uint32_t>(g * 10 + n), random.bounded(4) % 3));
            h.recordAnswer(id, n + 1, s.problems.back(),
                           QDateTime::fromMSecsSinceEpoch(s.startedMs + 20'000 * (n + 1), Qt::UTC));
        }
        if (count == 10) {
            s.score = 0;
            for (const auto& p : s.problems) *s.score += p.points;
            h.endGame(id, *s.score);
        }
        games.push_back(s);
    }
    return games;
}

} // namespace

class HistoryTest : public QObject {
    Q_OBJECT
  private slots:
    void historyLivesBesideTheSettingsOrInTheDataFolder_data();
    void historyLivesBesideTheSettingsOrInTheDataFolder();
    void wholeGameThroughTheGameWindow_data();
    void wholeGameThroughTheGameWindow();
    void faultsLetPlayGoOnWithOneNotice_data();
    void faultsLetPlayGoOnWithOneNotice();
    void failedWritesLeaveWholeAnswers_data();
    void failedWritesLeaveWholeAnswers();
    void twoProgramsWritingAtOnceBothLand();
    void killDuringAnswersKeepsEveryCommittedAnswer();
    void version1FileIsMigrated();
    void dashboardFiguresMatchTheRows_data();
    void dashboardFiguresMatchTheRows();
    void csvHoldsEveryProblem();
};

void HistoryTest::historyLivesBesideTheSettingsOrInTheDataFolder_data() {
    QTest::addColumn<bool>("programFolderWritable");
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<QString>("folder"); // ~ the home folder, @ the program's folder
    QTest::newRow("portable copy") << true << "/data"
                                   << "@";
    QTest::newRow("installed, XDG_DATA_HOME") << false << "/data"
                                              << "/data/bralun";
    QTest::newRow("installed, relative XDG_DATA_HOME") << false << "data"
                                                       << "~/.local/share/bralun";
    QTest::newRow("installed, no XDG_DATA_HOME") << false << ""
                                                 << "~/.local/share/bralun";
}

void HistoryTest::historyLivesBesideTheSettingsOrInTheDataFolder() {
    QFETCH(bool, programFolderWritable);
    QFETCH(QString, dataHome);
    QFETCH(QString, folder);
    testsupport::Environment env;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome.toUtf8());
    Module1::setWritableCheck(
        [&](const QString& path) { return programFolderWritable || !path.startsWith(env.dir()); });
    const QString path = History::defaultPath();
    Module1::setWritableCheck({});
    qputenv("XDG_DATA_HOME", saved);
    folder.replace(QLatin1Char('~'), QDir::homePath()).replace(QLatin1Char('@'), env.dir());
    QCOMPARE(QDir::cleanPath(path), QDir::cleanPath(folder + QStringLiteral("/history.sqlite3")));
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
    QWidgetList notices = QApplication::topLevelWidgets();
    notices.removeIf([](QWidget* w) { return w->objectName() != QStringLiteral("HistoryNotice"); });
    QCOMPARE(notices.size(), folderInTheWay ? 1 : 0);
    if (folderInTheWay) {
        QVERIFY(!notices[0]->isModal() && notices[0]->isVisible());
        QVERIFY(qobject_cast<QMessageBox*>(notices[0])->text().contains(QStringLiteral("ファイルではない")));
        return;
    }
    const QString path = s.env.file(QStringLiteral("history.sqlite3"));
    QCOMPARE(
        scalar(path, QStringLiteral("SELECT kind || ' ' || level || ' ' || code || ' ' || score FROM games"))
            .toString(),
        QStringLiteral("%1 %2 %3 %4")
            .arg(fromCode ? 1 : 0)
            .arg(fromCode ? 2 : 1)
            .arg(QString::fromStdString(engine::encodeGameCode(game.gameCode())))
            .arg(game.Score));
    for (int i = 0; i < 10; ++i) {
        const engine::ProblemRecord& r = game.records()[static_cast<std::size_t>(i)];
        QStringList hand;
        for (engine::Hai h : r.hand) hand << QString::number(h);
        const QString row =
            QStringLiteral("SELECT hand || '/' || time_ms || '/' || points || '/' || correct"
                           " || '/' || (SELECT count(*) FROM waits w WHERE w.problem = p.id)"
                           " || '/' || (SELECT count(*) FROM wrong_marks m WHERE m.problem = p.id)"
                           " FROM problems p WHERE number = %1")
                .arg(i + 1);
        QCOMPARE(scalar(path, row).toString(), QStringLiteral("%1/4000/%2/%3/%4/%5")
                                                   .arg(hand.join(' '))
                                                   .arg(r.points)
                                                   .arg(r.correct ? 1 : 0)
                                                   .arg(std::count(r.machi.begin(), r.machi.end(), 1))
                                                   .arg(i % 3 == 1 ? 1 : 0));
    }
}

enum class Fault { NotADatabase, Truncated, Foreign, Folder, Fifo, Device, Newer };

void HistoryTest::faultsLetPlayGoOnWithOneNotice_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("movedAside"); // else left as it was, and nothing written
    QTest::newRow("not a database") << Fault::NotADatabase << true;
    QTest::newRow("truncated") << Fault::Truncated << true;
    QTest::newRow("another program's database") << Fault::Foreign << true;
    QTest::newRow("folder") << Fault::Folder << false;
    QTest::newRow("FIFO") << Fault::Fifo << false;
    QTest::newRow("device") << Fault::Device << false;
    QTest::newRow("from a newer program") << Fault::Newer << false;
}

void HistoryTest::faultsLetPlayGoOnWithOneNotice() {
    QFETCH(Fault, fault);
    QFETCH(bool, movedAside);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite3"));
    const auto sql = [&path](const char* text) { scalar(path, QString::fromUtf8(text)); };
    if (fault == Fault::NotADatabase) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(5000, 'x')) == 5000);
    } else if (fault == Fault::Truncated) {
        {
            History h(path);
            const auto game = h.beginGame(startNow());
            for (int n = 1; n <= 60; ++n)
                h.recordAnswer(game, n, problem(static_cast<std::uint32_t>(n), 0), {});
        }
        QVERIFY(QFileInfo(path).size() > 16384);
        QVERIFY(QFile(path).resize(QFileInfo(path).size() / 2));
    } else if (fault == Fault::Foreign) {
        sql("CREATE TABLE addresses(name TEXT)");
    } else if (fault == Fault::Newer) {
        sql("PRAGMA user_version = 9");
    } else if (fault == Fault::Folder) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("history.sqlite3")));
    } else if (fault == Fault::Fifo) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));
    }
    const auto bytes = [](const QString& file) {
        QFile f(file);
        return QFileInfo(file).isFile() && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = bytes(path);

    History h(path);
    const std::int64_t game = h.beginGame(startNow());
    QCOMPARE(h.recordAnswer(game, 1, problem(1, 0), QDateTime::currentDateTimeUtc()), movedAside);
    QCOMPARE(h.endGame(game, 150), movedAside);
    QVERIFY(!h.takeNotice().isEmpty());
    QVERIFY(h.takeNotice().isEmpty());
    const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("history.sqlite3.broken-*")});
    if (!movedAside) {
        QVERIFY(aside.isEmpty());
        QCOMPARE(QFileInfo(path).isDir(), fault == Fault::Folder);
        QCOMPARE(QFileInfo(path).isSymLink(), fault == Fault::Device);
        QCOMPARE(bytes(path), before);
        return;
    }
    QCOMPARE(aside.size(), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^history\\.sqlite3\\.broken-\\d{8}-\\d{6}$"))
                .match(aside[0])
                .hasMatch());
    QCOMPARE(bytes(dir.filePath(aside[0])), before);
    QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) || ' ' || max(score) FROM games")).toString(),
             QStringLiteral("1 150"));
}

void HistoryTest::failedWritesLeaveWholeAnswers_data() {
    QTest::addColumn<QString>("mode");
    QTest::newRow("read-only") << QStringLiteral("nobody");
    QTest::newRow("disk full") << QStringLiteral("full");
}

void HistoryTest::failedWritesLeaveWholeAnswers() {
    QFETCH(QString, mode);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("data"));
    const QString path = folder + QStringLiteral("/history.sqlite3");
    {
        History h(path);
        const auto game = h.beginGame(startNow());
        for (int n = 1; n <= 3; ++n)
            QVERIFY(h.recordAnswer(game, n, problem(static_cast<std::uint32_t>(n), 0), {}));
    }
    if (mode == QStringLiteral("nobody")) {
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner | QFileDevice::ExeOther));
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    }
    QProcess* child = startChild(path, mode, 200, this);
    QVERIFY(child->waitForFinished(120000));
    const QByteArray output = child->readAllStandardOutput();
    QCOMPARE(child->exitCode(), 0);
    QCOMPARE(output.count("notice "), 1);
    const int written = lastAnswered(output);
    QVERIFY2(written < 200, output.constData());
    if (mode == QStringLiteral("nobody")) QCOMPARE(written, 0);
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    QVERIFY(wholeAnswers(path));
    QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM problems")).toInt(), 3 + written);
}

void HistoryTest::twoProgramsWritingAtOnceBothLand() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite3"));
    QProcess* first = startChild(path, QString(), 60, this);
    QProcess* second = startChild(path, QString(), 60, this);
    for (QProcess* p : {first, second}) {
        QVERIFY(p->waitForFinished(120000));
        const QByteArray output = p->readAllStandardOutput();
        QCOMPARE(p->exitCode(), 0);
        QVERIFY2(!output.contains("notice"), output.constData());
        QCOMPARE(lastAnswered(output), 60);
    }
    QVERIFY(wholeAnswers(path));
    QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM problems")).toInt(), 120);
}

void HistoryTest::killDuringAnswersKeepsEveryCommittedAnswer() {
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.sqlite3"));
        QProcess* child = startChild(path, QString(), 100000, this);
        const int after = 2 + static_cast<int>(QRandomGenerator::global()->bounded(30));
        QByteArray output;
        while (lastAnswered(output) < after && child->waitForReadyRead(60000))
            output += child->readAllStandardOutput();
        ::usleep(QRandomGenerator::global()->bounded(3000u));
        child->kill(); // SIGKILL
        QVERIFY(child->waitForFinished(30000));
        output += child->readAllStandardOutput();
        const int committed = lastAnswered(output);
        QVERIFY(committed >= after);
        QVERIFY(wholeAnswers(path));
        const int kept = scalar(path, QStringLiteral("SELECT count(*) FROM problems")).toInt();
        QVERIFY2(kept == committed || kept == committed + 1,
                 qPrintable(QStringLiteral("%1 %2").arg(kept).arg(committed)));
    }
}

QString codes(const std::array<std::int16_t, 38>& byCode) {
    QStringList out;
    for (int k = 1; k < 38; ++k) {
        if (byCode[static_cast<std::size_t>(k)]) out << QString::number(k);
    }
    return out.join(' ');
}

void HistoryTest::version1FileIsMigrated() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite3"));
    const engine::ProblemRecord extra = problem(6, 2); // one tile marked that is no wait
    QStringList hand;
    for (engine::Hai t : extra.hand) hand << QString::number(t);
    // A file as the first version of the history left it.
    for (const QString& sql :
         {QStringLiteral(
              "CREATE TABLE games(id INTEGER PRIMARY KEY, started_ms, level, code, noten_ok, sort_hai,"
              " upside_down, time_limit, may_record, score)"),
          QStringLiteral("CREATE TABLE problems(id INTEGER PRIMARY KEY, game REFERENCES games(id), number,"
                         " answered_ms, hand, marks, waits, time_ms, points, correct, UNIQUE(game, number))"),
          QStringLiteral("INSERT INTO games VALUES(1, 0, 1, 'X', 0, 1, 0, 150, 1, NULL)"),
          QStringLiteral("INSERT INTO problems VALUES(1, 1, 1, 1000, '%1', '%2', '%3', 5000, 0, 0)")
              .arg(hand.join(' '), codes(extra.kotae), codes(extra.machi)),
          QStringLiteral("PRAGMA user_version = 1")})
        scalar(path, sql);
    History h(path);
    QVERIFY(h.available());
    QVERIFY(h.takeNotice().isEmpty());
    // Answered wrongly: in box 1 of the 復習 schedule.
    QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) || ' ' || max(box) FROM schedule")).toString(),
             QStringLiteral("1 1"));
    const engine::Explanation e = engine::explain(extra.hand);
    const int wrongTile = scalar(path, QStringLiteral("SELECT tile FROM wrong_marks")).toInt();
    QCOMPARE(
        scalar(path, QStringLiteral("SELECT user_version || ' ' || (SELECT count(*) FROM waits) || ' ' ||"
                                    " (SELECT reason FROM wrong_marks) || ' ' || (SELECT answered FROM"
                                    " games) FROM pragma_user_version"))
            .toString(),
        QStringLiteral("3 %1 %2 1")
            .arg(e.waits.size())
            .arg(e.verdict(static_cast<engine::Hai>(wrongTile)) == engine::Verdict::FifthCopy ? 2 : 1));
    QVERIFY(h.recordAnswer(1, 2, problem(7, 0), QDateTime::currentDateTimeUtc()));
    QCOMPARE(history::loadDashboard(h, history::Period::All, engine::GameKind::Normal, seedNow).problems, 2);
}

namespace {

struct SeededHistory {
    QTemporaryDir dir;
    History history{dir.filePath(QStringLiteral("history.sqlite3"))};
    std::vector<Seeded> games = seedHistory(history);
};

SeededHistory& seeded() {
    static SeededHistory s;
    return s;
}

// Days in a row up to today (or yesterday, today not yet played) among the local days given.
int daysInARow(const std::set<QDate>& days, QDate today) {
    if (!days.contains(today)) today = today.addDays(-1);
    int n = 0;
    while (days.contains(today.addDays(-n))) ++n;
    return n;
}

} // namespace

void HistoryTest::dashboardFiguresMatchTheRows_data() {
    QTest::addColumn<history::Period>("period");
    QTest::addColumn<int>("days");
    QTest::addColumn<std::optional<engine::GameKind>>("kind");
    QTest::newRow("30 days") << history::Period::Last30Days << 30 << std::optional<engine::GameKind>();
    QTest::newRow("90 days") << history::Period::Last90Days << 90 << std::optional<engine::GameKind>();
    QTest::newRow("all") << history::Period::All << 100000 << std::optional<engine::GameKind>();
    QTest::newRow("all, normal games")
        << history::Period::All << 100000 << std::optional<engine::GameKind>(engine::GameKind::Normal);
}

namespace {

// The figures worked out from what the seeding helper wrote, without the database.
struct Expected {
    history::Dashboard want;
    double totalMs = 0;
    std::set<QDate> played, daily;
    std::vector<std::pair<qint64, const engine::ProblemRecord*>> wrong;

    void add(const engine::ProblemRecord& p, qint64 answeredMs) {
        ++want.problems;
        want.right += p.correct;
        totalMs += p.timeMs;
        const engine::Explanation e = engine::explain(p.hand);
        for (const engine::Wait& w : e.waits) {
            std::set<engine::WaitShape> shapes;
            for (const engine::Split& s : w.splits) shapes.insert(s.shape);
            for (engine::WaitShape s : shapes) {
                ++want.shapes[static_cast<std::size_t>(s)].waits;
                want.shapes[static_cast<std::size_t>(s)].missed +=
                    p.kotae[static_cast<std::size_t>(w.tile)] == 0;
            }
        }
        if (e.waits.empty()) want.notReadyWrong += !p.correct;
        if (!e.waits.empty()) {
            auto& byCount = want.byWaitCount[std::min<std::size_t>(e.waits.size(), 5) - 1];
            ++byCount.problems;
            byCount.right += p.correct;
        }
        if (!p.correct) wrong.emplace_back(answeredMs, &p);
    }
};

Expected expected(int days, std::optional<engine::GameKind> kind, const QDate& today) {
    Expected x;
    std::optional<qint64> firstDaily;
    for (const Seeded& g : seeded().games) {
        const QDate day = QDateTime::fromMSecsSinceEpoch(g.startedMs, Qt::UTC).toLocalTime().date();
        if (g.kind == engine::GameKind::Daily) x.daily.insert(day);
        if (g.kind == engine::GameKind::Daily && day == today && (!firstDaily || g.startedMs < *firstDaily)) {
            firstDaily = g.startedMs;
            x.want.dailyScoreToday = 0;
            for (const auto& p : g.problems) *x.want.dailyScoreToday += p.points;
        }
        if (kind && g.kind != *kind) continue;
        x.played.insert(day);
        if (g.startedMs < seedNow.toMSecsSinceEpoch() - qint64{days} * 86'400'000) continue;
        ++x.want.games;
        if (g.score)
            x.want.scores.push_back(
                {QDateTime::fromMSecsSinceEpoch(g.startedMs, Qt::UTC), g.level, *g.score});
        for (std::size_t n = 0; n < g.problems.size(); ++n)
            x.add(g.problems[n], g.startedMs + 20'000 * qint64(n + 1));
    }
    std::stable_sort(x.want.scores.begin(), x.want.scores.end(),
                     [](auto& a, auto& b) { return a.playedUtc < b.playedUtc; });
    std::stable_sort(x.wrong.begin(), x.wrong.end(), [](auto& a, auto& b) { return a.first > b.first; });
    return x;
}

} // namespace

void HistoryTest::dashboardFiguresMatchTheRows() {
    QFETCH(history::Period, period);
    QFETCH(int, days);
    QFETCH(std::optional<engine::GameKind>, kind);
    const history::Dashboard d = history::loadDashboard(seeded().history, period, kind, seedNow);
    const QDate today = seedNow.toLocalTime().date();
    const Expected x = expected(days, kind, today);
    const history::Dashboard& want = x.want;
    QCOMPARE(d.games, want.games);
    if (period == history::Period::All && !kind) QCOMPARE(d.games, 300);
    QCOMPARE(d.problems, want.problems);
    QCOMPARE(d.right, want.right);
    QVERIFY(qAbs(d.averageMs - x.totalMs / want.problems) < 0.01);
    QCOMPARE(d.scores.size(), want.scores.size());
    for (std::size_t i = 0; i < d.scores.size(); ++i) {
        QCOMPARE(d.scores[i].playedUtc, want.scores[i].playedUtc);
        QCOMPARE(d.scores[i].score, want.scores[i].score);
    }
    for (std::size_t s = 0; s < 5; ++s) {
        QCOMPARE(d.shapes[s].waits, want.shapes[s].waits);
        QCOMPARE(d.shapes[s].missed, want.shapes[s].missed);
        QCOMPARE(d.byWaitCount[s].problems, want.byWaitCount[s].problems);
        QCOMPARE(d.byWaitCount[s].right, want.byWaitCount[s].right);
    }
    QCOMPARE(d.notReadyWrong, want.notReadyWrong);
    const auto rate = [&d](engine::WaitShape s) {
        return double(d.shapes[std::size_t(s)].missed) / d.shapes[std::size_t(s)].waits;
    };
    QVERIFY(!d.weak.empty() && !d.strong.empty());
    for (engine::WaitShape w : d.weak) {
        QVERIFY(d.shapes[std::size_t(w)].waits >= 20);
        for (engine::WaitShape s : d.strong)
            QVERIFY(w != s && rate(w) >= rate(s) && d.shapes[std::size_t(s)].waits >= 20);
    }
    QCOMPARE(d.wrong.size(), std::min<std::size_t>(50, x.wrong.size()));
    QCOMPARE(d.wrong.front().answeredUtc.toMSecsSinceEpoch(), x.wrong.front().first);
    QCOMPARE(d.wrong.front().record.hand, x.wrong.front().second->hand);
    QCOMPARE(d.wrong.front().record.kotae, x.wrong.front().second->kotae);
    QCOMPARE(d.streakDays, daysInARow(x.played, today));
    QVERIFY(d.streakDays >= 9);
    QCOMPARE(d.dailyStreak, daysInARow(x.daily, today));
    QVERIFY(want.dailyScoreToday.has_value());
    QCOMPARE(d.dailyScoreToday, want.dailyScoreToday);
}

void HistoryTest::csvHoldsEveryProblem() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("成績.csv"));
    QCOMPARE(history::exportCsv(seeded().history, file), QString());
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    std::vector<std::pair<qint64, const engine::ProblemRecord*>> problems;
    for (const Seeded& g : seeded().games) {
        for (std::size_t n = 0; n < g.problems.size(); ++n)
            problems.emplace_back(g.startedMs + 20'000 * qint64(n + 1), &g.problems[n]);
    }
    std::stable_sort(problems.begin(), problems.end(), [](auto& a, auto& b) { return a.first < b.first; });
    QCOMPARE(lines.size(), qsizetype(problems.size() + 1));
    QVERIFY(lines[0].startsWith(QStringLiteral("ゲーム,開始(UTC),種類,レベル")));
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const QStringList fields = lines[qsizetype(i + 1)].split(',');
        const engine::ProblemRecord& p = *problems[i].second;
        QStringList hand;
        for (engine::Hai t : p.hand) hand << QString::number(t);
        QCOMPARE(fields.size(), 14);
        QCOMPARE(QDateTime::fromString(fields[6], Qt::ISODateWithMs).toMSecsSinceEpoch(), problems[i].first);
        QCOMPARE(fields[7], hand.join(' '));
        QCOMPARE(fields.mid(11), (QStringList{QString::number(p.timeMs), QString::number(p.points),
                                              QString::number(p.correct ? 1 : 0)}));
    }
    QVERIFY(!history::exportCsv(seeded().history, dir.filePath(QStringLiteral("none/x.csv"))).isEmpty());
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("HISTORY_CHILD")) {
        QCoreApplication app(argc, argv);
        return childMain();
    }
    qputenv("TZ", "Asia/Tokyo"); // local days differ from UTC days
    QApplication app(argc, argv);
    HistoryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_history.moc"
