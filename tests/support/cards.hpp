// Card literals for tests: "Ts Js Qs Ks As", "Jk 5h 7h 8h 9h".
#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

#include "rules/card.hpp"

inline Card parse_card(const std::string& text) {
    if (text == "Jk") return joker_card;
    static const char ranks[] = "A23456789TJQK";
    static const char suits[] = "shcd";
    const char* rank = text.size() == 2 ? std::strchr(ranks, text[0]) : nullptr;
    const char* suit = text.size() == 2 ? std::strchr(suits, text[1]) : nullptr;
    if (rank == nullptr || suit == nullptr || text[0] == '\0' || text[1] == '\0') {
        throw std::invalid_argument("bad card literal: " + text);
    }
    return Card{static_cast<std::int8_t>(suit - suits + 1), static_cast<std::int8_t>(rank - ranks)};
}

inline Hand parse_hand(const std::string& text) {
    Hand hand{};
    std::size_t start = 0;
    for (int p = 0; p < hand_size; ++p) {
        const std::size_t end = text.find(' ', start);
        hand[p] = parse_card(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    if (start < text.size()) throw std::invalid_argument("more than five cards: " + text);
    return hand;
}

// The deck index of a card, the inverse of card_of_index.
inline int index_of_card(Card card) {
    if (is_joker(card)) return joker_index;
    return (card.suit - 1) * 13 + (card.rank + 12) % 13;
}
