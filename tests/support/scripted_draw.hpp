// A scripted source of the deck's numbers for the rules: the listed values in turn.
#pragma once

#include <gtest/gtest.h>

#include <vector>

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
