// The game in progress as a pure model: the inputs a player gives, the one step that applies an
// input to the state, and the events the step reports for the front end to show.
#pragma once

#include <array>
#include <cstdint>

#include "rules/deck.hpp"
#include "rules/evaluate.hpp"
#include "rules/input.hpp"
#include "rules/state.hpp"

// What the model asks of the world outside it: the deck's random numbers; for the hint the best
// hold of a hand (bit p keeps position p); for the trainer what a hold gives away against the
// best, in units of 1 / cost_denominator of a bet (0 for a best hold), and the pattern a hold
// stands for in the strategy chart, which the flow names. The advice is false for a hand it
// cannot judge.
struct Sources {
    DrawSource draw = nullptr;
    bool (*best_hold)(const Hand& hand, unsigned& hold) = nullptr;
    bool (*hold_cost)(const Hand& hand, unsigned hold, std::int64_t& cost) = nullptr;
    std::int64_t cost_denominator = 1;
    std::uint16_t (*hold_pattern)(const Hand& hand, unsigned hold) = nullptr;
};

enum class EventKind : std::uint8_t {
    game_begun,    // a new game: nothing staked, the deck full
    staked,        // Bet took a credit into the bet, or found none to take
    ended,         // End with nothing staked: the run is over
    dealt,         // the five cards of the game
    marked,        // the hold marks changed
    hint_named,    // the trainer names the pattern of the hint's hold
    held_back,     // the trainer holds back a Deal: the marked hold gives cost away
    drawn,         // the cards not held were replaced (positions: those replaced)
    scored,        // the final hand's category and what it won
    taken,         // the win went into the credit
    gamble_begun,  // a fresh deck for the gamble, every card face down
    dealer_dealt,  // a dealer's card; an ace is set aside and followed by another
    pick_asked,    // the dealer's card stands: a card is to be picked
    picked,        // the pick changed
    revealed,      // the four cards turned up
    dealer_joker,  // the dealer's joker multiplied the win by factor without a pick
    gamble_won,    // the picked card was not lower: the win multiplied by factor
    gamble_lost,   // the win is gone
    game_over,     // the credit is gone: the run is over
};

// The money as of an event, which the scores show.
struct Money {
    std::int32_t bet;
    std::int32_t win;
    std::int32_t credit;
};

struct Event {
    EventKind kind;
    // dealt, drawn, revealed, dealer_dealt: bit p for each card the event puts at position p,
    // which cards holds. marked: the held positions. picked: the picked position's bit.
    std::uint8_t positions = 0;
    Hand cards{};
    HandCategory category = HandCategory::no_win;  // scored
    std::int8_t factor = 0;                        // dealer_joker, gamble_won
    ExactAmount cost{};  // held_back: what the hold gives away, in bets (of cost_denominator)
    std::uint16_t pattern = 0;  // hint_named: the hold's pattern, from Sources::hold_pattern
    Money money{};
    // What ending the run from this event on leaves in the credit (settled_credit).
    std::int32_t settled = 0;
};

// The events of one step, in the order they happened.
struct Events {
    std::array<Event, 8> list{};
    int count = 0;

    const Event* begin() const { return list.data(); }
    const Event* end() const { return list.data() + count; }
};

// The first game of a run with this credit, or the end of a run that has no credit to play with;
// the trainer stands by the player's side if asked.
Events start_run(GameState& state, std::int32_t credit, bool trainer = false);

// Applies one input to the state and reports what happened; an input the phase does not take
// changes nothing and reports nothing.
Events apply_input(GameState& state, Input input, const Sources& sources);

// The credit a run ended now (by a close request or a signal) leaves, so that ending is never
// better than playing on: a bet staked before any card is shown goes back to the credit, a win
// on offer is taken as Take takes it, and once cards are seen (holding, inside a gamble) the bet
// or the win stays lost.
std::int32_t settled_credit(const GameState& state);

// The log of the game in play as a run ended now leaves it, with the credit the end settles (the
// settlement of what the player has seen): a win on offer is taken, anything else stays lost.
GameLog early_end_log(const GameState& state, std::int32_t settled);

// How a run ends with its credit: above 0 it is saved for the next run; at exactly 0 the game is
// over; below 0 (a damaged player file) neither.
constexpr bool saves_credit(std::int32_t credit) {
    return credit > 0;
}
constexpr bool is_game_over(std::int32_t credit) {
    return credit == 0;
}

// The hold marks as a mask, bit p for position p.
unsigned hold_mask(const GameState& state);
