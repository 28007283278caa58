#include <unistd.h>
#include <cstdio>
#include <cstdlib>

#include "game/deck.hpp"
#include "game/money.hpp"
#include "game/play.hpp"

void fail_on_store(StoreResult result, const GameState& state) {
    std::printf(store_message_format(result), state.player_file);
    std::fflush(stdout);
    std::exit(1);
}

void play_games(DisplayContext& display, GameState& state) {
    while (state.credit > 0) {
        state.bet = 0;
        state.win = 0;
        reset_game(state);
        draw_table(display, state);
        set_colors(display, "black", "white");
        show_message(display, "Press Bet or Deal");

        bet_phase(display, state);
        // End without a stake: the one place where the credit is saved.
        if (state.bet == 0) {
            if (const StoreResult saved = save_player_file(state); saved != StoreResult::ok) {
                fail_on_store(saved, state);
            }
            return;
        }

        set_colors(display, "black", "white");
        show_message(display, "***** Good Luck !! ****");
        sleep(1);
        deal_cards(display, state);
        set_colors(display, "black", "white");
        show_message(display, "Select Cards           ");
        sleep(1);

        hold_phase(display, state);
        sleep(1);
        deal_cards(display, state);

        const HandCategory category = evaluate_hand(state.hand);
        if (category == no_win) {
            set_colors(display, "blue", "white");
            show_message(display, "***** You Lost !! *****");
        } else {
            show_result(display, state, category);
            state.win = saturating_mul(payout_multiplier(category), state.bet);
            draw_scores(display, state);
        }
        flush_display(display);
        sleep(2);

        // The bet left the credit during betting; a win reaches it only through Take.
        if (state.win != 0) double_up_offer(display, state);
    }
}
