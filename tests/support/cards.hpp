// Card literals for tests: "Ts Js Qs Ks As", "Jk 5h 7h 8h 9h".
#pragma once

#include <stdexcept>
#include <string>

#include "rules/card.hpp"

inline Card parse_card(const std::string& text) {
    Card card{};
    if (!parse_card(text, card)) throw std::invalid_argument("bad card literal: " + text);
    return card;
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
