#include <gtest/gtest.h>

#include "rules/card.hpp"
#include "support/cards.hpp"

namespace {

TEST(CardIndex, MapsIndicesToSuitAndRank) {
    struct Case {
        int index;
        const char* card;
    };
    const Case cases[] = {
        {0, "2s"},  {11, "Ks"}, {12, "As"}, {13, "2h"}, {25, "Ah"},
        {26, "2c"}, {38, "Ac"}, {39, "2d"}, {50, "Kd"}, {51, "Ad"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(card_of_index(c.index), parse_card(c.card)) << "index " << c.index;
    }
}

TEST(CardIndex, FiftyTwoIsTheJoker) {
    EXPECT_EQ(card_of_index(52), (Card{0, 0}));
}

TEST(CardIndex, EveryIndexIsADifferentCard) {
    for (int a = 0; a < deck_size; ++a) {
        EXPECT_EQ(index_of_card(card_of_index(a)), a);
        for (int b = a + 1; b < deck_size; ++b)
            EXPECT_NE(card_of_index(a), card_of_index(b));
    }
}

TEST(CardText, ReadsBackWhatItWritesInEitherCaseAndRefusesTheRest) {
    for (int index = 0; index < deck_size; ++index) {
        const Card card = card_of_index(index);
        Card read{};
        EXPECT_TRUE(parse_card(card_text(card).data(), read) && read == card) << index;
    }
    EXPECT_STREQ(card_text(parse_card("tD")).data(), "Td");
    EXPECT_EQ(parse_card("JK"), joker_card);
    for (const char* bad : {"", "A", "Ahh", "1s", "Ax", "Jj", "kJ"}) {
        Card read{};
        EXPECT_FALSE(parse_card(std::string_view(bad), read)) << bad;
    }
}

TEST(CardColour, HeartsAndDiamondsAreRed) {
    EXPECT_TRUE(is_red(parse_card("Qh")));
    EXPECT_TRUE(is_red(parse_card("3d")));
    EXPECT_FALSE(is_red(parse_card("Qs")));
    EXPECT_FALSE(is_red(parse_card("3c")));
    EXPECT_FALSE(is_red(joker_card));
}

}  // namespace
