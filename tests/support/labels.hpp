// Where the game draws the labels of its buttons, from the button tables, for tests that read the
// window: the card buttons' marks above all.
#pragma once

#include "display/display.hpp"

// The first character's x and the baseline of a label (see Button: 15 below the button's top).
struct LabelPlace {
    int x;
    int baseline;
};
constexpr LabelPlace label_place(const Button& button) {
    return {button.x, button.y + 15};
}

// The card button under hand position p, whose label is "[ ]" or a mark. The pick buttons of
// positions 1 to 4 stand where the hold buttons do.
constexpr LabelPlace card_label(int position) {
    return label_place(hold_panel[position]);
}
static_assert(pick_panel[0].x == hold_panel[1].x && pick_panel[3].x == hold_panel[4].x &&
              pick_panel[0].y == hold_panel[1].y);
