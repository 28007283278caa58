#include <unistd.h>
#include <cstdio>
#include <cstdlib>

#include "play/play.hpp"
#include "rules/deck.hpp"
#include "rules/money.hpp"

namespace {

// The run in play and its player file, for the display's report of a lost connection, which
// comes with no context.
const GameState* running = nullptr;
const char* player_file = nullptr;

void save_or_fail(const GameState& state) {
    if (const StoreResult saved = save_credit(player_file, state.credit);
        saved != StoreResult::ok) {
        fail_on_store(saved, player_file);
    }
}

// The window is gone with the server, but the credit is saved as on a close request; the status
// says the run did not end normally.
void end_run_on_lost_connection() {
    if (running != nullptr) end_run_on_request(*running, 1);
}

}  // namespace

void fail_on_store(StoreResult result, const char* path) {
    std::printf(store_message_format(result), path);
    std::fflush(stdout);
    std::exit(1);
}

int wait_for_button(DisplayContext& display, const GameState& state, const Button* panel) {
    const int button = wait_button(display, panel);
    if (button == close_request) end_run_on_request(state);
    return button;
}

void pause_seconds(DisplayContext& display, const GameState& state, unsigned seconds) {
    // sleep() returns early only for a termination signal; a request already waiting skips the
    // pause altogether.
    for (unsigned left = seconds; left > 0 && !close_requested(display);) {
        left = sleep(left);
    }
    if (close_requested(display)) end_run_on_request(state);
}

void end_run_on_request(const GameState& state, int status) {
    GameState settled = state;
    switch (state.at_stake) {
        case AtStake::nothing:
            break;
        case AtStake::bet:
            settled.credit = saturating_add(state.credit, state.bet);
            break;
        case AtStake::win:
            settled.credit = saturating_add(state.credit, state.win);
            break;
    }
    if (settled.credit > 0) save_or_fail(settled);
    print_game_over_at_zero(settled);
    std::exit(status);
}

void print_game_over_at_zero(const GameState& state) {
    if (state.credit != 0) return;
    std::puts("****           ****");
    std::puts("**** Game Over ****");
    std::puts("****           ****");
    std::fflush(stdout);
}

void play_games(DisplayContext& display, GameState& state, const char* path) {
    running = &state;
    player_file = path;
    on_connection_lost(end_run_on_lost_connection);
    while (state.credit > 0) {
        state.bet = 0;
        state.win = 0;
        state.at_stake = AtStake::bet;
        reset_game(state);
        draw_table(display, state);
        set_colors(display, "black", "white");
        show_message(display, "Press Bet or Deal");

        bet_phase(display, state);
        // End without a stake saves the credit and ends the run.
        if (state.bet == 0) {
            save_or_fail(state);
            return;
        }

        set_colors(display, "black", "white");
        show_message(display, "***** Good Luck !! ****");
        pause_seconds(display, state, 1);
        // From the first card shown the bet is played for.
        state.at_stake = AtStake::nothing;
        deal_cards(display, state);
        set_colors(display, "black", "white");
        show_message(display, "Select Cards           ");
        pause_seconds(display, state, 1);

        hold_phase(display, state);
        pause_seconds(display, state, 1);
        deal_cards(display, state);

        const HandCategory category = evaluate_hand(state.hand);
        if (category == HandCategory::no_win) {
            set_colors(display, "blue", "white");
            show_message(display, "***** You Lost !! *****");
        } else {
            show_result(display, state, category);
            state.win = saturating_mul(payout_multiplier(category), state.bet);
            state.at_stake = AtStake::win;
            draw_scores(display, state);
        }
        flush_display(display);
        pause_seconds(display, state, 2);

        // The bet left the credit during betting; a win reaches it only through Take.
        if (state.win != 0) double_up_offer(display, state);
    }
    // The run ends with the credit gone: said in the window too, for a player who started the
    // game from a menu and never sees standard output.
    if (state.credit == 0) {
        set_colors(display, "blue", "white");
        show_message(display, "***** Game Over !! ****");
        pause_seconds(display, state, 2);
    }
}
