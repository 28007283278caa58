#include "support/xserver.hpp"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

pid_t server_owner = -1;  // the process that started the server, the only one that stops it

[[noreturn]] void give_up(const std::string& why) {
    std::fprintf(stderr, "test X server: %s\n", why.c_str());
    std::fflush(stderr);
    std::abort();
}

// Only the process that started the server stops it: children forked by tests run the exit
// handlers too.
void stop_server() {
    XServer& server = test_server();
    if (getpid() != server_owner || server.pid <= 0) return;
    if (server.display != nullptr) XCloseDisplay(server.display);
    server.display = nullptr;
    kill(server.pid, SIGTERM);
    int status = 0;
    while (waitpid(server.pid, &status, 0) < 0 && errno == EINTR) {
    }
    server.pid = -1;
}

[[noreturn]] void exec_server(int display_fd, const std::vector<std::string>& extra,
                              pid_t test_process) {
    // The server goes when the test process goes, even if the test crashes or is killed. A test
    // process that died before the request has a new parent already: init, or a subreaper.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != test_process) _exit(1);
    const int null_fd = open("/dev/null", O_RDWR);
    dup2(null_fd, 0);
    dup2(null_fd, 1);
    if (std::getenv("POKER_XVFB_LOG") == nullptr) dup2(null_fd, 2);
    const std::string fd_text = std::to_string(display_fd);
    std::vector<std::string> words{"Xvfb",       "-displayfd", fd_text,     "-screen", "0",
                                   "640x480x24", "+bs",        "-nolisten", "tcp",     "-noreset"};
    // Given both +bs and -bs, Xvfb keeps backing store on.
    if (std::find(extra.begin(), extra.end(), "-bs") != extra.end()) words[6] = "-bs";
    words.insert(words.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    execvp("Xvfb", argv.data());
    _exit(127);
}

// Xvfb writes its display number, then a newline, once it accepts connections.
std::string read_display_number(int fd) {
    std::string number;
    char c = 0;
    for (;;) {
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 || c == '\n') break;
        number += c;
    }
    return number;
}

// The windows looked at belong to other clients and may be mapped, unmapped or destroyed at any
// moment; a request on such a window fails and simply finds nothing.
int tolerate_vanishing_windows(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadMatch ||
        error->error_code == BadDrawable) {
        return 0;
    }
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    give_up(std::string("X error: ") + text);
}

// Starts an Xvfb and returns its pid, with its display number once it accepts connections.
pid_t launch_server(std::string& number, const std::vector<std::string>& extra = {}) {
    int fds[2];
    if (pipe(fds) != 0) give_up("pipe failed");
    const pid_t test_process = getpid();
    const pid_t pid = fork();
    if (pid < 0) give_up("fork failed");
    if (pid == 0) {
        close(fds[0]);
        exec_server(fds[1], extra, test_process);
    }
    close(fds[1]);
    number = read_display_number(fds[0]);
    close(fds[0]);
    return pid;
}

void start_server(XServer& server) {
    std::string number;
    const pid_t pid = launch_server(number);
    server.pid = pid;
    server_owner = getpid();
    std::atexit(stop_server);
    if (number.empty()) give_up("Xvfb did not start (is it installed?)");

    server.name = ":" + number;
    setenv("DISPLAY", server.name.c_str(), 1);
    server.display = XOpenDisplay(server.name.c_str());
    if (server.display == nullptr) give_up("cannot connect to " + server.name);
    XSetErrorHandler(tolerate_vanishing_windows);

    int count = 0;
    char** fonts = XListFonts(server.display, "5x7", 1, &count);
    if (fonts != nullptr) XFreeFontNames(fonts);
    if (count == 0) give_up("the server has no \"5x7\" font (install xfonts-base)");

    int event_base = 0, error_base = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(server.display, &event_base, &error_base, &major, &minor)) {
        give_up("the server lacks the XTEST extension");
    }
}
}  // namespace

XServer& test_server() {
    static XServer server;
    if (server.pid < 0 && server_owner < 0) start_server(server);
    return server;
}

