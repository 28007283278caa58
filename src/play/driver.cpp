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

// Ends the run from outside the buttons, with the credit as the last event shown settled it:
// above 0 it is saved, at 0 the "Game Over" lines are printed. This is the one way a run ends
// early.
[[noreturn]] void end_run(const Run& run, int status) {
    if (saves_credit(run.settled)) save_or_fail(run.player_file, run.settled);
    print_run_end(run, run.settled);
    std::exit(status);
}

// The window is gone with the server, but the credit is saved as on a close request; the status
// says the run did not end normally.
void end_run_on_lost_connection() {
    if (running != nullptr) end_run(*running, 1);
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
    if (button == close_request) end_run(run, 0);
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
    if (close_requested(*run.display)) end_run(run, 0);
}

void play_games(DisplayContext& display, std::int32_t credit, const char* player_file,
                bool trainer) {
    // The hint and the trainer take the strategy's advice under the game's own pay table, and the
    // trainer names the hint's pattern in the chart's words; a trainer run builds its tables now,
    // so that no check of a hold waits for them.
    const Sources sources{random_draw, best_hold, hold_cost, value_denominator, hold_pattern};
    if (trainer) prepare_game_strategy();
    GameState state;
    Run run{&display, player_file, &state, sources.cost_denominator, credit};
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
        show_events(run, apply_input(state, input, sources));
    }
}
