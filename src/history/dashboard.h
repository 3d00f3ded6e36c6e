#pragma once

#include "engine/explain.h"
#include "engine/gamekind.h"
#include "engine/gamerecord.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace history {

class History;

enum class Period { Last30Days, Last90Days, All };

struct ScorePoint {
    QDateTime playedUtc;
    int level = 0;
    int score = 0;
};

struct ShapeFigures {
    int waits = 0;  // waits of this shape in the problems answered
    int missed = 0; // of those, the waits the player did not mark
};

struct WaitCountFigures {
    int problems = 0;
    int right = 0;
    double averageMs = 0;
};

struct WrongProblem {
    QDateTime answeredUtc;
    int level = 0;
    engine::ProblemRecord record;
};

// Everything the 成績 window shows for one period (and, optionally, one kind of game).
struct Dashboard {
    int games = 0;
    int problems = 0;
    int right = 0;
    double averageMs = 0;
    int streakDays = 0;                            // days played in a row, up to today (local)
    std::vector<ScorePoint> scores;                // finished games, oldest first
    std::array<ShapeFigures, 5> shapes{};          // indexed by engine::WaitShape
    int notReadyWrong = 0;                         // 待ちなし hands answered wrongly
    std::array<WaitCountFigures, 5> byWaitCount{}; // 1, 2, 3, 4, 5 or more waits
    std::vector<engine::WaitShape> weak;           // 苦手: up to two, only shapes with >= 20 waits
    std::vector<engine::WaitShape> strong;         // 得意: likewise
    std::vector<WrongProblem> wrong;               // the last 50 answered wrongly, newest first
    int dailyStreak = 0;                           // 今日の一局: days in a row (first play each day)
    std::optional<int> dailyScoreToday;            // today's 今日の一局 score, if played
};

// The figures of the history; `now` is the clock the periods are counted back from. A game and
// its problems count in the period the game was started in; the streaks look at all time; a
// wait of several shapes counts under each. 苦手 takes the weaker half of the shapes judged
// (up to two), 得意 the stronger half, so none is both.
Dashboard loadDashboard(History& history, Period period, std::optional<engine::GameKind> kind,
                        const QDateTime& nowUtc);

// Every problem, one row each, UTF-8 with a header. Returns an empty string on success, else
// the reason in Japanese.
QString exportCsv(History& history, const QString& file);

} // namespace history
