// Whole games of the real program, played with clicks and read back from the window.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <signal.h>

#include <memory>
#include <string>

#include "e2e/harness.hpp"
#include "strategy/chart.hpp"
#include "strategy/strategy.hpp"
#include "support/cards.hpp"

namespace {

using namespace std::string_literals;

const char* const lost = you_lost_message;
const char* const offer = offer_message;
const char* const select_cards = select_cards_message;
const char* const select_bigger = select_bigger_message;

// A second private X server; the games on it end before it does.
struct SecondServer {
    XServer server = start_separate_server();
    ~SecondServer() { stop_separate_server(server); }
};

// Two runs dealing at once from generator streams of their own deal different hands: at a clock
// whose low byte is 0 (where the first card was once always the two of spades and a redraw spun
// until the clock moved on), and as real runs with no preloaded library, which must seed. The
// second run's window is on a server of its own, to be told apart from the first's.
TEST(Deal, TwoRunsDealDifferentHands) {
    for (const bool real : {false, true}) {
        const SecondServer second_server;
        TemporaryDirectory directories[2];
        std::unique_ptr<PokerGame> games[2];
        for (int run = 0; run < 2; ++run) {
            GameOptions options;
            options.fake_libc = !real;
            options.environment = {"POKER_FAKE_TIME=256", "POKER_FAKE_SEED=" + std::to_string(run)};
            options.server = run == 1 ? &second_server.server : nullptr;
            games[run] = std::make_unique<PokerGame>(directories[run], options);
            ASSERT_TRUE(games[run]->wait_for([&] { return games[run]->shows_scores(0, 0, 50); }));
            press(*games[run], bet_button);
            ASSERT_TRUE(games[run]->wait_for([&] { return games[run]->shows_scores(1, 0, 49); }));
        }
        Picture hands[2];
        for (int run = 0; run < 2; ++run)
            press(*games[run], deal_button);
        for (int run = 0; run < 2; ++run) {
            PokerGame& game = *games[run];
            ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_cards); }));
            hands[run] = read_picture(game.display(), game.window(), 0, 32, 162, 32);
        }
        EXPECT_NE(hands[0], hands[1]) << (real ? "real runs" : "a clock low byte of 0");
    }
}

// Units of value_denominator as a decimal of this many digits.
std::string decimal(std::int64_t units, int digits) {
    char text[number_text_capacity];
    format_decimal(text, make_fraction(units, value_denominator), digits);
    return text;
}

// With the trainer: a hold that gives money away is held back once, with what it gives away as
// the strategy engine counts it, then drawn as marked; the hint names its hold's pattern and its
// hold is drawn at once; End shows the run's tally for two seconds, and standard output gets it
// too.
TEST(Trainer, HoldsBackACostlyHoldOnceAndSumsUpTheRun) {
    TemporaryDirectory dir;
    GameOptions options = dealing("Kh Ks 7c 4d 2s 3h 8c Ah Ad 5c 9s Jh 2c 3d 6h");
    options.arguments = {"--trainer"};
    PokerGame game(dir, options);
    // Keeping the seven beside the kings gives away this much of a bet, in hundredths.
    std::int64_t cost = 0;
    ASSERT_TRUE(hold_cost(parse_hand("Kh Ks 7c 4d 2s"), 0b00111, cost));
    char line[64];
    std::snprintf(line, sizeof line, held_back_format, decimal(cost, 2).c_str());
    bet_and_deal(game, 2, 50);
    hold(game, {0, 1, 2});
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(line, "blue"); }));
    expect_hand(game, "Kh Ks 7c 4d 2s");  // nothing drawn yet
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(lost, "blue"); }));
    EXPECT_TRUE(game.shows_card(3, "3h"));

    // The hint marks the best hold and names its pattern in the chart's words.
    const Hand second = parse_hand("3h 8c Ah Ad 5c");
    unsigned best = 0;
    ASSERT_TRUE(best_hold(second, best));
    std::snprintf(line, sizeof line, "%-23s", pattern_text(hold_pattern(second, best)).data());
    bet_and_deal(game, 1, 48);
    game.press_key(XK_h);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_mark(1, held_label); }));
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(line, "blue"); }));
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(lost, "blue"); }));
    EXPECT_TRUE(game.shows_card(4, "6h")) << "the aces kept, three cards drawn";

    const std::string given = decimal(2 * cost, 2);
    std::snprintf(line, sizeof line, "%-23s", ("2 hands 1 best -" + given).c_str());
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(press_bet_message); }));
    const int pauses = game.pauses_entered();
    press(game, end_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(line); }));
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(game.output(), banner() + "trainer: 2 hands, 1 best holds, 1 others gave away " +
                                 given + " credits\n");
    const std::vector<int> lengths = game.pause_lengths();
    EXPECT_EQ(std::vector<int>(lengths.begin() + pauses, lengths.end()), std::vector<int>{2})
        << "the tally stays two seconds";
}

