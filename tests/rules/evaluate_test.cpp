#include <gtest/gtest.h>

#include <string>

#include "rules/evaluate.hpp"
#include "rules/hand_cases.hpp"
#include "support/cards.hpp"

namespace {

template <std::size_t count>
void expect_categories(const HandCase (&cases)[count]) {
    for (const HandCase& c : cases) {
        Hand hand = parse_hand(c.hand);
        EXPECT_EQ(evaluate_hand(hand), c.category) << c.hand;
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

TEST(SortHand, PutsTheJokerFirstAndSortsTheRestWithAcesHigh) {
    Hand hand = parse_hand("Kh As Jk 2c 9d");
    EXPECT_EQ(sort_hand(hand), 1);
    EXPECT_EQ(hand[0].suit, 0);
    const int ranks[] = {1, 8, 12, 13};
    for (int p = 1; p < hand_size; ++p)
        EXPECT_EQ(hand[p].rank, ranks[p - 1]) << "position " << p;

    Hand plain = parse_hand("Ah 3s 2c Kd 3h");
    EXPECT_EQ(sort_hand(plain), 0);
    const int plain_ranks[] = {1, 2, 2, 12, 13};
    for (int p = 0; p < hand_size; ++p)
        EXPECT_EQ(plain[p].rank, plain_ranks[p]) << "position " << p;
}

TEST(Payout, MultipliersByCategory) {
    const int multipliers[] = {500, 100, 70, 50, 20, 15, 10, 5, 2};
    for (int category = 0; category < 9; ++category) {
        EXPECT_EQ(payout_table[category].category, category);
        EXPECT_EQ(payout_multiplier(category), multipliers[category]);
        EXPECT_EQ(std::string(payout_table[category].name).size(), 10U);
    }
    EXPECT_EQ(payout_table[9].category, -1);
    EXPECT_EQ(payout_multiplier(no_win), 0);
}

TEST(ResultText, FormatsNameMultiplierAndBet) {
    struct Case {
        HandCategory category;
        std::int32_t bet;
        const char* text;
    };
    const Case cases[] = {
        {8, 3, "Two Pair     2   * 003"},
        {0, 1, "Five Card    500 * 001"},
        {1, 999, "R.S.Flush    100 * 999"},
        {4, 12345, "Full House   20  * 12345"},
        {6, 2147483647, "Straight     10  * 2147483647"},
    };
    for (const Case& c : cases) {
        char text[result_text_capacity];
        EXPECT_EQ(format_result(text, c.category, c.bet), static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(text, c.text);
    }
}

}  // namespace
