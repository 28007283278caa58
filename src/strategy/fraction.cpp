// Exact fractions of 128-bit integers, and their text.
#include <cstdio>

#include "strategy/strategy.hpp"

namespace {

Wide absolute(Wide value) {
    return value < 0 ? -value : value;
}

Wide greatest_common_divisor(Wide a, Wide b) {
    a = absolute(a);
    b = absolute(b);
    while (b != 0) {
        const Wide r = a % b;
        a = b;
        b = r;
    }
    return a;
}

}  // namespace

Fraction make_fraction(Wide numerator, Wide denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const Wide divisor = greatest_common_divisor(numerator, denominator);
    if (divisor > 1) {
        numerator /= divisor;
        denominator /= divisor;
    }
    return Fraction{numerator, denominator};
}

Fraction operator+(const Fraction& a, const Fraction& b) {
    const Wide divisor = greatest_common_divisor(a.denominator, b.denominator);
    return make_fraction(
        a.numerator * (b.denominator / divisor) + b.numerator * (a.denominator / divisor),
        a.denominator / divisor * b.denominator);
}

Fraction operator*(const Fraction& a, const Fraction& b) {
    // Cross-reducing first keeps the products small.
    const Wide g1 = greatest_common_divisor(a.numerator, b.denominator);
    const Wide g2 = greatest_common_divisor(b.numerator, a.denominator);
    const Wide d1 = g1 == 0 ? 1 : g1;
    const Wide d2 = g2 == 0 ? 1 : g2;
    return make_fraction((a.numerator / d1) * (b.numerator / d2),
                         (a.denominator / d2) * (b.denominator / d1));
}

Fraction operator/(const Fraction& a, const Fraction& b) {
    return a * Fraction{b.denominator, b.numerator};
}

int format_wide(char (&text)[number_text_capacity], Wide value) {
    char digits[number_text_capacity];
    int n = 0;
    Wide rest = absolute(value);
    do {
        digits[n++] = static_cast<char>('0' + static_cast<int>(rest % 10));
        rest /= 10;
    } while (rest != 0);
    int length = 0;
    if (value < 0) text[length++] = '-';
    while (n > 0)
        text[length++] = digits[--n];
    text[length] = '\0';
    return length;
}

int format_fraction(char (&text)[number_text_capacity], const Fraction& value) {
    int length = format_wide(text, value.numerator);
    if (value.denominator == 1) return length;
    char below[number_text_capacity];
    format_wide(below, value.denominator);
    return length + std::snprintf(text + length, sizeof text - length, "/%s", below);
}

int format_decimal(char (&text)[number_text_capacity], const Fraction& value, int digits) {
    // Round half away from zero at the last digit.
    Wide scale = 1;
    for (int i = 0; i < digits; ++i)
        scale *= 10;
    const Wide scaled =
        (absolute(value.numerator) * scale * 2 + value.denominator) / (value.denominator * 2);
    int length = 0;
    if (value.numerator < 0 && scaled != 0) text[length++] = '-';
    char number[number_text_capacity];
    const int whole_length = format_wide(number, scaled / scale);
    for (int i = 0; i < whole_length; ++i)
        text[length++] = number[i];
    if (digits > 0) {
        text[length++] = '.';
        const int part_length = format_wide(number, scaled % scale);
        for (int i = part_length; i < digits; ++i)
            text[length++] = '0';
        for (int i = 0; i < part_length; ++i)
            text[length++] = number[i];
    }
    text[length] = '\0';
    return length;
}
