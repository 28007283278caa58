// GameState: the one record of play for the whole run.
#pragma once

#include <array>
#include <cstdint>

#include "rules/card.hpp"

inline constexpr std::uint8_t in_deck = 0xFF;
inline constexpr std::uint8_t was_dealt = 1;
inline constexpr int player_file_capacity = 80;  // at most 79 characters and the terminator

struct GameState {
    std::int32_t credit = 50;
    std::int32_t bet = 0;
    std::int32_t win = 0;
    Hand hand{};
    std::array<std::int8_t, hand_size> hold{};    // nonzero: the position is skipped by the deal
    std::array<std::uint8_t, deck_size> dealt{};  // in_deck or was_dealt, by card index
    char player_file[player_file_capacity] = {};
};
