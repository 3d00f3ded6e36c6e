#include "history/schema.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <algorithm>

namespace history::schema {

namespace {

// Version 1 as the first program that kept a history wrote it; a new file starts here too, so
// every file reaches the current tables along the same path.
const char* const version1[] = {
    "CREATE TABLE games(id INTEGER PRIMARY KEY, started_ms INTEGER NOT NULL, level INTEGER NOT NULL,"
    " code TEXT NOT NULL, noten_ok INTEGER NOT NULL, sort_hai INTEGER NOT NULL,"
    " upside_down INTEGER NOT NULL, time_limit INTEGER NOT NULL, may_record INTEGER NOT NULL,"
    " score INTEGER)",
    "CREATE TABLE problems(id INTEGER PRIMARY KEY,"
    " game INTEGER NOT NULL REFERENCES games(id) ON DELETE CASCADE, number INTEGER NOT NULL,"
    " answered_ms INTEGER NOT NULL, hand TEXT NOT NULL, marks TEXT NOT NULL, waits TEXT NOT NULL,"
    " time_ms INTEGER NOT NULL, points INTEGER NOT NULL, correct INTEGER NOT NULL, UNIQUE(game, number))",
    "PRAGMA user_version = 1",
};

const char* const version2[] = {
    "ALTER TABLE games ADD COLUMN kind INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE problems ADD COLUMN wait_count INTEGER NOT NULL DEFAULT 0",
    // Each game's figures, added to with every answer, so a period's figures come from one
    // pass over its games: problems, right, ms; by count of waits (w5: five or more); by shape.
    "ALTER TABLE games ADD COLUMN answered INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN answered_right INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN answered_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN not_ready_wrong INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w1_answered INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w1_right INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w1_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w2_answered INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w2_right INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w2_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w3_answered INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w3_right INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w3_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w4_answered INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w4_right INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w4_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w5_answered INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w5_right INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN w5_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN tanki_waits INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN tanki_missed INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN shanpon_waits INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN shanpon_missed INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN ryanmen_waits INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN ryanmen_missed INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN kanchan_waits INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN kanchan_missed INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN penchan_waits INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN penchan_missed INTEGER NOT NULL DEFAULT 0",
    "CREATE TABLE waits(problem INTEGER NOT NULL REFERENCES problems(id) ON DELETE CASCADE,"
    " tile INTEGER NOT NULL, shapes INTEGER NOT NULL, marked INTEGER NOT NULL, PRIMARY KEY(problem, tile))"
    " WITHOUT ROWID",
    "CREATE TABLE wrong_marks(problem INTEGER NOT NULL REFERENCES problems(id) ON DELETE CASCADE,"
    " tile INTEGER NOT NULL, reason INTEGER NOT NULL, PRIMARY KEY(problem, tile)) WITHOUT ROWID",
    "CREATE INDEX games_started ON games(started_ms)",
    "CREATE INDEX problems_game ON problems(game)",
    "CREATE INDEX problems_answered ON problems(answered_ms)",
};

// Days are Julian day numbers of the local date, as QDate::toJulianDay counts them.
const char* const version3[] = {
    "CREATE TABLE schedule(hand TEXT PRIMARY KEY, box INTEGER NOT NULL, due_day INTEGER NOT NULL,"
    " added_day INTEGER NOT NULL)",
    "CREATE INDEX schedule_due ON schedule(due_day)",
    "INSERT INTO schedule(hand, box, due_day, added_day)"
    " SELECT hand, 1, day + 1, day FROM (SELECT hand, CAST(julianday(date(max(answered_ms) / 1000,"
    " 'unixepoch', 'localtime')) + 0.5 AS INTEGER) AS day FROM problems WHERE correct = 0 GROUP BY hand)"
    " ORDER BY day",
    "PRAGMA user_version = 3",
};

bool execAll(const QSqlDatabase& db, const auto& statements, QSqlError& error) {
    for (const char* sql : statements) {
        if (!exec(db, QString::fromUtf8(sql), error)) return false;
    }
    return true;
}

// The rows of waits and wrong_marks and the count of waits for the problems a version 1 file
// kept: the hands are explained again.
bool fillDetails(const QSqlDatabase& db, QSqlError& error) {
    QSqlQuery problems(db);
    problems.setForwardOnly(true);
    if (!problems.exec(QStringLiteral("SELECT id, hand, marks, game, correct, time_ms FROM problems"))) {
        error = problems.lastError();
        return false;
    }
    while (problems.next()) {
        const std::vector<int> hand = parseCodes(problems.value(1).toString());
        if (hand.size() != 13) continue; // unreadable: kept, without details
        std::array<engine::Hai, 13> tiles{};
        for (std::size_t i = 0; i < 13; ++i) tiles[i] = static_cast<engine::Hai>(hand[i]);
        std::array<std::int16_t, 38> marks{};
        for (int code : parseCodes(problems.value(2).toString())) {
            if (engine::isTile(code)) marks[static_cast<std::size_t>(code)] = 1;
        }
        const Answer answer{problems.value(0).toLongLong(), problems.value(3).toLongLong(),
                            problems.value(4).toInt() != 0, problems.value(5).toInt()};
        if (!insertDetails(db, answer, engine::explain(tiles), marks, error)) return false;
    }
    return true;
}

int readVersion(const QSqlDatabase& db, int& tables, QSqlError& error) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        error = q.lastError();
        return -1;
    }
    const int version = q.value(0).toInt();
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_schema")) || !q.next()) {
        error = q.lastError();
        return -1;
    }
    tables = q.value(0).toInt();
    return version;
}

