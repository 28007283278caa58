// The inputs of play: what the buttons and keys of the game ask for.
#pragma once

#include <cstdint>

// What the buttons and keys ask for. Each phase takes its own inputs and ignores the others.
enum class Input : std::uint8_t {
    none,  // a button with no meaning (the blank one)
    bet,
    deal,
    end,
    take,
    double_up,
    hold_1,  // hold_1 to hold_5: the mark under the card at position 0 to 4
    hold_2,
    hold_3,
    hold_4,
    hold_5,
    pick_2,  // pick_2 to pick_5: the card at position 1 to 4, for the gamble
    pick_3,
    pick_4,
    pick_5,
    hint,    // marks the best hold
    record,  // shows the player's record: the flow answers it, and no phase of the game takes it
};

// The hand position a hold or pick input names, or -1 for the other inputs.
constexpr int input_position(Input input) {
    const int value = static_cast<int>(input);
    if (input >= Input::hold_1 && input <= Input::hold_5) {
        return value - static_cast<int>(Input::hold_1);
    }
    if (input >= Input::pick_2 && input <= Input::pick_5) {
        return 1 + value - static_cast<int>(Input::pick_2);
    }
    return -1;
}
