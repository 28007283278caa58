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
