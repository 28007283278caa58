// The deck's random numbers, from the clock and the C library's generator.
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "play/chance.hpp"
#include "rules/deck.hpp"

// Test seam: the tests' preloaded library replaces time(), rand() and srand(), which these two
// call, to fix the clock and script the cards.
int random_draw() {
    return random_value(std::time(nullptr), std::rand());
}

void seed_random() {
    std::srand(static_cast<unsigned>(std::time(nullptr)) ^ (static_cast<unsigned>(getpid()) << 16));
}
