// Hand evaluation against the nine-row payout table; the joker is wild.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "rules/card.hpp"

// The rows of payout_table, best first, and no_win for a hand that pays nothing.
enum class HandCategory : std::int8_t {
    five_card,       // four of a kind and the joker
    royal_flush,     // ten to ace of one suit
    straight_flush,  // five in a row of one suit
    four_card,
    full_house,
    flush,
    straight,
    three_card,
    two_pair,
    no_win = -1,
};

inline constexpr int category_count = 9;  // the paying categories, rows 0 to 8 of payout_table

// The row of a paying category, and the category of a row.
constexpr int row_of(HandCategory category) {
    return static_cast<int>(category);
}
constexpr HandCategory category_of_row(int row) {
    return static_cast<HandCategory>(row);
}

struct PayoutRow {
    HandCategory category;
    const char* name;  // padded with blanks to 10 characters
    std::int32_t multiplier;
};

// The row of category k is row k; a row of no_win ends the table.
inline constexpr std::array<PayoutRow, category_count + 1> payout_table{{
    {HandCategory::five_card, "Five Card ", 500},
    {HandCategory::royal_flush, "R.S.Flush ", 100},
    {HandCategory::straight_flush, "S.FLush   ", 70},
    {HandCategory::four_card, "Four Card ", 50},
    {HandCategory::full_house, "Full House", 20},
    {HandCategory::flush, "Flush     ", 15},
    {HandCategory::straight, "Straight  ", 10},
    {HandCategory::three_card, "Three Card", 5},
    {HandCategory::two_pair, "Two Pair  ", 2},
    {HandCategory::no_win, nullptr, 0},
}};

// The category of a hand of five cards.
HandCategory evaluate_hand(const Hand& hand);

// The multiplier of a paying category; 0 for no_win.
std::int32_t payout_multiplier(HandCategory category);

// The result line "%-12s %-3d * %03d" of a paying category and a bet. Returns its length.
inline constexpr std::size_t result_text_capacity = 48;
int format_result(char (&text)[result_text_capacity], HandCategory category, std::int32_t bet);
