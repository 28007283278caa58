// The exact value of each of the 32 holds of a hand: totals over every set of up to four cards,
// kept once per suit class, combined by inclusion-exclusion over the cards thrown away.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "rules/card.hpp"
#include "rules/evaluate.hpp"
#include "strategy/fast_evaluate.hpp"
#include "strategy/suit_classes.hpp"

inline constexpr int category_count = 9;  // the paying rows of payout_table
inline constexpr int hold_count = 32;

// Multipliers in the order of payout_table.
using PayTable = std::array<std::int64_t, category_count>;
PayTable game_pay_table();

// A hold of k cards draws 5 - k of the 48 cards left, in choose(48, 5 - k) ways. Every hold's
// value is a whole number of units of 1 / value_denominator, the least common multiple of those.
inline constexpr std::int64_t value_denominator = 8561520;
inline constexpr std::array<std::int64_t, hand_size + 1> draw_count{1712304, 194580, 17296,
                                                                    1128,    48,     1};

// Sets of k cards, k = 0 to 4, follow one another: set i of size k is entry set_offset[k] + i.
inline constexpr std::array<int, hand_size> set_offset{0, 1, 54, 1432, 24858};
inline constexpr int set_total = 317683;
// Classes likewise: class i of size k is class_offset[k] + i.
inline constexpr std::array<int, hand_size> class_offset{0, 1, 15, 197, 2121};
inline constexpr int class_total = 20308;

using CategoryCounts = std::array<std::uint32_t, category_count>;

// For every set of up to four cards, how many five-card hands of the deck contain it, by final
// category. Independent of the pay table; about 1.6 MB.
struct SubsetTables {
    std::array<std::uint16_t, set_total> class_of;  // the class of each set (a class entry)
    std::array<SuitClass, class_total> classes;
    std::array<CategoryCounts, class_total> counts;
    RankTable ranks;
};

// Fills the tables; threads (1 or 2) share the largest step.
void build_subset_tables(SubsetTables& tables, int threads = 1);

// The pay summed over the hands that contain each class's set, for one pay table.
struct PayTotals {
    PayTable pays;
    std::array<std::int64_t, class_total> total;
};

void build_pay_totals(const SubsetTables& tables, const PayTable& pays, PayTotals& totals);

// Per hold (bit i keeps card i): how many cards it keeps, the highest of them, and the factor
// that turns its pay total into units of 1 / value_denominator.
struct HoldShape {
    std::array<std::uint8_t, hold_count> kept;
    std::array<std::uint8_t, hold_count> highest;
    std::array<std::int64_t, hold_count> scale;
};
inline constexpr HoldShape hold_shape = [] {
    HoldShape shape{};
    for (unsigned hold = 0; hold < hold_count; ++hold) {
        shape.kept[hold] = static_cast<std::uint8_t>(std::popcount(hold));
        shape.highest[hold] = static_cast<std::uint8_t>(hold == 0 ? 0 : std::bit_width(hold) - 1);
        shape.scale[hold] = value_denominator / draw_count[shape.kept[hold]];
    }
    return shape;
}();

// What the holds of five different ascending deck indices keep: the class of each hold's cards
// (all but the whole hand) and the category of the whole hand.
struct HandSets {
    std::array<std::uint16_t, hold_count - 1> set_class;
    HandCategory dealt;
};

inline void find_hand_sets(const SubsetTables& tables, const int* ascending, HandSets& sets) {
    // A hold's set adds its highest card to the set of the hold without it.
    std::array<std::uint32_t, hold_count - 1> index{};
    sets.set_class[0] = tables.class_of[0];
#pragma GCC unroll 32
    for (unsigned hold = 1; hold < hold_count - 1; ++hold) {
        const int kept = hold_shape.kept[hold];
        const int highest = hold_shape.highest[hold];
        index[hold] = index[hold ^ (1U << highest)] + binomial[ascending[highest]][kept];
        sets.set_class[hold] = tables.class_of[set_offset[kept] + index[hold]];
    }
    sets.dealt = fast_category(tables.ranks, ascending);
}

// For each hold, the pay summed over its draws.
inline void hold_totals(const PayTotals& totals, const HandSets& sets,
                        std::array<std::int64_t, hold_count>& sums) {
#pragma GCC unroll 32
    for (unsigned hold = 0; hold < hold_count - 1; ++hold)
        sums[hold] = totals.total[sets.set_class[hold]];
    sums[hold_count - 1] = sets.dealt == no_win ? 0 : totals.pays[sets.dealt];
    // The hands that contain the hold but none of the cards thrown away: take away, for each
    // card thrown away, the hands containing it too, and so on.
    auto throw_away = [&sums](unsigned bit) {
#pragma GCC unroll 32
        for (unsigned hold = 0; hold < hold_count; ++hold) {
            if ((hold & bit) == 0) sums[hold] -= sums[hold | bit];
        }
    };
    throw_away(1);
    throw_away(2);
    throw_away(4);
    throw_away(8);
    throw_away(16);
}

// The values of a hand's holds. Bit p of a hold keeps the card at position p of the hand.
struct HoldValues {
    std::array<std::int64_t, hold_count> value;  // expected payout per unit bet, in units of
                                                 // 1 / value_denominator
    std::array<std::uint8_t, hold_count> order;  // the holds best first, ties in hold order
    int best_count;                              // how many holds share the best value
};

// The deck index of a card (an ace may be rank 0 or, after sort_hand, 13).
int deck_index(Card card);

// The hand's five cards must differ.
HoldValues hold_values(const SubsetTables& tables, const PayTotals& totals, const Hand& hand);

// The first of the best holds, without ranking the others.
unsigned first_best_hold(const SubsetTables& tables, const PayTotals& totals, const Hand& hand);

// The first best hold of the hand under the game's own pay table, as the hold flags the hold
// phase uses (1 held, 0 not). The tables live in static storage, built on the first call.
// False, with the flags untouched, unless the hand holds five different cards.
bool best_hold_flags(const Hand& hand, std::array<std::int8_t, hand_size>& flags);
