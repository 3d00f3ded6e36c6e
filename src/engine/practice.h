#pragma once

#include "engine/explain.h"
#include "engine/gamecode.h"
#include "engine/mondai.h"

#include <cstdint>
#include <optional>

namespace engine {

inline constexpr std::array<WaitShape, 5> AllShapes{WaitShape::Tanki, WaitShape::Shanpon, WaitShape::Ryanmen,
                                                    WaitShape::Kanchan, WaitShape::Penchan};

// True when at least one wait of the hand completes it in the given shape.
bool hasWaitOfShape(const Explanation& explanation, WaitShape shape);

// The hand of a 弱点練習 problem: problems of the level from the designed generator, built again
// until one has a wait of the shape. Returns how many were built (at least one).
int buildShapeProblem(Mondai& mondai, std::int32_t level, std::int16_t notenOK, std::int16_t sortHai,
                      WaitShape shape);

// The waits of one shape in the problems answered, and how many of them the player missed.
struct ShapeTally {
    int waits = 0;
    int missed = 0;
};
// The shape 弱点練習 practises by default: the highest share missed among the shapes met at
// least MinWaits times; 両面, the commonest, while nothing has been missed yet.
inline constexpr int MinWaits = 5;
WaitShape weakestShape(const std::array<ShapeTally, 5>& byShape);

// 今日の一局: 中級 under the standard settings, its seed from the local date alone.
// `day` counts days the way the calendar's Julian day number does.
GameCode dailyCode(std::int64_t day);

// 復習's Leitner boxes: box 1 is due the next day, 2 after 3 days, 3 after 7, 4 after 21.
struct ScheduleEntry {
    int box = 1;
    std::int64_t dueDay = 0;
    bool operator==(const ScheduleEntry&) const = default;
};
inline constexpr int LastBox = 4;
int boxInterval(int box);

// Where a hand stands after an answer given on `day`. `box` is its box now, 0 when it is not in
// the schedule. A wrong answer puts it in box 1; a right one moves it up a box, and out of the
// schedule (nullopt) past box 4. A hand not in the schedule and answered right stays out.
std::optional<ScheduleEntry> afterAnswer(int box, bool correct, std::int64_t day);

} // namespace engine
