// Evaluator speed: hands per second over a fixed mix of hands, and the whole table of every hand.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "random_hands.hpp"
#include "rules/evaluate.hpp"

namespace {

void evaluate_random_hands(benchmark::State& state) {
    const std::vector<Hand> hands = random_hands(4096);
    std::size_t next = 0;
    for (auto _ : state) {
        Hand hand = hands[next];
        next = (next + 1) % hands.size();
        benchmark::DoNotOptimize(evaluate_hand(hand));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(evaluate_random_hands);

void evaluate_every_hand(benchmark::State& state) {
    std::array<Card, deck_size> deck{};
    for (int i = 0; i < deck_size; ++i)
        deck[i] = card_of_index(i);
    for (auto _ : state) {
        std::array<long, 10> counts{};
        for (int a = 0; a < deck_size; ++a)
            for (int b = a + 1; b < deck_size; ++b)
                for (int c = b + 1; c < deck_size; ++c)
                    for (int d = c + 1; d < deck_size; ++d)
                        for (int e = d + 1; e < deck_size; ++e) {
                            Hand hand{deck[a], deck[b], deck[c], deck[d], deck[e]};
                            const HandCategory category = evaluate_hand(hand);
                            counts[category == HandCategory::no_win ? 9 : row_of(category)] += 1;
                        }
        benchmark::DoNotOptimize(counts);
    }
    state.SetItemsProcessed(state.iterations() * 2869685);
}
BENCHMARK(evaluate_every_hand)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
