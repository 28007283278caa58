// The window and its drawing context: the connection, the window with its hints, the two text
// contexts, colours by name, bitmaps and flushing.
#include "display/context.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/glyphs.hpp"

namespace {

constexpr int window_width = 160;
constexpr int window_height = 200;
constexpr int border_width = 2;
constexpr const char* window_title = "Poker";
constexpr const char* text_font_name = "5x7";

// Nothing can be drawn without a connection, so the run ends here with one line naming the
// display that was tried.
[[noreturn]] void fail_to_open(const char* display_name) {
    const char* tried = XDisplayName(display_name);
    if (tried[0] == '\0') {
        std::fprintf(stderr, "cannot open display \"\" (DISPLAY is not set)\n");
    } else {
        std::fprintf(stderr, "cannot open display \"%s\"\n", tried);
    }
    std::exit(1);
}

const NamedPixel* find_pixel(const DisplayContext& display, const char* name) {
    for (int i = 0; i < display.pixel_count; ++i) {
        const NamedPixel& entry = display.pixels[static_cast<std::size_t>(i)];
        if (std::strcmp(entry.name.data(), name) == 0) return &entry;
    }
    return nullptr;
}

void remember_pixel(DisplayContext& display, const char* name, unsigned long pixel) {
    const std::size_t length = std::strlen(name);
    NamedPixel entry{};
    // A name too long for an entry, or one past a full cache, is simply looked up every time.
    if (display.pixel_count >= static_cast<int>(display.pixels.size())) return;
    if (length >= entry.name.size()) return;
    std::memcpy(entry.name.data(), name, length + 1);
    entry.pixel = pixel;
    display.pixels[static_cast<std::size_t>(display.pixel_count++)] = entry;
}

}  // namespace

void open_window(DisplayContext& display) {
    display.display = XOpenDisplay(display.display_name);
    if (display.display == nullptr) fail_to_open(display.display_name);
    Display* const connection = display.display;

    // Screen 0, not the default screen: the root, the colormap and the window all come from it.
    display.colormap = DefaultColormap(connection, 0);
    const unsigned long black = alloc_color(display, "black");
    const unsigned long white = alloc_color(display, "white");

    display.window = XCreateSimpleWindow(connection, RootWindow(connection, 0), 0, 0, window_width,
                                         window_height, border_width, black, white);
    XStoreName(connection, display.window, window_title);

    display.attributes.backing_store = Always;
    XChangeWindowAttributes(connection, display.window, CWBackingStore, &display.attributes);

    // Key presses are selected but never read; only button presses are taken from the queue.
    XSelectInput(connection, display.window, KeyPressMask | ButtonPressMask);

    display.icon_pixmap = XCreateBitmapFromData(connection, display.window,
                                                reinterpret_cast<const char*>(icon_bits.data()),
                                                icon_width, icon_height);
    XWMHints wm_hints{};
    wm_hints.flags = IconPixmapHint | IconPositionHint;
    wm_hints.icon_pixmap = display.icon_pixmap;
    wm_hints.icon_x = 0;
    wm_hints.icon_y = 0;
    XSetWMHints(connection, display.window, &wm_hints);

    // Minimum and maximum are the same, so the window cannot be resized.
    XSizeHints size_hints{};
    size_hints.flags = PMinSize | PMaxSize;
    size_hints.min_width = window_width;
    size_hints.min_height = window_height;
    size_hints.max_width = window_width;
    size_hints.max_height = window_height;
    XSetNormalHints(connection, display.window, &size_hints);

    // Taking part in WM_DELETE_WINDOW lets the window manager's close button ask the game to end
    // (and save) instead of cutting the connection. Both atoms come in one round trip.
    char protocols_name[] = "WM_PROTOCOLS";
    char delete_name[] = "WM_DELETE_WINDOW";
    char* atom_names[] = {protocols_name, delete_name};
    Atom atoms[2] = {};
    XInternAtoms(connection, atom_names, 2, False, atoms);
    display.wm_protocols = atoms[0];
    display.wm_delete_window = atoms[1];
    XSetWMProtocols(connection, display.window, &display.wm_delete_window, 1);

    XMapWindow(connection, display.window);

    display.text_gc = XCreateGC(connection, display.window, 0, nullptr);
    display.text_font = XLoadFont(connection, text_font_name);
    XSetFont(connection, display.text_gc, display.text_font);

    display.wide_gc = XCreateGC(connection, display.window, 0, nullptr);
    display.wide_font = XLoadFont(connection, text_font_name);
    XSetFont(connection, display.wide_gc, display.wide_font);
}

unsigned long alloc_color(DisplayContext& display, const char* name) {
    if (const NamedPixel* known = find_pixel(display, name)) return known->pixel;
    XColor screen{};
    XColor exact{};
    // A name the server does not know gets black, so the drawing stays visible.
    unsigned long pixel = BlackPixel(display.display, 0);
    if (XAllocNamedColor(display.display, display.colormap, name, &screen, &exact) != 0) {
        pixel = screen.pixel;
    }
    remember_pixel(display, name, pixel);
    return pixel;
}

void set_colors(DisplayContext& display, const char* foreground, const char* background) {
    XSetForeground(display.display, display.text_gc, alloc_color(display, foreground));
    XSetBackground(display.display, display.text_gc, alloc_color(display, background));
}

Pixmap make_bitmap(DisplayContext& display, const unsigned char* bits, int width, int height) {
    return XCreateBitmapFromData(display.display, display.window,
                                 reinterpret_cast<const char*>(bits), static_cast<unsigned>(width),
                                 static_cast<unsigned>(height));
}

void flush_display(DisplayContext& display) {
    XFlush(display.display);
}

void clear_window(DisplayContext& display) {
    XClearWindow(display.display, display.window);
}
