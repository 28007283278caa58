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

    std::array<NamedPixel, 8> pixels{};  // the colour cache, filled in order of first use
    int pixel_count = 0;

    Pixmap face_glyph = 0;
    Pixmap back_glyph = 0;
    std::array<Pixmap, 21> glyph_table{};  // ranks 0 to 12, suits at 16 + suit code
};

unsigned long alloc_color(DisplayContext& display, const char* name);
Pixmap make_bitmap(DisplayContext& display, const unsigned char* bits, int width, int height);
void stipple_glyph(DisplayContext& display, int x, int y, int width, int height, Pixmap bitmap);
