// The exact strategy: the value of every hold of a hand and what a pay table returns under perfect
// play, on the rules alone. docs/strategy.md explains the method with a worked hand.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <numeric>

#include "rules/card.hpp"
#include "rules/evaluate.hpp"

// ---- Counting

// The number of ways to pick k of n cards; 0 when k is out of range.
constexpr std::int64_t choose(int n, int k) {
    if (k < 0 || k > n) return 0;
    // After step i, ways is choose(n - k + i, i), so every division is exact.
    std::int64_t ways = 1;
    for (int i = 1; i <= k; ++i)
        ways = ways * (n - k + i) / i;
    return ways;
}

// Every five-card hand the deck can deal.
inline constexpr std::int64_t deal_count = choose(deck_size, hand_size);

// ---- Hold values

// A hold keeps any of the five cards: bit p keeps the card at position p of the hand.
inline constexpr int hold_count = 1 << hand_size;

// Multipliers by row of payout_table.
using PayTable = std::array<std::int64_t, category_count>;
PayTable game_pay_table();

// A hold of k cards draws the other hand_size - k from the cards the deal leaves, every draw as
// likely. Every hold's value is then a whole number of units of 1 / value_denominator, the least
// common multiple of the numbers of draws.
inline constexpr std::int64_t value_denominator = [] {
    std::int64_t multiple = 1;
    for (int drawn = 0; drawn <= hand_size; ++drawn)
        multiple = std::lcm(multiple, choose(deck_size - hand_size, drawn));
    return multiple;
}();

struct HoldValues {
    // By hold: the expected payout per unit bet, in units of 1 / value_denominator.
    std::array<std::int64_t, hold_count> value;
    unsigned best;   // the first hold of the highest value
    int best_count;  // how many holds reach that value
};

// Under the game's own pay table. The tables live in static storage, built on first use (a few
// milliseconds, or ahead of time by prepare_game_strategy); later calls allocate nothing. Each is
// false, with its result untouched, unless the hand holds five different cards of the deck.
// hold_cost is what the hold gives away against the best hold, in units of 1 / value_denominator
// per unit bet: 0 for a best hold; it is false too for a hold that is not one of the 32.
void prepare_game_strategy();
bool best_hold(const Hand& hand, unsigned& hold);
bool game_hold_values(const Hand& hand, HoldValues& values);
bool hold_cost(const Hand& hand, unsigned hold, std::int64_t& cost);

// Under any pay table: builds that table's tables on the heap each call (a few milliseconds).
bool hold_values_under(const Hand& hand, const PayTable& pays, HoldValues& values);

// The holds, best first, tied holds in hold order.
std::array<std::uint8_t, hold_count> holds_best_first(const HoldValues& values);

// ---- Exact fractions

// The sums over every deal outgrow 64 bits for pay tables with large multipliers.
__extension__ typedef __int128 Wide;

// Kept in lowest terms with a positive denominator.
struct Fraction {
    Wide numerator = 0;
    Wide denominator = 1;

    friend bool operator==(const Fraction&, const Fraction&) = default;
};

// The denominator, and a divisor, must not be 0.
Fraction make_fraction(Wide numerator, Wide denominator);
Fraction operator+(const Fraction& a, const Fraction& b);
Fraction operator*(const Fraction& a, const Fraction& b);
Fraction operator/(const Fraction& a, const Fraction& b);

// Texts in fixed buffers: a whole number, "n/d" (or "n" when d is 1), and the decimal rounded
// to the given number of digits. Each returns the text's length.
inline constexpr std::size_t number_text_capacity = 96;
int format_wide(char (&text)[number_text_capacity], Wide value);
int format_fraction(char (&text)[number_text_capacity], const Fraction& value);
int format_decimal(char (&text)[number_text_capacity], const Fraction& value, int digits);

// ---- What a pay table returns

struct TableAnalysis {
    PayTable pays;
    Fraction perfect_return;  // per unit bet, holding the best hold of every deal
    // The final hand's category under perfect play: the nine rows, then no win. When holds tie,
    // the one whose draws make the better hands more often is played.
    std::array<Fraction, category_count + 1> probability;
    Fraction keep_return;     // per unit bet, holding every deal as it comes
    Fraction double_up;       // paid back per unit staked on one double-up gamble
    std::int64_t tied_deals;  // deals whose best value more than one hold reaches

    friend bool operator==(const TableAnalysis&, const TableAnalysis&) = default;
};

// Builds the pay table's tables and adds up the best hold of every deal (some milliseconds).
TableAnalysis analyse_pay_table(const PayTable& pays);

// What one double-up gamble pays back per unit staked, over every dealer card and pick of a
// fresh deck, by the rules' gamble_factor.
Fraction double_up_value();
