// What a pay table returns under perfect play, and what the double-up gamble pays back.
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "rules/gamble.hpp"
#include "strategy/internal.hpp"

namespace {

// What one thread adds up over its share of the deals. The final categories of the best holds
// are counted at the end: each deal only notes, class by class, with what weight and sign the
// counts of the sets between its best hold and the whole hand enter.
struct DealSums {
    Wide best = 0;
    std::int64_t kept = 0;
    std::int64_t tied = 0;
    std::array<std::int64_t, category_count> dealt{};  // the whole hand's own terms
    std::vector<std::int64_t> set_weight = std::vector<std::int64_t>(class_total);
};

// A hold's draws by final category.
std::array<std::int64_t, category_count> hold_categories(const SubsetTables& tables,
                                                         const HandSets& sets, unsigned hold) {
    std::array<std::int64_t, category_count> counts{};
    const unsigned thrown = (hold_count - 1) & ~hold;
    for (unsigned added = 0;; added = (added - thrown) & thrown) {
        const std::int64_t sign = hold_shape.kept[added] & 1U ? -1 : 1;
        if (added == thrown) {
            if (sets.dealt != HandCategory::no_win) counts[row_of(sets.dealt)] += sign;
            return counts;
        }
        const CategoryCounts& found = tables.counts[sets.set_class(hold | added)];
        for (int c = 0; c < category_count; ++c)
            counts[c] += sign * found[c];
    }
}

// Of the holds of the best value, the one whose draws make the better hands more often: its
// draws, counted from Five Card down, come first in dictionary order. Holds tied both ways give
// the same final hands as often, so the categories of perfect play do not depend on how the
// cards of a deal are ordered.
unsigned richest_hold(const SubsetTables& tables, const HandSets& sets,
                      const std::array<std::int64_t, hold_count>& sums, std::int64_t best) {
    unsigned richest = hold_count;
    std::array<std::int64_t, category_count> richest_counts{};
    for (unsigned hold = 0; hold < hold_count; ++hold) {
        if (sums[hold] * hold_shape.scale[hold] != best) continue;
        const std::array<std::int64_t, category_count> counts = hold_categories(tables, sets, hold);
        // Counts of holds of different sizes compare over the same number of draws.
        bool better = richest == hold_count;
        for (int c = 0; c < category_count && !better; ++c) {
            const std::int64_t mine = counts[c] * hold_shape.scale[hold];
            const std::int64_t theirs = richest_counts[c] * hold_shape.scale[richest];
            if (mine != theirs) {
                better = mine > theirs;
                break;
            }
        }
        if (better) {
            richest = hold;
            richest_counts = counts;
        }
    }
    return richest;
}

void add_deals(const SubsetTables& tables, const PayTotals& totals, int part, int parts,
               DealSums& result) {
    // Added up here and handed over at the end, so two threads never write one cache line.
    DealSums out;
    for_each_deal(
        tables, totals,
        [&](const SuitClass& deal, const int*, const HandSets& sets,
            const std::array<std::int64_t, hold_count>& sums) {
            // The first hold of the highest value, and how many reach it.
            std::int64_t best = -1;
            unsigned best_hold = 0;
            int ties = 0;
#pragma GCC unroll 32
            for (unsigned hold = 0; hold < hold_count; ++hold) {
                const std::int64_t value = sums[hold] * hold_shape.scale[hold];
                const bool above = value > best;
                ties = above ? 1 : ties + (value == best);
                best_hold = above ? hold : best_hold;
                best = above ? value : best;
            }
            if (ties > 1) best_hold = richest_hold(tables, sets, sums, best);
            const int weight = deal.weight;
            out.best += static_cast<Wide>(best) * weight;
            out.kept += sums[hold_count - 1] * weight;
            if (ties > 1) out.tied += weight;

            const std::int64_t factor = hold_shape.scale[best_hold] * weight;
            const unsigned thrown = (hold_count - 1) & ~best_hold;
            for (unsigned added = 0; added != thrown; added = (added - thrown) & thrown) {
                const std::int64_t signed_factor = hold_shape.kept[added] & 1U ? -factor : factor;
                out.set_weight[sets.set_class(best_hold | added)] += signed_factor;
            }
            if (sets.dealt != HandCategory::no_win)
                out.dealt[row_of(sets.dealt)] += hold_shape.kept[thrown] & 1U ? -factor : factor;
        },
        part, parts);
    result = std::move(out);
}

}  // namespace

