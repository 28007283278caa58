// The flow of play: waits for the player's inputs, applies them to the game and shows what
// happened with the game's messages, colours and pauses; and the end of a run.
#pragma once

#include <cstdint>

#include "display/display.hpp"
#include "store/player_file.hpp"

// Plays a run from this credit, with the trainer at the player's side if asked, until the player
// ends it with End before betting (the credit is saved in the player file) or the credit is gone
// ("Game Over" shows for 2 seconds), and prints the lines a run ends with ("Game Over" at a
// credit of 0, the trainer's tally). A close request, a termination signal or the loss of the X
// server ends the run early, settled and saved as the game's rules say, and the process with it.
void play_games(DisplayContext& display, std::int32_t credit, const char* player_file,
                bool trainer);

// Prints the player file's failure message and ends the process with status 1.
[[noreturn]] void fail_on_store(StoreResult result, const char* player_file);
