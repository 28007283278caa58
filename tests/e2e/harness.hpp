// Playing the real program in end-to-end tests: it runs under the test X server with the test
// clock and random script preloaded, held at every pause until the test has seen the window.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "display/display.hpp"
#include "play/messages.hpp"
#include "rules/card.hpp"
#include "rules/state.hpp"
#include "support/labels.hpp"
#include "support/process.hpp"
#include "support/xserver.hpp"

struct GameOptions {
    std::string player = "bob";
    std::vector<std::string> cards;  // card literals dealt in turn ("As", "Jk"), then random ones
    std::vector<int> rand_values;    // raw rand() values, used instead of cards when given
    bool hold_at_pauses = true;      // false: every pause returns at once
    bool fake_libc = true;           // false: the C library's own clock, generator and pauses
    std::vector<std::string> environment;
    std::string also_preload;            // another library to preload after the test clock
    std::vector<std::string> run_under;  // a command that runs the program, as strace does
    std::function<void()> before_exec;   // run in the child just before the program starts
    bool log_waits = false;              // count the click waits (see waits_entered)
    const XServer* server = nullptr;     // another server than the test server
    std::vector<std::string> arguments;  // given to the program before the player name
    int scale = 1;                       // the window's scale, for reading it and pressing in it
    // Runs copies of the program and the preloaded libraries, from a directory that any user may
    // read wherever the build lies, as a test whose before_exec changes user must.
    bool run_copies = false;
};

class PokerGame {
public:
    PokerGame(const TemporaryDirectory& directory, GameOptions options = {});
    ~PokerGame();
    PokerGame(const PokerGame&) = delete;
    PokerGame& operator=(const PokerGame&) = delete;

    // Lets the program run on through its pauses until the condition holds. Returns whether it
    // did before the program ended or the safety time ran out.
    bool wait_for(const std::function<bool()>& condition);

    // What the window shows.
    bool shows(int x, int baseline, const char* text, const char* fg = "black",
               const char* bg = "white") const;
    bool shows_message(const char* text, const char* fg = "black", const char* bg = "white") const;
    bool shows_card(int position, const std::string& card) const;
    // Whether the card button under hand position p shows this label ("[H]", "[S]", "[ ]").
    bool shows_mark(int position, const char* label) const;
    bool shows_back(int position) const;
    bool shows_scores(int bet, int win, int credit) const;

    // From now on the window shows the picture at this scale with its top left at (x, y).
    void place(int scale, int x, int y) { std::tie(scale_, left_, top_) = std::tie(scale, x, y); }
    // Presses a mouse button at picture coordinates, or a key.
    void press(int x, int y) const;
    void press_key(KeySym key) const;

    // Releases every pause until the program ends; returns its exit status.
    int finish();
    // Ends the program with a signal and returns its status.
    int kill_now(int signal);
    // Sends a signal and goes on at once.
    void send_signal(int signal) const;
    // Asks the window to close, as a window manager's close button does.
    void request_close() const;
    // Whether the program is still running (reaping it if it has ended).
    bool running();
    std::string output() const;
    int pauses_entered() const;
    // The length in seconds of each pause entered so far, in order.
    std::vector<int> pause_lengths() const;
    // Click waits entered so far, with log_waits: a wait counted has its drawing on the server,
    // and the program has taken every press made before it began.
    long waits_entered() const;
    int pid() const { return pid_; }
    // The program run, as its banner names it.
    const std::string& program() const { return program_; }
    // For a test that is about to end the X server: from now on nothing asks the server about
    // the window, not even when the game is destroyed.
    void forget_window() { window_ = 0; }
    Window window() const { return window_; }
    Display* display() const { return display_; }

private:
    TemporaryDirectory scratch_;  // the pause log and standard output, away from player files
    std::string log_file_;
    std::string wait_log_file_;
    std::string out_file_;
    std::string program_;
    int pid_ = -1;
    int gate_ = -1;  // write end of the pipe the program's pauses read from
    int resumed_ = 0;
    int status_ = -1;
    bool exited_ = false;
    Display* display_ = nullptr;
    Window window_ = 0;
    int scale_ = 1;
    int left_ = 0;
    int top_ = 0;

    bool poll_exit();
    Picture card_cell(int position) const;
};

// Options that deal these cards in turn ("Kh Ks 2c"), then random ones.
GameOptions dealing(const std::string& cards);

// What the program writes on starting a run for a player: its name and version, and the file.
std::string banner(const std::string& player = "bob");
// What it writes when a game leaves no credit.
inline const std::string game_over_lines =
    "****           ****\n**** Game Over ****\n****           ****\n";

// Card literal to the rand() value that deals it under the test clock.
int rand_value_of(const std::string& card);

// The four bytes of a player file that holds this credit.
std::string stored(std::int32_t credit);

// The games of the player's hand history in the directory, each line as its tab-separated fields;
// comment lines are left out.
std::vector<std::vector<std::string>> history_games(const TemporaryDirectory& dir,
                                                    const std::string& player = "bob");

// The full path of a program found on PATH, or "" if there is none.
std::string find_in_path(const std::string& program);

// A positive number from the environment, such as the length of a longer storm, or the fallback.
long setting(const char* name, long fallback);

// Picture coordinates of the buttons, where a player would click them: the middle of each.
struct Point {
    int x;
    int y;
};
constexpr Point middle_of(const Button& button) {
    return {button.x + button.width / 2, button.y + button.height / 2};
}
inline constexpr Point bet_button = middle_of(main_panel[main_bet]);
inline constexpr Point deal_button = middle_of(main_panel[main_deal]);
inline constexpr Point blank_button = middle_of(main_panel[main_blank]);
inline constexpr Point double_button = middle_of(double_panel[double_double]);
inline constexpr Point end_button = middle_of(main_panel[main_end]);
inline constexpr Point take_button = middle_of(double_panel[double_take]);
constexpr Point hold_button(int position) {
    return middle_of(hold_panel[position]);
}
constexpr Point pick_button(int position) {  // positions 1 to 4
    return middle_of(pick_panel[position - 1]);
}

// Presses a button at a point.
inline void press(const PokerGame& game, Point point) {
    game.press(point.x, point.y);
}

// Asks the run to end from outside its buttons: as a window manager's close button does (signal
// 0), or by a signal.
inline void request_end(const PokerGame& game, int signal) {
    signal == 0 ? game.request_close() : game.send_signal(signal);
}

// A player's moves, each waiting until the window shows it has been taken; a step that does not
// come is a test failure.
// Waits for the start of a game at this credit and presses Bet `count` times.
void bet(PokerGame& game, int count, int credit);
// The same, then Deal; returns once the cards are up.
void bet_and_deal(PokerGame& game, int count, int credit);
void hold(PokerGame& game, std::initializer_list<int> positions);
// Picks the card at hand position 1 to 4 in the double-up.
void pick(PokerGame& game, int position);
// A game dealt from the script, played to the double-up offer by holding every card.
void win_with_held_hand(PokerGame& game, int count, int credit);
// Waits for the start of a game at this credit, presses End and expects the run to end well.
void end_run(PokerGame& game, int credit);
// Expects the window to show these five cards ("3c 5h 7d Jd Qs").
void expect_hand(const PokerGame& game, const std::string& cards);
