// Hold patterns from the cards kept: the classification a player applies, shared by one hand's
// placement in a chart and the walk over every deal.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "strategy/chart.hpp"
#include "strategy/numbers.hpp"

// The cards a hold keeps: the joker or not, and the others by rank bit (0 the two, 12 the ace)
// and suit (0 to 3, spades, hearts, clubs, diamonds).
struct KeptCards {
    bool joker = false;
    int count = 0;
    std::array<std::int8_t, hand_size> rank{};
    std::array<std::int8_t, hand_size> suit{};
};

inline void keep_card_number(KeptCards& kept, int number) {
    if (number == joker_number) {
        kept.joker = true;
        return;
    }
    kept.rank[kept.count] = static_cast<std::int8_t>(rank_bit_of_number(number));
    kept.suit[kept.count] = static_cast<std::int8_t>(suit_of_number(number));
    ++kept.count;
}

PatternCode classify(const KeptCards& kept);

// The broader patterns a pattern falls under: a draw to a royal, straight flush or straight of
// any number of straights ("3 to a S.Flush" takes the royals too). Returns how many.
int broader_patterns(PatternCode pattern, std::array<PatternCode, 2>& broader);

// Whether a line of this pattern takes a hold of that one: the same, or a broader one.
bool pattern_covers(PatternCode line, PatternCode pattern);

// Up to five small numbers sorted from the largest down and packed, the largest in the highest
// bits: of two such lists of the same length, the larger number is the one that starts larger.
constexpr std::uint32_t packed_descending(std::array<int, hand_size> values, int count, int bits) {
    std::uint32_t packed = 0;
    for (int i = 0; i < count && i < hand_size; ++i) {
        int largest = i;
        for (int k = i + 1; k < count && k < hand_size; ++k)
            largest = values[k] > values[largest] ? k : largest;
        const int value = values[largest];
        values[largest] = values[i];
        packed |= static_cast<std::uint32_t>(value) << (bits * (hand_size - 1 - i));
    }
    return packed;
}
static_assert(packed_descending({3, 9, 5, 0, 0}, 3, 4) == 0x95300);

// The tie rule's last word, for holds of the same ranks: each card as its rank then its suit
// (spades first), highest first. suit_named renames the suits.
inline std::uint32_t suit_key(const KeptCards& kept,
                              const std::array<int, suit_count>& suit_named) {
    std::array<int, hand_size> cards{};
    for (int i = 0; i < kept.count && i < hand_size; ++i)
        cards[i] = kept.rank[i] * suit_count + (suit_count - 1 - suit_named[kept.suit[i]]);
    return packed_descending(cards, kept.count, 6);
}
inline constexpr std::array<int, suit_count> suits_as_dealt{0, 1, 2, 3};

// Of two holds of one pattern, the tie rule keeps the one whose key is larger: the ranks kept,
// highest first, four bits each.
std::uint32_t rank_key(const KeptCards& kept);

// The straights, five ranks in a row from 2-6 to T-A (the ace counts only high), that hold every
// rank of the mask.
constexpr int straight_ways(unsigned rank_mask) {
    int ways = 0;
    for (int low = 0; low + hand_size <= rank_count; ++low) {
        const unsigned straight = ((1U << hand_size) - 1) << low;
        ways += (rank_mask & ~straight) == 0;
    }
    return ways;
}
static_assert(straight_ways(1U << 12) == 1 && straight_ways(1U << 8) == 5 &&
              straight_ways(0x0F << 3) == 2 && straight_ways(1U | 1U << 12) == 0);
