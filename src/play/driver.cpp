// The game loop: a wait for each input, the game's step, the pictures of its events; and the ends
// of a run.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "play/chance.hpp"
#include "play/play.hpp"
#include "play/run.hpp"
#include "strategy/chart.hpp"
#include "strategy/strategy.hpp"

namespace {

// The run in play, for the display's report of a lost connection, which comes with no context.
const Run* running = nullptr;

void save_or_fail(const char* player_file, std::int32_t credit) {
    if (const StoreResult saved = save_credit(player_file, credit); saved != StoreResult::ok) {
        fail_on_store(saved, player_file);
    }
}

// A game whose cards were shown goes into the history once it is settled.
void record_if_settled(Run& run) {
    if (run.game_unrecorded && run.state->log.settled) {
        append_game(*run.history, run.state->log, GameEnd::played);
        run.game_unrecorded = false;
    }
}

// Ends the run from outside the buttons, with the credit as the last event shown settled it:
// above 0 it is saved, at 0 the "Game Over" lines are printed. A game in play goes into the
// history as that end settles it. This is the one way a run ends early; only the loss of the X
// server ends it with a status that says the run did not end normally.
[[noreturn]] void end_run(const Run& run, GameEnd end) {
    if (run.game_unrecorded) {
        append_game(*run.history, early_end_log(*run.state, run.settled), end);
    }
    if (saves_credit(run.settled)) save_or_fail(run.player_file, run.settled);
    print_run_end(run, run.settled);
    std::exit(end == GameEnd::server_lost ? 1 : 0);
}

// A request to end the run is a close or a termination signal.
GameEnd requested_end() {
    return termination_signal_caught() ? GameEnd::signal : GameEnd::closed;
}

// The window is gone with the server, but the credit is saved as on a close request; the status
// says the run did not end normally.
void end_run_on_lost_connection() {
    if (running != nullptr) end_run(*running, GameEnd::server_lost);
}

// The panel whose buttons each phase of play takes.
const Button* panel_of(Phase phase) {
    switch (phase) {
        case Phase::holding:
            return hold_panel;
        case Phase::on_offer:
            return double_panel;
        case Phase::gambling:
            return pick_panel;
        default:
            return main_panel;
    }
}

Input wait_for_input(Run& run, Phase phase) {
    const Button* panel = panel_of(phase);
    const int button = wait_button(*run.display, panel);
    if (button == close_request) end_run(run, requested_end());
    return panel[button].input;
}

void show_events(Run& run, const Events& events) {
    for (const Event& event : events)
        show_event(run, event);
}

}  // namespace

void fail_on_store(StoreResult result, const char* player_file) {
    std::printf(store_message_format(result), player_file);
    std::fflush(stdout);
    std::exit(1);
}

void pause_seconds(Run& run, unsigned seconds) {
    // Test seam: pauses are the C library's sleep(), which the tests' preloaded library takes
    // over to hold the program until the test has looked. sleep() returns early only for a
    // termination signal; a request already waiting skips the pause altogether.
    for (unsigned left = seconds; left > 0 && !close_requested(*run.display);) {
        left = sleep(left);
    }
    if (close_requested(*run.display)) end_run(run, requested_end());
}

void play_games(DisplayContext& display, std::int32_t credit, const char* player_file,
                bool trainer) {
    // The hint, the trainer and the history take the strategy's values under the game's own pay
    // table, and the trainer names the hint's pattern in the chart's words; the run builds its
    // tables now, so that no hold waits for them.
    const Sources sources{random_draw, best_hold, hold_cost, value_denominator, hold_pattern};
    prepare_game_strategy();
    GameState state;
    RunHistory history;
    begin_history(history, player_file, trainer);
    Run run{&display, player_file, &state, sources.cost_denominator, credit, &history};
    running = &run;
    on_connection_lost(end_run_on_lost_connection);

    show_events(run, start_run(state, credit, trainer));
    for (;;) {
        switch (state.phase) {
            case Phase::ended:
                save_or_fail(player_file, state.credit);
                print_run_end(run, state.credit);
                return;
            case Phase::broke:
                print_run_end(run, state.credit);
                return;
            case Phase::on_offer:
                show_offer(run, state);
                break;
            default:
                break;
        }
        const Input input = wait_for_input(run, state.phase);
        // The record is shown only between games: while betting with nothing staked.
        if (input == Input::record && state.phase == Phase::betting && state.bet == 0) {
            if (!show_record_page(run)) end_run(run, requested_end());
            continue;
        }
        const Events events = apply_input(state, input, sources);
        record_if_settled(run);
        show_events(run, events);
    }
}
