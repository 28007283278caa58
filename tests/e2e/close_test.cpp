// Ending the run from outside the buttons: the window manager's close button, the window destroyed
// by another client and the termination signals, at every kind of wait, on the real program.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "e2e/harness.hpp"
#include "support/xserver.hpp"

namespace {

using namespace std::string_literals;

const char* const offer = offer_message;
const char* const select_cards = select_cards_message;
const char* const select_bigger = select_bigger_message;

// The ways a player or the system asks the run to end: the window manager's close button, another
// client destroying the window, and the termination signals.
struct Request {
    const char* name;
    int signal;  // 0 for the two through the window
};
const Request every_request[] = {{"close", 0},
                                 {"XDestroyWindow", 0},
                                 {"SIGTERM", SIGTERM},
                                 {"SIGHUP", SIGHUP},
                                 {"SIGINT", SIGINT}};

void ask_to_end(PokerGame& game, const Request& request) {
    if (request.name != "XDestroyWindow"s) return request_end(game, request.signal);
    // Two round trips, as for the close message: the second sees the event written out.
    XDestroyWindow(game.display(), game.window());
    XSync(game.display(), False);
    XSync(game.display(), False);
}

// Two pair on a bet of 1 (a win of 2), held whole, up to the double-up offer.
void win_two(PokerGame& game) {
    win_with_held_hand(game, 1, 50);
    ASSERT_TRUE(game.shows_scores(1, 2, 49));
}

// A moment of play at which the run is asked to end, and what the end must leave.
struct Moment {
    const char* name;
    std::string stored_before;  // the player file before the run, empty for none
    const char* cards;          // dealt in turn
    void (*reach)(PokerGame&);  // plays up to the moment; the program then waits for a click
    std::string saved;          // the file afterwards, "": as it was before
    bool game_over;
    // What the end settled in the history's line of the game, nullptr where no card was shown.
    const char* settled = nullptr;
};

void PrintTo(const Moment& moment, std::ostream* out) {
    *out << moment.name;
}

const Moment moments[] = {
    {"FirstWaitOfANewPlayerSavesTheDefault", "", "",
     [](PokerGame& game) {
         ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(0, 0, starting_credit); }));
     },
     stored(50), false},
    {"TheRecordPageEndsAsBetting", stored(20), "",
     [](PokerGame& game) {
         ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(0, 0, 20); }));
         game.press_key(XK_s);
         ASSERT_TRUE(game.wait_for([&] { return game.shows(1, 60, "No games yet"); }));
     },
     stored(20), false},
    {"BettingGivesBackTheStakeEvenTheWholeCredit", stored(2), "",
     [](PokerGame& game) { bet(game, 2, 2); }, stored(2), false},
    {"BettingByANewPlayerGivesBackTheWholeCredit", "", "",
     [](PokerGame& game) { bet(game, 50, 50); }, stored(50), false},
    {"HoldingLosesTheStake", stored(20), "2s 5h 9c Jd Kh",
     [](PokerGame& game) {
         bet_and_deal(game, 3, 20);
         hold(game, {1});
     },
     stored(17), false, "lost"},
    {"TheOfferTakesTheWin", "", "Kh Ks 2c 2d 9h", win_two, stored(51), false, "taken"},
    {"TheOfferAfterAGambleTakesItsWin", "", "Kh Ks 2c 2d 9h Jk",
     [](PokerGame& game) {
         win_two(game);
         press(game, double_button);  // the dealer's joker triples the win
         ASSERT_TRUE(game.wait_for(
             [&] { return game.shows_message(offer) && game.shows_scores(1, 6, 49); }));
     },
     stored(55), false, "taken"},
    {"ThePickForfeitsTheWin", "", "Kh Ks 2c 2d 9h 7h",
     [](PokerGame& game) {
         win_two(game);
         press(game, double_button);
         ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_bigger); }));
         pick(game, 2);
     },
     stored(49), false, "lost"},
    {"TheWholeCreditStakedSavesNothing", stored(2), "2s 5h 9c Jd Kh",
     [](PokerGame& game) {
         bet(game, 2, 2);
         press(game, bet_button);  // with no credit left, a Bet stakes nothing
         press(game, deal_button);
         ASSERT_TRUE(game.wait_for(
             [&] { return game.shows_message(select_cards) && game.shows_scores(2, 0, 0); }));
     },
     "", true, "lost"},
};

