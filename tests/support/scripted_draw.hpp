// A scripted source of the deck's numbers for the rules: the listed values in turn.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/cards.hpp"

inline std::vector<int> draw_script;
inline std::size_t draws_made = 0;

inline int scripted_draw() {
    if (draws_made >= draw_script.size()) ADD_FAILURE() << "the script ran out";
    return draws_made < draw_script.size() ? draw_script[draws_made++] : 0;
}

inline void play_script(std::vector<int> values) {
    draw_script = std::move(values);
    draws_made = 0;
}

// The deck's numbers that deal these cards in turn ("Kh Ks 2c"): a card's index is its number.
inline void play_cards(const std::string& cards) {
    std::vector<int> numbers;
    for (const Card card : card_list(cards))
        numbers.push_back(index_of_card(card));
    play_script(std::move(numbers));
}
