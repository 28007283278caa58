// Card numbers of the strategy engine (the joker first) and the counting tables its inner loops
// look up: binomials, draws by hold size, where the sets of each size begin.
#pragma once

#include <array>
#include <cstdint>

#include "rules/card.hpp"
#include "strategy/strategy.hpp"

// ---- Card numbers

// Cards are numbered here so that the joker comes first: card 0 is the joker, and suit s (0 to 3,
// spades, hearts, clubs, diamonds) holds cards 1 + 13 * s (its two) to 13 + 13 * s (its ace). The
// joker is then the lowest card of every set it is in. Other than the joker, a card's number is
// its deck index plus one.
inline constexpr int joker_number = 0;
constexpr int card_number(int suit, int rank_bit) {
    return 1 + rank_count * suit + rank_bit;
}
constexpr int suit_of_number(int number) {
    return (number - 1) / rank_count;
}
constexpr int rank_bit_of_number(int number) {
    return (number - 1) % rank_count;
}
constexpr int card_number(Card card) {
    return is_joker(card) ? joker_number : index_of_card(card) + 1;
}
static_assert(card_number(card_of_index(0)) == card_number(0, 0) &&
                  card_number(card_of_index(joker_index - 1)) ==
                      card_number(suit_count - 1, rank_count - 1),
              "deck indices run two to ace through the suits, as card numbers do");

// ---- Counting

// choose(n, k) for n up to the deck size and k up to five, as a table for the inner loops.
inline constexpr auto binomial = [] {
    std::array<std::array<std::uint32_t, hand_size + 1>, deck_size + 1> table{};
    for (int n = 0; n <= deck_size; ++n)
        for (int k = 0; k <= hand_size; ++k)
            table[n][k] = static_cast<std::uint32_t>(choose(n, k));
    return table;
}();

// The cards a hold draws from, and the number of draws of a hold of k cards.
inline constexpr int cards_left = deck_size - hand_size;
inline constexpr auto draw_count = [] {
    std::array<std::int64_t, hand_size + 1> counts{};
    for (int kept = 0; kept <= hand_size; ++kept)
        counts[kept] = choose(cards_left, hand_size - kept);
    return counts;
}();

// The largest subsets the tables keep: a hold of all five cards draws nothing.
inline constexpr int largest_set = hand_size - 1;

// Sets of k cards, k = 0 to 4, follow one another in one table: set i of size k is entry
// set_offset[k] + i.
inline constexpr auto set_offset = [] {
    std::array<int, largest_set + 1> offsets{};
    for (int size = 1; size <= largest_set; ++size)
        offsets[size] = offsets[size - 1] + static_cast<int>(choose(deck_size, size - 1));
    return offsets;
}();
inline constexpr int set_total =
    set_offset[largest_set] + static_cast<int>(choose(deck_size, largest_set));

// Rank masks: bit 0 the two, bit 12 the ace.
inline constexpr int rank_mask_count = 1 << rank_count;
constexpr int rank_bit_of_rank(int rank) {
    return (rank + rank_count - 1) % rank_count;
}
// The ranks of a royal, ten to ace, are the mask's top bits from the ten's.
inline constexpr int ten_rank_bit = rank_bit_of_rank(ten_rank);
static_assert(rank_bit_of_rank(ace_rank) == rank_count - 1 && ten_rank_bit == 8);
inline constexpr unsigned all_suits = (1U << suit_count) - 1;
