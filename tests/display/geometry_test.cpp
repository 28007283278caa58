// Where the window shows the picture, which picture pixel a press lands on, and which keys name
// buttons: pure arithmetic, checked without an X server.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <array>
#include <limits>
#include <utility>

#include "display/context.hpp"

namespace {

constexpr int any_scale = std::numeric_limits<int>::max();

TEST(PlacePicture, LargestWholeScaleThatFitsCentredOnWhite) {
    struct Case {
        int width, height, largest;
        Placement placed;
    };
    const Case cases[] = {
        // Smaller than the picture, even empty: scale 1 from the top left, never 0.
        {100, 100, any_scale, {1, 0, 0}},
        {159, 200, any_scale, {1, 0, 0}},
        {160, 199, any_scale, {1, 0, 0}},
        {0, 0, any_scale, {1, 0, 0}},
        // Exact multiples fill the window.
        {160, 200, any_scale, {1, 0, 0}},
        {320, 400, any_scale, {2, 0, 0}},
        {1280, 1600, 8, {8, 0, 0}},
        // One pixel short of the next scale keeps the last, with all the room as margin.
        {479, 600, any_scale, {2, 79, 100}},
        // The narrower side decides.
        {1000, 1000, any_scale, {5, 100, 0}},
        {400, 600, any_scale, {2, 40, 100}},
        // The largest scale given caps it, and the margins grow; below 1 it is still 1.
        {1600, 2000, 8, {8, 160, 200}},
        {480, 600, 2, {2, 80, 100}},
        {480, 600, 1, {1, 160, 200}},
        {480, 600, 0, {1, 160, 200}},
        // Odd margins: the odd pixel goes to the right and the bottom.
        {161, 201, any_scale, {1, 0, 0}},
        {163, 205, any_scale, {1, 1, 2}},
        {325, 403, any_scale, {2, 2, 1}},
        {1400, 1700, any_scale, {8, 60, 50}}};
    for (const Case& c : cases) {
        const Placement placed = place_picture(c.width, c.height, c.largest);
        EXPECT_EQ((std::array{placed.scale, placed.x, placed.y}),
                  (std::array{c.placed.scale, c.placed.x, c.placed.y}))
            << c.width << "x" << c.height << " up to " << c.largest;
    }
}

TEST(ToPicture, APressInTheMarginHitsNothingAndEveryBlockIsOnePixel) {
    struct Case {
        Placement placement;
        int x, y;    // window pixel
        bool on;     // whether it lies on the picture
        int px, py;  // the picture pixel, when it does
    };
    const Case cases[] = {{{1, 0, 0}, 0, 0, true, 0, 0},
                          {{1, 0, 0}, 159, 199, true, 159, 199},
                          {{1, 0, 0}, 160, 0, false, 0, 0},
                          {{1, 0, 0}, 0, 200, false, 0, 0},
                          {{1, 0, 0}, -1, 5, false, 0, 0},
                          // Scale 2 with margins of 60 and 50: one press in each margin, the
                          // corners of the picture and both pixels of one block.
                          {{2, 60, 50}, 59, 100, false, 0, 0},
                          {{2, 60, 50}, 100, 49, false, 0, 0},
                          {{2, 60, 50}, 380, 100, false, 0, 0},
                          {{2, 60, 50}, 100, 450, false, 0, 0},
                          {{2, 60, 50}, 60, 50, true, 0, 0},
                          {{2, 60, 50}, 61, 51, true, 0, 0},
                          {{2, 60, 50}, 62, 52, true, 1, 1},
                          {{2, 60, 50}, 379, 449, true, 159, 199},
                          // Odd margins at scale 3.
                          {{3, 1, 2}, 0, 2, false, 0, 0},
                          {{3, 1, 2}, 1, 1, false, 0, 0},
                          {{3, 1, 2}, 3, 4, true, 0, 0},
                          {{3, 1, 2}, 4, 5, true, 1, 1},
                          {{3, 1, 2}, 480, 601, true, 159, 199},
                          {{3, 1, 2}, 481, 601, false, 0, 0},
                          {{3, 1, 2}, 480, 602, false, 0, 0}};
    for (const Case& c : cases) {
        int x = c.x, y = c.y;
        const bool on = to_picture(c.placement, x, y);
        EXPECT_EQ(on, c.on) << c.x << "," << c.y << " at scale " << c.placement.scale;
        if (on && c.on) {
            EXPECT_EQ((std::array{x, y}), (std::array{c.px, c.py})) << c.x << "," << c.y;
        }
    }
}

TEST(KeyName, LettersInEitherCaseDigitsOnBothPadsAndTheDealKeys) {
    const std::pair<KeySym, char> named[] = {
        {XK_b, 'b'},          {XK_B, 'b'},      {XK_Z, 'z'},        {XK_1, '1'},
        {XK_KP_0, '0'},       {XK_KP_9, '9'},   {XK_question, '?'}, {XK_exclam, '!'},
        {XK_asciitilde, '~'}, {XK_Return, 'd'}, {XK_KP_Enter, 'd'}, {XK_space, 'd'}};
    for (const auto& [key, name] : named)
        EXPECT_EQ(key_name(key), name) << "keysym 0x" << std::hex << key;
    // Keys that name no button: the keypad's other keys (and its digits without Num Lock),
    // editing and function keys, modifiers, letters beyond ASCII and no symbol at all.
    const KeySym unnamed[] = {
        XK_KP_End, XK_KP_Add, XK_KP_Decimal, XK_KP_Space,     XK_Escape,     XK_Tab,  XK_BackSpace,
        XK_Delete, XK_F1,     XK_Shift_L,    XK_nobreakspace, XK_adiaeresis, NoSymbol};
    for (const KeySym key : unnamed)
        EXPECT_EQ(key_name(key), 0) << "keysym 0x" << std::hex << key;
}

}  // namespace
