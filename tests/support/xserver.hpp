// A private X server for tests (Xvfb with backing store and the "5x7" font), and the means to
// look at windows on it, pixel by pixel, and to click them with XTest.
#pragma once

#include <X11/Xlib.h>

#include <csignal>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// One Xvfb per test process, started on first use and stopped when that process exits; DISPLAY
// is set to it for child processes. The connection `display` belongs to the test process: a
// forked child opens its own. The server is also told to end when the thread that started it
// ends (so a crashed test leaves none behind): call it first from the main thread.
struct XServer {
    std::string name;  // ":N"
    Display* display = nullptr;
    int pid = -1;
};
XServer& test_server();
// Another private Xvfb, apart from the test server, for a test that ends it or needs other server
// arguments (added to the usual ones). The caller owns the process and the connection: it closes
// the connection before it ends the server.
XServer start_separate_server(const std::vector<std::string>& arguments = {});
// A separate server as a desktop is: no backing store, and the openbox window manager, on a
// screen of this size.
XServer start_desktop_server(int width, int height);
// Ends a separate server: closes the test's connection to it, sends the signal and returns the
// server's exit status, or 128 + the signal that ended it.
int stop_separate_server(const XServer& server, int signal = SIGTERM);

// A rectangle of a window read back with XGetImage, as pixel values.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned long> pixels;
    unsigned long at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool operator==(const Picture&) const = default;

    // The rectangle (x, y, width, height) of this picture.
    Picture part(int x, int y, int part_width, int part_height) const;
    // Copies another picture over this one with its top left at (x, y), clipped to this one.
    void paste(const Picture& other, int x, int y);
};
void PrintTo(const Picture& picture, std::ostream* out);

// Empty when the pictures are equal, else their first differing pixels and the count.
std::string picture_difference(const Picture& expected, const Picture& actual);
Picture read_picture(Display* display, Drawable drawable, int x, int y, int width, int height);

// The pixel of an X colour name on the default colormap.
unsigned long named_pixel(Display* display, const char* name);

// Calls the condition until it holds or a minute passes (a safety net, never a pause that a test
// relies on, long enough for a machine under heavy load); returns whether it held.
bool wait_until(const std::function<bool()>& condition);

// The viewable top-level window with this title, or 0 if none appears in time.
Window find_window(Display* display, const char* title);
// The same, looking once without waiting.
Window top_level_window(Display* display, const char* title);
// Whether the window still exists on the server.
bool window_exists(Display* display, Window window);

// Presses and releases a mouse button at window coordinates through XTest, and waits until the
// server has taken both events.
void click(Display* display, Window window, int x, int y, unsigned button = 1);

// Moves the pointer to window coordinates and presses and releases a key there through XTest
// (without a window manager the keyboard follows the pointer).
void press_key(Display* display, Window window, int x, int y, KeySym key);

// What the program's text drawing would show: the text drawn with the server's own "5x7" font
// as image text, one character per 7-pixel cell from x, with the given baseline, in fg on bg,
// over a background of the colour `under`. Returns the rectangle (x, y - 7, 7 * length, 9)
// cell margins included, to compare with read_picture of the same rectangle.
Picture render_text(Display* display, const char* text, const char* fg, const char* bg,
                    const char* under = "white");

// True when the window, showing the game's picture at this scale, shows this text at (x,
// baseline y) of the picture in these colours, over white. The picture's top left is at (left,
// top) of the window.
bool shows_text(Display* display, Window window, int x, int y, const char* text, const char* fg,
                const char* bg, int scale = 1, int left = 0, int top = 0);

// A rectangle of the game's picture from a window that shows it at this scale: one pixel of each
// scale by scale block. And a picture enlarged so, each pixel an exact block.
Picture read_scaled(Display* display, Window window, int x, int y, int width, int height, int scale,
                    int left = 0, int top = 0);
Picture enlarged(const Picture& picture, int scale);
