// The player's lifetime figures, added up line by line from the hand history, and their text and
// JSON printers (poker --stats).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "record/line.hpp"
#include "strategy/strategy.hpp"

// The last games' credits, for the record page's plot: one pixel column a game.
inline constexpr int plot_capacity = 160;
struct PlotPoint {
    std::int32_t credit = 0;  // the credit after the game
    RunId run;
};

struct GambleFigures {
    std::int64_t played = 0;
    std::int64_t won = 0;
    std::int64_t lost = 0;
    std::int64_t joker = 0;  // the dealer's joker tripled the win
};

struct Figures {
    std::int64_t hands = 0;  // every game in the history
    std::int64_t runs = 0;
    std::int64_t first = 0;  // the times of the first and the last game, when there is one
    std::int64_t last = 0;
    std::int64_t staked = 0;
    std::int64_t won = 0;    // what the final hands paid, before any gamble
    std::int64_t taken = 0;  // what went into the credit
    std::array<std::int64_t, category_count> categories{};  // by row of payout_table
    std::int64_t no_win = 0;
    std::int64_t largest_take = 0;
    GambleFigures gambles;
    std::int64_t gambles_added = 0;  // taken less won, over the games with a gamble
    // The holds: the games that reached the draw, those whose hold was a best one, and the sums
    // of bet times the value of the hold made and of the best hold, in units of value_denominator.
    std::int64_t drawn = 0;
    std::int64_t best_holds = 0;
    Wide made_value = 0;
    Wide best_value = 0;
    std::int64_t damaged = 0;  // lines skipped: cut short, of a later format or edited
    std::int64_t gaps = 0;  // lines whose credit does not follow on from the line before in a run
    // The last games, oldest first from recent_start, as a ring.
    std::array<PlotPoint, plot_capacity> recent{};
    int recent_count = 0;
    int recent_start = 0;
};

// Adds one game read and checked.
void add_game(Figures& figures, const HistoryLine& line);

// The i-th of the last games, oldest first.
const PlotPoint& recent_game(const Figures& figures, int i);

// The share of perfect play's value the holds made reached, 1 for perfect play; 0 while no hold
// has been made, as every figure of an empty history is.
double played_share(const Figures& figures);

// A share in percent with two decimals ("89.93%"), or "-" where there is nothing to share.
inline constexpr std::size_t percent_text_capacity = number_text_capacity + 1;
int format_percent(char (&text)[percent_text_capacity], Wide part, Wide whole);

// Perfect play under the game's table: its return and the chance of each final hand.
TableAnalysis game_table_analysis();

// At most 20 lines of text, and one JSON object.
std::string figures_text(const Figures& figures, const TableAnalysis& table);
std::string figures_json(const Figures& figures, const TableAnalysis& table);
