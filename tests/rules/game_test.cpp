// The game in progress, one step at a time: a moment reached by inputs from a fresh run, one more
// input, and the events, phase, money and settlement that follow.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/gamble.hpp"
#include "rules/game.hpp"
#include "support/cards.hpp"
#include "support/scripted_draw.hpp"

namespace {

// The hint's advice: always the first, third and fifth cards.
bool odd_cards(const Hand&, unsigned& hold) {
    hold = 0b10101;
    return true;
}

// The trainer's judge: the first, third and fifth cards are the best hold, any other gives
// away 0.42 of a bet.
bool judge(const Hand&, unsigned hold, std::int64_t& cost) {
    cost = hold == 0b10101 ? 0 : 42;
    return true;
}

// The pattern of a hold, as the strategy chart would name it: here the hold itself.
std::uint16_t hold_as_pattern(const Hand&, unsigned hold) {
    return static_cast<std::uint16_t>(hold);
}

struct Happened {
    EventKind kind;
    std::int32_t settled;
};

struct Step {
    const char* name;
    std::int32_t credit;
    const char* cards;
    std::vector<Input> before;
    Input input;
    std::vector<Happened> events;
    Phase phase;
    Money money;
    int held = -1;  // the hold marks afterwards, where they matter
    // With the trainer at the player's side: its tally afterwards, "hands best given-away".
    const char* trainer = nullptr;
};

using enum Input;
using enum EventKind;
// Two pair held whole on a bet of 1: a win of 2 on offer, then more inputs.
std::vector<Input> win_two(std::initializer_list<Input> more = {}) {
    std::vector<Input> inputs{bet, deal, hold_1, hold_2, hold_3, hold_4, hold_5, deal};
    inputs.insert(inputs.end(), more);
    return inputs;
}
const char* const two_pair = "Kh Ks 2c 2d 9h";

// One step a line or two, as clang-format would spread them otherwise.
// clang-format off
const Step steps[] = {
    {"BetAtNoCreditStakesNothing", 1, "", {bet}, bet, {{staked, 1}}, Phase::betting, {1, 0, 0}},
    {"DealBeforeABetIsIgnored", 50, "", {}, deal, {}, Phase::betting, {0, 0, 50}},
    {"EndWithNothingStakedEndsTheRun", 50, "", {}, end, {{ended, 50}}, Phase::ended, {0, 0, 50}},
    {"EndAfterBetsDealsAndTheBetIsPlayedFor", 50, "2s 5h 9c Jd Kh", {bet, bet}, end,
     {{dealt, 48}}, Phase::holding, {2, 0, 48}},
    {"AHoldMarkToggles", 50, "2s 5h 9c Jd Kh", {bet, deal, hold_2, hold_4}, hold_2,
     {{marked, 49}}, Phase::holding, {1, 0, 49}, 0b01000},
    {"TheHintMarksTheAdvisedHold", 50, "2s 5h 9c Jd Kh", {bet, deal, hold_2}, hint,
     {{marked, 49}}, Phase::holding, {1, 0, 49}, 0b10101},
    {"ALosingHandBeginsTheNextGame", 50, "2s 5h 9c Jd Kh 3s 7h 8c Qd 4h", {bet, deal}, deal,
     {{drawn, 49}, {scored, 49}, {game_begun, 49}}, Phase::betting, {0, 0, 49}},
    {"LosingTheLastCreditIsGameOver", 1, "2s 5h 9c Jd Kh 3s 7h 8c Qd 4h", {bet, deal}, deal,
     {{drawn, 0}, {scored, 0}, {game_over, 0}}, Phase::broke, {1, 0, 0}},
    {"APayingHandIsOnOffer", 50, two_pair, {bet, bet, bet, deal, hold_1, hold_2, hold_3, hold_4,
     hold_5}, deal, {{drawn, 47}, {scored, 53}}, Phase::on_offer, {3, 6, 47}},
    {"TakeAddsTheWin", 50, two_pair, win_two(), take, {{taken, 51}, {game_begun, 51}},
     Phase::betting, {0, 0, 51}},
    {"BetOnTheOfferChangesNothing", 50, two_pair, win_two(), bet, {}, Phase::on_offer, {1, 2, 49}},
    {"ADealerAceIsDealtAgain", 50, "Kh Ks 2c 2d 9h Ah 7c", win_two(), double_up,
     {{gamble_begun, 49}, {dealer_dealt, 49}, {dealer_dealt, 49}, {pick_asked, 49}},
     Phase::gambling, {1, 2, 49}},
    {"TheDealersJokerTriples", 50, "Kh Ks 2c 2d 9h Jk", win_two(), double_up,
     {{gamble_begun, 49}, {dealer_dealt, 49}, {dealer_joker, 55}}, Phase::on_offer, {1, 6, 49}},
    {"DealBeforeAPickIsIgnored", 50, "Kh Ks 2c 2d 9h 7h", win_two({double_up}), deal, {},
     Phase::gambling, {1, 2, 49}},
    {"ATieDoublesAndIsTakenOnlyOnceShown", 50, "Kh Ks 2c 2d 9h 7h 3s 7c 9d Ah",
     win_two({double_up, pick_3}), deal, {{revealed, 49}, {gamble_won, 53}}, Phase::on_offer,
     {1, 4, 49}},
    {"ALowerCardLosesTheWin", 50, "Kh Ks 2c 2d 9h 9h 3s 4s 5s 6s", win_two({double_up, pick_4}),
     deal, {{revealed, 49}, {gamble_lost, 49}, {game_begun, 49}}, Phase::betting, {0, 0, 49}},
    {"TheTrainerHoldsBackACostlyHoldOnce", 50, "2s 5h 9c Jd Kh", {bet, deal}, deal,
     {{held_back, 49}}, Phase::holding, {1, 0, 49}, 0, "0 0 0.00"},
    {"TheTrainerJudgesANewMarkAnew", 50, "2s 5h 9c Jd Kh", {bet, deal, deal, hold_1}, deal,
     {{held_back, 49}}, Phase::holding, {1, 0, 49}, 0b00001, "0 0 0.00"},
    {"TheNextHandIsJudgedAgain", 50, "2s 5h 9c Jd Kh 3s 7h 8c Qd 4h 6s 8d Tc Js Ah 2h 3c 4d 5c 6d",
     {bet, deal, deal, deal, bet, deal}, deal, {{held_back, 48}}, Phase::holding, {1, 0, 48}, 0,
     "1 0 0.42"},
    {"DealAgainDrawsAsMarkedAndCountsWhatItGaveAway", 50, "2s 5h 9c Jd Kh 3s 7h 8c Qd 4h",
     {bet, bet, deal, deal}, deal, {{drawn, 48}, {scored, 48}, {game_begun, 48}}, Phase::betting,
     {0, 0, 48}, -1, "1 0 0.84"},
    {"TheTrainersHintNamesItsPattern", 50, "2s 5h 9c Jd Kh", {bet, deal}, hint,
     {{marked, 49}, {hint_named, 49}}, Phase::holding, {1, 0, 49}, 0b10101, "0 0 0.00"},
    {"TheBestHoldDrawsAtOnce", 50, "2s 5h 9c Jd Kh 3s 7h", {bet, deal, hint}, deal,
     {{drawn, 49}, {scored, 49}, {game_begun, 49}}, Phase::betting, {0, 0, 49}, -1, "1 1 0.00"},
};
// clang-format on

void PrintTo(const Step& step, std::ostream* out) {
    *out << step.name;
}

class GameStep : public ::testing::TestWithParam<Step> {};

TEST_P(GameStep, FollowsTheRules) {
    const Step& step = GetParam();
    play_cards(step.cards);
    const Sources sources{scripted_draw, odd_cards, judge, 100, hold_as_pattern};
    GameState state;
    start_run(state, step.credit, step.trainer != nullptr);
    for (const Input input : step.before)
        apply_input(state, input, sources);

    const Events events = apply_input(state, step.input, sources);
    ASSERT_EQ(events.count, static_cast<int>(step.events.size()));
    for (int i = 0; i < events.count; ++i) {
        EXPECT_EQ(events.list[i].kind, step.events[i].kind) << "event " << i;
        EXPECT_EQ(events.list[i].settled, step.events[i].settled) << "event " << i;
        if (events.list[i].kind == hint_named) {
            EXPECT_EQ(events.list[i].pattern, hold_mask(state));
        }
    }
    EXPECT_EQ(state.phase, step.phase);
    EXPECT_EQ(state.bet, step.money.bet);
    EXPECT_EQ(state.win, step.money.win);
    EXPECT_EQ(state.credit, step.money.credit);
    if (events.count > 0) {
        EXPECT_EQ(settled_credit(state), events.list[events.count - 1].settled);
    }
    if (step.held >= 0) {
        EXPECT_EQ(hold_mask(state), static_cast<unsigned>(step.held));
    }
    if (step.trainer != nullptr) {
        char given[amount_text_capacity];
        format_hundredths(given, state.trainer.given_away, 100);
        EXPECT_EQ(std::to_string(state.trainer.hands) + " " +
                      std::to_string(state.trainer.best_holds) + " " + given,
                  step.trainer);
    }
}

INSTANTIATE_TEST_SUITE_P(Game, GameStep, ::testing::ValuesIn(steps),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Gamble, TheFactorOfEachDealersCardAndPick) {
    struct Case {
        const char* dealer;
        const char* picked;
        int factor;
    };
    const Case cases[] = {
        {"7h", "7c", 2},                                    // a tie goes to the player
        {"Kd", "As", 2},                                    // aces count above kings
        {"Kd", "Jk", 2},                                    // the joker above all
        {"Kd", "Qd", 0}, {"3c", "2c", 0}, {"Jk", "2c", 3},  // the dealer's joker needs no pick
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gamble_factor(parse_card(c.dealer), parse_card(c.picked)), c.factor)
            << c.dealer << " against " << c.picked;
    }
    EXPECT_TRUE(dealer_card_redealt(parse_card("Ac")));
    EXPECT_FALSE(dealer_card_redealt(joker_card));
}

}  // namespace