// A trainer run of four games, each written down as it is settled after a game of an earlier
// run: a costly hold that loses, a win taken, a gamble won and then lost, and a close while
// holding. Between games the key s shows the record page, which a click or a key takes away
// again. --stats adds the games up, a torn last line is skipped, and --review finds the costly
// hold.
TEST(History, EveryGameOfARunIsWrittenDownAndAddedUp) {
    TemporaryDirectory dir;
    write_file(dir.file("tavlek.bob.hands"),
               "# poker hands 1\n2024-05-01T12:34:56Z\t1714566000-4321\ttrainer\t2\t"
               "Kh Ks 7c 4d 2s\tKh Ks\tKh Ks 3h 8c 9d\tnone\t0\t\t0\t50\t48\tplayed\t15295005\t"
               "15295005\n");
    GameOptions options = dealing(
        "Kh Ks 7c 4d 2s 3h 8c Kh Ks 2c 2d 9h 9c Kh Ks 2c 2d 9h 9c 7h 3s 7c 9d Ah 9h 3s 4s 5s 6s "
        "2s 5h 9c Jd Kh");
    options.arguments = {"--trainer"};
    PokerGame game(dir, options);
    bet_and_deal(game, 2, 50);
    hold(game, {0, 1, 2});
    press(game, deal_button);
    ASSERT_TRUE(
        game.wait_for([&] { return game.shows_message("Best holds +0.55 a bet", "blue"); }));
    press(game, deal_button);
    for (const bool gamble : {false, true}) {
        bet_and_deal(game, 1, gamble ? 49 : 48);
        hold(game, {0, 1, 2, 3});
        press(game, deal_button);
        ASSERT_TRUE(game.wait_for([&] { return game.shows_message(offer); }));
        if (!gamble) press(game, take_button);
    }
    for (const int position : {2, 3}) {
        press(game, double_button);
        ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_bigger); }));
        pick(game, position);
        press(game, deal_button);
    }
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(press_bet_message); }));
    const Picture table = read_picture(game.display(), game.window(), 0, 0, 160, 200);
    // The earlier run's game in blue, this run's three in red, rising from the bottom row.
    const auto plot = [&](int x) {
        return read_picture(game.display(), game.window(), x, 198, 1, 1).at(0, 0);
    };
    for (const bool by_key : {false, true}) {
        game.press_key(XK_s);
        ASSERT_TRUE(game.wait_for([&] { return game.shows(1, 10, "Hands                4"); }));
        EXPECT_TRUE(game.shows(1, 40, "Best holds           3"));
        EXPECT_TRUE(game.shows(1, 60, "Credit 48 to 49"));
        EXPECT_EQ(plot(0), named_pixel(game.display(), "blue"));
        EXPECT_EQ(plot(3), named_pixel(game.display(), "red"));
        EXPECT_EQ(plot(4), named_pixel(game.display(), "white"));
        if (by_key) {
            game.press_key(XK_q);
        } else {
            game.press(80, 150);
        }
        ASSERT_TRUE(game.wait_for(
            [&] { return read_picture(game.display(), game.window(), 0, 0, 160, 200) == table; }));
    }
    bet_and_deal(game, 1, 48);
    hold(game, {1});
    game.request_close();
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(47));

    std::vector<std::vector<std::string>> games = history_games(dir);
    ASSERT_EQ(games.size(), 5U);
    games.erase(games.begin());
    // time, run, mode, (bet), dealt, held, final, category, win, gambles, taken, before, after,
    // end, (values)
    const std::string run = "8-" + std::to_string(game.pid());
    const std::vector<std::vector<std::string>> played = {
        {"Kh Ks 7c 4d 2s", "Kh Ks 7c", "Kh Ks 7c 3h 8c", "none", "0", "", "0", "50", "48",
         "played"},
        {"Kh Ks 2c 2d 9h", "Kh Ks 2c 2d", "Kh Ks 2c 2d 9c", "two-pair", "2", "", "2", "48", "49",
         "played"},
        {"Kh Ks 2c 2d 9h", "Kh Ks 2c 2d", "Kh Ks 2c 2d 9c", "two-pair", "2", "7h 7c won,9h 5s lost",
         "0", "49", "48", "played"},
        {"2s 5h 9c Jd Kh", "", "", "", "0", "", "0", "48", "47", "close:lost"},
    };
    for (std::size_t i = 0; i < games.size(); ++i) {
        ASSERT_EQ(games[i].size(), 16U) << i;
        EXPECT_EQ(games[i][0] + games[i][1] + games[i][2],
                  "1970-01-01T00:00:08Z" + run + "trainer");
        EXPECT_EQ(std::vector(games[i].begin() + 4, games[i].begin() + 14), played[i]) << i;
    }

    ProcessOptions in_dir;
    in_dir.directory = dir.path;
    std::int64_t cost = 0;
    ASSERT_TRUE(hold_cost(parse_hand("Kh Ks 7c 4d 2s"), 0b00111, cost));
    // A run killed in the middle of a write leaves half a line, which is skipped.
    write_file(dir.file("tavlek.bob.hands"), read_file(dir.file("tavlek.bob.hands")) + "1970-01");
    const ProcessResult stats = run_program({POKER_BINARY, "--stats", "--json", "bob"}, in_dir);
    EXPECT_EQ(stats.status, 0);
    for (const std::string& figure :
         {"\"hands\": 5,"s, "\"runs\": 2,"s, "\"first\": \"2024-05-01T12:34:56Z\","s,
          "\"last\": \"1970-01-01T00:00:08Z\","s, "\"staked\": 7,"s, "\"won\": 4,"s,
          "\"taken\": 2,"s, "\"categories\": [0, 0, 0, 0, 0, 0, 0, 0, 2],"s, "\"no_win\": 2,"s,
          "\"drawn\": 4,"s, "\"largest_take\": 2,"s,
          "\"gambles\": {\"played\": 2, \"won\": 1, \"lost\": 1, \"joker\": 0, \"added\": -2},"s,
          "\"best_holds\": 3,"s, "\"given_away\": " + decimal(2 * cost, 6) + ",",
          "\"damaged\": 1,"s, "\"gaps\": 0}"s}) {
        EXPECT_NE(stats.out.find(figure), std::string::npos) << figure << " in\n" << stats.out;
    }
    const ProcessResult review = run_program({POKER_BINARY, "--review", "--json", "bob"}, in_dir);
    EXPECT_EQ(review.out,
              "[\n {\"time\": \"1970-01-01T00:00:08Z\", \"bet\": 2, \"dealt\": \"Kh Ks 7c 4d 2s\", "
              "\"held\": \"Kh Ks 7c\", \"best\": \"Kh Ks\", \"cost\": " +
                  decimal(cost, 6) + "}]\n");
}

