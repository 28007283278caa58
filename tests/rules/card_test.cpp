#include <gtest/gtest.h>

#include <bit>

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

TEST(CardText, ListsTheCardsOfAMaskAndReadsListsBack) {
    const Hand hand = parse_hand("Kh Ks 7c Jk 2s");
    struct Case {
        unsigned positions;
        const char* text;
    };
    for (const Case& c : {Case{0b11111, "Kh Ks 7c Jk 2s"}, Case{0b01010, "Ks Jk"}, Case{0, ""}}) {
        EXPECT_STREQ(cards_text(hand, c.positions).data(), c.text);
        Card read[hand_size];
        const int count = parse_cards(c.text, read, hand_size);
        ASSERT_EQ(count, std::popcount(c.positions)) << c.text;
        EXPECT_STREQ(
            cards_text(Hand{read[0], read[1], read[2], read[3], read[4]}, (1U << count) - 1).data(),
            c.text);
    }
    Card read[2];
    for (const char* bad : {"Kh  Ks", "Kh ", " Kh", "Kh Xx", "Kh Ks 2s"})
        EXPECT_EQ(parse_cards(bad, read, 2), -1) << bad;
}

TEST(CardColour, HeartsAndDiamondsAreRed) {
    EXPECT_TRUE(is_red(parse_card("Qh")));
    EXPECT_TRUE(is_red(parse_card("3d")));
    EXPECT_FALSE(is_red(parse_card("Qs")));
    EXPECT_FALSE(is_red(parse_card("3c")));
    EXPECT_FALSE(is_red(joker_card));
}

}  // namespace
