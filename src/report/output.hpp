// The end of a program's answer on standard output: it counts only once written in full.
#pragma once

// Flushes, checks and closes standard output, as the coreutils' close_stdout has it: a full disk
// or a closed output is a failure, said in one line on standard error after the prefix
// ("poker-odds: " or nothing), "cannot write to standard output: " and the reason. Returns the
// program's exit status: 0, or 1 on a failure.
int output_status(const char* prefix = "");
