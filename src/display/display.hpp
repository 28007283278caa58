// The display's face to the game: every drawing operation and the click wait, without X headers.
#pragma once

#include "rules/card.hpp"
#include "rules/state.hpp"

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
};

extern const Button main_panel[5];
extern const Button double_panel[5];
extern Button hold_panel[9];  // card labels rewritten from the hold flags at each drawing
extern Button pick_panel[6];

// Button indices of the panels.
enum MainButton { main_bet = 0, main_deal = 1, main_blank = 2, main_end = 3 };
enum DoubleButton { double_bet = 0, double_deal = 1, double_double = 2, double_take = 3 };
inline constexpr int hold_deal = 5;  // 0 to 4: the hold buttons under the cards
inline constexpr int hold_hint = 6;  // 6 and 7: the keys h and ?, which have no button
inline constexpr int pick_deal = 4;  // 0 to 3: the pick buttons under cards 1 to 4

// Window and colours. Drawing goes into the game's picture; flush_display shows what was drawn
// since the last flush in the window and sends everything to the server.
void open_window(DisplayContext& display);
void set_colors(DisplayContext& display, const char* foreground, const char* background);
void flush_display(DisplayContext& display);
void clear_window(DisplayContext& display);

// Cards.
void create_glyphs(DisplayContext& display);
void draw_card_back(DisplayContext& display, int position);
void draw_card_face(DisplayContext& display, int position, int suit, int rank);
void draw_table(DisplayContext& display, const GameState& state);

// Text, scores and panels.
void draw_text(DisplayContext& display, int x, int y, const char* text);
void show_message(DisplayContext& display, const char* text);
void draw_scores(DisplayContext& display, const GameState& state);
void draw_main_panel(DisplayContext& display);
void draw_double_panel(DisplayContext& display);
void draw_hold_panel(DisplayContext& display, const GameState& state);
void draw_pick_panel(DisplayContext& display, const GameState& state);

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

// Called, if set, when the connection to the X server is lost; it must not return. Without it,
// or should it return, the process ends with status 1.
void on_connection_lost(void (*callback)());
