// The program entry: start-up in order, then the games, then the end of the run.
#include <cstdio>
#include <cstdlib>

#include "game/deck.hpp"
#include "game/state.hpp"
#include "store/player_file.hpp"

namespace {

// Every line goes out at once, so a pipe or a log sees it even if the process is killed later.
void print_line(const char* format, const char* text) {
    std::printf(format, text);
    std::fflush(stdout);
}

[[noreturn]] void fail(const char* format, const char* text) {
    print_line(format, text);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "poker";
    if (argc != 2) fail("Usage : %s player-name \n", program);

    static GameState state;
    switch (make_player_file_name(state, argv[1])) {
        case NameCheck::ok:
            break;
        case NameCheck::too_long:
            fail("player name too long : %s \n", argv[1]);
        case NameCheck::contains_slash:
            fail("player name contains '/' : %s \n", argv[1]);
    }

    print_line("%s V01/L02 \n", program);
    print_line("player file name : %s \n", state.player_file);

    state.credit = 50;
    state.bet = 0;
    state.win = 0;
    if (const StoreResult loaded = load_player_file(state); loaded != StoreResult::ok) {
        fail(store_message_format(loaded), state.player_file);
    }
    seed_random();

    if (state.credit == 0) {
        std::puts("****           ****");
        std::puts("**** Game Over ****");
        std::puts("****           ****");
    }
    return 0;
}