XServer start_separate_server(const std::vector<std::string>& arguments) {
    test_server();  // the error handler and the checks of the server's fonts and extensions
    XServer server;
    std::string number;
    server.pid = launch_server(number, arguments);
    if (number.empty()) give_up("a second Xvfb did not start");
    server.name = ":" + number;
    server.display = XOpenDisplay(server.name.c_str());
    if (server.display == nullptr) give_up("cannot connect to " + server.name);
    return server;
}

XServer start_desktop_server(int width, int height) {
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    XServer server = start_separate_server({"-bs", "-screen", "0", screen});
    const pid_t manager = fork();
    if (manager == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null_fd = open("/dev/null", O_RDWR);
        dup2(null_fd, 1);
        dup2(null_fd, 2);
        setenv("DISPLAY", server.name.c_str(), 1);
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    // The manager is at work once it frames a window; one that asks too early may be forgotten
    // while it starts, so the probe asks again until it is framed.
    Display* look = server.display;
    const Window probe = XCreateSimpleWindow(look, DefaultRootWindow(look), 0, 0, 1, 1, 0, 0, 0);
    const bool framed = wait_until([&] {
        XMapWindow(look, probe);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(look, probe, &root, &parent, &children, &count);
        if (children != nullptr) XFree(children);
        return parent != root;
    });
    if (!framed) give_up("openbox did not start (is it installed?)");
    XDestroyWindow(look, probe);
    XSync(look, False);
    return server;
}

int stop_separate_server(const XServer& server, int signal) {
    XCloseDisplay(server.display);
    kill(server.pid, signal);
    int status = 0;
    while (waitpid(server.pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

Picture read_picture(Display* display, Drawable drawable, int x, int y, int width, int height) {
    XImage* image = XGetImage(display, drawable, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) return Picture{};  // the window is gone or not viewable
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            picture.pixels.push_back(XGetPixel(image, column, row));
        }
    }
    XDestroyImage(image);
    return picture;
}

Picture Picture::part(int x, int y, int part_width, int part_height) const {
    Picture result;
    result.width = part_width;
    result.height = part_height;
    for (int row = y; row < y + part_height; ++row) {
        for (int column = x; column < x + part_width; ++column) {
            result.pixels.push_back(at(column, row));
        }
    }
    return result;
}

void Picture::paste(const Picture& other, int x, int y) {
    for (int row = 0; row < other.height; ++row) {
        for (int column = 0; column < other.width; ++column) {
            if (x + column < 0 || x + column >= width || y + row < 0 || y + row >= height) continue;
            pixels[static_cast<std::size_t>(y + row) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x + column)] = other.at(column, row);
        }
    }
}

void PrintTo(const Picture& picture, std::ostream* out) {
    *out << picture.width << "x" << picture.height << " picture";
}

std::string picture_difference(const Picture& expected, const Picture& actual) {
    if (expected.width != actual.width || expected.height != actual.height) {
        std::ostringstream text;
        text << "size " << actual.width << "x" << actual.height << ", expected " << expected.width
             << "x" << expected.height;
        return text.str();
    }
    std::ostringstream text;
    int differences = 0;
    for (int row = 0; row < expected.height; ++row) {
        for (int column = 0; column < expected.width; ++column) {
            if (expected.at(column, row) == actual.at(column, row)) continue;
            if (differences < 5) {
                text << std::hex << "(" << std::dec << column << "," << row << "): 0x" << std::hex
                     << actual.at(column, row) << " expected 0x" << expected.at(column, row)
                     << std::dec << "; ";
            }
            ++differences;
        }
    }
    if (differences == 0) return "";
    text << differences << " pixels differ";
    return text.str();
}

unsigned long named_pixel(Display* display, const char* name) {
    XColor screen{};
    XColor exact{};
    if (XAllocNamedColor(display, DefaultColormap(display, 0), name, &screen, &exact) == 0) {
        give_up(std::string("unknown colour ") + name);
    }
    return screen.pixel;
}

bool wait_until(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

Window top_level_window(Display* display, const char* title) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
        return 0;
    }
    // Under a window manager the top-level windows are its frames: the clients are on its list.
    std::vector<Window> candidates(children, children + count);
    if (children != nullptr) XFree(children);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* list = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display),
                           XInternAtom(display, "_NET_CLIENT_LIST", False), 0, 1024, False,
                           XA_WINDOW, &type, &format, &items, &left, &list) == Success &&
        list != nullptr) {
        const auto* clients = reinterpret_cast<const Window*>(list);
        candidates.insert(candidates.end(), clients, clients + items);
        XFree(list);
    }
    for (const Window candidate : candidates) {
        char* name = nullptr;
        XWindowAttributes attributes{};
        // Only a window that can be read back counts as found.
        if (found != 0 || XGetWindowAttributes(display, candidate, &attributes) == 0 ||
            attributes.map_state != IsViewable) {
            continue;
        }
        if (XFetchName(display, candidate, &name) != 0 && name != nullptr) {
            if (std::strcmp(name, title) == 0) found = candidate;
            XFree(name);
        }
    }
    return found;
}

