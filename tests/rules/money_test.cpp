#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "rules/money.hpp"

namespace {

constexpr std::int32_t top = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t bottom = std::numeric_limits<std::int32_t>::min();

TEST(Money, SumsStopAtTheLimits) {
    struct Case {
        std::int32_t a, b, sum;
    };
    const Case cases[] = {
        {50, 6, 56},
        {top - 1, 1, top},
        {top, 1, top},
        {top, top, top},
        {2000000000, 2000000000, top},
        {-5, 3, -2},
        {bottom, -1, bottom},
        {-100, top, top - 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(saturating_add(c.a, c.b), c.sum) << c.a << " + " << c.b;
}

TEST(Money, ProductsStopAtTheLimits) {
    struct Case {
        std::int32_t a, b, product;
    };
    const Case cases[] = {
        {500, 3, 1500}, {2, 4294967 / 2, 4294966}, {500, 4294968, top},      {top, 2, top},
        {top, 3, top},  {1073741824, 2, top},      {1073741823, 2, top - 1}, {0, top, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(saturating_mul(c.a, c.b), c.product) << c.a << " * " << c.b;
    }
}

TEST(Money, ExactAmountsSumAndRoundHalfUpToHundredths) {
    struct Case {
        std::vector<std::pair<std::int64_t, std::int32_t>> added;  // units, times
        std::int64_t denominator;
        const char* text;
    };
    const Case cases[] = {
        {{{42, 2}}, 100, "0.84"},
        {{{1, 1}}, 200, "0.01"},            // half a hundredth rounds up
        {{{199, 1}}, 20000, "0.01"},        // just below half does not
        {{{60, 1}, {60, 1}}, 100, "1.20"},  // parts carry into whole credits
        {{{1999, 1}}, 2000, "1.00"},        // and so does the rounding
        {{{500 * 8561520LL, top}, {8561519, top}}, 8561520, "1075889306896.17"},
    };
    for (const Case& c : cases) {
        ExactAmount amount;
        for (const auto& [units, times] : c.added)
            add_times(amount, units, times, c.denominator);
        char text[amount_text_capacity];
        format_hundredths(text, amount, c.denominator);
        EXPECT_STREQ(text, c.text);
    }
}

}  // namespace
