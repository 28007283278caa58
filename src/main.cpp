// The program entry: start-up in order, then the games, then the end of the run.
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display.hpp"
#include "play/chance.hpp"
#include "play/commands.hpp"
#include "play/play.hpp"
#include "report/output.hpp"
#include "rules/state.hpp"
#include "store/data_home.hpp"
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

// The line of a player file that another run plays with; the run ends.
[[noreturn]] void fail_in_use(const char* file, long holder) {
    char line[directory_capacity + player_file_capacity + 64];
    if (holder > 0) {
        std::snprintf(line, sizeof line, "player file %s is in use by process %ld\n", file, holder);
    } else {
        std::snprintf(line, sizeof line, "player file %s is in use by another run\n", file);
    }
    fail("%s", line);
}

// One run per player at a time: two runs would each save their own credit over the other's. A
// second run says so before it reads or draws anything.
void lock_or_fail(const char* player_file) {
    long holder = 0;
    if (lock_player_file(player_file, holder) != LockResult::ok) fail_in_use(player_file, holder);
}

// The home directory: HOME where it is an absolute path, else the user database's.
const char* home_directory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr ? user->pw_dir : nullptr;
}

// Started from the desktop menu (--data-home), the run keeps its files where desktop programs
// keep their data, made if missing, instead of the directory it was started in.
void enter_data_home(const char* home) {
    DirectoryPath directory;
    if (!data_directory(std::getenv("XDG_DATA_HOME"), home, directory)) {
        fail("no data directory: %s\n", "HOME is not an absolute path");
    }
    if (const int error = enter_directory(directory); error != 0) {
        std::printf("cannot make the data directory %s: ", directory);
        fail("%s\n", std::strerror(error));
    }
}

// The player's files that an older version, started in the home directory, left there come
// along once; with this run's lock held, so that no other run of the player uses either place.
void move_from_home(const char* home, const char* player_file) {
    long holder = 0;
    int error = 0;
    switch (move_player_files(home, player_file, holder, error)) {
        case MoveResult::ok:
            return;
        case MoveResult::in_use: {
            char file[directory_capacity + player_file_capacity];
            std::snprintf(file, sizeof file, "%s/%s", home, player_file);
            fail_in_use(file, holder);
        }
        case MoveResult::failed:
            std::printf("player file %s cannot be moved from %s: ", player_file, home);
            fail("%s\n", std::strerror(error));
    }
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

const char* const usage = "Usage : %s player-name \n";

// What --help prints below the usage line; the whole help stays within 20 lines.
const char* const help =
    "Video draw poker for one player, in a window on the X display.\n"
    "Options:\n"
    "  --scale=N   start the window N times larger, N from 1 to 8 (else from Xft.dpi)\n"
    "  --trainer   play with a trainer, who holds back once a Deal whose hold is not the\n"
    "              best and says what it gives away (\"Best holds +0.55 a bet\")\n"
    "  --data-home keep the files in $XDG_DATA_HOME/poker (~/.local/share/poker), as\n"
    "              the menu does, bringing an older version's from the home directory\n"
    "  --stats     print the player's lifetime figures from the hand history\n"
    "  --review    print the costliest holds that were not the best (--all: every one)\n"
    "  --json      with --stats or --review: the same for scripts\n"
    "  -h, --help  print this help and exit\n"
    "  --version   print the version and exit\n"
    "The window takes any size and shows the game as large as fits.\n"
    "Keys: b Bet, d (or Return, space) Deal, e End, u Double, t Take,\n"
    "  1 to 5 the button under that card, h or ? the best hold, s the record,\n"
    "  f full screen on or off; any mouse button clicks the bracketed buttons.\n"
    "The credit of player NAME is kept in tavlek.NAME.sv in the current directory,\n"
    "and every hand played in tavlek.NAME.hands beside it.\n";

struct Arguments {
    const char* player = nullptr;
    int scale = 0;  // 0: none given
    bool trainer = false;
    bool record = false;  // --stats or --review: print the record instead of playing
    RecordCommand command = RecordCommand::stats;
    bool json = false;
    bool all = false;
    bool data_home = false;  // the files in the data directory, as the menu starts the game
};

// A bad option: one line saying what is wrong, then the usage line, status 1.
[[noreturn]] void refuse(const char* program, const char* format, const char* text) {
    std::printf(format, text);
    fail(usage, program);
}

// One player name, at most one --scale=N and --trainer, in any order; --help and --version answer
// at once. A missing or second player name gets the usage line alone. All of it goes to standard
// output, as the usage line always has.
Arguments read_arguments(int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "poker";
    Arguments arguments;
    bool second_name = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            std::printf(usage, program);
            print_line("%s", help);
            std::exit(output_status());
        } else if (std::strcmp(argument, "--version") == 0) {
            print_line("poker %s (V01/L02)\n", POKER_VERSION);
            std::exit(output_status());
        } else if (std::strcmp(argument, "--trainer") == 0) {
            arguments.trainer = true;
        } else if (std::strcmp(argument, "--data-home") == 0) {
            arguments.data_home = true;
        } else if (std::strcmp(argument, "--stats") == 0 ||
                   std::strcmp(argument, "--review") == 0) {
            const RecordCommand command =
                argument[2] == 's' ? RecordCommand::stats : RecordCommand::review;
            if (arguments.record && arguments.command != command) {
                refuse(program, "--stats and --review are given together\n", "");
            }
            arguments.record = true;
            arguments.command = command;
        } else if (std::strcmp(argument, "--json") == 0) {
            arguments.json = true;
        } else if (std::strcmp(argument, "--all") == 0) {
            arguments.all = true;
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
    if (arguments.json && !arguments.record)
        refuse(program, "--json needs --stats or --review\n", "");
    if (arguments.all && !(arguments.record && arguments.command == RecordCommand::review)) {
        refuse(program, "--all needs --review\n", "");
    }
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "poker";
    const Arguments arguments = read_arguments(argc, argv);
    const char* argument = arguments.player;
    const int scale = arguments.scale;

    static PlayerFileName player_file;
    switch (make_player_file_name(argument, player_file)) {
        case NameCheck::ok:
            break;
        case NameCheck::too_long:
            fail("player name too long : %s \n", argument);
        case NameCheck::contains_slash:
            fail("player name contains '/' : %s \n", argument);
    }

    // The record is read from the history and printed alone, with no display and no lock; with
    // --data-home, the history of the data directory.
    const char* home = arguments.data_home ? home_directory() : nullptr;
    if (arguments.record) {
        if (arguments.data_home) enter_data_home(home);
        const int status =
            print_record(player_file, arguments.command, arguments.json, arguments.all);
        std::exit(status != 0 ? status : output_status());
    }

    print_line("%s V01/L02 \n", program);
    print_line("player file name : %s \n", player_file);
    keep_standard_descriptors();
    if (arguments.data_home) enter_data_home(home);
    lock_or_fail(player_file);
    if (arguments.data_home) move_from_home(home, player_file);
    remove_stale_temporaries(player_file);
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

    play_games(display, credit, player_file, arguments.trainer);
    return 0;
}
