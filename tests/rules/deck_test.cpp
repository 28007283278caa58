#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "rules/deck.hpp"
#include "support/cards.hpp"
#include "support/scripted_draw.hpp"

namespace {

TEST(RandomValue, TakesBitsThreeToEighteenOfTheProduct) {
    struct Case {
        std::time_t now;
        int generated;
        int value;
    };
    const Case cases[] = {
        {8, 12, 12},                // 8 * r >> 3 is r itself
        {0x1234508, 40, 40},        // only the low byte of the time counts
        {256, 123456, 18432},       // a low byte of 0 counts as 256: 256 * r >> 3 is 32 * r
        {1, 7, 0},                  // bits 0 to 2 are dropped
        {255, 2147483647, 0xFFE0},  // the product wraps at 32 bits: 0x7FFFFF01 >> 3 & 0xFFFF
        {16, 0x10000, 0},           // bit 19 and above are dropped
        {16, 0x7FFF, 0xFFFE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(random_value(c.now, c.generated), c.value) << c.now << " * " << c.generated;
    }
}

TEST(ResetGame, FillsTheDeckAndEmptiesTheHand) {
    GameState state;
    state.dealt.fill(was_dealt);
    state.hand.fill(joker_card);
    state.hold.fill(true);
    state.pick = 3;
    reset_game(state);
    for (std::uint8_t flag : state.dealt)
        EXPECT_EQ(flag, 0xFF);
    for (Card card : state.hand)
        EXPECT_EQ(card, (Card{-1, -1}));
    for (bool held : state.hold)
        EXPECT_FALSE(held);
    EXPECT_EQ(state.pick, 0);
}

TEST(DealPosition, TakesTheDrawnCardModuloTheDeck) {
    GameState state;
    reset_game(state);
    play_script({12, 52 + 53, 13 + 2 * 53});
    EXPECT_EQ(deal_position(state, 0, scripted_draw), parse_card("As"));
    EXPECT_EQ(deal_position(state, 1, scripted_draw), joker_card);
    EXPECT_EQ(deal_position(state, 2, scripted_draw), parse_card("2h"));
    EXPECT_EQ(state.hand[0], parse_card("As"));
    EXPECT_EQ(state.dealt[12], 1);
    EXPECT_EQ(state.dealt[52], 1);
    EXPECT_EQ(state.dealt[13], 1);
    EXPECT_EQ(state.dealt[0], 0xFF);
}

TEST(DealPosition, DrawsAgainUntilTheCardIsStillInTheDeck) {
    GameState state;
    reset_game(state);
    play_script({5, 5, 5 + 53, 0, 6});
    EXPECT_EQ(deal_position(state, 0, scripted_draw), card_of_index(5));
    EXPECT_EQ(deal_position(state, 1, scripted_draw), card_of_index(0));
    EXPECT_EQ(draws_made, 4U) << "two draws of a dealt card are rejected";
}

TEST(DealPosition, NeverRepeatsACardWithinAGame) {
    GameState state;
    reset_game(state);
    std::vector<int> values;
    for (int i = 0; i < 2000; ++i)
        values.push_back((i * 7919) % 1000);
    play_script(values);
    std::set<int> seen;
    for (int round = 0; round < 10; ++round) {
        const Card card = deal_position(state, round % hand_size, scripted_draw);
        EXPECT_TRUE(seen.insert(index_of_card(card)).second) << "card dealt twice";
    }
}

}  // namespace
