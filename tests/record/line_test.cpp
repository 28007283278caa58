// The hand history's line: games played by the model written down, read back to the same record
// and the same line, and damaged or edited lines told apart; and the figures a history adds up to.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "record/figures.hpp"
#include "rules/game.hpp"
#include "support/cards.hpp"
#include "support/scripted_draw.hpp"

namespace {

using enum Input;
using namespace std::string_literals;

std::vector<Input> bets(int count, std::initializer_list<Input> more) {
    std::vector<Input> inputs(static_cast<std::size_t>(count), bet);
    inputs.insert(inputs.end(), more);
    return inputs;
}

// A game played from a fresh run, ended as it says: played out, or early with the settlement the
// flow had shown.
struct Played {
    const char* name;
    std::int32_t credit;
    const char* cards;
    std::vector<Input> inputs;
    GameEnd end;
    const char* line;  // the line written, values and all (poker-odds gives the same numerators)
};

const Played games[] = {
    {"ALosingHandWithTheBestHold", 50, "Kh Ks 7c 4d 2s 3h 8c 9d",
     bets(2, {deal, hold_1, hold_2, deal}), GameEnd::played,
     "2024-05-01T12:34:56Z\t1714566000-4321\ttrainer\t2\tKh Ks 7c 4d 2s\tKh Ks\tKh Ks 3h 8c 9d\t"
     "none\t0\t\t0\t50\t48\tplayed\t15295005\t15295005"},
    {"ACostlyHoldMakesAFullHouseTaken", 50, "Kh Ks 7c 4d 2s 7h 7d",
     bets(1, {deal, hold_1, hold_2, hold_3, deal, deal, take}), GameEnd::played,
     "2024-05-01T12:34:56Z\t1714566000-4321\ttrainer\t1\tKh Ks 7c 4d 2s\tKh Ks 7c\tKh Ks 7c 7h 7d\t"
     "full-house\t20\t\t20\t50\t69\tplayed\t10565280\t15295005"},
    // The example of poker(5).
    {"AWinTripledDoubledAndLost", 50, "Kh Ks 2c 2d 9h 9c Jk 7h 3s 7c 9d Ah 9h 3s 4s 5s 6s",
     bets(1, {deal, hold_1, hold_2, hold_3, hold_4, deal, double_up, double_up, pick_3, deal,
              double_up, pick_4, deal}),
     GameEnd::played,
     "2024-05-01T12:34:56Z\t1714566000-4321\ttrainer\t1\tKh Ks 2c 2d 9h\tKh Ks 2c 2d\t"
     "Kh Ks 2c 2d 9c\ttwo-pair\t2\tJk joker,7h 7c won,9h 5s lost\t0\t50\t49\tplayed\t33175890\t"
     "33175890"},
    // The longest line of two gambles that amounts of seven digits make.
    {"ARoyalFlushOfMillionsGambledTwiceThenASignal", 9999999,
     "Ts Js Qs Ks As 7h 3s 7c 9d Ah Kd As 3c 4c 5c",
     bets(99, {deal, hold_1, hold_2, hold_3, hold_4, hold_5, deal, double_up, pick_3, deal,
               double_up, pick_2, deal}),
     GameEnd::signal,
     "2024-05-01T12:34:56Z\t1714566000-4321\ttrainer\t99\tTs Js Qs Ks As\tTs Js Qs Ks As\t"
     "Ts Js Qs Ks As\troyal-flush\t9900\t7h 7c won,Kd As won\t39600\t9999999\t10039500\t"
     "signal:taken\t856152000\t856152000"},
    {"AClosedDuringTheHold", 50, "2s 5h 9c Jd Kh", bets(1, {deal, hold_2}), GameEnd::closed,
     "2024-05-01T12:34:56Z\t1714566000-4321\ttrainer\t1\t2s 5h 9c Jd Kh\t\t\t\t0\t\t0\t50\t49\t"
     "close:lost\t\t"},
    {"TheServerLostWhileTheDealersCardShows", 50, "Kh Ks 2c 2d 9h 9c 7h",
     bets(1, {deal, hold_1, hold_2, hold_3, hold_4, deal, double_up}), GameEnd::server_lost,
     "2024-05-01T12:34:56Z\t1714566000-4321\ttrainer\t1\tKh Ks 2c 2d 9h\tKh Ks 2c 2d\t"
     "Kh Ks 2c 2d 9c\ttwo-pair\t2\t\t0\t50\t49\tserver:lost\t33175890\t33175890"},
};

void PrintTo(const Played& played, std::ostream* out) {
    *out << played.name;
}

// The line of a game as the flow makes it: the model's log, settled early where the run ended,
// and the values of the strategy.
HistoryLine line_of(const Played& played) {
    play_cards(played.cards);
    const Sources sources{scripted_draw, best_hold, hold_cost, value_denominator};
    GameState state;
    start_run(state, played.credit, true);
    for (const Input input : played.inputs)
        apply_input(state, input, sources);
    HistoryLine line;
    line.time = 1714566896;
    line.run = RunId{1714566000, 4321};
    line.trainer = true;
    line.end = played.end;
    line.game =
        played.end == GameEnd::played ? state.log : early_end_log(state, settled_credit(state));
    HoldValues values{};
    if (line.game.drawn && game_hold_values(line.game.first, values)) {
        line.hold_value = values.value[line.game.held];
        line.best_value = values.value[values.best];
    }
    return line;
}

std::string text_of(const HistoryLine& line) {
    char text[history_line_capacity];
    return std::string(text, static_cast<std::size_t>(format_history_line(text, line)));
}

class HistoryRoundTrip : public ::testing::TestWithParam<Played> {};

TEST_P(HistoryRoundTrip, WritesTheGameAndReadsItBackTheSame) {
    const Played& played = GetParam();
    const HistoryLine written = line_of(played);
    ASSERT_TRUE(written.game.settled);
    const std::string text = text_of(written);
    EXPECT_EQ(text, played.line + "\n"s);
    EXPECT_LT(text.size(), 200U);

    HistoryLine read;
    ASSERT_EQ(read_history_text(std::string_view(text).substr(0, text.size() - 1), true, read),
              LineKind::game);
    // Every field is in the text, so the same text is the same record.
    EXPECT_EQ(text_of(read), text);
}

INSTANTIATE_TEST_SUITE_P(Record, HistoryRoundTrip, ::testing::ValuesIn(games),
                         [](const auto& info) { return std::string(info.param.name); });

// A line changed in one place, or cut, is damaged; so is one of a later format.
TEST(HistoryLine, AnEditedCutOrLaterLineIsDamaged) {
    const std::string good = games[2].line;
    // What is wrong, the text changed and what it becomes.
    const std::array<const char*, 3> edits[] = {
        {"a category the cards do not make", "two-pair", "three-card"},
        {"a win the category does not pay", "\t2\tJk", "\t4\tJk"},
        {"a gamble lost that was won", "7c won", "7c lost"},
        {"a gamble won after one lost", "5s lost", "5s won"},
        {"a credit after that does not follow", "\t49\tplayed", "\t59\tplayed"},
        {"a hold value the strategy does not give", "\t33175890\t", "\t21212861\t"},
        {"a held card that was not dealt", "\tKh Ks 2c 2d\t", "\tKh Kd 2c 2d\t"},
        {"a card dealt twice", "\tKh Ks 2c 2d 9h\tKh", "\tKh Ks 2c 2d 2d\tKh"},
        {"a day that does not exist", "2024-05-01", "2024-04-31"},
        {"a later format's field", "\tplayed\t", "\tplayed\tnew\t"},
        {"an unknown mode", "trainer", "coach"},
    };
    HistoryLine line;
    ASSERT_EQ(read_history_text(good, true, line), LineKind::game);
    for (const auto& [what, from, to] : edits) {
        std::string text = good;
        ASSERT_NE(text.find(from), std::string::npos) << what;
        text.replace(text.find(from), std::string_view(from).size(), to);
        EXPECT_EQ(read_history_text(text, true, line), LineKind::damaged) << what;
    }
    EXPECT_EQ(read_history_text(good, false, line), LineKind::damaged) << "no line break";
    EXPECT_EQ(read_history_text(good.substr(0, 60), true, line), LineKind::damaged);
    EXPECT_EQ(read_history_text("# poker hands 1", true, line), LineKind::comment);
}

// A game whose credit before is not the credit after of the game before it in its run is a gap;
// another run may start from any credit.
TEST(HistoryFigures, RunsGapsAndHoldsAddUp) {
    Figures figures;
    HistoryLine line = line_of(games[1]);  // 50 to 69, with a hold of 0.55 of a bet too little
    for (const auto& [before, process] : {std::pair{50, 1}, {50, 1}, {69, 1}, {3, 2}}) {
        line.game.credit_before = before;
        line.run.process = process;
        add_game(figures, line);
    }
    EXPECT_EQ(figures.hands, 4);
    EXPECT_EQ(figures.runs, 2);
    EXPECT_EQ(figures.gaps, 1);
    EXPECT_EQ(figures.best_holds, 0);
    EXPECT_EQ(figures.best_value - figures.made_value, 4 * (15295005 - 10565280));
}

}  // namespace