TEST(Game, PayingHandShowsTheResultLineAndTakeAddsTheWin) {
    TemporaryDirectory dir;
    PokerGame game(dir, dealing("Kh Ks 2c 2d 9h 5s"));
    bet_and_deal(game, 3, 50);
    hold(game, {0, 1, 2, 3});
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for(
        [&] { return game.shows_message("Two Pair     2   * 003", "black", "yellow"); }));
    EXPECT_TRUE(game.shows_card(4, "5s"));
    EXPECT_TRUE(game.shows_scores(3, 6, 47));
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(offer); }));
    EXPECT_TRUE(game.shows(100, 165, "[Double]"));
    EXPECT_TRUE(game.shows(100, 185, "[Take  ]"));
    press(game, take_button);
    end_run(game, 53);
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(53));
}

TEST(Game, HeldCardsStayAndTheOthersComeFromTheSameDeck) {
    TemporaryDirectory dir;
    // The draw first draws the two of spades again: it was dealt, so it is drawn past.
    PokerGame game(dir, dealing("2s 5h 9c Jd Kh 2s 3c 7d Qs"));
    bet_and_deal(game, 1, 50);
    hold(game, {1, 3});
    press(game, deal_button);
    // Held at the pause before the draw: the cards not held lie face down.
    ASSERT_TRUE(game.wait_for([&] { return game.shows_back(0); }));
    EXPECT_TRUE(game.shows_back(2));
    EXPECT_TRUE(game.shows_back(4));
    EXPECT_TRUE(game.shows_card(1, "5h"));
    EXPECT_TRUE(game.shows_card(3, "Jd"));
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(lost, "blue"); }));
    expect_hand(game, "3c 5h 7d Jd Qs");
}

TEST(Game, EndAfterBetsDeals) {
    TemporaryDirectory dir;
    PokerGame game(dir, dealing("2s 5h 9c Jd Kh"));
    bet(game, 2, 50);
    press(game, end_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_cards); }));
    EXPECT_TRUE(game.shows_card(0, "2s"));
    EXPECT_FALSE(file_exists(dir.file("tavlek.bob.sv")));
}

