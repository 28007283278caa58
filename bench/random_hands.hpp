// Hands of five different cards drawn with the C library's generator from a fixed seed, so every
// benchmark run measures the same mix.
#pragma once

#include <array>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "rules/card.hpp"

inline std::vector<Hand> random_hands(std::size_t count) {
    std::vector<Hand> hands;
    std::srand(1);
    while (hands.size() < count) {
        std::array<bool, deck_size> used{};
        Hand hand{};
        for (Card& card : hand) {
            int index = std::rand() % deck_size;
            while (used[static_cast<std::size_t>(index)])
                index = std::rand() % deck_size;
            used[static_cast<std::size_t>(index)] = true;
            card = card_of_index(index);
        }
        hands.push_back(hand);
    }
    return hands;
}
