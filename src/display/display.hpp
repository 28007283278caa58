// The display's face to the game: the button panels, every drawing operation and the click wait,
// without X headers.
#pragma once

#include <array>
#include <cstdint>

#include "rules/card.hpp"
#include "rules/input.hpp"

struct DisplayContext;

// A clickable label: the label is drawn with its first character at x and its baseline at
// y + 15, and a press strictly inside the rectangle hits the button, as does a press of its key.
// Keys are named by characters: a letter in lower case for that letter in either case, a digit
// for that digit on either the main keys or the keypad, and 'd' also for Return, keypad Enter
// and space; 0 for none. A panel is a list of buttons ended by an entry without label.
struct Button {
    const char* label;
    int x;
    int y;
    int width;
    int height;
    char key;
    Input input;  // what pressing the button asks of the game
};

// The label of a card button: "[ ]", or its mark ("[H]" held, "[S]" picked).
inline constexpr const char* unmarked_label = "[ ]";
inline constexpr const char* held_label = "[H]";
inline constexpr const char* picked_label = "[S]";

// A key that only the keyboard reaches is one more entry with an empty label and an empty
// rectangle: it is neither drawn nor hit by a press.
inline constexpr Button main_panel[] = {
    {"[Bet   ]", 100, 110, 50, 20, 'b', Input::bet},
    {"[Deal  ]", 100, 130, 50, 20, 'd', Input::deal},
    {"[      ]", 100, 150, 50, 20, 0, Input::none},
    {"[End   ]", 100, 170, 50, 20, 'e', Input::end},
    {"", 0, 0, 0, 0, 's', Input::record},
    {nullptr, 0, 0, 0, 0, 0, Input::none},
};

inline constexpr Button double_panel[] = {
    {"[Bet   ]", 100, 110, 50, 20, 'b', Input::bet},
    {"[Deal  ]", 100, 130, 50, 20, 'd', Input::deal},
    {"[Double]", 100, 150, 50, 20, 'u', Input::double_up},
    {"[Take  ]", 100, 170, 50, 20, 't', Input::take},
    {nullptr, 0, 0, 0, 0, 0, Input::none},
};

// The card button of hand position p starts at x = 32 * p + 7, just below the card; its key is
// the card's number from the left. The first five are the hold marks of positions 0 to 4. The
// hint has keys and no button.
inline constexpr Button hold_panel[] = {
    {unmarked_label, 7, 69, 28, 20, '1', Input::hold_1},
    {unmarked_label, 39, 69, 28, 20, '2', Input::hold_2},
    {unmarked_label, 71, 69, 28, 20, '3', Input::hold_3},
    {unmarked_label, 103, 69, 28, 20, '4', Input::hold_4},
    {unmarked_label, 135, 69, 28, 20, '5', Input::hold_5},
    {"[Deal  ]", 100, 130, 50, 20, 'd', Input::deal},
    {"", 0, 0, 0, 0, 'h', Input::hint},
    {"", 0, 0, 0, 0, '?', Input::hint},
    {nullptr, 0, 0, 0, 0, 0, Input::none},
};

// Position 0 has no pick button: the dealer's card lies there. The first four are the picks of
// positions 1 to 4.
inline constexpr Button pick_panel[] = {
    {unmarked_label, 39, 69, 28, 20, '2', Input::pick_2},
    {unmarked_label, 71, 69, 28, 20, '3', Input::pick_3},
    {unmarked_label, 103, 69, 28, 20, '4', Input::pick_4},
    {unmarked_label, 135, 69, 28, 20, '5', Input::pick_5},
    {"[Deal  ]", 100, 130, 50, 20, 'd', Input::deal},
    {nullptr, 0, 0, 0, 0, 0, Input::none},
};

// The record page takes a press anywhere on the picture and any key that names a character: a
// button whose key is any_key is pressed by every such key.
inline constexpr char any_key = 1;
inline constexpr Button record_panel[] = {
    {"", -1, -1, 162, 202, any_key, Input::none},
    {nullptr, 0, 0, 0, 0, 0, Input::none},
};

// Button indices of the panels.
enum MainButton { main_bet = 0, main_deal = 1, main_blank = 2, main_end = 3 };
enum DoubleButton { double_bet = 0, double_deal = 1, double_double = 2, double_take = 3 };
inline constexpr int hold_deal = 5;  // 0 to 4: the hold buttons under the cards
inline constexpr int pick_deal = 4;  // 0 to 3: the pick buttons under cards 1 to 4

// Window and colours. Drawing goes into the game's picture; flush_display shows what was drawn
// since the last flush in the window and sends everything to the server.
// open_display connects to the X server named by DISPLAY and opens the game's window at a scale
// of 1 to 8, or 0 for the desktop's; without a server the run ends there.
DisplayContext& open_display(int scale);
void set_colors(DisplayContext& display, const char* foreground, const char* background);
void flush_display(DisplayContext& display);
void clear_window(DisplayContext& display);

// Cards.
void create_glyphs(DisplayContext& display);
void draw_card_back(DisplayContext& display, int position);
void draw_card_face(DisplayContext& display, int position, int suit, int rank);
// The start of a game: five cards face down, the main panel, no hold marks and the scores.
void draw_table(DisplayContext& display, std::int32_t bet, std::int32_t win, std::int32_t credit);

// Text, scores and panels. The card buttons of the hold and pick panels show the mark of each
// position whose bit is set (bit p for position p).
void draw_text(DisplayContext& display, int x, int y, const char* text);
void show_message(DisplayContext& display, const char* text);
void draw_scores(DisplayContext& display, std::int32_t bet, std::int32_t win, std::int32_t credit);
void draw_main_panel(DisplayContext& display);
void draw_double_panel(DisplayContext& display);
void draw_hold_panel(DisplayContext& display, unsigned held);
void draw_pick_panel(DisplayContext& display, unsigned picked);

// The record page, drawn in place of the table: lines of text from the top, then the credit
// after each of the last games as a plot, one pixel column a game from the left, the games of the
// run in play in red and those of earlier runs in blue.
inline constexpr int record_line_count = 6;
inline constexpr int record_columns = 160;
struct RecordPage {
    std::array<std::array<char, 24>, record_line_count> lines{};
    std::array<std::int32_t, record_columns> credit{};
    std::array<bool, record_columns> this_run{};
    int columns = 0;
};
void draw_record_page(DisplayContext& display, const RecordPage& page);

// Waits, without spinning, for a press on a button of the panel, by mouse or key, and returns
// its index, or close_request once the run is to end instead. Exposures are repainted at once.
int wait_button(DisplayContext& display, const Button* panel);

// Requests to end the run from outside the panels: the window manager's close button
// (WM_DELETE_WINDOW), the window destroyed by another client, and the termination signals
// SIGTERM, SIGHUP and SIGINT.
inline constexpr int close_request = -1;
// From here on a termination signal is noted, cuts a pause short and wakes the click wait,
// instead of killing the process; SIGPIPE is ignored, so a server gone in the middle of a write
// is reported as a lost connection.
void catch_termination_signals();
// True once the window has been asked to close or a termination signal has come. Looks at what
// the connection holds without waiting, and leaves every press in the queue for the next wait.
// Exposures of the window waiting in the connection are repainted on the way.
bool close_requested(DisplayContext& display);
// True once a termination signal has come (rather than a close request).
bool termination_signal_caught();

// Called, if set, when the connection to the X server is lost; it must not return. Without it,
// or should it return, the process ends with status 1.
void on_connection_lost(void (*callback)());
