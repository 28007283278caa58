// The player's record read from the hand history, for the commands and the record page.
#pragma once

#include <vector>

#include "record/figures.hpp"
#include "record/review.hpp"

// Reads every line of the history into the figures, and the holds that were not the best into
// holds when it is given. Returns 0, or the error number that stopped the read.
int read_record(const char* history_file, Figures& figures, std::vector<CostlyHold>* holds);
