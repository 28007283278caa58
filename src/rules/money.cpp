#include "rules/money.hpp"

#include <cstdio>

void add_times(ExactAmount& amount, std::int64_t units, std::int32_t count,
               std::int64_t denominator) {
    // units = whole * denominator + rest, with rest below the denominator, so that rest * count
    // stays far inside 64 bits.
    amount.whole += units / denominator * count;
    const std::int64_t rest = units % denominator * count + amount.part;
    amount.whole += rest / denominator;
    amount.part = rest % denominator;
}

int format_hundredths(char (&text)[amount_text_capacity], const ExactAmount& amount,
                      std::int64_t denominator) {
    // Hundredths of the part, rounded half up: 100 * part / denominator + 1/2, carried over.
    const std::int64_t hundredths = (200 * amount.part + denominator) / (2 * denominator);
    const std::int64_t whole = amount.whole + hundredths / 100;
    return std::snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(whole),
                         static_cast<long long>(hundredths % 100));
}
