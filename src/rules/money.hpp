// Credit arithmetic: credit, bet and win saturate at the int32 limits instead of wrapping, and
// exact amounts of credits sum what the trainer finds given away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

constexpr std::int32_t clamp_to_int32(std::int64_t value) {
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value < lowest ? lowest : value > highest ? highest : value);
}

// Every sum the game forms (credit plus win, bet plus one) fits in 64 bits, so the clamp is exact.
constexpr std::int32_t saturating_add(std::int32_t a, std::int32_t b) {
    return clamp_to_int32(std::int64_t{a} + std::int64_t{b});
}

// A product of two int32 values fits in 64 bits as well: the payout (multiplier times bet) and
// the double-up (win times 2 or 3).
constexpr std::int32_t saturating_mul(std::int32_t a, std::int32_t b) {
    return clamp_to_int32(std::int64_t{a} * std::int64_t{b});
}

// An exact amount of credits kept in units of 1 / denominator: whole credits and a part below one.
struct ExactAmount {
    std::int64_t whole = 0;
    std::int64_t part = 0;  // 0 to denominator - 1
};

// Adds units / denominator times a count (a bet) to the amount, exactly: units may be anything a
// hold can be worth (up to 500 bets), the count any credit, and no product overflows.
void add_times(ExactAmount& amount, std::int64_t units, std::int32_t count,
               std::int64_t denominator);

// The amount rounded half up to hundredths, as "6.85". Returns the text's length.
inline constexpr std::size_t amount_text_capacity = 32;
int format_hundredths(char (&text)[amount_text_capacity], const ExactAmount& amount,
                      std::int64_t denominator);
