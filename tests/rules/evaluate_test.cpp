#include <gtest/gtest.h>

#include <string>

#include "rules/evaluate.hpp"
#include "support/cards.hpp"

namespace {

struct HandCase {
    const char* hand;
    HandCategory category;
};

void expect_categories(const std::initializer_list<HandCase>& cases) {
    for (const HandCase& c : cases) {
        Hand hand = parse_hand(c.hand);
        EXPECT_EQ(evaluate_hand(hand), c.category) << c.hand;
    }
}

TEST(Evaluate, GroupsOfEqualRank) {
    expect_categories({
        {"Jk Kh Ks Kc Kd", 0},  // joker with four kings: five of a kind
        {"Kh Jk Ks Kc 2d", 3},  // joker with three kings
        {"Kh Ks Kc Kd 2d", 3},
        {"2h 2s 2c 2d Jk", 0},
        {"Ah As Ac Ad Jk", 0},
        {"3h 3s 3c 9d 9h", 4},
        {"9h 9s 3c 3d 3h", 4},  // the pair sorts first: group one 2, group two 3
        {"Jk 9s 9c 3d 3h", 4},  // the joker with two pair
        {"Jk 9s 9c 9d 3h", 3},  // the joker with three of a kind
        {"4h 4s 4c 9d Qh", 7},
        {"Jk 4s 4c 9d Qh", 7},  // the joker with one pair
        {"4h 4s Ac Ad Qh", 8},
        {"4h 4s Ac 9d Qh", no_win},  // a single pair pays nothing
        {"Jk 4s 8c Td Qh", no_win},  // the joker alone pays nothing
    });
}

TEST(Evaluate, StraightsAndRoyals) {
    expect_categories({
        {"Ts Js Qs Ks As", 1},
        {"Jk Ts Js Qs Ks", 1},  // the joker as the ace
        {"Jk Js Qs Ks As", 1},  // the joker as the ten
        {"Jk Ts Qs Ks As", 1},  // the joker fills the jack
        {"Jk Th Jh Qh Ah", 1},
        {"9d Td Jd Qd Kd", 2},
        {"Jk 5c 7c 8c 9c", 2},  // the gap may sit between any two neighbours
        {"Jk 5c 6c 8c 9c", 2},
        {"2h 3h 4h 5h 6h", 2},
        {"Jk 5h 6s 8c 9d", 6},
        {"Jk 5h 6s 7c 9d", 6},
        {"Jk 5h 7s 9c Td", no_win},  // two gaps
        {"Ah 2s 3c 4d 5h", no_win},  // the ace counts only high
        {"Jk 2s 3c 4d 5h", 6},       // the joker counts as the six
        {"Th Js Qc Kd Ah", 6},
        {"9h Ts Jc Qd Kh", 6},
        {"Jk Th Js Qc Ad", 6},
        {"Jk Qh Ks Ac 2d", no_win},  // no wrap past the ace
    });
}

TEST(Evaluate, Flushes) {
    expect_categories({
        {"2h 5h 9h Jh Ah", 5},
        {"Jk 2d 5d 9d Kd", 5},
        {"2h 5h 9h Jh As", no_win},
        {"Jk 2d 5d 9d Kh", no_win},
        {"Jk 2d 3d 9d Kd", 5},
    });
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
