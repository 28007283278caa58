// The flow of play: waits for the player's inputs, applies them to the game and shows what
// happened with the game's messages, colours and pauses; and the end of a run.
#pragma once

#include <cstdint>

#include "display/display.hpp"
#include "store/player_file.hpp"

// Plays a run from this credit until the player ends it with End before betting (the credit is
// saved in the player file) or the credit is gone ("Game Over" shows for 2 seconds); returns the
// credit the run ends with. A close request, a termination signal or the loss of the X server
// ends the run early, settled and saved as the game's rules say, and the process with it.
std::int32_t play_games(DisplayContext& display, std::int32_t credit, const char* player_file);

// The "Game Over" lines, printed when a run ends with the credit at exactly 0.
void print_game_over_at_zero(std::int32_t credit);

// Prints the player file's failure message and ends the process with status 1.
[[noreturn]] void fail_on_store(StoreResult result, const char* player_file);
