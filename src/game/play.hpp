// The flow of play: the game loop, its phases and the double-up, drawn through the display.
#pragma once

#include "display/display.hpp"
#include "game/evaluate.hpp"
#include "game/state.hpp"
#include "store/player_file.hpp"

// Deals to every position not held, drawing each new card face up, then flushes once.
void deal_cards(DisplayContext& display, GameState& state);

// The result line of a paying category, black on yellow.
void show_result(DisplayContext& display, const GameState& state, HandCategory category);

// Games until the player ends with End before betting (the credit is saved) or the credit is gone.
void play_games(DisplayContext& display, GameState& state);

// Staking one credit per Bet; returns when Deal (with a bet) or End is pressed.
void bet_phase(DisplayContext& display, GameState& state);

// Toggling holds until Deal; the cards not held are then turned face down.
void hold_phase(DisplayContext& display, GameState& state);

// Take or Double, again and again, until the win is taken or lost.
void double_up_offer(DisplayContext& display, GameState& state);

// One gamble: leaves the win doubled, tripled or 0.
void double_up_game(DisplayContext& display, GameState& state);

// Prints the player file's failure message and ends the process with status 1.
[[noreturn]] void fail_on_store(StoreResult result, const GameState& state);
