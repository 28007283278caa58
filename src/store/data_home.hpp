// Where a run started from the desktop menu keeps the player's files: the game's data directory
// under the XDG Base Directory rules, and the one move there of what an older version, started in
// the home directory, left there.
#pragma once

#include <cstddef>

inline constexpr std::size_t directory_capacity = 4096;
using DirectoryPath = char[directory_capacity];

// $XDG_DATA_HOME/poker where XDG_DATA_HOME is an absolute path, else HOME/.local/share/poker;
// false where home is no absolute path either, or the path does not fit.
bool data_directory(const char* xdg_data_home, const char* home, DirectoryPath& path);

// Enters the directory at path, made first with any parent that is missing (mode 0700, as the XDG
// rules ask, so that the player alone reads the data). Returns 0 or the error number.
int enter_directory(const char* path);

// Moves the player's files from the directory home into the current one: the player file and the
// hand history beside it (".hands" for ".sv"), regular files only, each where the current
// directory has no file of its name. A file in both places stays in both, unless the two hold the
// same bytes (a move cut short), when the one in home goes. While another run plays with the
// player file in home nothing moves: in_use, with that run's process id in holder (0 when it
// cannot be told). A home that is not there holds nothing to move. failed gives the error number
// that stopped a move; what was not moved stays.
enum class MoveResult { ok, in_use, failed };
MoveResult move_player_files(const char* home, const char* player_file, long& holder, int& error);
