// What a pay table returns: under perfect play, by final category, when the deal is always kept,
// and the double-up gamble's value, as exact fractions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "strategy/hold_values.hpp"

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

inline constexpr std::int64_t deal_count = 2869685;  // five-card hands of the 53-card deck

struct TableAnalysis {
    PayTable pays;
    Fraction perfect_return;  // per unit bet, holding the best hold of every deal
    // The final hand's category under perfect play: the nine rows, then no win. When holds tie,
    // the first of them in the order of the deal's cards is played.
    std::array<Fraction, category_count + 1> probability;
    Fraction keep_return;     // per unit bet, holding every deal as it comes
    Fraction double_up;       // paid back per unit staked on one double-up gamble
    std::int64_t tied_deals;  // deals whose best value more than one hold reaches

    friend bool operator==(const TableAnalysis&, const TableAnalysis&) = default;
};

// From nothing: builds the tables, walks the suit classes of the deals and adds up the best
// hold of each. threads is 1 or 2.
TableAnalysis analyse_pay_table(const PayTable& pays, int threads = 1);

// The same on tables already built for the pay table.
TableAnalysis analyse_pay_table(const SubsetTables& tables, const PayTotals& totals,
                                int threads = 1);

// What one double-up gamble pays back per unit staked, over every dealer card and pick of a
// fresh deck, by the rules' gamble_factor.
Fraction double_up_value();
