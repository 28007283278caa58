// The run in play as the flow holds it, shared by the waits and the pictures of events.
#pragma once

#include <cstdint>

#include "display/display.hpp"
#include "play/history.hpp"
#include "rules/game.hpp"

struct Run {
    DisplayContext* display;
    const char* player_file;
    const GameState* state;
    std::int64_t cost_denominator;  // the trainer's units of a bet
    // What ending the run now would leave in the credit: the settlement of the last event shown.
    std::int32_t settled;
    RunHistory* history = nullptr;
    // The cards of a game are shown and its line is not yet in the history.
    bool game_unrecorded = false;
};

// Pauses for whole seconds; a close request or a termination signal ends the run as settled.
void pause_seconds(Run& run, unsigned seconds);

// Shows one event of the game with its messages, colours and pauses, and from the moment the
// player can see it, settles an early end as the event says.
void show_event(Run& run, const Event& event);

// The offer of a win, shown before each wait for Take or Double.
void show_offer(Run& run, const GameState& state);

// The record page in place of the table, until any key or click brings the table back; false
// when a request to end the run came instead.
bool show_record_page(Run& run);

// The lines a run ending with this credit prints on standard output: "Game Over" when the credit
// is exactly 0, and the trainer's tally in a trainer run.
void print_run_end(const Run& run, std::int32_t credit);
