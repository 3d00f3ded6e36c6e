#include "history/dashboard.h"

#include "history/history.h"
#include "history/schema.h"

#include <QFile>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <limits>
#include <numeric>

namespace history {

namespace {

constexpr qint64 DayMs = 24LL * 60 * 60 * 1000;

// Which games a figure counts: started inside the period, of the kind asked for (any when none).
struct Filter {
    qint64 sinceMs = std::numeric_limits<qint64>::min();
    std::optional<engine::GameKind> kind;
};

// A game and its problems count in the period the game was started in.
const QString gameFilter = QStringLiteral("g.started_ms >= :since AND (:anyKind OR g.kind = :kind)");

// A query over the filtered games: %1 in sql stands for the filter.
QSqlQuery select(const QSqlDatabase& db, const QString& sql, const Filter& filter) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql.arg(gameFilter));
    q.bindValue(QStringLiteral(":since"), filter.sinceMs);
    q.bindValue(QStringLiteral(":anyKind"), filter.kind ? 0 : 1);
    q.bindValue(QStringLiteral(":kind"), filter.kind ? static_cast<int>(*filter.kind) : 0);
    q.exec();
    return q;
}

void loadGames(const QSqlDatabase& db, const Filter& f, Dashboard& d) {
    QSqlQuery q = select(db, QStringLiteral("SELECT count(*) FROM games g WHERE %1 AND g.answered > 0"), f);
    if (q.next()) d.games = q.value(0).toInt();
    QSqlQuery scores = select(db,
                              QStringLiteral("SELECT g.started_ms, g.level, g.score FROM games g"
                                             " WHERE g.score IS NOT NULL AND %1 ORDER BY g.started_ms, g.id"),
                              f);
    while (scores.next()) {
        d.scores.push_back({QDateTime::fromMSecsSinceEpoch(scores.value(0).toLongLong(), Qt::UTC),
                            scores.value(1).toInt(), scores.value(2).toInt()});
    }
}

// From the figures each game keeps. A wait of several shapes (a tile completing one split as
// 単騎, another as 双碰) counts under each of them.
void loadProblems(const QSqlDatabase& db, const Filter& f, Dashboard& d) {
    QSqlQuery q = select(
        db,
        QStringLiteral(
            "SELECT total(answered), total(answered_right), total(answered_ms), total(not_ready_wrong),"
            " total(w1_answered), total(w1_right), total(w1_ms), total(w2_answered), total(w2_right),"
            " total(w2_ms), total(w3_answered), total(w3_right), total(w3_ms), total(w4_answered),"
            " total(w4_right), total(w4_ms), total(w5_answered), total(w5_right), total(w5_ms),"
            " total(tanki_waits), total(tanki_missed), total(shanpon_waits), total(shanpon_missed),"
            " total(ryanmen_waits), total(ryanmen_missed), total(kanchan_waits), total(kanchan_missed),"
            " total(penchan_waits), total(penchan_missed) FROM games g WHERE %1"),
        f);
    if (!q.next()) return;
    const auto at = [&q](int i) { return q.value(i).toDouble(); };
    d.problems = static_cast<int>(at(0));
    d.right = static_cast<int>(at(1));
    d.averageMs = d.problems > 0 ? at(2) / d.problems : 0.0;
    d.notReadyWrong = static_cast<int>(at(3));
    for (int n = 0; n < 5; ++n) {
        const int problems = static_cast<int>(at(4 + 3 * n));
        d.byWaitCount[static_cast<std::size_t>(n)] = {problems, static_cast<int>(at(5 + 3 * n)),
                                                      problems > 0 ? at(6 + 3 * n) / problems : 0.0};
    }
    for (int s = 0; s < 5; ++s) {
        d.shapes[static_cast<std::size_t>(s)] = {static_cast<int>(at(19 + 2 * s)),
                                                 static_cast<int>(at(20 + 2 * s))};
    }
}

