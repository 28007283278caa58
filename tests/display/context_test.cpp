// The game window, its hints and colours, and what happens without a display.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/glyphs.hpp"
#include "icon_image.hpp"
#include "support/process.hpp"
#include "table.hpp"

namespace {

TEST_F(Table, WindowIsTheGameWindowWithItsHints) {
    char* title = nullptr;
    ASSERT_NE(XFetchName(look, context.window, &title), 0);
    EXPECT_STREQ(title, "Poker");
    XFree(title);

    Window root = 0;
    int x = -1, y = -1;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    XGetGeometry(look, context.window, &root, &x, &y, &width, &height, &border, &depth);
    EXPECT_EQ(root, RootWindow(look, 0));
    EXPECT_EQ(std::vector<long>({x, y, width, height, border}),
              std::vector<long>({0, 0, 160, 200, 2}));

    // Attributes as the game's own connection sees them, so the event mask is its own.
    XWindowAttributes attributes{};
    XGetWindowAttributes(context.display, context.window, &attributes);
    EXPECT_EQ(attributes.backing_store, Always);
    EXPECT_EQ(attributes.your_event_mask,
              KeyPressMask | ButtonPressMask | ExposureMask | StructureNotifyMask);
    EXPECT_EQ(attributes.map_state, IsViewable);

    XSizeHints size{};
    long supplied = 0;
    ASSERT_NE(XGetWMNormalHints(look, context.window, &size, &supplied), 0);
    // No aspect hint: a manager meets one by growing the window past the size asked for.
    EXPECT_EQ(size.flags, PMinSize | PResizeInc | PBaseSize);
    EXPECT_EQ(std::vector<int>({size.min_width, size.min_height, size.width_inc, size.height_inc,
                                size.base_width, size.base_height}),
              std::vector<int>({160, 200, 160, 200, 0, 0}));

    XWMHints* hints = XGetWMHints(look, context.window);
    ASSERT_NE(hints, nullptr);
    EXPECT_EQ(hints->flags, InputHint | IconPixmapHint | IconPositionHint | IconMaskHint);
    EXPECT_EQ(hints->input, True);
    EXPECT_EQ(hints->icon_pixmap, context.icon_pixmap);
    EXPECT_EQ(hints->icon_mask, context.icon_mask);
    EXPECT_EQ(hints->icon_x, 0);
    EXPECT_EQ(hints->icon_y, 0);
    XFree(hints);

    // The icon holds icon_bits, least significant bit leftmost; its mask is opaque throughout.
    XImage* icon = XGetImage(look, context.icon_pixmap, 0, 0, 64, 48, 1, XYPixmap);
    XImage* mask = XGetImage(look, context.icon_mask, 0, 0, 64, 48, 1, XYPixmap);
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(mask, nullptr);
    int wrong = 0;
    for (int row = 0; row < 48; ++row) {
        for (int column = 0; column < 64; ++column) {
            const unsigned byte = icon_bits[static_cast<std::size_t>(row * 8 + column / 8)];
            const unsigned long bit = (byte >> (column % 8)) & 1u;
            if (XGetPixel(icon, column, row) != bit || XGetPixel(mask, column, row) != 1) ++wrong;
        }
    }
    XDestroyImage(icon);
    XDestroyImage(mask);
    EXPECT_EQ(wrong, 0) << "icon pixels differ from icon_bits";

    // What a desktop reads to know the window, as bytes or 32-bit values of the type it expects:
    // class, host, names, process, and the icon's pixels as the installed PNG has them.
    const auto property = [&](const char* name, const char* type) {
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(look, context.window, XInternAtom(look, name, False), 0, 1 << 16, False,
                           XInternAtom(look, type, False), &actual, &format, &count, &left, &data);
        // The X library hands 32-bit values over sign-extended to longs.
        std::vector<unsigned long> values;
        for (unsigned long i = 0; i < count; ++i) {
            values.push_back(format == 8 ? data[i]
                                         : reinterpret_cast<unsigned long*>(data)[i] & 0xffffffff);
        }
        if (data != nullptr) XFree(data);
        return values;
    };
    const auto text = [](const std::string& bytes) {
        return std::vector<unsigned long>(bytes.begin(), bytes.end());
    };
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    EXPECT_EQ(property("WM_CLASS", "STRING"), text(std::string("poker\0Poker\0", 12)));
    EXPECT_EQ(property("WM_CLIENT_MACHINE", "STRING"), text(host));
    EXPECT_EQ(property("WM_ICON_NAME", "STRING"), text("Poker"));
    EXPECT_EQ(property("_NET_WM_NAME", "UTF8_STRING"), text("Poker"));
    EXPECT_EQ(property("_NET_WM_PID", "CARDINAL"),
              std::vector<unsigned long>{static_cast<unsigned long>(getpid())});
    const GreyAlphaImage png = square_icon_image(icon_bits, 64, 48);
    std::vector<unsigned long> argb{64, 64};
    for (std::size_t i = 0; i < png.pixels.size(); i += 2)
        argb.push_back(png.pixels[i + 1] * 0x1000000ul + png.pixels[i] * 0x10101ul);
    EXPECT_EQ(property("_NET_WM_ICON", "CARDINAL"), argb);

    // A black 2-pixel border round a white inside.
    Picture framed = plain(164, 204, "black");
    framed.paste(plain(160, 200, "white"), 2, 2);
    EXPECT_EQ(picture_difference(framed, window_picture(-2, -2, 164, 204)), "");

    // Both text contexts carry the "5x7" font, loaded once for each.
    XGCValues values{};
    XGetGCValues(context.display, context.text_gc, GCFont, &values);
    EXPECT_EQ(values.font, context.text_font);
    XGetGCValues(context.display, context.wide_gc, GCFont, &values);
    EXPECT_EQ(values.font, context.wide_font);
    EXPECT_NE(context.text_font, context.wide_font);
    XFontStruct* font = XQueryFont(look, context.text_font);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->ascent, 6);
    EXPECT_EQ(font->max_bounds.width, 5);
    XFreeFontInfo(nullptr, font, 1);
}

