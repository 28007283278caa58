// Strategy charts: the words of a hold's pattern, where a hand falls in a chart, and a chart's
// exact return, from a one-line chart a player can count to the derived chart of the game.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "strategy/chart.hpp"
#include "strategy/internal.hpp"
#include "support/cards.hpp"

namespace {

Chart chart_of(std::initializer_list<const char*> words) {
    Chart chart;
    for (const char* text : words) {
        PatternCode pattern = 0;
        EXPECT_TRUE(parse_pattern(text, pattern)) << text;
        chart.lines.push_back(pattern);
    }
    return chart;
}

TEST(Chart, HandsFallOnTheFirstLineTheyContain) {
    const Chart chart = chart_of({"Four Card", "4 to a royal", "Jk+3 to a S.Flush", "Two Pair",
                                  "Jk+2 to 3-way straight", "4 to flush", "Pair", "3 to a S.Flush",
                                  "2 to a straight", "Joker alone", "Draw five"});
    struct Case {
        const char* hand;
        int line;  // from 1
        const char* hold;
        const char* pattern;  // the pattern of the chart's hold itself
    };
    const Case cases[] = {
        {"Kh Ks Kc Jk 2d", 1, "Kh Ks Kc Jk", "Four Card"},
        {"Ts Js Qs Ks 2h", 2, "Ts Js Qs Ks", "4 to 2-way royal"},
        {"Jk 9h Th Jh 4c", 3, "Jk 9h Th Jh", "Jk+3 to 3-way S.Flush"},
        // A pair and the joker make Three Card, which the chart does not name: two pair does.
        {"5s 5h 9c 9d Jk", 4, "5s 5h 9c 9d", "Two Pair"},
        {"Jk 5h 7c 2s Kd", 5, "Jk 5h 7c", "Jk+2 to 3-way straight"},
        // Of several holds of a line, the highest cards are kept.
        {"4d 5d 6d 9d Ks", 6, "4d 5d 6d 9d", "4 to flush"},
        {"4d 5d 6d 7c Kc", 8, "4d 5d 6d", "3 to 3-way S.Flush"},
        // Either five fits with the joker and the seven; the ranks tie, so the card of the first
        // suit in the order spades, hearts, clubs, diamonds is kept.
        {"Jk 5c 5h 7d Kd", 5, "Jk 5h 7d", "Jk+2 to 3-way straight"},
        {"7d 5c Jk Kd 5s", 5, "Jk 5s 7d", "Jk+2 to 3-way straight"},
        // A pair wherever its cards lie.
        {"9h 9s 8c 2d 3d", 7, "9h 9s", "Pair"},
        {"9h 8c Ks 9s 2d", 7, "9h 9s", "Pair"},
        {"Qh 8c 2s 3d 6d", 9, "Qh 8c", "2 to 1-way straight"},
        {"Ah 8c 2s 3d 9d", 9, "8c 9d", "2 to 4-way straight"},
        {"As Kh 8c 2s 4d", 9, "As Kh", "2 to 1-way straight"},
    };
    for (const Case& c : cases) {
        const Hand hand = parse_hand(c.hand);
        ChartPlace place{};
        ASSERT_TRUE(place_in_chart(chart, hand, place)) << c.hand;
        EXPECT_EQ(place.line + 1, c.line) << c.hand;
        Card kept[hand_size];
        const int count = parse_cards(c.hold, kept, hand_size);
        unsigned hold = 0;
        for (int k = 0; k < count; ++k)
            for (int p = 0; p < hand_size; ++p)
                if (hand[p] == kept[k]) hold |= 1U << p;
        EXPECT_EQ(place.hold, hold) << c.hand << ": kept " << cards_text(hand, place.hold).data();
        EXPECT_STREQ(pattern_text(hold_pattern(hand, hold)).data(), c.pattern) << c.hand;
    }
    ChartPlace place{};
    EXPECT_FALSE(place_in_chart(chart, parse_hand("Ah Ah Qh Jh 2c"), place));
    EXPECT_FALSE(place_in_chart(chart_of({"Four Card"}), parse_hand("Ah Kh Qh Jh 2c"), place));
}

// Every hold of many hands has words that fit the message line and read back as its pattern.
TEST(Chart, EveryPatternHasWordsThatReadBack) {
    std::mt19937 generator(7);
    std::array<int, deck_size> deck;
    for (int i = 0; i < deck_size; ++i)
        deck[i] = i;
    for (int n = 0; n < 3000; ++n) {
        std::shuffle(deck.begin(), deck.end(), generator);
        Hand hand;
        for (int p = 0; p < hand_size; ++p)
            hand[p] = card_of_index(deck[p]);
        for (unsigned hold = 0; hold < hold_count; ++hold) {
            const PatternCode pattern = hold_pattern(hand, hold);
            const PatternText text = pattern_text(pattern);
            ASSERT_LE(std::string(text.data()).size(), std::size_t{pattern_text_length});
            PatternCode back = 0;
            ASSERT_TRUE(parse_pattern(text.data(), back)) << text.data();
            ASSERT_EQ(back, pattern) << text.data();
        }
    }
}

TEST(Chart, ReturnsExactly) {
    // Draw five alone throws every deal away: its return is the value of holding nothing, added
    // up here deal class by deal class through the hold values themselves.
    auto tables = std::make_unique<SubsetTables>();
    auto totals = std::make_unique<PayTotals>();
    build_subset_tables(*tables);
    build_pay_totals(*tables, game_pay_table(), *totals);
    Wide nothing = 0;
    for_each_suit_class(hand_size, [&](const SuitClass& deal) {
        int numbers[hand_size];
        class_cards(deal, numbers);
        Hand hand;
        for (int i = 0; i < hand_size; ++i)
            hand[i] = numbers[i] == joker_number ? joker_card : card_of_index(numbers[i] - 1);
        nothing += static_cast<Wide>(hold_values_on(*tables, *totals, hand).value[0]) * deal.weight;
    });
    const ChartReport draw_five = check_chart(game_pay_table(), chart_of({"Draw five"}));
    EXPECT_EQ(draw_five.chart_return,
              make_fraction(nothing, static_cast<Wide>(deal_count) * value_denominator));
    EXPECT_EQ(draw_five.lines[0].deals, deal_count);
    EXPECT_EQ(draw_five.perfect_return, (Fraction{28365484531, 12716804100}));

    // The derived chart: within its lines, at most perfect play, at least 99.9% of it, its
    // lines' losses adding up to the whole, the same again when checked, and compiled in.
    const ChartReport derived = derive_chart(game_pay_table());
    ASSERT_LE(derived.lines.size(), std::size_t{chart_line_limit});
    EXPECT_STREQ(pattern_text(derived.chart.lines.back()).data(), "Draw five");
    const Fraction share = derived.chart_return / derived.perfect_return;
    EXPECT_LE(share.numerator, share.denominator);
    EXPECT_GE(share.numerator * 1000, share.denominator * 999);
    std::int64_t deals = 0;
    Wide lost = 0;
    for (const ChartLineReport& line : derived.lines) {
        deals += line.deals;
        lost += line.lost;
    }
    EXPECT_EQ(deals, deal_count);
    const Wide all = static_cast<Wide>(deal_count) * value_denominator;
    EXPECT_EQ(derived.perfect_return + make_fraction(-lost, all), derived.chart_return);
    const ChartReport again = check_chart(game_pay_table(), derived.chart);
    EXPECT_EQ(again.chart_return, derived.chart_return);
    EXPECT_EQ(game_chart().lines, derived.chart.lines);
}

}  // namespace
