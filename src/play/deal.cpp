#include <cstdio>

#include "play/play.hpp"
#include "rules/deck.hpp"

void deal_cards(DisplayContext& display, GameState& state) {
    for (int position = 0; position < hand_size; ++position) {
        if (state.hold[position] != 0) continue;
        const Card card = deal_position(state, position);
        draw_card_face(display, position, card.suit, card.rank);
    }
    flush_display(display);
}

void show_result(DisplayContext& display, const GameState& state, HandCategory category) {
    set_colors(display, "black", "yellow");
    char text[result_text_capacity];
    format_result(text, category, state.bet);
    show_message(display, text);
}
