// The flow of play: the game loop, its phases and the double-up, drawn through the display.
#pragma once

#include "display/display.hpp"
#include "rules/evaluate.hpp"
#include "rules/state.hpp"
#include "store/player_file.hpp"

// Deals to every position not held, drawing each new card face up, then flushes once.
void deal_cards(DisplayContext& display, GameState& state);

// The result line of a paying category, black on yellow.
void show_result(DisplayContext& display, const GameState& state, HandCategory category);

// Games until the player ends with End before betting (the credit is saved) or the credit is gone
// ("Game Over" is shown for 2 seconds). From here on a lost X connection saves as a close does.
void play_games(DisplayContext& display, GameState& state, const char* player_file);

// Staking one credit per Bet; returns when Deal (with a bet) or End is pressed.
void bet_phase(DisplayContext& display, GameState& state);

// Toggling holds until Deal; the cards not held are then turned face down.
void hold_phase(DisplayContext& display, GameState& state);

// The hint of the hold phase: sets the hold flags to the hand's best hold (the first, if several
// tie) and redraws the hold panel, as pressing those hold buttons would. A hand that is not five
// different cards is left alone.
void apply_hint(DisplayContext& display, GameState& state);

// Take or Double, again and again, until the win is taken or lost.
void double_up_offer(DisplayContext& display, GameState& state);

// One gamble: leaves the win doubled, tripled or 0.
void double_up_game(DisplayContext& display, GameState& state);

// Prints the player file's failure message and ends the process with status 1.
[[noreturn]] void fail_on_store(StoreResult result, const char* player_file);

// The waits of play. Each answers a close request or a termination signal by ending the run:
// the click wait at once, a pause as soon as it is over (a signal cuts the pause short).
int wait_for_button(DisplayContext& display, const GameState& state, const Button* panel);
void pause_seconds(DisplayContext& display, const GameState& state, unsigned seconds);

// Ends the run from outside the buttons (a close request, a termination signal, the window's
// destruction, the loss of the X connection) with the given exit status: 0, or 1 for the lost
// connection. The game in progress is settled by state.at_stake: a bet staked before any card was
// shown goes back to the credit, a win shown and not yet taken or gambled is taken, and once
// cards are seen (holding, inside a gamble) the bet or win stays lost. The credit is then ended
// on as End does: above 0 it is saved, at 0 nothing is saved and the "Game Over" lines are
// printed. This is the one way a run ends early.
[[noreturn]] void end_run_on_request(const GameState& state, int status = 0);

// The "Game Over" lines, printed when a run ends with the credit at exactly 0.
void print_game_over_at_zero(const GameState& state);
