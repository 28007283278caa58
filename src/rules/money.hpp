// Saturating credit arithmetic: credit, bet and win stop at the int32 limits instead of wrapping.
#pragma once

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