// The shapes with enough waits to judge, worst first; the weaker half (up to two) are 苦手, the
// stronger half (up to two) 得意, so no shape is both.
void rankShapes(Dashboard& d) {
    constexpr int Enough = 20;
    std::vector<engine::WaitShape> judged;
    for (std::size_t s = 0; s < d.shapes.size(); ++s) {
        if (d.shapes[s].waits >= Enough) judged.push_back(static_cast<engine::WaitShape>(s));
    }
    const auto rate = [&d](engine::WaitShape s) {
        const ShapeFigures& f = d.shapes[static_cast<std::size_t>(s)];
        return static_cast<double>(f.missed) / f.waits;
    };
    std::stable_sort(judged.begin(), judged.end(),
                     [&rate](engine::WaitShape a, engine::WaitShape b) { return rate(a) > rate(b); });
    const std::size_t weak = std::min<std::size_t>(2, (judged.size() + 1) / 2);
    const std::size_t strong = std::min<std::size_t>(2, judged.size() / 2);
    d.weak.assign(judged.begin(), judged.begin() + static_cast<std::ptrdiff_t>(weak));
    d.strong.assign(judged.rbegin(), judged.rbegin() + static_cast<std::ptrdiff_t>(strong));
}

std::array<std::int16_t, 38> byCode(const QString& text) {
    std::array<std::int16_t, 38> marks{};
    for (int code : schema::parseCodes(text)) {
        if (engine::isTile(code)) marks[static_cast<std::size_t>(code)] = 1;
    }
    return marks;
}

void loadWrong(const QSqlDatabase& db, const Filter& f, Dashboard& d) {
    QSqlQuery q = select(
        db,
        QStringLiteral("SELECT p.answered_ms, (SELECT level FROM games WHERE id = p.game), p.hand,"
                       " p.marks, p.waits, p.time_ms, p.points FROM problems p INDEXED BY problems_answered"
                       " WHERE p.correct = 0 AND p.answered_ms >= :since"
                       " AND p.game IN (SELECT g.id FROM games g WHERE %1)"
                       " ORDER BY p.answered_ms DESC, p.id DESC LIMIT 50"),
        f);
    while (q.next()) {
        WrongProblem w;
        w.answeredUtc = QDateTime::fromMSecsSinceEpoch(q.value(0).toLongLong(), Qt::UTC);
        w.level = q.value(1).toInt();
        const std::vector<int> hand = schema::parseCodes(q.value(2).toString());
        for (std::size_t i = 0; i < std::min<std::size_t>(13, hand.size()); ++i)
            w.record.hand[i] = static_cast<engine::Hai>(hand[i]);
        w.record.kotae = byCode(q.value(3).toString());
        w.record.machi = byCode(q.value(4).toString());
        w.record.timeMs = q.value(5).toInt();
        w.record.points = q.value(6).toInt();
        w.record.correct = false;
        d.wrong.push_back(w);
    }
}

// Days in a row with a game of the kind, ending today or, while today is not yet played,
// yesterday. Games dated after today (a clock set back) are passed over. The local day is the C
// library's, as QDateTime's is, worked out by SQLite: one day a row, not one game.
int streak(const QSqlDatabase& db, std::optional<engine::GameKind> kind, const QDate& today) {
    QSqlQuery q =
        select(db,
               QStringLiteral("SELECT DISTINCT date(g.started_ms / 1000, 'unixepoch', 'localtime') AS day"
                              " FROM games g WHERE %1 AND g.answered > 0 ORDER BY day DESC"),
               Filter{std::numeric_limits<qint64>::min(), kind});
    std::optional<QDate> last;
    int days = 0;
    while (q.next()) {
        const QDate day = QDate::fromString(q.value(0).toString(), Qt::ISODate);
        if (day > today) continue;
        if (last ? day != last->addDays(-1) : day < today.addDays(-1)) break;
        last = day;
        ++days;
    }
    return days;
}

// The first 今日の一局 played today counts, finished or not: a game left half-way keeps the
// points it had, so walking away cannot buy a second try.
std::optional<int> dailyScore(const QSqlDatabase& db, const QDate& today) {
    const qint64 since = QDateTime(today, QTime(0, 0)).toMSecsSinceEpoch();
    QSqlQuery q = select(db,
                         QStringLiteral("SELECT coalesce(g.score, (SELECT total(p.points) FROM problems p"
                                        " WHERE p.game = g.id)) FROM games g WHERE %1 AND g.answered > 0"
                                        " ORDER BY g.started_ms, g.id LIMIT 1"),
                         Filter{since, engine::GameKind::Daily});
    if (!q.next()) return std::nullopt;
    return q.value(0).toInt();
}

