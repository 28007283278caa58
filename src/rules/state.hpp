// GameState: the one record of play for the whole run, and the phases a game goes through.
#pragma once

#include <array>
#include <cstdint>

#include "rules/card.hpp"
#include "rules/game_log.hpp"
#include "rules/money.hpp"

inline constexpr std::uint8_t in_deck = 0xFF;
inline constexpr std::uint8_t was_dealt = 1;

// A new player's credit, and the credit a stored 0 stands for.
inline constexpr std::int32_t starting_credit = 50;

enum class Phase : std::uint8_t {
    betting,   // staking credits before the deal
    holding,   // five cards dealt: marking the ones to keep
    on_offer,  // a win shown: taking it or gambling it
    gambling,  // the dealer's card shown: picking one of the four cards
    ended,     // End pressed with nothing staked: the credit is to be saved
    broke,     // no credit to play with: the run is over and nothing is saved
};

// The trainer at a player's side: whether it is on, whether the hold marked now was held back
// already, and the tally of the hands drawn with it.
struct Trainer {
    bool on = false;
    bool warned = false;
    std::int32_t hands = 0;
    std::int32_t best_holds = 0;
    ExactAmount given_away;  // what the other holds gave away, in credits at the bets staked
};

struct GameState {
    std::int32_t credit = starting_credit;
    std::int32_t bet = 0;
    std::int32_t win = 0;
    Phase phase = Phase::betting;
    Hand hand{};
    std::array<bool, hand_size> hold{};           // the positions the draw keeps
    std::int8_t pick = 0;                         // gambling: the position picked, 1 to 4, or 0
    std::array<std::uint8_t, deck_size> dealt{};  // in_deck or was_dealt, by card index
    Trainer trainer;
    GameLog log;  // the game dealt last, kept until the next deal
};
