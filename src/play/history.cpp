#include "play/history.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "strategy/strategy.hpp"

namespace {

void tell_once(RunHistory& history, int error) {
    if (history.told) return;
    history.told = true;
    std::printf("history file %s cannot be written: %s\n", history.name, std::strerror(error));
    std::fflush(stdout);
}

}  // namespace

void begin_history(RunHistory& history, const char* player_file, bool trainer) {
    make_history_file_name(player_file, history.name);
    // Test seam: the run's start comes from the C library's time(), which the tests fix.
    history.run = RunId{static_cast<std::int64_t>(std::time(nullptr)), getpid()};
    history.trainer = trainer;
}

void append_game(RunHistory& history, const GameLog& game, GameEnd end) {
    HistoryLine line;
    line.time = static_cast<std::int64_t>(std::time(nullptr));
    line.run = history.run;
    line.trainer = history.trainer;
    line.game = game;
    line.end = end;
    // The tables were built when the run began, so this costs a fraction of a microsecond.
    HoldValues values{};
    if (game.drawn && game_hold_values(game.first, values)) {
        line.hold_value = values.value[game.held];
        line.best_value = values.value[values.best];
    }
    char text[history_line_capacity];
    const int length = format_history_line(text, line);
    // A history that could not be opened is tried again at the next game.
    if (history.file.fd < 0) {
        if (const int error = open_history(history.name, history_header, history.file);
            error != 0) {
            tell_once(history, error);
            return;
        }
    }
    if (const int error = append_history(history.file, {text, static_cast<std::size_t>(length)});
        error != 0) {
        tell_once(history, error);
    }
}
