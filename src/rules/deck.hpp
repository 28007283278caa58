// The deck: resetting a game, the random draw's formula and the choice of each new card.
#pragma once

#include <cstdint>
#include <ctime>

#include "rules/state.hpp"

// Every card back in the deck, the hand emptied, every hold mark and the pick cleared.
void reset_game(GameState& state);

// Bits 3 to 18 of the 32-bit product of the time's low byte and a generator value. A low byte of
// 0 counts as 256: a factor of 0 would make every draw of that second 0, dealing one fixed card
// and leaving a redraw nothing but the clock to wait for.
constexpr int random_value(std::time_t now, int generated) {
    const std::uint32_t factor = (now & 0xFF) != 0 ? static_cast<std::uint32_t>(now & 0xFF) : 256;
    const std::uint32_t product = factor * static_cast<std::uint32_t>(generated);
    return static_cast<int>((product >> 3) & 0xFFFF);
}

// Where the deck's random numbers come from: 0 to 65535 a call.
using DrawSource = int (*)();

// Draws indices from the source until one is still in the deck, marks it dealt and puts its card
// at the position. The caller makes sure the deck is not empty.
Card deal_position(GameState& state, int position, DrawSource draw);
