// The exact value of each of the 32 holds of a hand: totals over every set of up to four cards,
// kept once per suit class, combined by inclusion-exclusion over the cards thrown away.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "rules/card.hpp"
#include "rules/evaluate.hpp"
#include "strategy/fast_evaluate.hpp"
#include "strategy/suit_classes.hpp"

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

// Turns totals over the sets containing each subset into totals over the sets containing it but
// none of the other cards: for each card in turn, takes away the sets that contain it too. The
// bits are constants so that the compiler lays the steps out without a branch.
template <std::size_t count>
inline void keep_only(std::array<std::int64_t, count>& totals) {
    auto take_away = [&totals](unsigned bit) {
#pragma GCC unroll 32
        for (unsigned u = 0; u < count; ++u) {
            if ((u & bit) == 0) totals[u] -= totals[u | bit];
        }
    };
#pragma GCC unroll 5
    for (unsigned bit = 1; bit < count; bit <<= 1)
        take_away(bit);
}

// What the holds of a hand share with every hand of the same four lowest cards: for each
// subset of those four (bit i keeps the ith lowest card), the index and class of its set, and its
// pay totals combined over the subsets containing it, with the sign of the cards they add.
struct LowFour {
    std::array<int, 4> cards;
    CardMix mix;
    std::array<std::uint32_t, 16> index;
    std::array<std::uint16_t, 16> set_class;
    std::array<std::int64_t, 16> totals;
};

inline void find_low_four(const SubsetTables& tables, const PayTotals& totals, const int* cards,
                          LowFour& low) {
    // Each subset adds its highest card to the subset without it.
    low.index[0] = 0;
#pragma GCC unroll 16
    for (unsigned u = 1; u < 16; ++u) {
        const int kept = hold_shape.kept[u];
        const int highest = hold_shape.highest[u];
        low.index[u] = low.index[u ^ (1U << highest)] + binomial[cards[highest]][kept];
    }
#pragma GCC unroll 16
    for (unsigned u = 0; u < 16; ++u) {
        low.set_class[u] = tables.class_of[set_offset[hold_shape.kept[u]] + low.index[u]];
        low.totals[u] = totals.total[low.set_class[u]];
    }
    keep_only(low.totals);
    low.mix = CardMix{};
    for (int i = 0; i < 4; ++i) {
        low.cards[i] = cards[i];
        low.mix = add_card(tables.ranks, low.mix, cards[i]);
    }
}

// What the holds of a hand keep: the class of each hold's cards (all but the whole hand) and the
// category of the whole hand. Bit i of a hold keeps the ith lowest card.
struct HandSets {
    const LowFour* low;
    std::array<std::uint16_t, 15> with_fifth_class;  // hold 16 + u: the subset u and the fifth
    HandCategory dealt;

    std::uint16_t set_class(unsigned hold) const {
        return hold & 16U ? with_fifth_class[hold & 15U] : low->set_class[hold];
    }
};

// For the hand of the four lowest cards and a higher fifth: each hold's pay summed over its
// draws, counting the hands that contain the hold but none of the cards thrown away.
inline void hold_totals(const SubsetTables& tables, const PayTotals& totals, const LowFour& low,
                        int fifth, HandSets& sets, std::array<std::int64_t, hold_count>& sums) {
    sets.low = &low;
    sets.dealt = mix_category(tables.ranks, add_card(tables.ranks, low.mix, fifth));
    // The sets with the fifth card: a subset of the four, and the fifth as its highest card.
    std::array<std::int64_t, 16> with_fifth;
#pragma GCC unroll 16
    for (unsigned u = 0; u < 15; ++u) {
        const int kept = hold_shape.kept[u] + 1;
        const std::uint16_t set_class =
            tables.class_of[set_offset[kept] + low.index[u] + binomial[fifth][kept]];
        sets.with_fifth_class[u] = set_class;
        with_fifth[u] = totals.total[set_class];
    }
    with_fifth[15] = sets.dealt == HandCategory::no_win ? 0 : totals.pays[row_of(sets.dealt)];
    keep_only(with_fifth);
    // A hold with the fifth card draws from what it keeps; one without it loses the draws that
    // bring the fifth card back.
#pragma GCC unroll 16
    for (unsigned u = 0; u < 16; ++u) {
        sums[u | 16] = with_fifth[u];
        sums[u] = low.totals[u] - with_fifth[u];
    }
}

// The values of a hand's holds. Bit p of a hold keeps the card at position p of the hand.
struct HoldValues {
    std::array<std::int64_t, hold_count> value;  // expected payout per unit bet, in units of
                                                 // 1 / value_denominator
    std::array<std::uint8_t, hold_count> order;  // the holds best first, ties in hold order
    int best_count;                              // how many holds share the best value
};

// The card number of a card.
int card_number(Card card);

// The hand's five cards must differ.
HoldValues hold_values(const SubsetTables& tables, const PayTotals& totals, const Hand& hand);

// The first of the best holds, without ranking the others.
unsigned first_best_hold(const SubsetTables& tables, const PayTotals& totals, const Hand& hand);

// The first best hold of the hand under the game's own pay table, as the hold flags the hold
// phase uses (1 held, 0 not). The tables live in static storage, built on the first call.
// False, with the flags untouched, unless the hand holds five different cards.
bool best_hold_flags(const Hand& hand, std::array<std::int8_t, hand_size>& flags);
