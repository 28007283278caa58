#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "rules/evaluate.hpp"
#include "rules/hand_cases.hpp"
#include "support/cards.hpp"

namespace {

template <std::size_t count>
void expect_categories(const HandCase (&cases)[count]) {
    for (const HandCase& c : cases) {
        const Hand hand = parse_hand(c.hand);
        EXPECT_EQ(evaluate_hand(hand), c.category) << c.hand;
        EXPECT_EQ(hand, parse_hand(c.hand)) << "the hand is left as it was";
    }
}

TEST(Evaluate, GroupsOfEqualRank) {
    expect_categories(group_hands);
}

TEST(Evaluate, StraightsAndRoyals) {
    expect_categories(straight_hands);
}

TEST(Evaluate, Flushes) {
    expect_categories(flush_hands);
}

TEST(Payout, MultipliersByCategory) {
    const int multipliers[] = {500, 100, 70, 50, 20, 15, 10, 5, 2};
    for (int row = 0; row < category_count; ++row) {
        EXPECT_EQ(row_of(payout_table[row].category), row);
        EXPECT_EQ(payout_multiplier(category_of_row(row)), multipliers[row]);
        EXPECT_EQ(std::string(payout_table[row].name).size(), 10U);
    }
    EXPECT_EQ(payout_table[category_count].category, HandCategory::no_win);
    EXPECT_EQ(payout_multiplier(HandCategory::no_win), 0);
}

TEST(ResultText, FormatsNameMultiplierAndBet) {
    struct Case {
        HandCategory category;
        std::int32_t bet;
        const char* text;
    };
    const Case cases[] = {
        {HandCategory::two_pair, 3, "Two Pair     2   * 003"},
        {HandCategory::five_card, 1, "Five Card    500 * 001"},
        {HandCategory::royal_flush, 999, "R.S.Flush    100 * 999"},
        {HandCategory::full_house, 12345, "Full House   20  * 12345"},
        {HandCategory::straight, 2147483647, "Straight     10  * 2147483647"},
    };
    for (const Case& c : cases) {
        char text[result_text_capacity];
        EXPECT_EQ(format_result(text, c.category, c.bet), static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(text, c.text);
    }
}

}  // namespace
