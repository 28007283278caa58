#include "rules/card.hpp"

#include <cstring>

namespace {

constexpr char rank_letters[] = "A23456789TJQK";  // by rank code
constexpr char suit_letters[] = "shcd";           // spades to diamonds, by suit code

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

CardText card_text(Card card) {
    if (is_joker(card)) return {'J', 'k', '\0'};
    return {rank_letters[card.rank], suit_letters[card.suit - spades_suit], '\0'};
}

bool parse_card(std::string_view text, Card& card) {
    if (text.size() != 2 || text[0] == '\0' || text[1] == '\0') return false;
    const char rank = upper(text[0]);
    const char suit = lower(text[1]);
    if (rank == 'J' && suit == 'k') {
        card = joker_card;
        return true;
    }
    const char* rank_at = std::strchr(rank_letters, rank);
    const char* suit_at = std::strchr(suit_letters, suit);
    if (rank_at == nullptr || suit_at == nullptr) return false;
    card = Card{static_cast<std::int8_t>(spades_suit + (suit_at - suit_letters)),
                static_cast<std::int8_t>(rank_at - rank_letters)};
    return true;
}

CardsText cards_text(const Hand& hand, unsigned positions) {
    CardsText text{};
    std::size_t length = 0;
    for (int p = 0; p < hand_size; ++p) {
        if ((positions >> p & 1U) == 0) continue;
        if (length > 0) text[length++] = ' ';
        const CardText card = card_text(hand[static_cast<std::size_t>(p)]);
        text[length++] = card[0];
        text[length++] = card[1];
    }
    return text;
}

int parse_cards(std::string_view text, Card* cards, int capacity) {
    int count = 0;
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        if (count == capacity || !parse_card(text.substr(0, blank), cards[count])) return -1;
        ++count;
        if (blank == std::string_view::npos) break;
        text.remove_prefix(blank + 1);
        // A blank at the end, or two in a row, leaves an empty word, which is no card.
        if (text.empty()) return -1;
    }
    return count;
}
