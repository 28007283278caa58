// The tables of set totals of one pay table, and the steps that give one hand's hold values on
// them.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "rules/evaluate.hpp"
#include "strategy/fast_category.hpp"
#include "strategy/suit_classes.hpp"

// ---- The tables

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

// ---- One hand's hold values

// The holds of the four lowest cards of a hand (bit i keeps the ith lowest), and the bit that
// adds the fifth.
inline constexpr unsigned low_hold_count = 1U << largest_set;
inline constexpr unsigned fifth_bit = low_hold_count;

// Per hold: how many cards it keeps, the highest of them, and the factor that turns its pay total
// into units of 1 / value_denominator.
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
static_assert(
    [] {
        for (const std::int64_t draws : draw_count)
            if (value_denominator % draws != 0) return false;
        return true;
    }(),
    "every number of draws divides the value denominator");

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

// What the holds of a hand share with every hand of the same four lowest cards: for each subset
// of those four (bit i keeps the ith lowest card), the index and class of its set, and its pay
// totals over the draws that keep exactly it of the four.
struct LowFour {
    std::array<int, largest_set> cards;
    CardMix mix;
    std::array<std::uint32_t, low_hold_count> index;
    std::array<std::uint16_t, low_hold_count> set_class;
    std::array<std::int64_t, low_hold_count> totals;
};

inline void find_low_four(const SubsetTables& tables, const PayTotals& totals, const int* cards,
                          LowFour& low) {
    // Each subset adds its highest card to the subset without it.
    low.index[0] = 0;
#pragma GCC unroll 16
    for (unsigned u = 1; u < low_hold_count; ++u) {
        const int kept = hold_shape.kept[u];
        const int highest = hold_shape.highest[u];
        low.index[u] = low.index[u ^ (1U << highest)] + binomial[cards[highest]][kept];
    }
#pragma GCC unroll 16
    for (unsigned u = 0; u < low_hold_count; ++u) {
        low.set_class[u] = tables.class_of[set_offset[hold_shape.kept[u]] + low.index[u]];
        low.totals[u] = totals.total[low.set_class[u]];
    }
    keep_only(low.totals);
    low.mix = CardMix{};
    for (int i = 0; i < largest_set; ++i) {
        low.cards[i] = cards[i];
        low.mix = add_card(tables.ranks, low.mix, cards[i]);
    }
}

// What the holds of a hand keep: the class of each hold's cards (all but the whole hand) and the
// category of the whole hand. Bit i of a hold keeps the ith lowest card.
struct HandSets {
    const LowFour* low;
    // Hold fifth_bit + u: the subset u of the four and the fifth card.
    std::array<std::uint16_t, low_hold_count - 1> with_fifth_class;
    HandCategory dealt;

    std::uint16_t set_class(unsigned hold) const {
        return hold & fifth_bit ? with_fifth_class[hold & (fifth_bit - 1)] : low->set_class[hold];
    }
};

// For the hand of the four lowest cards and a higher fifth: each hold's pay summed over its
// draws, counting the hands that contain the hold but none of the cards thrown away.
inline void hold_totals(const SubsetTables& tables, const PayTotals& totals, const LowFour& low,
                        int fifth, HandSets& sets, std::array<std::int64_t, hold_count>& sums) {
    sets.low = &low;
    sets.dealt = mix_category(tables.ranks, add_card(tables.ranks, low.mix, fifth));
    // The sets with the fifth card: a subset of the four, and the fifth as its highest card.
    std::array<std::int64_t, low_hold_count> with_fifth;
#pragma GCC unroll 16
    for (unsigned u = 0; u + 1 < low_hold_count; ++u) {
        const int kept = hold_shape.kept[u] + 1;
        const std::uint16_t set_class =
            tables.class_of[set_offset[kept] + low.index[u] + binomial[fifth][kept]];
        sets.with_fifth_class[u] = set_class;
        with_fifth[u] = totals.total[set_class];
    }
    // The whole hand is its own one draw.
    with_fifth[low_hold_count - 1] =
        sets.dealt == HandCategory::no_win ? 0 : totals.pays[row_of(sets.dealt)];
    keep_only(with_fifth);
    // A hold with the fifth card draws from what it keeps; one without it loses the draws that
    // bring the fifth card back.
#pragma GCC unroll 16
    for (unsigned u = 0; u < low_hold_count; ++u) {
        sums[u | fifth_bit] = with_fifth[u];
        sums[u] = low.totals[u] - with_fifth[u];
    }
}

// Calls visit(deal, cards, sets, sums) for each class of deals (of this part of parts), with
// the representative's ascending card numbers and each hold's pay summed over its draws (bit i
// keeps the ith lowest card). Deals come in runs that change only the highest card, so the four
// lowest are looked up once a run.
template <class Visit>
void for_each_deal(const SubsetTables& tables, const PayTotals& totals, Visit&& visit, int part = 0,
                   int parts = 1) {
    LowFour low;
    low.cards = {-1, -1, -1, -1};
    HandSets sets;
    std::array<std::int64_t, hold_count> sums;
    for_each_suit_class(
        hand_size,
        [&](const SuitClass& deal) {
            int cards[hand_size];
            class_cards(deal, cards);
            if (cards[0] != low.cards[0] || cards[1] != low.cards[1] || cards[2] != low.cards[2] ||
                cards[3] != low.cards[3])
                find_low_four(tables, totals, cards, low);
            hold_totals(tables, totals, low, cards[4], sets, sums);
            visit(deal, static_cast<const int*>(cards), static_cast<const HandSets&>(sets),
                  static_cast<const std::array<std::int64_t, hold_count>&>(sums));
        },
        part, parts);
}

// The values of a hand's holds on tables already built. The hand's five cards must differ.
HoldValues hold_values_on(const SubsetTables& tables, const PayTotals& totals, const Hand& hand);
