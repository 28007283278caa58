// The display's costs, measured on the real program under a private Xvfb, at scale 1 and 3:
//   1. processor time used while the game waits five seconds for a click;
//   2. X round trips (see count_replies.c) from XOpenDisplay to the first click wait and for whole
//      games, on a TrueColor server and, at scale 1, on a PseudoColor one (depth 8), where the
//      colours are still looked up on the server.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "e2e/harness.hpp"
#include "support/xserver.hpp"

namespace {

struct Counts {
    long round_trips = 0;
    long color_lookups = 0;

    Counts operator-(const Counts& other) const {
        return {round_trips - other.round_trips, color_lookups - other.color_lookups};
    }
};

Counts read_counts(const std::string& path) {
    Counts counts;
    std::ifstream in(path);
    in >> counts.round_trips >> counts.color_lookups;
    return counts;
}

long processor_ticks(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    long user = 0, system = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i) {
        if (i == 14) user = std::stol(field);
        if (i == 15) system = std::stol(field);
    }
    return user + system;
}

void require(bool held, const char* what) {
    if (held) return;
    std::fprintf(stderr, "display_bench: %s did not happen\n", what);
    std::exit(1);
}

void measure_wait(const TemporaryDirectory& dir, const XServer& server, int scale) {
    // The real program, nothing preloaded: start it and let it sit at the first click wait.
    ProcessOptions options;
    options.directory = dir.path;
    options.environment = {"DISPLAY=" + server.name};
    const std::string scale_option = "--scale=" + std::to_string(scale);
    const int pid = start_program({POKER_BINARY, scale_option, "bench"}, options, dir.file("out"));
    const Window window = find_window(server.display, "Poker");
    require(window != 0, "the window");
    require(wait_until([&] {
                return shows_text(server.display, window, 1, 20, "Press Bet or Deal", "black",
                                  "white", scale);
            }),
            "the first message");
    const long ticks_per_second = sysconf(_SC_CLK_TCK);
    const long before = processor_ticks(pid);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long used = processor_ticks(pid) - before;
    std::printf(
        "scale %d, waiting for a click: %.2f s of processor time in %.2f s = %.2f%% of one core\n",
        scale, static_cast<double>(used) / ticks_per_second, seconds,
        100.0 * used / ticks_per_second / seconds);
    kill(pid, SIGKILL);
    wait_program(pid);
    // The next game must not find this window.
    wait_until([&] { return !window_exists(server.display, window); });
}

void print_counts(const char* what, const Counts& counts) {
    std::printf("  %-38s %3ld round trips (%ld colour lookups)\n", what, counts.round_trips,
                counts.color_lookups);
}

void measure_round_trips(const TemporaryDirectory& dir, const XServer& server, int scale,
                         const char* visual) {
    GameOptions options;
    options.server = &server;
    options.arguments = {"--scale=" + std::to_string(scale)};
    options.scale = scale;
    // A losing game, then a two-pair game doubled once with a tie and taken.
    options.cards = {"2s", "5h", "9c", "Jd", "Kh", "3s", "7h", "8c", "Qd", "4h",
                     "Kh", "Ks", "2c", "2d", "9h", "7h", "3s", "7c", "9d", "Ah"};
    options.also_preload = COUNT_REPLIES_LIBRARY;
    const std::string count_file = dir.file("counts");
    options.environment = {"POKER_COUNT_FILE=" + count_file};
    PokerGame game(dir, options);
    auto at_bet = [&](int credit) {
        return game.wait_for([&] {
            return game.shows_message("Press Bet or Deal") && game.shows_scores(0, 0, credit);
        });
    };
    require(at_bet(50), "start-up");
    const Counts start_up = read_counts(count_file);

    press(game, bet_button);
    press(game, deal_button);
    require(game.wait_for([&] { return game.shows_message("Select Cards           "); }),
            "the deal");
    press(game, deal_button);
    require(at_bet(49), "the losing game");
    const Counts lost = read_counts(count_file);

    press(game, bet_button);
    press(game, deal_button);
    require(game.wait_for([&] { return game.shows_message("Select Cards           "); }),
            "the second deal");
    for (int position = 0; position < 5; ++position) {
        press(game, hold_button(position));
        require(game.wait_for([&] { return game.shows(32 * position + 7, 84, "[H]"); }), "hold");
    }
    press(game, deal_button);
    require(game.wait_for([&] { return game.shows_message("Double Up-Take Score ? "); }),
            "the offer");
    press(game, double_button);
    require(game.wait_for([&] { return game.shows_message("Select Bigger Card     "); }),
            "the gamble");
    press(game, pick_button(2));
    require(game.wait_for([&] { return game.shows(71, 84, "[S]"); }), "the pick");
    press(game, deal_button);
    require(game.wait_for([&] {
        return game.shows_message("Double Up-Take Score ? ") && game.shows_scores(1, 4, 48);
    }),
            "the second offer");
    press(game, take_button);
    require(at_bet(52), "the won game");
    const Counts won = read_counts(count_file);
    press(game, end_button);
    require(game.finish() == 0, "the end of the run");

    std::printf("scale %d, %s:\n", scale, visual);
    print_counts("start-up to the first click wait:", start_up);
    print_counts("one losing game:", lost - start_up);
    print_counts("one won game with a double-up:", won - lost);
}

}  // namespace

int main() {
    // Screens large enough for the window at scale 3.
    const XServer server = start_separate_server({"-screen", "0", "1024x768x24"});
    for (const int scale : {1, 3}) {
        // Each scale starts with a new player.
        const TemporaryDirectory dir;
        measure_wait(dir, server, scale);
        measure_round_trips(dir, server, scale, "TrueColor, depth 24");
    }
    const XServer pseudo_colour = start_separate_server({"-screen", "0", "1024x768x8"});
    {
        const TemporaryDirectory dir;
        measure_round_trips(dir, pseudo_colour, 1, "PseudoColor, depth 8");
    }
    for (const XServer* each : {&server, &pseudo_colour}) {
        XCloseDisplay(each->display);
        kill(each->pid, SIGTERM);
        wait_program(each->pid);
    }
    return 0;
}
