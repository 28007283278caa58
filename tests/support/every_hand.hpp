// Every five-card hand the 53-card deck can deal, as ascending deck indices, the last changing
// fastest.
#pragma once

#include <array>

#include "rules/card.hpp"

using DeckIndices = std::array<int, hand_size>;

template <class Visit>
void for_each_hand(Visit visit) {
    DeckIndices c{};
    for (c[0] = 0; c[0] < deck_size; ++c[0])
        for (c[1] = c[0] + 1; c[1] < deck_size; ++c[1])
            for (c[2] = c[1] + 1; c[2] < deck_size; ++c[2])
                for (c[3] = c[2] + 1; c[3] < deck_size; ++c[3])
                    for (c[4] = c[3] + 1; c[4] < deck_size; ++c[4])
                        visit(static_cast<const DeckIndices&>(c));
}

// The hand those indices deal.
inline Hand hand_of(const DeckIndices& c) {
    return {card_of_index(c[0]), card_of_index(c[1]), card_of_index(c[2]), card_of_index(c[3]),
            card_of_index(c[4])};
}
