// The program entry: start-up in order, then the games, then the end of the run.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/context.hpp"
#include "play/play.hpp"
#include "rules/deck.hpp"
#include "rules/state.hpp"
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

    // A player name never starts with '-': such an argument asks for help or the version.
    const char* argument = argv[1];
    if (argument[0] == '-') {
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            print_line("Usage : %s player-name \n", program);
            return 0;
        }
        if (std::strcmp(argument, "--version") == 0) {
            print_line("%s V01/L02 \n", program);
            return 0;
        }
        fail("Usage : %s player-name \n", program);
    }

    // The two records of the run; they live until the process exits.
    static GameState state;
    switch (make_player_file_name(state, argument)) {
        case NameCheck::ok:
            break;
        case NameCheck::too_long:
            fail("player name too long : %s \n", argument);
        case NameCheck::contains_slash:
            fail("player name contains '/' : %s \n", argument);
    }

    print_line("%s V01/L02 \n", program);
    print_line("player file name : %s \n", state.player_file);

    state.credit = 50;
    state.bet = 0;
    state.win = 0;
    if (const StoreResult loaded = load_player_file(state); loaded != StoreResult::ok) {
        fail_on_store(loaded, state);
    }
    seed_random();

    // From here on the run can be asked to end, and it ends with the credit saved.
    catch_termination_signals();
    static DisplayContext display;
    open_window(display);
    create_glyphs(display);

    play_games(display, state);

    print_game_over_at_zero(state);
    return 0;
}