Outcome migrate(const QSqlDatabase& db, QSqlError& error) {
    int tables = 0;
    const int version = readVersion(db, tables, error);
    if (version < 0) return Outcome::Failed;
    if (version > Version) return Outcome::Newer;
    if (version == 0 && tables > 0) return Outcome::Foreign;
    if (version == 0 && !execAll(db, version1, error)) return Outcome::Failed;
    if (version < 2) {
        if (!execAll(db, version2, error) || !fillDetails(db, error)) return Outcome::Failed;
        if (!exec(db, QStringLiteral("PRAGMA user_version = 2"), error)) return Outcome::Failed;
    }
    if (version < 3 && !execAll(db, version3, error)) return Outcome::Failed;
    return Outcome::Ready;
}

} // namespace

bool exec(const QSqlDatabase& db, const QString& sql, QSqlError& error) {
    QSqlQuery q(db);
    if (q.exec(sql)) return true;
    error = q.lastError();
    return false;
}

Outcome inspect(const QSqlDatabase& db, QSqlError& error) {
    int tables = 0;
    const int version = readVersion(db, tables, error);
    if (version < 0) return Outcome::Failed;
    if (version > Version) return Outcome::Newer;
    if (version == 0 && tables > 0) return Outcome::Foreign;
    return version == Version ? Outcome::Ready : Outcome::Older;
}

Outcome prepare(const QSqlDatabase& db, QSqlError& error) {
    // IMMEDIATE: a second program starting at the same moment waits, then finds the tables made.
    if (!exec(db, QStringLiteral("BEGIN IMMEDIATE"), error)) return Outcome::Failed;
    const Outcome outcome = migrate(db, error);
    QSqlError ignored;
    if (outcome != Outcome::Ready) {
        exec(db, QStringLiteral("ROLLBACK"), ignored);
        return outcome;
    }
    if (!exec(db, QStringLiteral("COMMIT"), error)) {
        exec(db, QStringLiteral("ROLLBACK"), ignored);
        return Outcome::Failed;
    }
    return Outcome::Ready;
}

QString codesText(const std::vector<int>& codes) {
    // Empty, never null: a problem with no marks is not a problem with unknown marks.
    QString text = QStringLiteral("");
    for (int code : codes) {
        if (!text.isEmpty()) text += QLatin1Char(' ');
        text += QString::number(code);
    }
    return text;
}

std::vector<int> parseCodes(const QString& text) {
    std::vector<int> codes;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int code = part.toInt(&ok);
        if (ok) codes.push_back(code);
    }
    return codes;
}

std::vector<int> markedCodes(const std::array<std::int16_t, 38>& byCode) {
    std::vector<int> codes;
    for (int k = engine::FirstTile; k <= engine::LastTile; ++k) {
        if (engine::isTile(k) && byCode[static_cast<std::size_t>(k)] != 0) codes.push_back(k);
    }
    return codes;
}

int shapeBits(const engine::Wait& wait) {
    int bits = 0;
    for (const engine::Split& split : wait.splits) bits |= 1 << static_cast<int>(split.shape);
    return bits;
}

