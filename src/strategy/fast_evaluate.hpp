// The category of five cards given by deck index, from tables keyed by the rank pattern.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "rules/evaluate.hpp"

// Per deck index: the rank's bit (two is bit 0, ace bit 12), the suit's bit and the rank's
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
    std::array<std::int8_t, 4 * 8192> distinct;
    std::array<std::uint8_t, 8192> rank_total;  // bits set in each mask: no popcnt instruction
};

void build_rank_table(RankTable& table);

// A group of equal ranks decides the category alone: flushes and straights need five different
// ranks. The joker joins the largest group.
constexpr HandCategory group_category(int joker, int distinct, int largest) {
    const int cards = hand_size - joker;
    if (joker == 0) {
        if (distinct == 2) return largest == 4 ? 3 : 4;  // four of a kind, or three and a pair
        if (distinct == 3) return largest == 3 ? 7 : 8;  // three of a kind, or two pair
        return no_win;                                   // one pair
    }
    if (distinct == 1) return 0;                     // the joker with four of a kind
    if (distinct == 2) return largest == 3 ? 3 : 4;  // with three of a kind, or with two pair
    return distinct == cards - 1 ? 7 : no_win;       // with one pair
}

// The five deck indices must differ.
inline HandCategory fast_category(const RankTable& table, const int* cards) {
    const CardBits& bits = table.bits;
    unsigned ranks = 0;
    unsigned suits = 0;
    std::uint64_t counts = 0;
    int joker = 0;
    for (int i = 0; i < hand_size; ++i) {
        const int c = cards[i];
        joker |= c == joker_index;
        ranks |= bits.rank_bit[c];
        suits |= bits.suit_bit[c];
        counts += bits.rank_count[c];
    }
    const int distinct = table.rank_total[ranks];
    if (distinct == hand_size - joker) {
        const int flush = (suits & (suits - 1)) == 0;
        return table.distinct[(joker * 2 + flush) * 8192 + ranks];
    }
    // A 4-bit counter of 3 or 4 carries into its top bit when 5 is added (4 when adding 4).
    constexpr std::uint64_t top_bits = 0x8888888888888ULL;
    int largest = 2;
    if ((counts + 0x4444444444444ULL) & top_bits) {
        largest = 4;
    } else if ((counts + 0x5555555555555ULL) & top_bits) {
        largest = 3;
    }
    return group_category(joker, distinct, largest);
}
