#include <gtest/gtest.h>

#include <array>

#include "rules/evaluate.hpp"
#include "support/every_hand.hpp"

namespace {

// Every five-card hand the 53-card deck can deal, counted by category (the last slot: no win).
std::array<long, 10> count_all_hands() {
    std::array<long, 10> counts{};
    for_each_hand([&](const DeckIndices& c) {
        const HandCategory category = evaluate_hand(hand_of(c));
        counts[category == HandCategory::no_win ? 9 : row_of(category)] += 1;
    });
    return counts;
}

TEST(EvaluateEveryHand, CountsEachCategory) {
    const std::array<long, 10> counts = count_all_hands();
    EXPECT_EQ(counts[0], 13) << "Five Card";
    EXPECT_EQ(counts[1], 24) << "R.S.Flush";
    EXPECT_EQ(counts[2], 160) << "S.FLush";
    // The remaining rows were counted once by this evaluator and are kept to catch any change.
    const std::array<long, 10> expected{13,   24,    160,    3120,   6552,
                                        7824, 18504, 137280, 123552, 2572656};
    EXPECT_EQ(counts, expected);
    long total = 0;
    for (long n : counts)
        total += n;
    EXPECT_EQ(total, 2869685);
}

}  // namespace
