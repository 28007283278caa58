// The program entry: start-up in order, then the games, then the end of the run.
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
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

// An answer on standard output (--help, --version) counts only once written in full, as the
// coreutils' close_stdout has it: a full disk or a closed output is a failure, said on standard
// error.
int output_status() {
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0 && std::fclose(stdout) == 0) return 0;
    std::fprintf(stderr, "cannot write to standard output: %s\n", std::strerror(errno));
    return 1;
}

// Started from a menu, the game may find standard input, output or error closed. Each is given
// /dev/null, so that no file or socket opened later takes its number and receives the lines meant
// for a terminal; the run plays on without them, as it does with its output on /dev/null.
void keep_standard_descriptors() {
    int fd = 0;
    do {
        fd = open("/dev/null", O_RDWR);
    } while (fd >= 0 && fd <= 2);
    if (fd > 2) close(fd);
}

// One run per player at a time: two runs would each save their own credit over the other's. A
// second run says so before it reads or draws anything.
void lock_or_fail(const char* player_file) {
    long holder = 0;
    if (lock_player_file(player_file, holder) == LockResult::ok) return;
    char line[player_file_capacity + 64];
    if (holder > 0) {
        std::snprintf(line, sizeof line, "player file %s is in use by process %ld\n", player_file,
                      holder);
    } else {
        std::snprintf(line, sizeof line, "player file %s is in use by another run\n", player_file);
    }
    fail("%s", line);
}

// A new player whose file cannot be created would learn it only when the run ends and the credit
// is lost; told at once, the player may still play for nothing.
void warn_if_uncreatable(const char* player_file) {
    if (const int error = new_file_error(player_file); error != 0) {
        std::printf("player file %s cannot be created here: %s\n", player_file,
                    std::strerror(error));
        std::fflush(stdout);
    }
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
            return output_status();
        }
        if (std::strcmp(argument, "--version") == 0) {
            print_line("%s V01/L02 \n", program);
            return output_status();
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
    keep_standard_descriptors();
    lock_or_fail(player_file);
    warn_if_uncreatable(player_file);

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
