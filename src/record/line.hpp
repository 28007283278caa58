// One game of the hand history as a line of text: the plain record, its line, the line read back,
// and the checks that tell a line the game wrote from a damaged or edited one. docs/poker.5 is
// the format's manual page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rules/game_log.hpp"

// The history's first lines: its format, then the names of the columns.
inline constexpr std::string_view history_header =
    "# poker hands 1\n"
    "# time\trun\tmode\tbet\tdealt\theld\tfinal\tcategory\twin\tgambles\ttaken\tbefore\tafter\t"
    "end\thold\tbest\n";

// How a game ended: played out, or cut short with the run by a close request, a termination
// signal or the loss of the X server.
enum class GameEnd : std::uint8_t { played, closed, signal, server_lost };

// The run a game belongs to: its start and its process.
struct RunId {
    std::int64_t start = 0;  // seconds since 1970-01-01 UTC
    std::int64_t process = 0;

    friend bool operator==(const RunId&, const RunId&) = default;
};

struct HistoryLine {
    std::int64_t time = 0;  // when the game was settled, seconds since 1970-01-01 UTC
    RunId run;
    bool trainer = false;
    GameLog game;  // dealt, settled; drawn unless the run ended before the draw
    GameEnd end = GameEnd::played;
    // The values of the hold made and of the best hold of the cards dealt, per unit bet, in units
    // of 1 / value_denominator; both 0 for a game that ended before the draw.
    std::int64_t hold_value = 0;
    std::int64_t best_value = 0;
    // Not in the text: the best hold of the cards dealt, as the hint marks it, found when the line
    // is read and checked.
    std::uint8_t best_hold = 0;
};

// The line of a game with its line break. With up to two gambles and amounts of up to six digits
// it stays under 200 bytes; each further gamble adds at most 12.
inline constexpr std::size_t history_line_capacity = 1024;
int format_history_line(char (&text)[history_line_capacity], const HistoryLine& line);

// Reads a line without its line break; false for a line whose fields are not all there and well
// formed. It says nothing of whether the fields agree (line_is_consistent).
bool parse_history_line(std::string_view text, HistoryLine& line);

// Whether the line could have been written by the game: the cards are cards of one deck, the hold
// kept its cards, the category and every amount follow from the cards and the bet as the rules
// say, and the values are those of the strategy. An edited line rarely passes. Notes the best
// hold on the way.
bool line_is_consistent(HistoryLine& line);

// A line of the history as read, without its line break: a comment (or an empty line), a game
// read and found consistent, or a damaged line: cut short, of a later format, or edited.
enum class LineKind : std::uint8_t { comment, game, damaged };
LineKind read_history_text(std::string_view text, bool complete, HistoryLine& line);

// Times as ISO 8601 in UTC, "2024-05-01T12:34:56Z".
inline constexpr std::size_t time_text_capacity = 32;
int format_time(char (&text)[time_text_capacity], std::int64_t time);
bool parse_time(std::string_view text, std::int64_t& time);

// The win a game leaves to take after its listed gambles, as the rules multiply it.
std::int32_t win_after_gambles(const GameLog& game);