qint64 periodStart(Period period, const QDateTime& nowUtc) {
    switch (period) {
    case Period::Last30Days:
        return nowUtc.toMSecsSinceEpoch() - 30 * DayMs;
    case Period::Last90Days:
        return nowUtc.toMSecsSinceEpoch() - 90 * DayMs;
    case Period::All:
        break;
    }
    return std::numeric_limits<qint64>::min();
}

} // namespace

Dashboard loadDashboard(History& history, Period period, std::optional<engine::GameKind> kind,
                        const QDateTime& nowUtc) {
    Dashboard d;
    if (!history.available()) return d;
    const QSqlDatabase db = QSqlDatabase::database(history.connectionName(), false);
    const Filter filter{periodStart(period, nowUtc), kind};
    // One snapshot: an answer written meanwhile by another copy of the program is in all or none.
    QSqlQuery(db).exec(QStringLiteral("BEGIN"));
    loadGames(db, filter, d);
    loadProblems(db, filter, d);
    rankShapes(d);
    loadWrong(db, filter, d);
    const QDate today = nowUtc.toLocalTime().date();
    d.streakDays = streak(db, kind, today);
    d.dailyStreak = streak(db, engine::GameKind::Daily, today);
    d.dailyScoreToday = dailyScore(db, today);
    QSqlQuery(db).exec(QStringLiteral("COMMIT"));
    return d;
}

namespace {

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString utcText(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

// "3:両面 6:両面/単騎" from the stored "tile:bits" pairs.
QString shapesText(const QString& stored) {
    QStringList out;
    for (const QString& pair : stored.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int bits = pair.section(QLatin1Char(':'), 1).toInt();
        QStringList names;
        for (int s = 0; s < 5; ++s) {
            if (bits & (1 << s))
                names << QString::fromUtf8(engine::shapeName(static_cast<engine::WaitShape>(s)));
        }
        out << pair.section(QLatin1Char(':'), 0, 0) + QLatin1Char(':') + names.join(QLatin1Char('/'));
    }
    return out.join(QLatin1Char(' '));
}

const QStringList levelNames{QStringLiteral("初級"), QStringLiteral("中級"), QStringLiteral("上級")};

QString csvRow(const QSqlQuery& q) {
    const int level = q.value(3).toInt();
    const QStringList fields{
        q.value(0).toString(),
        utcText(q.value(1).toLongLong()),
        kindName(static_cast<engine::GameKind>(q.value(2).toInt())),
        level >= 0 && level < 3 ? levelNames[level] : QString::number(level),
        q.value(4).toString(),
        q.value(5).toString(),
        utcText(q.value(6).toLongLong()),
        q.value(7).toString(),
        q.value(8).toString(),
        q.value(9).toString(),
        shapesText(q.value(10).toString()),
        q.value(11).toString(),
        q.value(12).toString(),
        q.value(13).toString(),
    };
    QStringList quoted;
    for (const QString& f : fields) quoted << csvField(f);
    return quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
}

} // namespace

QString exportCsv(History& history, const QString& file) {
    if (!history.available()) return QStringLiteral("成績の記録がありません。");
    QSqlQuery q(QSqlDatabase::database(history.connectionName(), false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "SELECT g.id, g.started_ms, g.kind, g.level, g.code, p.number, p.answered_ms, p.hand, p.marks,"
            " p.waits, (SELECT group_concat(w.tile || ':' || w.shapes, ' ') FROM waits w WHERE w.problem = "
            "p.id),"
            " p.time_ms, p.points, p.correct FROM problems p JOIN games g ON g.id = p.game"
            " ORDER BY p.answered_ms, p.id")))
        return QStringLiteral("成績を読めませんでした（%1）。").arg(q.lastError().text());
    // Written whole or not at all: an old export is never left half overwritten.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return QStringLiteral("%1 に書き込めません（%2）。").arg(file, out.errorString());
    out.write(
        QStringLiteral("ゲーム,開始(UTC),種類,レベル,コード,問,回答(UTC),手牌,選んだ牌,当たり牌,待ちの形,"
                       "時間(ms),得点,正解\n")
            .toUtf8());
    while (q.next()) out.write(csvRow(q).toUtf8());
    if (!out.commit()) return QStringLiteral("%1 に書き込めません（%2）。").arg(file, out.errorString());
    return QString();
}

} // namespace history
