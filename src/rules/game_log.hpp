// The log of one game as the model plays it: every card and every amount, from the deal to the
// moment the game is settled, for the hand history to write down.
#pragma once

#include <array>
#include <cstdint>

#include "rules/card.hpp"
#include "rules/evaluate.hpp"

// What one double-up gamble did with the win.
enum class GambleOutcome : std::uint8_t {
    won,    // the picked card was not lower: the win doubled
    lost,   // the picked card was lower: the win is gone
    joker,  // the dealer's joker tripled the win without a pick
};

// The dealer's card that stood (a dealer's ace set aside is not kept) and the card picked, which
// is no_card when the dealer's joker settled the gamble.
struct GambleLog {
    Card dealer = no_card;
    Card picked = no_card;
    GambleOutcome outcome = GambleOutcome::won;
};

// A chain of gambles longer than this keeps its first gambles' cards and counts the rest: a win
// of 2 doubled 30 times has reached the largest credit already.
inline constexpr int logged_gamble_capacity = 40;

struct GameLog {
    bool dealt = false;              // the five cards are out: there is a game to write down
    bool settled = false;            // lost, taken or lost in a gamble: the game is over
    std::int32_t credit_before = 0;  // the credit before the first credit was staked
    std::int32_t bet = 0;
    Hand first{};           // the five cards dealt
    std::uint8_t held = 0;  // the positions kept by the draw, bit p for position p
    bool drawn = false;     // the draw was made: final, category and win hold
    Hand final{};           // the five cards after the draw
    HandCategory category = HandCategory::no_win;
    std::int32_t win = 0;  // what the final hand paid, before any gamble
    int gamble_count = 0;  // every gamble played; the first ones are in gambles
    std::array<GambleLog, logged_gamble_capacity> gambles{};
    std::int32_t taken = 0;         // what went into the credit when the game was settled
    std::int32_t credit_after = 0;  // the credit once the game was settled
};