class EndRequest : public ::testing::TestWithParam<Moment> {};

TEST_P(EndRequest, EndsTheRunAsEndDoes) {
    const Moment& moment = GetParam();
    for (const Request& request : every_request) {
        SCOPED_TRACE(request.name);
        TemporaryDirectory dir;
        const std::string file = dir.file("tavlek.bob.sv");
        if (!moment.stored_before.empty()) write_file(file, moment.stored_before);
        PokerGame game(dir, dealing(moment.cards));
        moment.reach(game);
        ask_to_end(game, request);
        EXPECT_EQ(game.finish(), 0);
        EXPECT_EQ(game.output(), banner() + (moment.game_over ? game_over_lines : ""));
        const std::string& after = moment.saved.empty() ? moment.stored_before : moment.saved;
        EXPECT_EQ(file_exists(file), !after.empty());
        EXPECT_EQ(read_file(file), after);
        const std::vector<std::vector<std::string>> games = history_games(dir);
        EXPECT_EQ(games.size(), moment.settled != nullptr ? 1U : 0U) << "a game whose cards showed";
        if (!games.empty() && moment.settled != nullptr) {
            EXPECT_EQ(games[0][13],
                      (request.signal != 0 ? "signal:"s : "close:"s) + moment.settled);
            EXPECT_EQ(stored(std::stoi(games[0][12])),
                      moment.saved.empty() ? stored(0) : moment.saved);
        }
        EXPECT_EQ(list_directory(dir.path).size(),
                  (file_exists(file) ? 1U : 0U) + (games.empty() ? 0U : 1U))
            << "no temporary file stays behind";
    }
}

INSTANTIATE_TEST_SUITE_P(Game, EndRequest, ::testing::ValuesIn(moments),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EndRequest, WaitsForTheEndOfAPauseAndThenEndsWithoutTakingQueuedPresses) {
    for (const Request& request : every_request) {
        SCOPED_TRACE(request.name);
        TemporaryDirectory dir;
        PokerGame game(dir, dealing("2s 5h 9c Jd Kh"));
        bet(game, 1, 50);
        press(game, deal_button);
        // Held in the pause after "Good Luck": the request and a press of the first hold button
        // come while no wait runs.
        ASSERT_TRUE(game.wait_for([&] { return game.pauses_entered() == 1; }));
        ask_to_end(game, request);
        press(game, hold_button(0));
        EXPECT_TRUE(game.running()) << "a held pause does not end";
        EXPECT_EQ(game.finish(), 0);
        EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(starting_credit))
            << "no card shown: the bet back";
        EXPECT_TRUE(history_games(dir).empty()) << "no card shown: no game to write down";
        EXPECT_EQ(game.pauses_entered(), 1) << "the run ended as the pause did";
    }
}

// The window takes part in the delete protocol alone, and other client messages are ignored.
TEST(EndRequest, OnlyTheDeleteWindowMessageCloses) {
    TemporaryDirectory dir;
    PokerGame game(dir);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(0, 0, starting_credit); }));
    Display* display = game.display();
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom take_focus = XInternAtom(display, "WM_TAKE_FOCUS", False);
    const Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom* listed = nullptr;
    int count = 0;
    ASSERT_NE(XGetWMProtocols(display, game.window(), &listed, &count), 0);
    EXPECT_EQ(std::vector<Atom>(listed, listed + count), std::vector<Atom>{delete_window});
    XFree(listed);
    // A protocol message that is not WM_DELETE_WINDOW, a message of another type that names
    // WM_DELETE_WINDOW, and the close message's words sent as bytes and as 16-bit values.
    for (const auto& [type, first, format] :
         {std::tuple{protocols, take_focus, 32},
          std::tuple{XInternAtom(display, "OTHER", False), delete_window, 32},
          std::tuple{protocols, delete_window, 8}, std::tuple{protocols, delete_window, 16}}) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = game.window();
        event.xclient.message_type = type;
        event.xclient.format = format;
        event.xclient.data.l[0] = static_cast<long>(first);
        XSendEvent(display, game.window(), False, NoEventMask, &event);
    }
    XSync(display, False);
    press(game, bet_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(1, 0, 49); }));
    EXPECT_TRUE(game.running());
    EXPECT_FALSE(file_exists(dir.file("tavlek.bob.sv")));
    game.request_close();
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(starting_credit));
}

