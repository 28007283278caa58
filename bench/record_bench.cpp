// The hand history's costs: a history of a million games played by the game model (mostly best
// holds, some random ones, wins taken or gambled at random) appended one game at a time as a run
// appends it, then poker --stats and poker --review reading it, beside grep -c over the same file.
// Prints the bytes per game, the append's cost and each read's time.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "play/history.hpp"
#include "rules/game.hpp"
#include "strategy/strategy.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::mt19937 generator(1);

int draw() {
    return static_cast<int>(generator() & 0xFFFF);
}

bool chance(int percent) {
    return static_cast<int>(generator() % 100) < percent;
}

// One game from the bet to its settlement, with the append a run makes; returns the seconds the
// append took.
double play_one_game(GameState& state, const Sources& sources, RunHistory& history) {
    const int bet = 1 + static_cast<int>(generator() % 5);
    for (int i = 0; i < bet; ++i)
        apply_input(state, Input::bet, sources);
    apply_input(state, Input::deal, sources);
    if (chance(85)) {
        apply_input(state, Input::hint, sources);
    } else {
        for (int p = 0; p < hand_size; ++p) {
            if (chance(40))
                apply_input(state, static_cast<Input>(static_cast<int>(Input::hold_1) + p),
                            sources);
        }
    }
    apply_input(state, Input::deal, sources);
    while (state.phase == Phase::on_offer) {
        if (chance(70)) {
            apply_input(state, Input::take, sources);
            break;
        }
        apply_input(state, Input::double_up, sources);
        if (state.phase != Phase::gambling) continue;
        apply_input(state, static_cast<Input>(static_cast<int>(Input::pick_2) + generator() % 4),
                    sources);
        apply_input(state, Input::deal, sources);
    }
    const Clock::time_point start = Clock::now();
    append_game(history, state.log, GameEnd::played);
    return seconds_since(start);
}

// Processor seconds (user and system) of the children waited for so far.
double children_seconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The wall time and the processor time of a command; on a busy machine the second is the one to
// trust.
struct Times {
    double wall;
    double processor;
};

Times run_command(const std::string& command) {
    const Clock::time_point start = Clock::now();
    const double before = children_seconds();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    return {seconds_since(start), children_seconds() - before};
}

}  // namespace

int main(int argc, char** argv) {
    const long games = argc > 1 ? std::atol(argv[1]) : 1000000;
    char directory[] = "/tmp/record_bench.XXXXXX";
    if (mkdtemp(directory) == nullptr || chdir(directory) != 0) return 1;

    Clock::time_point start = Clock::now();
    prepare_game_strategy();
    std::printf("strategy tables built once a run: %.1f ms\n", seconds_since(start) * 1e3);

    const Sources sources{draw, best_hold, hold_cost, value_denominator};
    RunHistory history;
    begin_history(history, "tavlek.bench.sv", false);
    GameState state;
    start_run(state, 1000000);
    double appending = 0;
    start = Clock::now();
    for (long game = 0; game < games; ++game) {
        if (state.phase != Phase::betting) start_run(state, 1000000);
        appending += play_one_game(state, sources, history);
    }
    const double playing = seconds_since(start);
    struct stat info {};
    stat(history.name, &info);
    std::printf(
        "%ld games played by the model in %.2f s; the history holds %lld bytes, %.1f a game\n",
        games, playing, static_cast<long long>(info.st_size),
        static_cast<double>(info.st_size) / static_cast<double>(games));
    std::printf("append (values, line, one write): %.2f us a game\n",
                appending / static_cast<double>(games) * 1e6);

    const std::string poker = POKER_BINARY;
    const struct {
        const char* what;
        std::string command;
    } reads[] = {
        {"grep -c over the history", "grep -c . tavlek.bench.hands > /dev/null"},
        {"poker --stats", poker + " --stats bench > /dev/null"},
        {"poker --stats --json", poker + " --stats --json bench > /dev/null"},
        {"poker --review", poker + " --review bench > /dev/null"},
        {"poker --review --all --json", poker + " --review --all --json bench > /dev/null"},
    };
    for (const auto& read : reads) {
        // The first read brings the file into the page cache; the best of three is reported.
        Times best = run_command(read.command);
        for (int i = 0; i < 2; ++i) {
            const Times times = run_command(read.command);
            if (times.wall < best.wall) best = times;
        }
        std::printf("%-30s %7.3f s wall, %7.3f s processor  (%.2f us a game)\n", read.what,
                    best.wall, best.processor, best.processor / static_cast<double>(games) * 1e6);
    }
    // POKER_BENCH_KEEP leaves the history for a look.
    if (std::getenv("POKER_BENCH_KEEP") != nullptr) {
        std::printf("kept in %s\n", directory);
        return 0;
    }
    unlink((std::string(directory) + "/" + history.name).c_str());
    rmdir(directory);
    return 0;
}
