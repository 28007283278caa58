// DisplayContext: the connection and every X resource of the program. The only header that
// includes Xlib.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>

#include "display/display.hpp"

// A colour name already looked up, so each name costs one round trip per run. The name is copied,
// so callers may pass names from buffers that do not outlive the call.
struct NamedPixel {
    std::array<char, 32> name;
    unsigned long pixel;
};

struct DisplayContext {
    const char* display_name = nullptr;  // nullptr: the X library reads DISPLAY
    Display* display = nullptr;
    Window window = 0;
    XSetWindowAttributes attributes{};
    GC text_gc = nullptr;
    Font text_font = 0;
    GC wide_gc = nullptr;
    Font wide_font = 0;
    Colormap colormap = 0;
    Pixmap icon_pixmap = 0;

    // The window manager's close button arrives as a WM_PROTOCOLS message naming
    // WM_DELETE_WINDOW; once one has come, the run is to end.
    Atom wm_protocols = 0;
    Atom wm_delete_window = 0;
    bool close_asked = false;

    std::array<NamedPixel, 8> pixels{};  // the colour cache, filled in order of first use
    int pixel_count = 0;

    Pixmap face_glyph = 0;
    Pixmap back_glyph = 0;
    std::array<Pixmap, 21> glyph_table{};  // ranks 0 to 12, suits at 16 + suit code
};

unsigned long alloc_color(DisplayContext& display, const char* name);
Pixmap make_bitmap(DisplayContext& display, const unsigned char* bits, int width, int height);
void stipple_glyph(DisplayContext& display, int x, int y, int width, int height, Pixmap bitmap);

// For the click wait: whether a termination signal has come, and the descriptor that becomes
// readable when one does (-1 if it could not be made).
bool termination_signal_caught();
int termination_wake_fd();
// Whether an event is the window manager asking to close the game window.
bool is_close_message(const DisplayContext& display, const XEvent& event);
