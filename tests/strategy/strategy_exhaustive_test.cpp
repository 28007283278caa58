// Whole-deck checks of the strategy: the fast evaluator against evaluate_hand on every hand, and
// the game's table computed again over every deal without suit classes or the fast evaluator.
#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <vector>

#include "strategy/chart.hpp"
#include "strategy/internal.hpp"
#include "support/every_hand.hpp"

namespace {

TEST(FastEvaluator, AgreesWithEvaluateHandOnEveryHand) {
    std::unique_ptr<RankTable> table(new RankTable);
    build_rank_table(*table);
    for_each_hand([&](const DeckIndices& c) {
        const Hand hand = hand_of(c);
        int numbers[hand_size];
        for (int i = 0; i < hand_size; ++i)
            numbers[i] = card_number(hand[i]);
        const HandCategory expected = evaluate_hand(hand);
        ASSERT_EQ(fast_category(*table, numbers), expected) << c[0] << c[1] << c[2] << c[3] << c[4];
    });
}

using Counts = std::array<std::int64_t, category_count>;

TEST(PayTable, AgainDealByDealWithoutSuitClasses) {
    const PayTable pays = game_pay_table();
    // For every set of up to four deck indices (set_offset[k] + its index among the sets of k
    // cards), the hands containing it by category; every hand's category by its index.
    std::vector<Counts> containing(set_total);
    std::vector<HandCategory> category(deal_count);
    auto subset_entry = [](const DeckIndices& c, unsigned subset) {
        int size = 0;
        std::uint32_t index = 0;
        for (int i = 0; i < hand_size; ++i)
            if (subset & (1U << i)) index += binomial[c[i]][++size];
        return size < hand_size ? set_offset[size] + index : index;
    };
    for_each_hand([&](const DeckIndices& c) {
        const HandCategory found = evaluate_hand(hand_of(c));
        category[subset_entry(c, hold_count - 1)] = found;
        if (found == HandCategory::no_win) return;
        for (unsigned subset = 0; subset < hold_count - 1; ++subset)
            containing[subset_entry(c, subset)][row_of(found)] += 1;
    });

    Wide best_total = 0;
    std::int64_t kept = 0;
    std::int64_t tied = 0;
    Counts final_counts{};
    for_each_hand([&](const DeckIndices& c) {
        // By hold: the hands that keep exactly its cards of the deal, by category. Start from
        // the hands containing the hold, then take away those containing each other card too.
        const HandCategory whole = category[subset_entry(c, hold_count - 1)];
        std::array<Counts, hold_count> draws{};
        for (unsigned set = 0; set < hold_count - 1; ++set)
            draws[set] = containing[subset_entry(c, set)];
        if (whole != HandCategory::no_win) draws[hold_count - 1][row_of(whole)] = 1;
        for (unsigned bit = 1; bit < hold_count; bit <<= 1)
            for (unsigned hold = 0; hold < hold_count; ++hold)
                if ((hold & bit) == 0)
                    for (int k = 0; k < category_count; ++k)
                        draws[hold][k] -= draws[hold | bit][k];
        // The best value; of the holds reaching it, the one whose draws make the better hands
        // more often. Draws count in units of 1 / value_denominator, as values do.
        std::int64_t best = -1;
        unsigned chosen = 0;
        int reaching = 0;
        for (unsigned hold = 0; hold < hold_count; ++hold) {
            std::int64_t value = 0;
            for (int k = 0; k < category_count; ++k) {
                draws[hold][k] *= hold_shape.scale[hold];
                value += pays[k] * draws[hold][k];
            }
            if (value > best || (value == best && draws[hold] > draws[chosen])) chosen = hold;
            reaching = value > best ? 1 : reaching + (value == best);
            best = value > best ? value : best;
        }
        best_total += best;
        tied += reaching > 1;
        kept += whole == HandCategory::no_win ? 0 : pays[row_of(whole)];
        for (int k = 0; k < category_count; ++k)
            final_counts[k] += draws[chosen][k];
    });

    const TableAnalysis analysis = analyse_pay_table(pays, 2);
    const Wide all = static_cast<Wide>(deal_count) * value_denominator;
    EXPECT_EQ(analysis.perfect_return, make_fraction(best_total, all));
    EXPECT_EQ(analysis.keep_return, make_fraction(kept, deal_count));
    EXPECT_EQ(analysis.tied_deals, tied);
    for (int k = 0; k < category_count; ++k)
        EXPECT_EQ(analysis.probability[k], make_fraction(final_counts[k], all)) << "category " << k;
}

// The game's chart played hand by hand, as a player would, with each hold's value from the game's
// hold values: the same return and the same deals per line as its walk by suit classes.
TEST(PayTable, AgainDealByDealByTheChart) {
    const Chart& chart = game_chart();
    Wide played = 0;
    std::vector<std::int64_t> deals(chart.lines.size());
    for_each_hand([&](const DeckIndices& c) {
        const Hand hand = hand_of(c);
        ChartPlace place{};
        HoldValues values{};
        ASSERT_TRUE(place_in_chart(chart, hand, place) && game_hold_values(hand, values));
        played += values.value[place.hold];
        deals[static_cast<std::size_t>(place.line)] += 1;
    });
    const ChartReport report = check_chart(game_pay_table(), chart);
    EXPECT_EQ(report.chart_return,
              make_fraction(played, static_cast<Wide>(deal_count) * value_denominator));
    for (std::size_t line = 0; line < deals.size(); ++line)
        EXPECT_EQ(deals[line], report.lines[line].deals) << "line " << line + 1;
}

}  // namespace
