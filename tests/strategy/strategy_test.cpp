// The strategy engine: hands whose best hold and value a player can count, every hold of many
// hands against brute force, and the exact figures of the game's own pay table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "rules/hand_cases.hpp"
#include "strategy/internal.hpp"
#include "support/cards.hpp"
#include "support/every_hand.hpp"

namespace {

struct Tables {
    Tables() {
        build_subset_tables(*subsets);
        build_pay_totals(*subsets, game_pay_table(), *totals);
    }
    std::unique_ptr<SubsetTables> subsets{new SubsetTables};
    std::unique_ptr<PayTotals> totals{new PayTotals};
};

const Tables& tables() {
    static const Tables built;
    return built;
}

// Every hold's draws paid by evaluate_hand itself: each five-card hand of the deck is the hand
// of one hold and one draw, the hold being the cards it shares with the dealt hand. The
// categories of all hands are found once.
std::array<std::int64_t, hold_count> brute_force_values(const Hand& dealt) {
    static const std::vector<HandCategory> categories = [] {
        std::vector<HandCategory> all;
        for_each_hand([&](const DeckIndices& c) { all.push_back(evaluate_hand(hand_of(c))); });
        return all;
    }();
    // Bit p of a card's mark is set when it is the dealt hand's card p.
    std::array<unsigned, deck_size> kept{};
    for (int p = 0; p < hand_size; ++p)
        kept[index_of_card(dealt[p])] = 1U << p;
    std::array<std::int64_t, hold_count> pay{};
    std::size_t n = 0;
    for_each_hand([&](const DeckIndices& c) {
        const unsigned hold = kept[c[0]] | kept[c[1]] | kept[c[2]] | kept[c[3]] | kept[c[4]];
        pay[hold] += payout_multiplier(categories[n++]);
    });
    for (unsigned hold = 0; hold < hold_count; ++hold)
        pay[hold] *= hold_shape.scale[hold];
    return pay;
}

TEST(HoldValues, HandsAPlayerCanCount) {
    struct Case {
        const char* hand;
        unsigned best;  // bit p keeps the card at position p
        std::int64_t numerator;
        std::int64_t denominator;
        int best_count;
    };
    const Case cases[] = {
        {"Ah Kh Qh Jh Jk", 31, 100, 1, 1},  // a royal straight flush as dealt
        {"Jk Kh Ks Kc Kd", 31, 500, 1, 1},  // five of a kind as dealt
        // Four to a royal: the ace or the joker 100, the nine 70, seven more spades 15, three
        // aces and three nines 10, over 48 draws.
        {"Ts Js Qs Ks 2h", 15, 435, 48, 1},
        // Without the joker: the ten 100, eight more hearts 15 and three tens 10.
        {"Ah Kh Qh Jh 2c", 15, 350, 48, 1},
        // Four deuces with the joker: the last deuce makes five of a kind.
        {"2h 2d 2s Jk 7c", 15, 500 + 47 * 50, 48, 1},
        // Either four completes the same open straight: four twos, four sevens and the joker.
        {"5s 6s 3d 4c 4h", 15, 9 * 10, 48, 2},
    };
    for (const Case& c : cases) {
        const Hand hand = parse_hand(c.hand);
        const HoldValues values = hold_values_on(*tables().subsets, *tables().totals, hand);
        EXPECT_EQ(values.best, c.best) << c.hand;
        EXPECT_EQ(values.value[c.best] * c.denominator, c.numerator * value_denominator) << c.hand;
        EXPECT_EQ(values.best_count, c.best_count) << c.hand;
        const std::array<std::uint8_t, hold_count> order = holds_best_first(values);
        EXPECT_EQ(order[0], c.best) << c.hand;
        for (int i = 1; i < hold_count; ++i)
            EXPECT_GE(values.value[order[i - 1]], values.value[order[i]]) << c.hand;
        // The game's own tables give the hint and the trainer the same answer.
        unsigned hint = hold_count;
        ASSERT_TRUE(best_hold(hand, hint)) << c.hand;
        EXPECT_EQ(hint, c.best) << c.hand;
        HoldValues game{};
        ASSERT_TRUE(game_hold_values(hand, game)) << c.hand;
        EXPECT_EQ(game.value, values.value) << c.hand;
        // The best hold gives nothing away; throwing every card away gives the difference.
        std::int64_t cost = -1;
        ASSERT_TRUE(hold_cost(hand, c.best, cost) && cost == 0) << c.hand;
        ASSERT_TRUE(hold_cost(hand, 0, cost)) << c.hand;
        EXPECT_EQ(cost, values.value[c.best] - values.value[0]) << c.hand;
        EXPECT_FALSE(hold_cost(hand, hold_count, cost)) << c.hand;
    }
    // The game refuses a hand with a card twice, a position without a card, or a card of a fifth
    // suit (whose deck index would be the joker's).
    const Hand refused[] = {
        parse_hand("Ah Ah Qh Jh 2c"),
        Hand{no_card, no_card, no_card, no_card, no_card},
        Hand{Card{5, 1}, card_of_index(0), card_of_index(1), card_of_index(2), card_of_index(3)},
    };
    for (const Hand& bad : refused) {
        unsigned hint = hold_count;
        HoldValues game{};
        EXPECT_FALSE(best_hold(bad, hint));
        EXPECT_FALSE(game_hold_values(bad, game));
        std::int64_t cost = 0;
        EXPECT_FALSE(hold_cost(bad, 0, cost));
        EXPECT_EQ(hint, unsigned{hold_count});
    }
}

// The hands of the evaluation tests and seeded random hands; POKER_STRATEGY_HANDS=3000 checks
// that many random hands (each costs every five-card hand of the deck through evaluate_hand).
TEST(HoldValues, EveryHoldMatchesBruteForce) {
    std::vector<Hand> hands;
    auto add = [&hands](const auto& cases) {
        for (const HandCase& c : cases)
            hands.push_back(parse_hand(c.hand));
    };
    add(group_hands);
    add(straight_hands);
    add(flush_hands);
    const char* wanted = std::getenv("POKER_STRATEGY_HANDS");
    const int random_hands = wanted ? std::atoi(wanted) : 4;
    std::mt19937 generator(2026);
    std::array<int, deck_size> deck;
    std::iota(deck.begin(), deck.end(), 0);
    for (int n = 0; n < random_hands; ++n) {
        std::shuffle(deck.begin(), deck.end(), generator);
        hands.push_back(Hand{card_of_index(deck[0]), card_of_index(deck[1]), card_of_index(deck[2]),
                             card_of_index(deck[3]), card_of_index(deck[4])});
    }
    for (std::size_t n = 0; n < hands.size(); ++n) {
        const HoldValues values = hold_values_on(*tables().subsets, *tables().totals, hands[n]);
        EXPECT_EQ(values.value, brute_force_values(hands[n])) << "hand " << n;
    }
}

TEST(PayTable, TheGameTableExactly) {
    // The classes of the sets of each size stand for every set of that size exactly once.
    const std::int64_t sets[] = {1, 53, 1378, 23426, 292825, 2869685};
    for (int size = 0; size <= hand_size; ++size) {
        std::int64_t classes = 0;
        std::int64_t weight = 0;
        for_each_suit_class(size, [&](const SuitClass& c) {
            ++classes;
            weight += c.weight;
        });
        EXPECT_EQ(classes, suit_class_count[size]) << "size " << size;
        EXPECT_EQ(weight, sets[size]) << "size " << size;
    }

    // Pinned after two independent computations agreed: this one, and the one without suit
    // classes in strategy_exhaustive_test.
    const TableAnalysis one = analyse_pay_table(game_pay_table(), 1);
    EXPECT_EQ(one.perfect_return, (Fraction{28365484531, 12716804100}));
    EXPECT_EQ(one.keep_return, (Fraction{1543044, 2869685}));
    EXPECT_EQ(one.double_up, (Fraction{3091, 2597}));
    EXPECT_EQ(one.tied_deals, 42420);
    const Fraction probability[] = {
        {62971619, 682468486700}, {1788877, 26248787950},      {232792003, 511851365025},
        {564962323, 68246848670}, {10349469447, 682468486700}, {2151910977, 97495498100},
        {219939847, 8602543950},  {35181422, 279242425},       {54936576, 518593075},
        {805066609, 1156073100},
    };
    Fraction paid{0, 1};
    Fraction all{0, 1};
    for (int c = 0; c <= category_count; ++c) {
        EXPECT_EQ(one.probability[c], probability[c]) << "category " << c;
        const std::int64_t pay = c < category_count ? game_pay_table()[c] : 0;
        paid = paid + Fraction{pay, 1} * one.probability[c];
        all = all + one.probability[c];
    }
    // The categories account for every deal and for the whole return.
    EXPECT_EQ(all, (Fraction{1, 1}));
    EXPECT_EQ(paid, one.perfect_return);

    EXPECT_TRUE(analyse_pay_table(game_pay_table(), 2) == one) << "two threads differ";
}

}  // namespace
