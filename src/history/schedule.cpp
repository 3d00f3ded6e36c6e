#include "history/schedule.h"

#include "history/dashboard.h"
#include "history/history.h"
#include "history/schema.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace history {

namespace {

QString handText(const Hand& hand) {
    return schema::codesText(std::vector<int>(hand.begin(), hand.end()));
}

QSqlDatabase openDb(History& history) {
    return history.available() ? QSqlDatabase::database(history.connectionName(), false) : QSqlDatabase();
}

} // namespace

std::int64_t localDay(const QDateTime& utc) {
    return utc.toLocalTime().date().toJulianDay();
}

std::int64_t scheduleToday() {
    bool ok = false;
    const int ahead = qEnvironmentVariableIntValue("BRALUN_TEST_DAYS_AHEAD", &ok);
    return localDay(QDateTime::currentDateTimeUtc()) + (ok ? ahead : 0);
}

std::optional<engine::ScheduleEntry> scheduleOf(History& history, const Hand& hand) {
    const QSqlDatabase db = openDb(history);
    if (!db.isValid()) return std::nullopt;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT box, due_day FROM schedule WHERE hand = ?"));
    q.bindValue(0, handText(hand));
    if (!q.exec() || !q.next()) return std::nullopt;
    return engine::ScheduleEntry{q.value(0).toInt(), q.value(1).toLongLong()};
}

bool scheduleAnswer(History& history, engine::GameKind kind, const engine::ProblemRecord& record,
                    std::int64_t day) {
    // Only 復習 moves a hand up: a hand met again by chance in another game proves little.
    if (record.correct && kind != engine::GameKind::Review) return true;
    const auto now = scheduleOf(history, record.hand);
    const auto next = engine::afterAnswer(now ? now->box : 0, record.correct, day);
    const QSqlDatabase db = openDb(history);
    if (!db.isValid()) return false;
    QSqlQuery q(db);
    if (!next) {
        if (!now) return true;
        q.prepare(QStringLiteral("DELETE FROM schedule WHERE hand = ?"));
        q.bindValue(0, handText(record.hand));
        return q.exec();
    }
    // A hand keeps the place it was first put in, so it still shows as it first did.
    q.prepare(
        QStringLiteral("INSERT INTO schedule(hand, box, due_day, added_day) VALUES(?, ?, ?, ?)"
                       " ON CONFLICT(hand) DO UPDATE SET box = excluded.box, due_day = excluded.due_day"));
    q.bindValue(0, handText(record.hand));
    q.bindValue(1, next->box);
    q.bindValue(2, static_cast<qlonglong>(next->dueDay));
    q.bindValue(3, static_cast<qlonglong>(day));
    return q.exec();
}

int dueCount(History& history, std::int64_t day) {
    const QSqlDatabase db = openDb(history);
    if (!db.isValid()) return 0;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT count(*) FROM schedule WHERE due_day <= ?"));
    q.bindValue(0, static_cast<qlonglong>(day));
    return q.exec() && q.next() ? q.value(0).toInt() : 0;
}

std::vector<Hand> dueHands(History& history, std::int64_t day, int limit) {
    std::vector<Hand> hands;
    const QSqlDatabase db = openDb(history);
    if (!db.isValid()) return hands;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT hand FROM schedule WHERE due_day <= ? ORDER BY due_day, added_day, rowid"
                             " LIMIT ?"));
    q.bindValue(0, static_cast<qlonglong>(day));
    q.bindValue(1, limit);
    if (!q.exec()) return hands;
    while (q.next()) {
        const std::vector<int> codes = schema::parseCodes(q.value(0).toString());
        if (codes.size() != 13) continue; // damaged row: skipped, never shown half
        Hand hand{};
        bool tiles = true;
        for (std::size_t i = 0; i < 13; ++i) {
            tiles = tiles && engine::isTile(codes[i]);
            hand[i] = static_cast<engine::Hai>(codes[i]);
        }
        if (tiles) hands.push_back(hand);
    }
    return hands;
}

engine::WaitShape weakestShape(History& history, const QDateTime& nowUtc) {
    const Dashboard figures = loadDashboard(history, Period::Last30Days, std::nullopt, nowUtc);
    std::array<engine::ShapeTally, 5> tally{};
    for (std::size_t i = 0; i < tally.size(); ++i)
        tally[i] = {figures.shapes[i].waits, figures.shapes[i].missed};
    return engine::weakestShape(tally);
}

} // namespace history
