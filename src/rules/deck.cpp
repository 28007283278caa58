#include "rules/deck.hpp"

#include <unistd.h>
#include <cstdlib>

void reset_game(GameState& state) {
    state.dealt.fill(in_deck);
    state.hand.fill(no_card);
    state.hold.fill(0);
}

int random_draw() {
    return random_value(std::time(nullptr), std::rand());
}

void seed_random() {
    std::srand(static_cast<unsigned>(std::time(nullptr)) ^ (static_cast<unsigned>(getpid()) << 16));
}

Card deal_position(GameState& state, int position, DrawSource draw) {
    int index = draw() % deck_size;
    while (state.dealt[index] != in_deck)
        index = draw() % deck_size;
    state.dealt[index] = was_dealt;
    state.hand[position] = card_of_index(index);
    return state.hand[position];
}