TEST(Game, EndBeforeABetSavesTheStoredCreditExactly) {
    TemporaryDirectory dir;
    write_file(dir.file("tavlek.bob.sv"), stored(73));
    PokerGame game(dir);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(0, 0, 73); }));
    // Meanwhile, started without a display, a second run for bob is refused before it would open
    // its window, and one for ann in the same directory gets that far.
    ProcessOptions no_display;
    no_display.directory = dir.path;
    no_display.unset = {"DISPLAY"};
    EXPECT_EQ(run_program({POKER_BINARY, "bob"}, no_display).out,
              banner() + "player file tavlek.bob.sv is in use by process " +
                  std::to_string(game.pid()) + "\n");
    EXPECT_EQ(run_program({POKER_BINARY, "ann"}, no_display).err,
              "cannot open display \"\" (DISPLAY is not set)\n");
    end_run(game, 73);
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), "\x49\0\0\0"s);
}

TEST(Game, LosingTheLastCreditIsGameOverAndSavesNothing) {
    TemporaryDirectory dir;
    write_file(dir.file("tavlek.bob.sv"), stored(2));
    PokerGame game(dir, dealing("2s 5h 9c Jd Kh 3s 7h 8c Qd 4h"));
    bet_and_deal(game, 2, 2);
    press(game, bet_button);  // ignored by the hold phase
    press(game, deal_button);
    // Held at the last pause, the window says so too.
    ASSERT_TRUE(game.wait_for([&] {
        return game.pauses_entered() == 5 && game.shows_message("***** Game Over !! ****", "blue");
    }));
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(game.output(), banner() + game_over_lines);
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(2));
}

TEST(Game, ANegativeStoredCreditEndsTheRunAtOnceWithoutSaving) {
    TemporaryDirectory dir;
    write_file(dir.file("tavlek.bob.sv"), stored(-5));
    PokerGame game(dir);
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(game.output(), banner());
    EXPECT_EQ(game.pauses_entered(), 0) << "no Game Over held in the window";
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(-5));
}

// A losing hand takes the bet and End saves the rest; on the way, presses that a phase ignores
// change nothing.
TEST(Game, LosingHandTakesTheBetAndEndSavesTheRestWhateverAPhaseIgnores) {
    TemporaryDirectory dir;
    PokerGame game(dir, dealing("2s 5h 9c Jd Kh 3s 7h 8c Qd 4h"));
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(press_bet_message); }));
    // Before any bet, Deal and the blank button are ignored and the game keeps waiting.
    press(game, deal_button);
    press(game, blank_button);
    press(game, bet_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(1, 0, 49); }));
    EXPECT_EQ(game.pauses_entered(), 0) << "nothing was dealt before the bet";
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_cards); }));
    expect_hand(game, "2s 5h 9c Jd Kh");
    for (int p = 0; p < 5; ++p)
        EXPECT_TRUE(game.shows_mark(p, unmarked_label)) << p;
    // The hold phase ignores Bet, the blank button and End.
    press(game, bet_button);
    press(game, blank_button);
    press(game, end_button);
    hold(game, {2});
    EXPECT_TRUE(game.shows_scores(1, 0, 49));
    EXPECT_TRUE(game.shows_card(0, "2s"));
    press(game, hold_button(2));  // a second press releases the hold
    ASSERT_TRUE(game.wait_for([&] { return game.shows_mark(2, unmarked_label); }));
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(lost, "blue"); }));
    expect_hand(game, "3s 7h 8c Qd 4h");  // the released card was replaced too
    EXPECT_TRUE(game.shows_scores(1, 0, 49));
    end_run(game, 49);
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(49));
    EXPECT_EQ(game.output(), banner());
}

TEST(Game, CreditSaturatesAtTheLargestStoredValue) {
    TemporaryDirectory dir;
    write_file(dir.file("tavlek.bob.sv"), stored(2147483647));
    PokerGame game(dir, dealing("Ts Js Qs Ks As"));
    win_with_held_hand(game, 1, 2147483647);
    EXPECT_TRUE(game.shows_scores(1, 100, 2147483646));
    press(game, take_button);
    end_run(game, 2147483647);
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), "\xff\xff\xff\x7f"s);
}

// One gamble after a two-pair win of 2 on a bet of 1.
struct Gamble {
    const char* name;
    const char* double_up_cards;  // the dealer's card (and any redeal), then positions 1 to 4
    const char* dealer;           // the dealer's card that stays
    int pick;                     // hand position picked, 0 for a dealer joker
    const char* message;
    const char* fg;
    const char* bg;
    int win_after;
};

