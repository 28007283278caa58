// The deck: resetting a game, the random draw's formula and the choice of each new card.
#pragma once

#include <cstdint>
#include <ctime>

#include "rules/state.hpp"

// Every card back in the deck, the hand emptied, every hold mark and the pick cleared.
void reset_game(GameState& state);

// Bits 3 to 18 of the 32-bit product of the time's low byte and a generator value.
constexpr int random_value(std::time_t now, int generated) {
    const std::uint32_t product =
        static_cast<std::uint32_t>(now & 0xFF) * static_cast<std::uint32_t>(generated);
    return static_cast<int>((product >> 3) & 0xFFFF);
}

// Where the deck's random numbers come from: 0 to 65535 a call.
using DrawSource = int (*)();

// Draws indices from the source until one is still in the deck, marks it dealt and puts its card
// at the position. The caller makes sure the deck is not empty.
Card deal_position(GameState& state, int position, DrawSource draw);
