// GameState: the one record of play for the whole run.
#pragma once

#include <array>
#include <cstdint>

#include "rules/card.hpp"

inline constexpr std::uint8_t in_deck = 0xFF;
inline constexpr std::uint8_t was_dealt = 1;

// A new player's credit, and the credit a stored 0 stands for.
inline constexpr std::int32_t starting_credit = 50;

// What a run ended in the middle of a game (a close request or a termination signal) does with
// the money in play, so that ending is never better than playing on. The flow of play keeps it up
// to date as the game goes.
enum class AtStake : std::uint8_t {
    nothing,  // the credit stands as it is: no game, or cards seen (holding, inside a gamble)
    bet,      // no card of the game shown yet: the staked bet goes back to the credit
    win,      // a win shown and neither taken nor gambled: it is taken as Take takes it
};

struct GameState {
    std::int32_t credit = starting_credit;
    std::int32_t bet = 0;
    std::int32_t win = 0;
    AtStake at_stake = AtStake::nothing;
    Hand hand{};
    std::array<std::int8_t, hand_size> hold{};    // nonzero: the position is skipped by the deal
    std::array<std::uint8_t, deck_size> dealt{};  // in_deck or was_dealt, by card index
};