void PrintTo(const Gamble& gamble, std::ostream* out) {
    *out << gamble.name;
}

class DoubleUp : public ::testing::TestWithParam<Gamble> {};

TEST_P(DoubleUp, SettlesTheGamble) {
    const Gamble& gamble = GetParam();
    TemporaryDirectory dir;
    PokerGame game(dir, dealing("Kh Ks 2c 2d 9h "s + gamble.double_up_cards));
    win_with_held_hand(game, 1, 50);
    EXPECT_TRUE(game.shows_scores(1, 2, 49));
    press(game, double_button);
    if (gamble.pick != 0) {
        ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_bigger); }));
        for (int p = 1; p < 5; ++p)
            EXPECT_TRUE(game.shows_back(p)) << p;
        for (int p = 1; p < 5; ++p)
            EXPECT_TRUE(game.shows_mark(p, unmarked_label)) << p;
        pick(game, gamble.pick);
        press(game, deal_button);
    }
    ASSERT_TRUE(
        game.wait_for([&] { return game.shows_message(gamble.message, gamble.fg, gamble.bg); }));
    EXPECT_TRUE(game.shows_card(0, gamble.dealer));
    if (gamble.win_after == 0) {
        end_run(game, 49);
        EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(49));
        return;
    }
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(offer); }));
    EXPECT_TRUE(game.shows_scores(1, gamble.win_after, 49));
    press(game, take_button);
    end_run(game, 49 + gamble.win_after);
}

INSTANTIATE_TEST_SUITE_P(Game, DoubleUp,
                         ::testing::Values(Gamble{"TieWins", "7h 3s 7c 9d Ah", "7h", 2,
                                                  "***** You Win  !! *****", "black", "yellow", 4},
                                           Gamble{"PickedAceBeatsKing", "Kd As 3c 4c 5c", "Kd", 1,
                                                  "***** You Win  !! *****", "black", "yellow", 4},
                                           Gamble{"PickedJokerBeatsAll", "Qh 2h 3h 4h Jk", "Qh", 4,
                                                  "***** You Win  !! *****", "black", "yellow", 4},
                                           Gamble{"DealerJokerTriples", "Jk", "Jk", 0,
                                                  "**** Luckey Win !! ****", "black", "yellow", 6},
                                           Gamble{"DealerAceIsDealtAgain", "Ah 5c 6s 2h 3h 4h",
                                                  "5c", 1, "***** You Win  !! *****", "black",
                                                  "yellow", 4},
                                           Gamble{"LowerCardLoses", "9h 3s 4s 5s 6s", "9h", 3,
                                                  "***** You Lost !! *****", "blue", "white", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// A win of 2 doubled twice is 8, and a loss then leaves nothing. On the way, presses that the
// offer and the pick loop do not use change nothing, and a pick may change before the Deal.
TEST(Game, TwoDoublingsOfTwoGiveEightAndALossGivesNothing) {
    TemporaryDirectory dir;
    PokerGame game(dir, dealing("Kh Ks 2c 2d 9h 7h 8s 3c 4c 5c 7d 8d 3d 4d 5d Qh 2s 3s 4s 5s"));
    win_with_held_hand(game, 1, 50);
    const int pauses = game.pauses_entered();
    // Bet and Deal on the offer show it again, with its pause.
    press(game, bet_button);
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.pauses_entered() >= pauses + 2; }));
    for (const int win : {4, 8}) {
        press(game, double_button);
        ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_bigger); }));
        // In the pick loop, Deal before a pick and the offer's Bet, Double and Take are ignored.
        press(game, deal_button);
        press(game, bet_button);
        press(game, double_button);
        press(game, take_button);
        pick(game, 3);
        for (int p = 1; p < 5; ++p)
            EXPECT_TRUE(game.shows_back(p)) << "nothing revealed yet";
        EXPECT_TRUE(game.shows_scores(1, win / 2, 49));
        press(game, pick_button(1));
        ASSERT_TRUE(game.wait_for([&] {
            return game.shows_mark(1, picked_label) && game.shows_mark(3, unmarked_label);
        }));
        press(game, deal_button);
        ASSERT_TRUE(game.wait_for(
            [&] { return game.shows_message("***** You Win  !! *****", "black", "yellow"); }));
        EXPECT_TRUE(game.shows_card(1, win == 4 ? "8s" : "8d"));
        ASSERT_TRUE(game.wait_for([&] { return game.shows_message(offer); }));
        EXPECT_TRUE(game.shows_scores(1, win, 49));
    }
    press(game, double_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_bigger); }));
    pick(game, 2);
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(lost, "blue"); }));
    end_run(game, 49);
}

}  // namespace
