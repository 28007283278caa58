// The hand history as the flow keeps it: a line appended for each game when it is settled, and
// the player told once when the history cannot be written, which never stops play.
#pragma once

#include "record/line.hpp"
#include "store/history.hpp"

struct RunHistory {
    HistoryFileName name{};
    HistoryFile file;
    RunId run;
    bool trainer = false;
    bool told = false;  // the player has heard that the history cannot be written
};

// Names the run's history and the run itself; the file is opened at the first game's end.
void begin_history(RunHistory& history, const char* player_file, bool trainer);

// Appends the settled game's line with the values of its hold and of the best hold.
void append_game(RunHistory& history, const GameLog& game, GameEnd end);