TEST_F(Table, CoveredWindowGetsItsContentsBackWithoutRedrawing) {
    draw_card_back(context, 1);
    show_message(context, "Select Cards           ");
    sync();
    const Picture before = window_picture(0, 0, 160, 200);

    // Another window covers the game entirely and goes away again; the game draws nothing.
    const Window cover = XCreateSimpleWindow(look, RootWindow(look, 0), 0, 0, 300, 300, 0,
                                             named_pixel(look, "black"), named_pixel(look, "blue"));
    XMapRaised(look, cover);
    XSync(look, False);
    XDestroyWindow(look, cover);
    XSync(look, False);

    EXPECT_EQ(picture_difference(before, window_picture(0, 0, 160, 200)), "");
}

// An enlarged window in its own size and resized round it: no resize enlarges the picture past
// scale 8, each exposure gets back every block it touches, and destroyed by another client while
// the game still draws into it, the copies that fail on the server do not end the run before the
// destruction is taken as a close (and the credit saved).
TEST_F(Table, AnEnlargedWindowOfAnySizeRepaintsExposuresAndItsDestructionIsAClose) {
    struct Case {
        const char* what;
        int width, height;  // the window's size
        Placement shown;
        int x, y, cleared_width, cleared_height;  // the area the server clears, or none
    };
    const Case cases[] = {
        // The right edge falls inside the block of the red frame's first column.
        {"an exposure ending inside a block", 480, 600, {3, 0, 0}, 20, 100, 11, 31},
        // With a left margin of 100, the right columns of the picture and the margin beside.
        {"the right columns beside a left margin", 680, 600, {3, 100, 0}, 520, 100, 120, 31},
        {"no scale above 8", 1800, 2250, {8, 260, 325}, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DisplayContext big;
        big.display_name = name.c_str();
        big.scale = 3;
        open_window(big);
        create_glyphs(big);
        draw_card_back(big, 0);
        draw_card_back(big, 4);
        XResizeWindow(big.display, big.window, static_cast<unsigned>(c.width),
                      static_cast<unsigned>(c.height));
        // The new size and the exposure of the newly mapped window are answered first.
        XSync(big.display, False);
        close_requested(big);
        XSync(big.display, False);
        EXPECT_EQ((std::array{big.shown.scale, big.shown.x, big.shown.y}),
                  (std::array{c.shown.scale, c.shown.x, c.shown.y}));
        if (c.cleared_width > 0) {
            const Picture before = read_picture(look, big.window, 0, 0, c.width, c.height);
            XClearArea(look, big.window, c.x, c.y, static_cast<unsigned>(c.cleared_width),
                       static_cast<unsigned>(c.cleared_height), True);
            XSync(look, False);
            ASSERT_NE(read_picture(look, big.window, 0, 0, c.width, c.height), before);
            EXPECT_TRUE(wait_until([&] {
                close_requested(big);
                XSync(big.display, False);
                return read_picture(look, big.window, 0, 0, c.width, c.height) == before;
            }));
        }
        XDestroyWindow(look, big.window);
        XSync(look, False);
        draw_card_back(big, 1);
        flush_display(big);
        XSync(big.display, False);
        EXPECT_TRUE(close_requested(big));
        close_context(big);
    }
}

TEST_F(Table, OnTrueColorEveryColourIsWorkedOutWithoutARequest) {
    struct Case {
        const char* foreground;
        const char* background;
    };
    const Case cases[] = {
        {"black", "white"}, {"red", "red"},     {"white", "white"}, {"blue", "yellow"},
        {"red", "red"},     {"yellow", "blue"}, {"black", "white"},
    };
    for (int round = 0; round < 20; ++round) {
        for (const Case& c : cases) {
            const unsigned long before = XNextRequest(context.display);
            set_colors(context, c.foreground, c.background);
            // A lookup would be a request of its own; setting the colours is kept in the context
            // until it is used.
            const unsigned long lookups = XNextRequest(context.display) - before;
            EXPECT_EQ(lookups, 0u)
                << c.foreground << " on " << c.background << " in round " << round;

            XGCValues values{};
            XGetGCValues(context.display, context.text_gc, GCForeground | GCBackground, &values);
            EXPECT_EQ(values.foreground, named_pixel(look, c.foreground));
            EXPECT_EQ(values.background, named_pixel(look, c.background));
        }
    }
    EXPECT_EQ(context.pixel_count, 5);

    // The colours reach the server: text drawn now is blue on yellow.
    set_colors(context, "blue", "yellow");
    draw_text(context, 10, 50, "Ok");
    sync();
    EXPECT_TRUE(shows(10, 50, "Ok", "blue", "yellow"));
}

// Worked out on TrueColor, pixels are the server's own at depth 16 too; PseudoColor asks once each.
TEST_F(Table, ColoursAreTheServersOwnPixelsAtEveryDepth) {
    for (const bool pseudo_colour : {false, true}) {
        XServer server =
            start_separate_server({"-screen", "0", pseudo_colour ? "320x240x8" : "320x240x16"});
        DisplayContext game;
        game.display_name = server.name.c_str();
        open_window(game);
        EXPECT_EQ(DefaultDepth(game.display, 0), pseudo_colour ? 8 : 16);
        // open_window has black and white already; a name is looked up the first time only.
        const std::pair<const char*, unsigned long> names[] = {
            {"black", 0}, {"white", 0}, {"red", 1}, {"yellow", 1}, {"blue", 1}, {"red", 0}};
        for (const auto& [name, lookups] : names) {
            const unsigned long before = XNextRequest(game.display);
            EXPECT_EQ(alloc_color(game, name), named_pixel(server.display, name)) << name;
            EXPECT_EQ(XNextRequest(game.display) - before, pseudo_colour ? lookups : 0) << name;
        }
        close_context(game);
        stop_separate_server(server);
    }
}

// Runs open_window in a child with the given display name (nullptr: none) and DISPLAY unset;
// returns its exit status and what it wrote on standard error.
ProcessResult open_without_display(const char* display_name) {
    char path[] = "/tmp/poker-nodisplay-XXXXXX";
    const int err = mkstemp(path);
    EXPECT_GE(err, 0);
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(err, 2);
        unsetenv("DISPLAY");
        DisplayContext context;
        context.display_name = display_name;
        open_window(context);
        // open_window must not come back without a connection.
        _exit(99);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ProcessResult outcome;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    lseek(err, 0, SEEK_SET);
    char buffer[512];
    const ssize_t got = read(err, buffer, sizeof buffer);
    outcome.err.assign(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
    close(err);
    unlink(path);
    return outcome;
}

TEST(NoDisplay, OneLineNamingTheDisplayAndStatusOne) {
    struct Case {
        const char* display_name;
        std::string message;
    };
    // No server listens on display 65000.
    const Case cases[] = {
        {":65000", "cannot open display \":65000\"\n"},
        {nullptr, "cannot open display \"\" (DISPLAY is not set)\n"},
    };
    for (const Case& c : cases) {
        const ProcessResult outcome = open_without_display(c.display_name);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.err, c.message);
    }
}

}  // namespace
