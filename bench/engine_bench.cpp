// Judging one hand, explaining its waits and building one whole problem, on hands from a fixed seed.
#include "engine/explain.h"
#include "engine/mondai.h"
#include "engine/practice.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr std::uint32_t seed = 20240601;

// Sorted problem hands as the judgement sees them, a third from each level.
std::vector<std::array<engine::Hai, 14>> problemHands(int count) {
    engine::Mt19937Random rnd(seed);
    engine::Mondai m(rnd);
    std::vector<std::array<engine::Hai, 14>> hands;
    for (int i = 0; i < count; ++i) {
        m.buildProblem(i % 3, 1, 1);
        hands.push_back(m.Tehai);
    }
    return hands;
}

void BM_Hantei(benchmark::State& state) {
    const auto hands = problemHands(3000);
    engine::Mt19937Random rnd(seed);
    engine::Mondai m(rnd);
    std::size_t i = 0;
    for (auto _ : state) {
        m.Tehai = hands[i];
        m.Hantei();
        benchmark::DoNotOptimize(m.Machi);
        i = i + 1 == hands.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Hantei)->Unit(benchmark::kMicrosecond);

void BM_Explain(benchmark::State& state) {
    std::vector<std::array<engine::Hai, 13>> hands;
    for (const auto& t : problemHands(3000)) {
        std::array<engine::Hai, 13> hand{};
        std::copy(t.begin(), t.begin() + 13, hand.begin());
        hands.push_back(hand);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        auto e = engine::explain(hands[i]);
        benchmark::DoNotOptimize(e);
        i = i + 1 == hands.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Explain)->Unit(benchmark::kMicrosecond);

void BM_BuildProblem(benchmark::State& state) {
    const auto level = static_cast<std::int32_t>(state.range(0));
    engine::Mt19937Random rnd(seed);
    engine::Mondai m(rnd);
    for (auto _ : state) {
        m.buildProblem(level, 0, 0);
        benchmark::DoNotOptimize(m.Tehai);
        benchmark::DoNotOptimize(m.Machi);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildProblem)->DenseRange(0, 2)->ArgName("level")->Unit(benchmark::kMicrosecond);

// One 弱点練習 hand: problems of the level built again until one has a wait of the shape.
// "fit" is the share of problems built that had one.
void BM_WeakShapeHand(benchmark::State& state) {
    const auto level = static_cast<std::int32_t>(state.range(0));
    const auto shape = static_cast<engine::WaitShape>(state.range(1));
    engine::Mt19937Random rnd(seed);
    engine::Mondai m(rnd);
    double draws = 0;
    for (auto _ : state) {
        draws += engine::buildShapeProblem(m, level, 0, 0, shape);
        benchmark::DoNotOptimize(m.Tehai);
    }
    state.counters["fit"] = static_cast<double>(state.iterations()) / draws;
    state.SetLabel(engine::shapeName(shape));
}
BENCHMARK(BM_WeakShapeHand)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3, 4}})
    ->ArgNames({"level", "shape"})
    ->Unit(benchmark::kMicrosecond);

} // namespace
