#pragma once

// The tables of history.sqlite3 and how an older file is brought up to date. Inside history/.

#include "engine/explain.h"
#include "engine/gamerecord.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <cstdint>
#include <vector>

namespace history::schema {

// PRAGMA user_version of a file this program writes. 1: games and problems only; 2 adds the kind
// of game, the count of waits, and a row for each wait and each wrongly marked tile; 3 adds the
// 復習 schedule, with every hand answered wrongly before it in box 1.
inline constexpr int Version = 3;

// Why a marked tile is no wait, as stored in wrong_marks.reason.
enum class WrongReason : int { NoSplit = 1, FifthCopy = 2 };

enum class Outcome { Ready, Older, Foreign, Newer, Failed };
// What the file holds, read without writing: a file that is not ours must be left as it was.
Outcome inspect(const QSqlDatabase& db, QSqlError& error);
// Makes the tables of a new file or migrates an older one, all in one transaction.
Outcome prepare(const QSqlDatabase& db, QSqlError& error);

// Runs one statement without parameters.
bool exec(const QSqlDatabase& db, const QString& sql, QSqlError& error);

// Tile codes as stored in a text column: decimal, separated by single spaces.
QString codesText(const std::vector<int>& codes);
std::vector<int> parseCodes(const QString& text);
// The tiles marked nonzero in an array indexed by tile code.
std::vector<int> markedCodes(const std::array<std::int16_t, 38>& byCode);

// One bit per engine::WaitShape the wait completes in.
int shapeBits(const engine::Wait& wait);

struct Answer {
    std::int64_t problem = 0;
    std::int64_t game = 0;
    bool correct = false;
    int timeMs = 0;
};

// The rows of waits and wrong_marks for an answered problem, its count of waits, and its game's
// figures; also run over the problems of a version 1 file.
bool insertDetails(const QSqlDatabase& db, const Answer& answer, const engine::Explanation& explanation,
                   const std::array<std::int16_t, 38>& marks, QSqlError& error);

} // namespace history::schema
