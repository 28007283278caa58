// The game on a desktop: under the openbox window manager on a server without backing store,
// enlarged for high-density screens, and played with the keyboard.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <span>

#include "e2e/harness.hpp"

namespace {

// A server of the test's own, with a screen of this size; the games of a test end before it does.
template <int screen_width, int screen_height>
struct OwnServer : ::testing::Test {
    XServer server = start_desktop_server(screen_width, screen_height);
    Display* look = server.display;
    ~OwnServer() override { stop_separate_server(server); }
    Picture whole(const PokerGame& game, int scale) {
        return read_picture(look, game.window(), 0, 0, 160 * scale, 200 * scale);
    }
};

GameOptions on(const XServer& server, const std::vector<std::string>& arguments, int scale) {
    GameOptions options;
    options.server = &server;
    options.arguments = arguments;
    options.scale = scale;
    return options;
}

bool at_start_table(PokerGame& game) {
    return game.wait_for([&] {
        return game.shows_message("Press Bet or Deal") && game.shows_scores(0, 0, 50) &&
               game.shows_back(3);
    });
}

// A screen with room for the window at scale 8 and its frame, and a common one, smaller than
// some sizes a player asks of the manager.
using TallDesktop = OwnServer<1400, 1700>;
using Desktop = OwnServer<1280, 1024>;

TEST_F(TallDesktop, EveryScaleShowsTheTableInExactBlocksAgainAfterIconifyAndCovering) {
    struct Case {
        std::vector<std::string> arguments;
        std::string resources;  // the desktop's, where Xft.dpi sets the scale
        int scale;
    };
    const Case cases[] = {{{}, "", 1},
                          {{"--scale=2"}, "Xft.dpi:\t288", 2},
                          {{}, "Xft.dpi:\t288", 3},
                          {{}, "Xft.dpi:\t144", 2},  // half way rounds up
                          {{}, "Xft.dpi:\t40", 1},
                          {{}, "Xft.dpi:\t1536", 8},
                          {{}, "Xft.dpi:\tdense", 1}};
    Picture table;
    XSetWindowAttributes unmanaged{};
    unmanaged.override_redirect = True;
    const Window cover =
        XCreateWindow(look, DefaultRootWindow(look), 0, 0, 1400, 1700, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect, &unmanaged);
    for (const Case& c : cases) {
        SCOPED_TRACE("scale " + std::to_string(c.scale));
        XChangeProperty(look, DefaultRootWindow(look), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(c.resources.data()),
                        static_cast<int>(c.resources.size()));
        TemporaryDirectory dir;
        PokerGame game(dir, on(server, c.arguments, c.scale));
        // Drawn before the manager mapped it, the table is there once it has.
        ASSERT_TRUE(at_start_table(game));
        if (table.pixels.empty()) table = whole(game, 1);
        const Picture expected = enlarged(table, c.scale);
        EXPECT_EQ(picture_difference(expected, whole(game, c.scale)), "");

        // Without backing store the server forgets what the window showed. The manager may miss
        // a request made while it still sets the window up, so it is made again until it works.
        ASSERT_TRUE(wait_until([&] {
            XIconifyWindow(look, game.window(), 0);
            return whole(game, c.scale).pixels.empty();
        }));
        XMapWindow(look, game.window());
        EXPECT_TRUE(wait_until([&] { return whole(game, c.scale) == expected; })) << "iconify";
        XMapRaised(look, cover);
        ASSERT_TRUE(wait_until([&] { return whole(game, c.scale) != expected; }));
        XUnmapWindow(look, cover);
        EXPECT_TRUE(wait_until([&] { return whole(game, c.scale) == expected; })) << "covering";
    }
}

// A size a desktop gives the window: asked of the manager, or full screen turned on or off by f,
// and the picture shown in it at the largest whole scale that fits, centred on white.
struct SizeStep {
    int width, height;  // asked of the manager, or 0 for the key f
    bool forced;        // the size hints dropped first, as tiling managers ignore them
    int shown_width, shown_height, scale, x, y;
};

// At scale 3 on a 1280 by 1024 screen: a manager that honours the size hints never makes the
// window larger than asked, whatever the shape asked; forced, the window takes any size, even
// one smaller than the picture, which then shows its top left part at scale 1; full screen by f
// and back.
const SizeStep sizes_at_scale_three[] = {{1000, 800, false, 960, 800, 4, 160, 0},
                                         {800, 1000, false, 800, 1000, 5, 0, 0},
                                         {1280, 1024, false, 1280, 1000, 5, 240, 0},
                                         {400, 600, true, 400, 600, 2, 40, 100},
                                         {150, 190, true, 150, 190, 1, 0, 0},
                                         {0, 0, true, 1280, 1024, 5, 240, 12},
                                         {0, 0, true, 150, 190, 1, 0, 0},
                                         {1000, 1000, true, 1000, 1000, 5, 100, 0}};
// A window started at scale 1 is enlarged too.
const SizeStep sizes_at_scale_one[] = {{800, 1000, false, 800, 1000, 5, 0, 0}};

void size_through_the_desktop(Display* look, PokerGame& game, std::span<const SizeStep> steps,
                              int scale) {
    const Picture table = read_scaled(look, game.window(), 0, 0, 160, 200, scale);
    for (const SizeStep& step : steps) {
        if (step.forced) XDeleteProperty(look, game.window(), XA_WM_NORMAL_HINTS);
        if (step.width == 0) game.press_key(XK_f);
        Picture expected{step.shown_width, step.shown_height, {}};
        expected.pixels.assign(step.shown_width * step.shown_height, named_pixel(look, "white"));
        expected.paste(enlarged(table, step.scale), step.x, step.y);
        // A request the manager may miss while busy is made again until it has been answered.
        // Without backing store only the part of the window on the screen can be read.
        EXPECT_TRUE(wait_until([&] {
            if (step.width != 0)
                XMoveResizeWindow(look, game.window(), 0, 0, step.width, step.height);
            int left = 0, top = 0;
            Window child = 0;
            XTranslateCoordinates(look, game.window(), DefaultRootWindow(look), 0, 0, &left, &top,
                                  &child);
            const int width = std::min(expected.width, DisplayWidth(look, 0) - left);
            const int height = std::min(expected.height, DisplayHeight(look, 0) - top);
            return read_picture(look, game.window(), 0, 0, width, height) ==
                   expected.part(0, 0, width, height);
        })) << step.width
            << "x" << step.height;
        game.place(step.scale, step.x, step.y);
    }
}

// One game from the first Bet to End, won and doubled: by mouse at any size, by keys at scale 1.
TEST_F(Desktop, AGameIsPlayedWithClicksInAWindowOfAnySizeAndWithKeys) {
    struct Step {
        Point point;
        KeySym key;
        LabelPlace at;  // where the step shows its text
        const char* text;
    };
    const Step steps[] = {
        {bet_button, XK_b, {1, 125}, "BET   : 00001"},
        {bet_button, XK_B, {1, 125}, "BET   : 00002"},
        {deal_button, XK_Return, {1, 20}, "Select Cards           "},
        {hold_button(0), XK_1, card_label(0), "[H]"},
        {hold_button(1), XK_KP_2, card_label(1), "[H]"},
        {hold_button(4), XK_KP_5, card_label(4), "[H]"},
        // The hint keeps both pairs and lets the nine go, all at once; a key of 0 only looks.
        {hold_button(4), XK_question, card_label(4), "[ ]"},
        {hold_button(2), 0, card_label(2), "[H]"},
        {hold_button(3), 0, card_label(3), "[H]"},
        {deal_button, XK_space, {1, 20}, "Double Up-Take Score ? "},
        {double_button, XK_u, {1, 20}, "Select Bigger Card     "},
        {pick_button(2), XK_3, card_label(2), "[S]"},
        {deal_button, XK_KP_Enter, {1, 145}, "WIN   : 00008"},
        {take_button, XK_t, {1, 185}, "Credit: 00056"},
    };
    const std::vector<std::string> no_arguments, three{"--scale=3"};
    for (const bool keys : {false, true}) {
        SCOPED_TRACE(keys ? "keys" : "clicks");
        TemporaryDirectory dir;
        GameOptions options = on(server, keys ? no_arguments : three, keys ? 1 : 3);
        options.cards = dealing("Kh Ks 2c 2d 9h 5s 7h 3s 7c 9d").cards;
        PokerGame game(dir, options);
        ASSERT_TRUE(at_start_table(game));
        if (keys) {
            size_through_the_desktop(look, game, sizes_at_scale_one, 1);
        } else {
            size_through_the_desktop(look, game, sizes_at_scale_three, 3);
        }
        for (const Step& step : steps) {
            if (!keys) {
                press(game, step.point);
            } else if (step.key != 0) {
                game.press_key(step.key);
            }
            ASSERT_TRUE(game.wait_for([&] {
                return game.shows(step.at.x, step.at.baseline, step.text);
            })) << step.text;
        }
        keys ? game.press_key(XK_e) : press(game, end_button);
        EXPECT_EQ(game.finish(), 0);
        EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(56));
    }
}

