// The program entry: start-up in order, then the games, then the end of the run.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display.hpp"
#include "play/chance.hpp"
#include "play/play.hpp"
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
    return text[0] >= '1' && text[0] <= '8' && text[1] == '\0' ? text[0] - '0' : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "poker";
    const char* usage = "Usage : %s player-name \n";

    // A player name never starts with '-': alone, such an argument asks for help or the version.
    if (argc == 2 && argv[1][0] == '-') {
        const char* argument = argv[1];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            print_line(usage, program);
            return 0;
        }
        if (std::strcmp(argument, "--version") == 0) {
            print_line("%s V01/L02 \n", program);
            return 0;
        }
    }
    // One player name, and at most one --scale=N before or after it.
    const char* argument = nullptr;
    int scale = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--scale=", 8) == 0 && scale == 0) {
            scale = scale_of(argv[i] + 8);
            if (scale == 0) fail(usage, program);
        } else if (argv[i][0] != '-' && argument == nullptr) {
            argument = argv[i];
        } else {
            fail(usage, program);
        }
    }
    if (argument == nullptr) fail(usage, program);

    static PlayerFileName player_file;
    switch (make_player_file_name(argument, player_file)) {
        case NameCheck::ok:
            break;
        case NameCheck::too_long:
            fail("player name too long : %s \n", argument);
        case NameCheck::contains_slash:
            fail("player name contains '/' : %s \n", argument);
    }

    print_line("%s V01/L02 \n", program);
    print_line("player file name : %s \n", player_file);

    std::int32_t credit = starting_credit;
    if (const StoreResult loaded = load_credit(player_file, credit); loaded != StoreResult::ok) {
        fail_on_store(loaded, player_file);
    }
    seed_random();

    // From here on the run can be asked to end, and it ends with the credit saved.
    catch_termination_signals();
    DisplayContext& display = open_display(scale);
    create_glyphs(display);

    play_games(display, credit, player_file, false);
    return 0;
}
