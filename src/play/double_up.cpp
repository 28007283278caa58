#include "play/play.hpp"
#include "rules/deck.hpp"
#include "rules/money.hpp"

namespace {

// The picked card beats the dealer's with aces high and the joker highest of all.
int picked_value(Card card) {
    if (is_joker(card)) return 14;
    if (card.rank == ace_rank) return 13;
    return card.rank;
}

// A gamble won, by the dealer's joker or by the pick: said on yellow, the win multiplied and on
// offer again.
void win_gamble(DisplayContext& display, GameState& state, const char* message, int factor) {
    set_colors(display, "black", "yellow");
    show_message(display, message);
    state.win = saturating_mul(state.win, factor);
    state.at_stake = AtStake::win;
}

}  // namespace

void double_up_offer(DisplayContext& display, GameState& state) {
    for (;;) {
        draw_double_panel(display);
        draw_scores(display, state);
        set_colors(display, "black", "white");
        show_message(display, "Double Up-Take Score ? ");
        flush_display(display);
        pause_seconds(display, state, 1);
        switch (wait_for_button(display, state, double_panel)) {
            case double_take:
                state.credit = saturating_add(state.credit, state.win);
                state.at_stake = AtStake::nothing;
                return;
            case double_double:
                // Gambled, the win is at stake until the gamble is settled.
                state.at_stake = AtStake::nothing;
                double_up_game(display, state);
                break;
            default:
                // Bet and Deal do nothing here: the offer is shown again.
                break;
        }
        if (state.win == 0) return;
    }
}

void double_up_game(DisplayContext& display, GameState& state) {
    reset_game(state);
    clear_window(display);
    for (int position = 0; position < hand_size; ++position)
        draw_card_back(display, position);
    draw_double_panel(display);
    draw_pick_panel(display, state);
    draw_scores(display, state);

    // Only position 0 is dealt: the dealer's card. An ace is set aside and dealt again.
    for (int position = 1; position < hand_size; ++position)
        state.hold[position] = 1;
    for (;;) {
        deal_cards(display, state);
        const Card dealer = state.hand[0];
        if (is_joker(dealer)) {
            win_gamble(display, state, "**** Luckey Win !! ****", 3);
            flush_display(display);
            pause_seconds(display, state, 1);
            return;
        }
        if (dealer.rank != ace_rank) break;
        state.hold[0] = 0;
    }

    set_colors(display, "black", "white");
    show_message(display, "Select Bigger Card     ");
    draw_pick_panel(display, state);
    flush_display(display);
    pause_seconds(display, state, 1);

    // The positions not picked carry hold flag 1, so the pick panel marks the picked one.
    int picked = 0;
    for (;;) {
        const int button = wait_for_button(display, state, pick_panel);
        if (button == pick_deal) {
            if (picked != 0) break;
            continue;
        }
        state.hold.fill(1);
        picked = button + 1;
        state.hold[picked] = 0;
        draw_pick_panel(display, state);
    }

    state.hold.fill(0);
    state.hold[0] = 1;
    deal_cards(display, state);
    pause_seconds(display, state, 2);

    // A tie goes to the player.
    if (picked_value(state.hand[picked]) < state.hand[0].rank) {
        set_colors(display, "blue", "white");
        show_message(display, "***** You Lost !! *****");
        state.win = 0;
    } else {
        win_gamble(display, state, "***** You Win  !! *****", 2);
    }
    flush_display(display);
    pause_seconds(display, state, 1);
}
