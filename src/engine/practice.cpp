#include "engine/practice.h"

#include <algorithm>

namespace engine {

bool hasWaitOfShape(const Explanation& explanation, WaitShape shape) {
    return std::any_of(explanation.waits.begin(), explanation.waits.end(), [shape](const Wait& wait) {
        return std::any_of(wait.splits.begin(), wait.splits.end(),
                           [shape](const Split& split) { return split.shape == shape; });
    });
}

int buildShapeProblem(Mondai& mondai, std::int32_t level, std::int16_t notenOK, std::int16_t sortHai,
                      WaitShape shape) {
    // The rarest shape fits about one hand in ten, so the cap is never met; it only keeps a
    // broken generator from hanging the game.
    constexpr int MaxDraws = 100000;
    int draws = 0;
    // Judged and shuffled only once it fits: a draw costs the generation and the explanation.
    while (draws < MaxDraws) {
        mondai.generateSorted(level, notenOK);
        ++draws;
        std::array<Hai, 13> hand{};
        std::copy_n(mondai.Tehai.begin(), 13, hand.begin());
        if (hasWaitOfShape(explain(hand), shape)) break;
    }
    mondai.Hantei();
    mondai.shuffleForDisplay(sortHai);
    return draws;
}

WaitShape weakestShape(const std::array<ShapeTally, 5>& byShape) {
    WaitShape weakest = WaitShape::Ryanmen;
    double worst = 0;
    for (const WaitShape shape : AllShapes) {
        const ShapeTally& t = byShape[static_cast<std::size_t>(shape)];
        if (t.waits < MinWaits) continue;
        const double share = static_cast<double>(t.missed) / t.waits;
        if (share > worst) {
            worst = share;
            weakest = shape;
        }
    }
    return weakest;
}

GameCode dailyCode(std::int64_t day) {
    // SplitMix64: neighbouring days get unrelated seeds.
    auto z = static_cast<std::uint64_t>(day) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    GameCode code;
    code.level = 1;
    code.notenOK = false;
    code.sortHai = true;
    code.seed = static_cast<std::uint32_t>(z ^ (z >> 32));
    return code;
}

int boxInterval(int box) {
    static constexpr std::array<int, LastBox> days{1, 3, 7, 21};
    return days[static_cast<std::size_t>(std::clamp(box, 1, LastBox) - 1)];
}

std::optional<ScheduleEntry> afterAnswer(int box, bool correct, std::int64_t day) {
    if (!correct) return ScheduleEntry{1, day + boxInterval(1)};
    if (box <= 0 || box >= LastBox) return std::nullopt;
    return ScheduleEntry{box + 1, day + boxInterval(box + 1)};
}

} // namespace engine
