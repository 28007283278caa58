// Hand evaluation against the nine-row payout table; the joker is wild.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "rules/card.hpp"

using HandCategory = std::int32_t;  // 0 to 8, a row of payout_table; -1 for no paying hand

inline constexpr HandCategory no_win = -1;

struct PayoutRow {
    HandCategory category;
    const char* name;  // padded with blanks to 10 characters
    std::int32_t multiplier;
};

// The row of category k is row k; a row with category -1 ends the table.
inline constexpr std::array<PayoutRow, 10> payout_table{{
    {0, "Five Card ", 500},
    {1, "R.S.Flush ", 100},
    {2, "S.FLush   ", 70},
    {3, "Four Card ", 50},
    {4, "Full House", 20},
    {5, "Flush     ", 15},
    {6, "Straight  ", 10},
    {7, "Three Card", 5},
    {8, "Two Pair  ", 2},
    {no_win, nullptr, 0},
}};

// Moves the joker to position 0, recodes aces (rank 0) as 13 and sorts the other cards by rank,
// ascending. Returns 1 if the hand holds the joker, else 0.
int sort_hand(Hand& hand);

// Sorts the hand (it stays sorted and recoded) and returns its category.
HandCategory evaluate_hand(Hand& hand);

// The multiplier of a paying category; 0 for no_win.
std::int32_t payout_multiplier(HandCategory category);

// The result line "%-12s %-3d * %03d" of a paying category and a bet. Returns its length.
inline constexpr std::size_t result_text_capacity = 48;
int format_result(char (&text)[result_text_capacity], HandCategory category, std::int32_t bet);