TableAnalysis analyse_pay_table(const SubsetTables& tables, const PayTotals& totals, int threads) {
    DealSums sums[2];
    if (threads > 1) {
        std::thread helper([&] { add_deals(tables, totals, 1, 2, sums[1]); });
        add_deals(tables, totals, 0, 2, sums[0]);
        helper.join();
    } else {
        add_deals(tables, totals, 0, 1, sums[0]);
    }

    TableAnalysis analysis{};
    analysis.pays = totals.pays;
    const Wide all = static_cast<Wide>(deal_count) * value_denominator;
    analysis.perfect_return = make_fraction(sums[0].best + sums[1].best, all);
    analysis.keep_return = make_fraction(sums[0].kept + sums[1].kept, deal_count);
    analysis.tied_deals = sums[0].tied + sums[1].tied;
    std::array<Wide, category_count> categories{};
    for (const DealSums& part : sums) {
        for (int c = 0; c < category_count; ++c)
            categories[c] += part.dealt[c];
        for (int i = 0; i < class_total; ++i) {
            if (part.set_weight[i] == 0) continue;
            for (int c = 0; c < category_count; ++c)
                categories[c] += static_cast<Wide>(part.set_weight[i]) * tables.counts[i][c];
        }
    }
    Wide paying = 0;
    for (int c = 0; c < category_count; ++c) {
        analysis.probability[c] = make_fraction(categories[c], all);
        paying += categories[c];
    }
    analysis.probability[category_count] = make_fraction(all - paying, all);
    analysis.double_up = double_up_value();
    return analysis;
}

TableAnalysis analyse_pay_table(const PayTable& pays, int threads) {
    // Every entry is written before it is read: no need to clear the memory first.
    std::unique_ptr<SubsetTables> tables(new SubsetTables);
    std::unique_ptr<PayTotals> totals(new PayTotals);
    build_subset_tables(*tables, threads);
    build_pay_totals(*tables, pays, *totals);
    return analyse_pay_table(*tables, *totals, threads);
}

TableAnalysis analyse_pay_table(const PayTable& pays) {
    // On two idle cores, two threads take about a quarter less time than one
    // (bench/strategy_bench).
    return analyse_pay_table(pays, 2);
}

namespace {

// The gamble dealt from the cards still in the deck, left of them. The dealer's card is each of
// them in turn: an ace is set aside and the dealer's card dealt again from the rest; any other
// card is played against each card left after it. The card picked is one of four dealt face down
// from those, so each of them is as likely; a dealer's joker pays whatever is picked.
Fraction gamble_from(std::array<bool, deck_size>& in_deck, int left) {
    Fraction redealt{0, 1};
    std::int64_t factors = 0;  // summed over every dealer card played and every pick
    for (int dealt = 0; dealt < deck_size; ++dealt) {
        if (!in_deck[dealt]) continue;
        const Card dealer = card_of_index(dealt);
        in_deck[dealt] = false;
        if (dealer_card_redealt(dealer)) {
            redealt = redealt + gamble_from(in_deck, left - 1) * Fraction{1, left};
        } else {
            for (int picked = 0; picked < deck_size; ++picked)
                if (in_deck[picked]) factors += gamble_factor(dealer, card_of_index(picked));
        }
        in_deck[dealt] = true;
    }
    return redealt + make_fraction(factors, static_cast<Wide>(left) * (left - 1));
}

}  // namespace

Fraction double_up_value() {
    std::array<bool, deck_size> in_deck;
    in_deck.fill(true);
    return gamble_from(in_deck, deck_size);
}
