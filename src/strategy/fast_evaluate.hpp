// The category of five cards given by card number, from tables keyed by the rank pattern.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "rules/evaluate.hpp"

// Cards are numbered here so that the joker comes first: card 0 is the joker, and suit s (0 to 3,
// spades, hearts, clubs, diamonds) holds cards 1 + 13 * s (its two) to 13 + 13 * s (its ace).
// The joker is then the lowest card of every set it is in.
inline constexpr int joker_number = 0;
constexpr int card_number(int suit, int rank_bit) {
    return 1 + 13 * suit + rank_bit;
}
constexpr int suit_of_number(int number) {
    return (number - 1) / 13;
}
constexpr int rank_bit_of_number(int number) {
    return (number - 1) % 13;
}

// Per card number: the rank's bit (two is bit 0, ace bit 12), the suit's bit and the rank's
// 4-bit counter; the joker has none of them.
struct CardBits {
    std::array<std::uint16_t, deck_size> rank_bit;
    std::array<std::uint8_t, deck_size> suit_bit;
    std::array<std::uint64_t, deck_size> rank_count;
};

// The category of every hand whose cards other than the joker all differ in rank, by joker,
// flush and rank mask. It is filled from evaluate_hand itself, and the whole evaluator is checked
// against evaluate_hand on every hand of the deck.
struct RankTable {
    CardBits bits;
    std::array<HandCategory, 4 * 8192> distinct;
    std::array<std::uint8_t, 8192> rank_total;  // bits set in each mask: no popcnt instruction
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
        const int flush = (mix.suits & (mix.suits - 1)) == 0;
        return table.distinct[(mix.joker * 2 + flush) * 8192 + mix.ranks];
    }
    // A 4-bit counter of 3 or 4 carries into its top bit when 5 is added (4 when adding 4).
    constexpr std::uint64_t top_bits = 0x8888888888888ULL;
    int largest = 2;
    if ((mix.counts + 0x4444444444444ULL) & top_bits) {
        largest = 4;
    } else if ((mix.counts + 0x5555555555555ULL) & top_bits) {
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
