// The fast category: a hand's category from rank masks, suit masks and rank counters added card by
// card, with a table filled from evaluate_hand.
#pragma once

#include <array>
#include <cstdint>

#include "rules/evaluate.hpp"
#include "strategy/numbers.hpp"

// ---- The fast category

// Per card number: the rank's bit, the suit's bit and the rank's 4-bit counter; the joker has
// none of them.
struct CardBits {
    std::array<std::uint16_t, deck_size> rank_bit;
    std::array<std::uint8_t, deck_size> suit_bit;
    std::array<std::uint64_t, deck_size> rank_count;
};

// A 4-bit counter per rank, all in one word, holding value.
constexpr std::uint64_t in_every_counter(std::uint64_t value) {
    std::uint64_t word = 0;
    for (int rank = 0; rank < rank_count; ++rank)
        word |= value << (4 * rank);
    return word;
}
static_assert(4 * rank_count <= 64, "a counter per rank fits in a word");

// The category of every hand whose cards other than the joker all differ in rank, by joker and
// flush ((joker * 2 + flush) * rank_mask_count + rank mask). It is filled from evaluate_hand
// itself, and the whole evaluator is checked against evaluate_hand on every hand of the deck.
inline constexpr int distinct_kinds = 2 * 2;
struct RankTable {
    CardBits bits;
    std::array<HandCategory, distinct_kinds * rank_mask_count> distinct;
    std::array<std::uint8_t, rank_mask_count> rank_total;  // bits set in each mask, as a table
};

void build_rank_table(RankTable& table);

// A group of equal ranks decides the category alone: flushes and straights need five different
// ranks. The joker joins the largest group.
constexpr HandCategory group_category(int joker, int distinct, int largest) {
    const int cards = hand_size - joker;
    using enum HandCategory;
    if (joker == 0) {
        if (distinct == 2) return largest == 4 ? four_card : full_house;
        if (distinct == 3) return largest == 3 ? three_card : two_pair;
        return no_win;  // one pair
    }
    if (distinct == 1) return five_card;                              // with four of a kind
    if (distinct == 2) return largest == 3 ? four_card : full_house;  // with three, or two pair
    return distinct == cards - 1 ? three_card : no_win;               // with one pair
}

// What the category needs of some cards: their rank mask, suit mask, rank counters and the joker.
struct CardMix {
    unsigned ranks = 0;
    unsigned suits = 0;
    std::uint64_t counts = 0;
    int joker = 0;
};

inline CardMix add_card(const RankTable& table, CardMix mix, int card) {
    mix.joker |= card == joker_number;
    mix.ranks |= table.bits.rank_bit[card];
    mix.suits |= table.bits.suit_bit[card];
    mix.counts += table.bits.rank_count[card];
    return mix;
}

// The category of five different cards.
inline HandCategory mix_category(const RankTable& table, const CardMix& mix) {
    const int distinct = table.rank_total[mix.ranks];
    if (distinct == hand_size - mix.joker) {
        // One suit bit set: x & (x - 1) clears the lowest bit and leaves nothing.
        const int flush = (mix.suits & (mix.suits - 1)) == 0;
        return table.distinct[(mix.joker * 2 + flush) * rank_mask_count + mix.ranks];
    }
    // A counter of 4 carries into its top bit when 4 is added, and one of 3 or more when 5 is
    // (4 + 5 = 9 still stays within the counter).
    constexpr std::uint64_t top_bits = in_every_counter(8);
    int largest = 2;
    if ((mix.counts + in_every_counter(4)) & top_bits) {
        largest = 4;
    } else if ((mix.counts + in_every_counter(5)) & top_bits) {
        largest = 3;
    }
    return group_category(mix.joker, distinct, largest);
}

// The five card numbers must differ.
inline HandCategory fast_category(const RankTable& table, const int* cards) {
    CardMix mix;
    for (int i = 0; i < hand_size; ++i)
        mix = add_card(table, mix, cards[i]);
    return mix_category(table, mix);
}
