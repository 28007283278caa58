#include "rules/deck.hpp"

void reset_game(GameState& state) {
    state.dealt.fill(in_deck);
    state.hand.fill(no_card);
    state.hold.fill(false);
    state.pick = 0;
}

Card deal_position(GameState& state, int position, DrawSource draw) {
    int index = draw() % deck_size;
    while (state.dealt[index] != in_deck)
        index = draw() % deck_size;
    state.dealt[index] = was_dealt;
    state.hand[position] = card_of_index(index);
    return state.hand[position];
}