namespace {

// The problem's count of waits, and the answer added to its game's figures.
bool updateCounts(const QSqlDatabase& db, const Answer& answer, const engine::Explanation& explanation,
                  const std::array<std::int16_t, 38>& marks, QSqlError& error) {
    const int waits = static_cast<int>(explanation.waits.size());
    std::vector<int> add{1, answer.correct ? 1 : 0, answer.timeMs, waits == 0 && !answer.correct ? 1 : 0};
    for (int n = 1; n <= 5; ++n) {
        const bool group = n == std::clamp(waits, 0, 5);
        add.insert(add.end(), {group ? 1 : 0, group && answer.correct ? 1 : 0, group ? answer.timeMs : 0});
    }
    std::array<int, 10> shapes{};
    for (const engine::Wait& w : explanation.waits) {
        for (std::size_t s = 0; s < 5; ++s) {
            if ((shapeBits(w) & (1 << s)) == 0) continue;
            ++shapes[2 * s];
            if (marks[static_cast<std::size_t>(w.tile)] == 0) ++shapes[2 * s + 1];
        }
    }
    add.insert(add.end(), shapes.begin(), shapes.end());
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "UPDATE games SET answered = answered + ?, answered_right = answered_right + ?, answered_ms = "
        "answered_ms + ?, not_ready_wrong = not_ready_wrong + ?, w1_answered = w1_answered + ?, w1_right = "
        "w1_right + ?, w1_ms = w1_ms + ?, w2_answered = w2_answered + ?, w2_right = w2_right + ?, w2_ms = "
        "w2_ms + ?, w3_answered = w3_answered + ?, w3_right = w3_right + ?, w3_ms = w3_ms + ?, w4_answered = "
        "w4_answered + ?, w4_right = w4_right + ?, w4_ms = w4_ms + ?, w5_answered = w5_answered + ?, "
        "w5_right = w5_right + ?, w5_ms = w5_ms + ?, tanki_waits = tanki_waits + ?, tanki_missed = "
        "tanki_missed + ?, shanpon_waits = shanpon_waits + ?, shanpon_missed = shanpon_missed + ?, "
        "ryanmen_waits = ryanmen_waits + ?, ryanmen_missed = ryanmen_missed + ?, kanchan_waits = "
        "kanchan_waits + ?, kanchan_missed = kanchan_missed + ?, penchan_waits = penchan_waits + ?, "
        "penchan_missed = penchan_missed + ? WHERE id = ?"));
    for (std::size_t i = 0; i < add.size(); ++i) q.bindValue(static_cast<int>(i), add[i]);
    q.bindValue(static_cast<int>(add.size()), static_cast<qlonglong>(answer.game));
    QSqlQuery count(db);
    count.prepare(QStringLiteral("UPDATE problems SET wait_count = ? WHERE id = ?"));
    count.bindValue(0, waits);
    count.bindValue(1, static_cast<qlonglong>(answer.problem));
    if (q.exec() && count.exec()) return true;
    error = q.lastError().isValid() ? q.lastError() : count.lastError();
    return false;
}

} // namespace

bool insertDetails(const QSqlDatabase& db, const Answer& answer, const engine::Explanation& explanation,
                   const std::array<std::int16_t, 38>& marks, QSqlError& error) {
    const std::int64_t problem = answer.problem;
    QSqlQuery wait(db);
    QSqlQuery wrong(db);
    if (!wait.prepare(
            QStringLiteral("INSERT INTO waits(problem, tile, shapes, marked) VALUES(?, ?, ?, ?)")) ||
        !wrong.prepare(QStringLiteral("INSERT INTO wrong_marks(problem, tile, reason) VALUES(?, ?, ?)"))) {
        error = wait.lastError().isValid() ? wait.lastError() : wrong.lastError();
        return false;
    }
    for (const engine::Wait& w : explanation.waits) {
        wait.bindValue(0, static_cast<qlonglong>(problem));
        wait.bindValue(1, static_cast<int>(w.tile));
        wait.bindValue(2, shapeBits(w));
        wait.bindValue(3, marks[static_cast<std::size_t>(w.tile)] != 0 ? 1 : 0);
        if (!wait.exec()) return error = wait.lastError(), false;
    }
    for (int tile : markedCodes(marks)) {
        const engine::Verdict verdict = explanation.verdict(static_cast<engine::Hai>(tile));
        if (verdict == engine::Verdict::IsAWait) continue;
        const WrongReason reason =
            verdict == engine::Verdict::FifthCopy ? WrongReason::FifthCopy : WrongReason::NoSplit;
        wrong.bindValue(0, static_cast<qlonglong>(problem));
        wrong.bindValue(1, tile);
        wrong.bindValue(2, static_cast<int>(reason));
        if (!wrong.exec()) return error = wrong.lastError(), false;
    }
    return updateCounts(db, answer, explanation, marks, error);
}

} // namespace history::schema
