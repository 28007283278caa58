// Cards: two signed bytes (suit, rank), the mapping between the 53 deck indices and cards, and
// card text as players write it ("Ah", "Td", "Jk").
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct Card {
    std::int8_t suit;  // 0 joker, 1 spades, 2 hearts, 3 clubs, 4 diamonds; -1 (0xFF) no card
    std::int8_t rank;  // 0 ace, 1 to 8 two to nine, 9 ten, 10 jack, 11 queen, 12 king

    friend constexpr bool operator==(Card, Card) = default;
};

using Hand = std::array<Card, 5>;

inline constexpr int deck_size = 53;
inline constexpr int joker_index = 52;
inline constexpr int hand_size = 5;
inline constexpr int rank_count = 13;
inline constexpr int suit_count = 4;

// Suit codes: the joker's, then the four suits in the deck's order.
inline constexpr std::int8_t joker_suit = 0;
inline constexpr std::int8_t spades_suit = 1;
inline constexpr std::int8_t hearts_suit = 2;
inline constexpr std::int8_t clubs_suit = 3;
inline constexpr std::int8_t diamonds_suit = 4;

// Rank codes: the ace first, then two to nine (1 to 8), ten, jack, queen and king.
inline constexpr std::int8_t ace_rank = 0;
inline constexpr std::int8_t ten_rank = 9;
inline constexpr std::int8_t jack_rank = 10;
inline constexpr std::int8_t queen_rank = 11;
inline constexpr std::int8_t king_rank = 12;
// Where aces count high (straights to the ace, the gamble), the ace ranks just above the king.
inline constexpr std::int8_t high_ace_rank = king_rank + 1;

inline constexpr Card joker_card{joker_suit, 0};
inline constexpr Card no_card{-1, -1};  // both bytes 0xFF: a hand position without a card

// Index 52 is the joker; the others run two to king, then ace, through spades, hearts, clubs,
// diamonds: index 12 is the ace of spades, index 13 the two of hearts.
constexpr Card card_of_index(int index) {
    if (index == joker_index) return joker_card;
    return Card{static_cast<std::int8_t>(spades_suit + index / rank_count),
                static_cast<std::int8_t>((index + 1) % rank_count)};
}

// The deck index of a card, the inverse of card_of_index.
constexpr int index_of_card(Card card) {
    if (card.suit == joker_suit) return joker_index;
    return (card.suit - spades_suit) * rank_count + (card.rank + rank_count - 1) % rank_count;
}

constexpr bool is_joker(Card card) {
    return card.suit == joker_suit;
}

constexpr bool is_ace(Card card) {
    return !is_joker(card) && card.rank == ace_rank;
}

// Hearts and diamonds are red; spades, clubs and the joker are black.
constexpr bool is_red(Card card) {
    return card.suit == hearts_suit || card.suit == diamonds_suit;
}

// A card's text: the rank (2 to 9, T, J, Q, K, A) and the suit (s, h, c, d), or "Jk".
using CardText = std::array<char, 3>;
CardText card_text(Card card);

// Reads card text in either case ("ah" and "AH" are the ace of hearts); false for anything else.
bool parse_card(std::string_view text, Card& card);

// The cards of a hand at the positions of a mask (bit p for position p), in the hand's order, as
// card texts separated by single blanks ("Kh Ks"), as poker-odds reads them; empty for none.
inline constexpr unsigned every_position = (1U << hand_size) - 1;
using CardsText = std::array<char, hand_size * 3>;
CardsText cards_text(const Hand& hand, unsigned positions = every_position);

// Reads a list of card texts separated by single blanks into cards; returns how many, or -1 when
// a word is not a card or the list holds more than capacity cards. An empty text is no card.
int parse_cards(std::string_view text, Card* cards, int capacity);
