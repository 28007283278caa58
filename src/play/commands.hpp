// The player's record on the command line: poker --stats and poker --review, read from the hand
// history beside the player file, with no display.
#pragma once

enum class RecordCommand { stats, review };

// Prints the figures or the review of the player whose file this is, as text or JSON (the review
// lists every costly hold with all); returns the exit status. A history that cannot be read is
// said on standard error with status 1; a missing one is an empty record.
int print_record(const char* player_file, RecordCommand command, bool json, bool all);
