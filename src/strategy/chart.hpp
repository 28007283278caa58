// Strategy charts: the pattern of every hold in words a player can apply, a chart of patterns
// derived for any pay table, and its exact return against perfect play. docs/strategy.md gives
// the words and the rules.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "rules/card.hpp"
#include "strategy/strategy.hpp"

// ---- Patterns

// A hold's pattern, a function of the cards kept alone (never of the cards thrown away): made
// hands, groups of equal ranks, draws to a royal, straight flush, flush or straight with the
// number of straights the cards fit in, a single card by its rank, the joker.
using PatternCode = std::uint16_t;

// The pattern of the cards a hold keeps (bit p keeps position p); the hand's cards must differ.
PatternCode hold_pattern(const Hand& hand, unsigned hold);

// A pattern's words, at most 23 characters: the game's message line.
inline constexpr int pattern_text_length = 23;
using PatternText = std::array<char, pattern_text_length + 1>;
PatternText pattern_text(PatternCode pattern);

// The pattern with these words; false when no pattern has them.
bool parse_pattern(std::string_view text, PatternCode& pattern);

// ---- A chart and one hand in it

// Lines of patterns, best first: a player holds the first line that the hand contains. Of several
// holds of that line, the one with the highest cards (the highest first, then the next) is kept;
// where the ranks tie, the one whose cards, highest first, come first in the suit order spades,
// hearts, clubs, diamonds.
struct Chart {
    std::vector<PatternCode> lines;
};

// Where a hand falls in the chart: its line (from 0) and the hold the chart keeps; false when the
// hand contains no line (a chart that ends with "Draw five" decides every hand) or does not hold
// five different cards.
struct ChartPlace {
    int line;
    unsigned hold;  // bit p keeps position p
};
bool place_in_chart(const Chart& chart, const Hand& hand, ChartPlace& place);

// The game's own chart, derived at build time from the game's pay table.
const Chart& game_chart();

// ---- A chart's exact return

struct ChartLineReport {
    PatternCode pattern;
    std::int64_t deals;  // the deals whose hold this line decides
    Wide lost;           // what those deals give away against perfect play, in units of
                         // 1 / value_denominator per unit bet, summed over the deals
};

struct ChartReport {
    Chart chart;
    std::vector<ChartLineReport> lines;
    Fraction chart_return;    // per unit bet, every deal played by the chart
    Fraction perfect_return;  // per unit bet, every deal played perfectly
};

// Plays every deal by the chart and adds up exactly what it returns (some tens of milliseconds).
ChartReport check_chart(const PayTable& pays, const Chart& chart);

// Derives a chart of at most max_lines lines from the exact values of every deal, and checks it
// (about a second). The game's table needs 56 lines for all that patterns can give; 50 keep
// 99.97% of perfect play.
inline constexpr int chart_line_limit = 50;
ChartReport derive_chart(const PayTable& pays, int max_lines = chart_line_limit);
