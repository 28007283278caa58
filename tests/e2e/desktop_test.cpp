// The game on a desktop: under the openbox window manager on a server without backing store,
// enlarged for high-density screens, and played with the keyboard.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <string>

#include "e2e/harness.hpp"

namespace {

// A private server that goes with the test; games on it are declared after it, so end first.
struct OwnServer {
    XServer server;
    ~OwnServer() {
        XCloseDisplay(server.display);
        kill(server.pid, SIGTERM);
        wait_program(server.pid);
    }
};

Picture whole_window(const PokerGame& game, int scale) {
    return read_picture(game.display(), game.window(), 0, 0, 160 * scale, 200 * scale);
}

bool at_start_table(PokerGame& game) {
    return game.wait_for([&] {
        return game.shows_message("Press Bet or Deal") && game.shows_scores(0, 0, 50) &&
               game.shows_back(3);
    });
}

TEST(Desktop, TheTableIsShownWhenMappedAndComesBackAfterIconifyAndCovering) {
    const OwnServer desktop{start_desktop_server()};
    Display* look = desktop.server.display;
    TemporaryDirectory dir;
    GameOptions options;
    options.server = &desktop.server;
    PokerGame game(dir, options);
    ASSERT_TRUE(at_start_table(game));
    const Picture table = whole_window(game, 1);

    XIconifyWindow(look, game.window(), 0);
    ASSERT_TRUE(wait_until([&] { return whole_window(game, 1).pixels.empty(); }));
    XMapWindow(look, game.window());
    EXPECT_TRUE(wait_until([&] { return whole_window(game, 1) == table; })) << "after iconify";

    // A window the manager leaves alone covers the screen, then goes away.
    XSetWindowAttributes cover_attributes{};
    cover_attributes.override_redirect = True;
    cover_attributes.background_pixel = named_pixel(look, "blue");
    const Window cover =
        XCreateWindow(look, DefaultRootWindow(look), 0, 0, 640, 480, 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWBackPixel, &cover_attributes);
    XMapRaised(look, cover);
    ASSERT_TRUE(wait_until([&] { return whole_window(game, 1) != table; }));
    XDestroyWindow(look, cover);
    EXPECT_TRUE(wait_until([&] { return whole_window(game, 1) == table; })) << "after covering";
}

TEST(Desktop, EachScaleShowsTheScaleOnePictureInExactBlocks) {
    const OwnServer desktop{start_desktop_server()};
    Display* look = desktop.server.display;
    struct Case {
        const char* argument;  // nullptr: none
        const char* dpi;       // the desktop's Xft.dpi, nullptr: not set
        int scale;
    };
    const Case cases[] = {{nullptr, nullptr, 1},
                          {"--scale=2", "288", 2},
                          {nullptr, "288", 3},
                          {nullptr, "40", 1},
                          {nullptr, "150", 2}};
    Picture table;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.scale) + (c.argument != nullptr ? c.argument : ""));
        const std::string resources = c.dpi != nullptr ? "Xft.dpi:\t" + std::string(c.dpi) : "";
        XChangeProperty(look, DefaultRootWindow(look), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                        static_cast<int>(resources.size()));
        XSync(look, False);
        TemporaryDirectory dir;
        GameOptions options;
        options.server = &desktop.server;
        options.scale = c.scale;
        if (c.argument != nullptr) options.arguments = {c.argument};
        PokerGame game(dir, options);
        ASSERT_TRUE(at_start_table(game));
        if (table.pixels.empty()) table = whole_window(game, 1);
        EXPECT_EQ(picture_difference(enlarged(table, c.scale), whole_window(game, c.scale)), "");
        XSizeHints size{};
        long supplied = 0;
        ASSERT_NE(XGetWMNormalHints(look, game.window(), &size, &supplied), 0);
        EXPECT_EQ(size.max_width, 160 * c.scale);
        EXPECT_EQ(size.min_height, 200 * c.scale);
    }
}

// One game from the first Bet to End, won and doubled: by mouse at scale 3, by keys at scale 1.
TEST(Desktop, AGameIsPlayedWithClicksAtScaleThreeAndWithKeys) {
    const OwnServer desktop{start_desktop_server()};
    struct Step {
        Point point;
        KeySym key;
        std::function<bool(const PokerGame&)> then;
    };
    const auto shows = [](int x, int y, const char* text, const char* fg = "black") {
        return [=](const PokerGame& game) { return game.shows(x, y, text, fg); };
    };
    const std::vector<Step> steps = {
        {bet_button, XK_b, [](const PokerGame& game) { return game.shows_scores(1, 0, 49); }},
        {bet_button, XK_B, [](const PokerGame& game) { return game.shows_scores(2, 0, 48); }},
        {deal_button, XK_Return, shows(1, 20, "Select Cards           ")},
        {hold_button(0), XK_1, shows(7, 84, "[H]")},
        {hold_button(1), XK_KP_2, shows(39, 84, "[H]")},
        {hold_button(2), XK_3, shows(71, 84, "[H]")},
        {hold_button(3), XK_KP_4, shows(103, 84, "[H]")},
        {deal_button, XK_space, shows(1, 20, "Double Up-Take Score ? ")},
        {double_button, XK_u, shows(1, 20, "Select Bigger Card     ")},
        {pick_button(2), XK_3, shows(71, 84, "[S]")},
        {deal_button, XK_KP_Enter,
         [](const PokerGame& game) {
             return game.shows_message("Double Up-Take Score ? ") && game.shows_scores(2, 8, 48);
         }},
        {take_button, XK_t, [](const PokerGame& game) { return game.shows_scores(0, 0, 56); }},
    };
    for (const bool keys : {false, true}) {
        SCOPED_TRACE(keys ? "keys" : "clicks at scale 3");
        TemporaryDirectory dir;
        GameOptions options;
        options.server = &desktop.server;
        options.cards = {"Kh", "Ks", "2c", "2d", "9h", "5s", "7h", "3s", "7c", "9d", "Ah"};
        options.scale = keys ? 1 : 3;
        if (!keys) options.arguments = {"--scale=3"};
        PokerGame game(dir, options);
        ASSERT_TRUE(at_start_table(game));
        for (const Step& step : steps) {
            keys ? game.press_key(step.key) : press(game, step.point);
            ASSERT_TRUE(game.wait_for([&] { return step.then(game); })) << "key " << step.key;
        }
        keys ? game.press_key(XK_e) : press(game, end_button);
        EXPECT_EQ(game.finish(), 0);
        EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(56));
    }
}

TEST(Desktop, WithoutRenderTheGamePlaysAtScaleOneAndSaysSo) {
    const OwnServer plain{start_separate_server({"-extension", "RENDER"})};
    TemporaryDirectory dir;
    const std::string err = dir.file("err");
    GameOptions options;
    options.server = &plain.server;
    options.arguments = {"--scale=2"};
    options.before_exec = [err] { dup2(open(err.c_str(), O_WRONLY | O_CREAT, 0644), 2); };
    PokerGame game(dir, options);
    ASSERT_TRUE(at_start_table(game));
    EXPECT_EQ(whole_window(game, 1).width, 160);
    EXPECT_EQ(read_file(err), "the X server has no RENDER extension: the window is not enlarged\n");
}

}  // namespace
