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

// The N of --scale=N: a whole number from 1 to 8, else 0.
int scale_of(const char* text) {
    return text[0] >= '1' && text[0] <= '0' + max_scale && text[1] == '\0' ? text[0] - '0' : 0;
}

const char* const usage = "Usage : %s player-name \n";

// What --help prints below the usage line; the whole help stays within 20 lines.
const char* const help =
    "Video draw poker for one player, in a window on the X display.\n"
    "Options:\n"
    "  --scale=N   start the window N times larger, N from 1 to 8 (else from Xft.dpi)\n"
    "  -h, --help  print this help and exit\n"
    "  --version   print the version and exit\n"
    "The window takes any size and shows the game as large as fits.\n"
    "Keys: b Bet, d (or Return, space) Deal, e End, u Double, t Take,\n"
    "  1 to 5 the button under that card, h or ? the best hold,\n"
    "  f full screen on or off; any mouse button clicks the bracketed buttons.\n"
    "The credit of player NAME is kept in tavlek.NAME.sv in the current directory.\n";

struct Arguments {
    const char* player = nullptr;
    int scale = 0;  // 0: none given
};

// A bad option: one line saying what is wrong, then the usage line, status 1.
[[noreturn]] void refuse(const char* program, const char* format, const char* text) {
    std::printf(format, text);
    fail(usage, program);
}

// One player name and at most one --scale=N, in any order; --help and --version answer at once.
// A missing or second player name gets the usage line alone. All of it goes to standard output,
// as the usage line always has.
Arguments read_arguments(int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "poker";
    Arguments arguments;
    bool second_name = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            std::printf(usage, program);
            print_line("%s", help);
            std::exit(0);
        } else if (std::strcmp(argument, "--version") == 0) {
            print_line("poker %s (V01/L02)\n", POKER_VERSION);
            std::exit(0);
        } else if (std::strncmp(argument, "--scale", 7) == 0 &&
                   (argument[7] == '=' || argument[7] == '\0')) {
            const char* value = argument[7] == '=' ? argument + 8 : "";
            if (arguments.scale != 0) refuse(program, "--scale is given twice\n", "");
            arguments.scale = scale_of(value);
            if (arguments.scale == 0) {
                refuse(program, "--scale needs a whole number from 1 to 8: %s\n",
                       value[0] != '\0' ? value : "none given");
            }
        } else if (argument[0] == '-') {
            // A player name never starts with '-'.
            refuse(program, "unknown option: %s\n", argument);
        } else if (arguments.player == nullptr) {
            arguments.player = argument;
        } else {
            second_name = true;
        }
    }
    if (arguments.player == nullptr || second_name) fail(usage, program);
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "poker";
    const Arguments arguments = read_arguments(argc, argv);
    const char* argument = arguments.player;
    const int scale = arguments.scale;

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
    display.scale = scale;
    open_window(display);
    create_glyphs(display);

    play_games(display, state);

    print_game_over_at_zero(state);
    return 0;
}