TEST(NoRender, TheGamePlaysAtScaleOneAndSaysSo) {
    const XServer plain = start_separate_server({"-extension", "RENDER"});
    {
        TemporaryDirectory dir;
        const std::string err = dir.file("err");
        GameOptions options = on(plain, {"--scale=3"}, 1);
        options.before_exec = [err] { dup2(creat(err.c_str(), 0644), 2); };
        PokerGame game(dir, options);
        EXPECT_TRUE(at_start_table(game));
        EXPECT_EQ(read_file(err),
                  "the X server has no RENDER extension: the window is not enlarged\n");
        // The window is the picture's own size, and a press lands where the button is drawn.
        XWindowAttributes window{};
        XGetWindowAttributes(plain.display, game.window(), &window);
        EXPECT_EQ(window.width * 1000 + window.height, 160 * 1000 + 200);
        press(game, bet_button);
        EXPECT_TRUE(game.wait_for([&] { return game.shows_scores(1, 0, 49); }));
        // Resized, it keeps scale 1, centred in a larger window and from the top left in a
        // smaller one, and presses land on what it shows.
        const int sizes[][4] = {{480, 600, 160, 200}, {150, 190, 0, 0}};
        for (int bets = 2; const auto& size : sizes) {
            XResizeWindow(plain.display, game.window(), size[0], size[1]);
            XSync(plain.display, False);
            game.place(1, size[2], size[3]);
            press(game, bet_button);
            EXPECT_TRUE(game.wait_for([&] { return game.shows_scores(bets, 0, 50 - bets); }));
            ++bets;
        }
    }
    stop_separate_server(plain);
}

}  // namespace
