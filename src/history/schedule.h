#pragma once

#include "engine/gamekind.h"
#include "engine/gamerecord.h"
#include "engine/practice.h"

#include <QDateTime>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace history {

class History;

using Hand = std::array<engine::Hai, 13>;

// The schedule counts local calendar days by their Julian day number.
std::int64_t localDay(const QDateTime& utc);
// Today for the schedule. BRALUN_TEST_DAYS_AHEAD, set only by tests, moves it on by that many
// days so a test can see tomorrow's reviews.
std::int64_t scheduleToday();

// After an answer given on `day` in a game of `kind`: a wrong answer puts the hand (as shown)
// in box 1; a right one in a 復習 game moves it up a box. False when it could not be written.
bool scheduleAnswer(History& history, engine::GameKind kind, const engine::ProblemRecord& record,
                    std::int64_t day);

// The hands due on `day` or before.
int dueCount(History& history, std::int64_t day);
// Up to `limit` of them, longest due first, each as it was first shown.
std::vector<Hand> dueHands(History& history, std::int64_t day, int limit = 10);
// Where a hand stands; nullopt when it is not in the schedule.
std::optional<engine::ScheduleEntry> scheduleOf(History& history, const Hand& hand);

// 弱点練習's default shape, from the waits of the last 30 days.
engine::WaitShape weakestShape(History& history, const QDateTime& nowUtc);

} // namespace history