TEST(EndRequest, AnIgnoredSignalStaysIgnored) {
    // Started under nohup, or as a background job, the game keeps the ignored signal ignored;
    // started from a menu with its standard output closed, it plays all the same.
    TemporaryDirectory dir;
    GameOptions options;
    options.before_exec = [] {
        signal(SIGHUP, SIG_IGN);
        signal(SIGINT, SIG_IGN);
        close(1);
    };
    PokerGame game(dir, options);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(0, 0, starting_credit); }));
    game.send_signal(SIGHUP);
    game.send_signal(SIGINT);
    press(game, bet_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(1, 0, 49); }));
    EXPECT_TRUE(game.running());
    game.send_signal(SIGTERM);
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(starting_credit));
}

// The program's own process under strace: the one whose parent is strace.
int traced_child(int strace_pid) {
    for (const std::string& name : list_directory("/proc")) {
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat("/proc/" + name + "/stat");
        std::string line;
        std::getline(stat, line);
        // The parent is the second field after the command, which is in parentheses.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(line.substr(close + 1));
        std::string state;
        int parent = 0;
        if (fields >> state >> parent && parent == strace_pid) return std::stoi(name);
    }
    return 0;
}

long current_syscall(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/syscall");
    long number = -1;
    return status >> number ? number : -1;
}

TEST(EndRequest, ASignalCutsARealPauseShort) {
    const std::string strace = find_in_path("strace");
    if (strace.empty()) GTEST_SKIP() << "strace is not installed";
    TemporaryDirectory dir;
    TemporaryDirectory scratch;
    const std::string trace = scratch.file("trace");
    GameOptions options = dealing("2s 5h 9c Jd Kh 3s 7h 8c Qd 4h");
    // The pauses of one second return at once, the pause of two seconds after the result is slept
    // for real, until a signal ends it. Under strace the leak checker of a sanitized build cannot
    // work.
    options.environment = {"POKER_FAKE_REAL_SLEEP=2", "ASAN_OPTIONS=detect_leaks=0"};
    options.hold_at_pauses = false;
    options.run_under = {strace,
                         "-f",
                         "-qq",
                         "-o",
                         trace,
                         "-e",
                         "trace=clock_nanosleep,nanosleep,restart_syscall,exit_group"};
    PokerGame game(dir, options);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(0, 0, starting_credit); }));
    int poker = 0;
    ASSERT_TRUE(wait_until([&] { return (poker = traced_child(game.pid())) > 0; }));
    // strace leaves its child running if it is itself killed, so a failing test kills both.
    struct KillOnExit {
        int pid;
        ~KillOnExit() { kill(pid, SIGKILL); }
    } kill_on_exit{poker};
    press(game, bet_button);
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_cards); }));
    press(game, deal_button);
    // Asleep in the two seconds after the result: the fourth pause of the game.
    ASSERT_TRUE(wait_until([&] {
        return game.pauses_entered() == 4 && current_syscall(poker) == SYS_clock_nanosleep;
    }));
    kill(poker, SIGTERM);
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(49));
    const std::string log = read_file(trace);
    const std::size_t signal_line = log.find("--- SIGTERM");
    ASSERT_NE(signal_line, std::string::npos) << log;
    const std::string after = log.substr(signal_line);
    EXPECT_EQ(after.find("restart_syscall"), std::string::npos) << "the sleep is not resumed\n"
                                                                << log;
    EXPECT_EQ(after.find("nanosleep("), std::string::npos) << "no pause follows\n" << log;
    EXPECT_EQ(game.pauses_entered(), 4);
}

}  // namespace
