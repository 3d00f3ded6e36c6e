#pragma once

#include "engine/gamecode.h"
#include "engine/gamekind.h"
#include "engine/mondai.h"
#include "engine/tiles.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace engine {

// The Japanese name of a kind of game, UTF-8: 通常, コード, 復習, 弱点練習, 今日の一局.
const char* kindName(GameKind kind);

// What a game window plays: where its hands come from, whether it may set a best score, what it
// is called. The designed game is the default: fresh hands at the player's level and settings.
struct GameDescription {
    GameKind kind = GameKind::Normal;
    // Level, settings and seed fixed by the game itself; the player's at 開始 when empty.
    std::optional<GameCode> code;
    // Hands dealt first, each as it was first shown, left to right (復習); the rest are fresh.
    std::vector<std::array<Hai, 13>> given;
    // Tenths of a second; 0 keeps the player's setting.
    std::int16_t timeLimit = 0;

    bool mayRecord() const { return kind == GameKind::Normal; }
    const char* name() const { return kindName(kind); }

    static GameDescription fromCode(const GameCode& code);
    static GameDescription weakShape(int level, bool sortHai, WaitShape shape, std::uint32_t seed);
    static GameDescription daily(std::int64_t day);
    // The given hands first; the fresh hands that fill the game have a wait of the shape.
    static GameDescription review(std::vector<std::array<Hai, 13>> hands, int level, bool sortHai,
                                  WaitShape fill, std::uint32_t seed);
};

// Sets up problem `index` (0..9) of the game in `mondai`: Tehai in the order shown, Machi
// judged. `settings` is the game's code, or the player's level and settings at its start.
void dealProblem(Mondai& mondai, const GameDescription& game, const GameCode& settings, int index);

} // namespace engine
