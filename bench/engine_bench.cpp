// Judging one hand, explaining its waits and building one whole problem, on hands from a fixed seed.
#include "engine/explain.h"
#include "engine/mondai.h"
#include "engine/practice.h"
#include "engine/shanten.h"

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

std::vector<std::array<engine::Hai, 13>> handsOf13(int count) {
    std::vector<std::array<engine::Hai, 13>> hands;
    for (const auto& t : problemHands(count)) {
        std::array<engine::Hai, 13> hand{};
        std::copy(t.begin(), t.begin() + 13, hand.begin());
        hands.push_back(hand);
    }
    return hands;
}

void BM_Explain(benchmark::State& state) {
    const auto hands = handsOf13(3000);
    std::size_t i = 0;
    for (auto _ : state) {
        auto e = engine::explain(hands[i]);
        benchmark::DoNotOptimize(e);
        i = i + 1 == hands.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Explain)->Unit(benchmark::kMicrosecond);

// All the explanation window asks of the engine for a ready hand: the waits with their splits,
// the readings with their waiting parts, and the copies left of each wait.
void BM_ExplainFull(benchmark::State& state) {
    const auto hands = handsOf13(3000);
    std::size_t i = 0;
    for (auto _ : state) {
        auto e = engine::explain(hands[i]);
        auto r = engine::readings(e);
        int left = 0;
        for (const auto& w : e.waits) left += engine::copiesLeft(hands[i], w.tile);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(left);
        i = i + 1 == hands.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExplainFull)->Unit(benchmark::kMicrosecond);

// Shanten and the effective tiles with their copies left, on the hands the game deals with
// ノーテンあり (a fifth not ready) and on hands of random tiles.
void BM_Distance(benchmark::State& state) {
    auto hands = handsOf13(3000);
    if (state.range(0) == 1) {
        engine::Mt19937Random rnd(seed);
        for (auto& hand : hands) {
            std::array<int, 38> held{};
            for (auto& t : hand) {
                do
                    t = static_cast<engine::Hai>(static_cast<int>(rnd.Rnd() * 34.0f) / 9 * 10 +
                                                 static_cast<int>(rnd.Rnd() * 9.0f) + 1);
                while (!engine::isTile(t) || held[static_cast<std::size_t>(t)] >= 4);
                ++held[static_cast<std::size_t>(t)];
            }
        }
    }
    std::size_t i = 0;
    for (auto _ : state) {
        auto d = engine::distance(hands[i]);
        benchmark::DoNotOptimize(d);
        i = i + 1 == hands.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Distance)->Arg(0)->Arg(1)->ArgName("random")->Unit(benchmark::kMicrosecond);

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
