// Card literals for tests: "Ts Js Qs Ks As", "Jk 5h 7h 8h 9h".
#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "rules/card.hpp"

inline Card parse_card(const std::string& text) {
    Card card{};
    if (!parse_card(text, card)) throw std::invalid_argument("bad card literal: " + text);
    return card;
}

// A list of card literals separated by single blanks, of any length.
inline std::vector<Card> card_list(const std::string& text) {
    std::vector<Card> cards(text.size() / 2 + 1);
    const int count = parse_cards(text, cards.data(), static_cast<int>(cards.size()));
    if (count < 0) throw std::invalid_argument("bad card list: " + text);
    cards.resize(static_cast<std::size_t>(count));
    return cards;
}

inline Hand parse_hand(const std::string& text) {
    const std::vector<Card> cards = card_list(text);
    if (cards.size() != static_cast<std::size_t>(hand_size))
        throw std::invalid_argument("not five cards: " + text);
    Hand hand{};
    std::copy(cards.begin(), cards.end(), hand.begin());
    return hand;
}