bool window_exists(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0;
}

Window find_window(Display* display, const char* title) {
    Window found = 0;
    wait_until([&] {
        found = top_level_window(display, title);
        return found != 0;
    });
    return found;
}

namespace {

// Moves the pointer to window coordinates, wherever the window sits on the screen.
void move_pointer(Display* display, Window window, int x, int y) {
    int root_x = 0, root_y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &root_x, &root_y,
                          &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), root_x, root_y, CurrentTime);
}

}  // namespace

void click(Display* display, Window window, int x, int y, unsigned button) {
    move_pointer(display, window, x, y);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
}

void press_key(Display* display, Window window, int x, int y, KeySym key) {
    move_pointer(display, window, x, y);
    const KeyCode code = XKeysymToKeycode(display, key);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
}

Picture render_text(Display* display, const char* text, const char* fg, const char* bg,
                    const char* under) {
    const int length = static_cast<int>(std::strlen(text));
    const int width = 7 * length;
    const int height = 9;
    if (length == 0) return Picture{};
    const Window root = DefaultRootWindow(display);
    const Pixmap pixmap =
        XCreatePixmap(display, root, static_cast<unsigned>(width), static_cast<unsigned>(height),
                      static_cast<unsigned>(DefaultDepth(display, 0)));
    const GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XSetForeground(display, gc, named_pixel(display, under));
    XFillRectangle(display, pixmap, gc, 0, 0, static_cast<unsigned>(width),
                   static_cast<unsigned>(height));
    const Font font = XLoadFont(display, "5x7");
    XSetFont(display, gc, font);
    XSetForeground(display, gc, named_pixel(display, fg));
    XSetBackground(display, gc, named_pixel(display, bg));
    for (int i = 0; i < length; ++i) {
        XDrawImageString(display, pixmap, gc, 7 * i, 7, text + i, 1);
    }
    Picture picture = read_picture(display, pixmap, 0, 0, width, height);
    XUnloadFont(display, font);
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
    return picture;
}

bool shows_text(Display* display, Window window, int x, int y, const char* text, const char* fg,
                const char* bg, int scale, int left, int top) {
    const Picture expected = render_text(display, text, fg, bg);
    // Only the part inside the picture can be read back; text may run past its right edge.
    const int width = std::min(expected.width, 160 - x);
    if (width <= 0) return false;
    return read_scaled(display, window, x, y - 7, width, expected.height, scale, left, top) ==
           expected.part(0, 0, width, expected.height);
}

Picture read_scaled(Display* display, Window window, int x, int y, int width, int height, int scale,
                    int left, int top) {
    const Picture whole = read_picture(display, window, left + x * scale, top + y * scale,
                                       width * scale, height * scale);
    if (whole.pixels.empty()) return whole;
    Picture picture{width, height, {}};
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column)
            picture.pixels.push_back(whole.at(column * scale, row * scale));
    }
    return picture;
}

Picture enlarged(const Picture& picture, int scale) {
    Picture large{picture.width * scale, picture.height * scale, {}};
    for (int row = 0; row < large.height; ++row) {
        for (int column = 0; column < large.width; ++column)
            large.pixels.push_back(picture.at(column / scale, row / scale));
    }
    return large;
}
