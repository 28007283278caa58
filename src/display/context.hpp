// DisplayContext: the connection and every X resource of the program. The only header that
// includes Xlib.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>

#include "display/display.hpp"

// A colour name already known, so each name costs at most one round trip per run (none on
// TrueColor). The name is copied, so callers may pass names from buffers that do not outlive the
// call.
struct NamedPixel {
    std::array<char, 32> name;
    unsigned long pixel;
};

// A rectangle of the picture given by its corners; empty when x1 <= x0 or y1 <= y0.
struct Area {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
};

inline constexpr int picture_width = 160;
inline constexpr int picture_height = 200;
inline constexpr int max_scale = 8;  // the largest scale --scale and Xft.dpi start the window at

// Where the window shows the picture: window pixels per picture pixel, and the window pixel of
// the picture's top left corner. Everything around the picture is margin.
struct Placement {
    int scale = 1;
    int x = 0;
    int y = 0;
};

// The largest whole scale, up to largest_scale, at which the picture fits a window of this size,
// at least 1, centred; a window smaller than the picture shows its top left part.
Placement place_picture(int window_width, int window_height, int largest_scale);
// Turns a window pixel into the picture pixel under it; false for a pixel in the margin.
bool to_picture(const Placement& placement, int& x, int& y);

struct DisplayContext {
    const char* display_name = nullptr;  // nullptr: the X library reads DISPLAY
    // The scale the window starts at, 1 to 8; 0 until open_window: take it from the desktop.
    int scale = 0;
    Display* display = nullptr;
    Window window = 0;
    XSetWindowAttributes attributes{};
    GC text_gc = nullptr;
    Font text_font = 0;
    GC wide_gc = nullptr;
    Font wide_font = 0;
    Colormap colormap = 0;
    Pixmap icon_pixmap = 0;
    Pixmap icon_mask = 0;

    // Everything is drawn into this picture on the server, and the window shows it: after a
    // flush the area drawn since the last one is copied over, and an exposed area is copied back.
    Pixmap picture = 0;
    GC copy_gc = nullptr;   // solid white fills and plain copies, with no exposure events
    Area dirty;             // drawn since the last flush, in picture pixels
    XID render_source = 0;  // once enlarged: the picture and the window as XRender pictures
    XID render_window = 0;
    bool render_asked = false;  // whether the server has been asked about RENDER yet

    // The window takes any size the desktop gives it and shows the picture at the largest whole
    // scale that fits, centred on white. A new size is answered at the next flush, which shows
    // the whole window again at once.
    int window_width = 0;
    int window_height = 0;
    Placement shown;
    bool show_whole_window = false;

    // When the server has no "5x7" font, text is drawn from this bitmap of the program's own
    // copy of its glyphs, 5 by 7 pixels each, character code c at x = 5c.
    Pixmap font_strip = 0;
    bool font_missing = false;  // the server refused to open "5x7"

    // The window manager's close button arrives as a WM_PROTOCOLS message naming
    // WM_DELETE_WINDOW; once one has come, or the window was destroyed, the run is to end.
    Atom wm_protocols = 0;
    Atom wm_delete_window = 0;
    Atom net_wm_state = 0;  // full screen is asked of the window manager through these
    Atom net_wm_state_fullscreen = 0;
    bool close_asked = false;
    bool window_gone = false;  // destroyed from outside: nothing is copied to it any more

    std::array<NamedPixel, 8> pixels{};  // the colour cache, filled in order of first use
    int pixel_count = 0;

    Pixmap face_glyph = 0;
    Pixmap back_glyph = 0;
    std::array<Pixmap, 21> glyph_table{};  // ranks 0 to 12, suits at 16 + suit code
};

// Opens the window of a context whose display_name and scale are set (open_display for the game's
// own context).
void open_window(DisplayContext& display);
unsigned long alloc_color(DisplayContext& display, const char* name);
Pixmap make_bitmap(DisplayContext& display, const unsigned char* bits, int width, int height);
void stipple_glyph(DisplayContext& display, int x, int y, int width, int height, Pixmap bitmap);

// Notes a rectangle of the picture as drawn, for the next flush to copy to the window.
void mark_drawn(DisplayContext& display, int x, int y, int width, int height);
// Copies the part of the picture under an exposed rectangle of the window back to it.
void repaint_exposed(DisplayContext& display, const XExposeEvent& exposed);

// For the click wait: whether a termination signal has come, and the descriptor that becomes
// readable when one does (-1 if it could not be made).
bool termination_signal_caught();
int termination_wake_fd();
// Whether an event is the window manager asking to close the game window.
bool is_close_message(const DisplayContext& display, const XEvent& event);
// Notes the window's new size; the next flush shows the picture placed for it.
void resize_window(DisplayContext& display, int width, int height);
// Asks the window manager to turn full screen on or off (EWMH _NET_WM_STATE); without a manager
// that knows it nothing happens.
void toggle_fullscreen(DisplayContext& display);
// The character by which buttons name a key (see Button), or 0 for a key that names none.
char key_name(KeySym key);
// Answers an event about the window that is not a press: a close message, the window's
// destruction or its new size is noted, an exposure repainted; anything else is dropped. False
// for presses.
bool take_window_event(DisplayContext& display, const XEvent& event);
