#pragma once

namespace engine {

// What kind of game is played: the designed game, or one of the practice games. Stored in the
// history by number, so the numbers never change.
enum class GameKind : int {
    Normal = 0,    // 通常: ten fresh hands of the chosen level, may set a best score
    Code = 1,      // コード: the hands of a game code
    Review = 2,    // 復習: hands answered wrongly before, due again today
    WeakShape = 3, // 弱点練習: fresh hands that each have a wait of one shape
    Daily = 4,     // 今日の一局: the game of the day's code
};

} // namespace engine
