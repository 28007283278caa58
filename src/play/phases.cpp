#include "play/play.hpp"
#include "rules/money.hpp"

void bet_phase(DisplayContext& display, GameState& state) {
    for (;;) {
        switch (wait_for_button(display, state, main_panel)) {
            case main_bet:
                // With no credit left a Bet changes nothing, but the scores are still redrawn.
                if (state.credit > 0) {
                    state.bet = saturating_add(state.bet, 1);
                    state.credit -= 1;
                }
                draw_scores(display, state);
                flush_display(display);
                break;
            case main_deal:
                // Deal needs a stake; without one the press is ignored.
                if (state.bet > 0) return;
                break;
            case main_end:
                // End with a bet placed deals as Deal does; without one the driver ends the run.
                return;
            default:
                break;
        }
    }
}

void hold_phase(DisplayContext& display, GameState& state) {
    for (;;) {
        const int button = wait_for_button(display, state, hold_panel);
        if (button == hold_deal) break;
        if (button >= hold_hint) {
            apply_hint(display, state);
            continue;
        }
        state.hold[button] = state.hold[button] != 0 ? 0 : 1;
        draw_hold_panel(display, state);
        flush_display(display);
    }
    for (int position = 0; position < hand_size; ++position) {
        if (state.hold[position] == 0) draw_card_back(display, position);
    }
    flush_display(display);
}
