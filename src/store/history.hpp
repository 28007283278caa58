// The hand history "tavlek.NAME.hands" beside the player file: text lines appended one game at a
// time, and read back line by line. What the lines say is the record's business, not the store's.
#pragma once

#include <cstddef>
#include <string_view>

#include "store/player_file.hpp"

// The history's name is the player file's with ".hands" in place of ".sv".
inline constexpr std::size_t history_file_capacity = player_file_capacity + 3;
using HistoryFileName = char[history_file_capacity];
void make_history_file_name(const char* player_file, HistoryFileName& name);

// The history open for appending. A file that does not end its last line (a write cut short by a
// crash or a full disk) has that line ended first, so the damage stays on one line.
struct HistoryFile {
    int fd = -1;
    bool torn_tail = false;
};

// Opens the history for appending, creating it if it is missing; a new or empty file gets the
// header first. Opened as the player file is: never through a symbolic link, never waiting on a
// FIFO, and only a regular file. Returns 0, or the error number that refused it (EISDIR, EINVAL
// for a FIFO or a device in its place).
int open_history(const char* path, std::string_view header, HistoryFile& file);

// Appends one line in one write (no fsync: the player file is the durable record). Returns 0, or
// the error number of the write that failed.
int append_history(HistoryFile& file, std::string_view line);

// Reads the history's lines in turn, each without its line break; a last line without one (a
// write cut short) is passed as incomplete, and so is a line longer than history_read_capacity,
// cut there. A missing history has no line. Returns 0, or the error number that stopped the read.
inline constexpr std::size_t history_read_capacity = 4096;
using HistoryVisitor = void (*)(void* context, std::string_view line, bool complete);
int read_history(const char* path, HistoryVisitor visit, void* context);
