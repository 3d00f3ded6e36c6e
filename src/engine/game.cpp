#include "engine/game.h"

#include "engine/practice.h"

#include <algorithm>
#include <utility>

namespace engine {

const char* kindName(GameKind kind) {
    switch (kind) {
    case GameKind::Normal:
        return "通常";
    case GameKind::Code:
        return "コード";
    case GameKind::Review:
        return "復習";
    case GameKind::WeakShape:
        return "弱点練習";
    case GameKind::Daily:
        return "今日の一局";
    }
    return "";
}

GameDescription GameDescription::fromCode(const GameCode& code) {
    GameDescription game;
    game.kind = GameKind::Code;
    game.code = code;
    return game;
}

GameDescription GameDescription::weakShape(int level, bool sortHai, WaitShape shape, std::uint32_t seed) {
    GameDescription game;
    game.kind = GameKind::WeakShape;
    game.code = GameCode{std::clamp(level, 0, 2), false, sortHai, seed, GameCode::shapeField(shape)};
    return game;
}

GameDescription GameDescription::daily(std::int64_t day) {
    GameDescription game;
    game.kind = GameKind::Daily;
    game.code = dailyCode(day);
    game.timeLimit = 150; // the standard settings, so every player's score means the same
    return game;
}

GameDescription GameDescription::review(std::vector<std::array<Hai, 13>> hands, int level, bool sortHai,
                                        WaitShape fill, std::uint32_t seed) {
    GameDescription game = weakShape(level, sortHai, fill, seed);
    game.kind = GameKind::Review;
    if (hands.size() > 10) hands.resize(10);
    game.given = std::move(hands);
    return game;
}

void dealProblem(Mondai& mondai, const GameDescription& game, const GameCode& settings, int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < game.given.size()) {
        const auto& hand = game.given[static_cast<std::size_t>(index)];
        std::copy(hand.begin(), hand.end(), mondai.Tehai.begin());
        mondai.Tehai[13] = EmptySlot;
        mondai.Hantei(); // reads the hand in any order and leaves it as shown
        return;
    }
    const auto notenOK = static_cast<std::int16_t>(settings.notenOK);
    const auto sortHai = static_cast<std::int16_t>(settings.sortHai);
    if (const auto shape = settings.practiceShape())
        buildShapeProblem(mondai, settings.level, notenOK, sortHai, *shape);
    else
        mondai.buildProblem(settings.level, notenOK, sortHai);
}

} // namespace engine
