// The game window opened on the test server, with the glyphs made, and the means to look at it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "display/context.hpp"
#include "support/xserver.hpp"

class Table : public ::testing::Test {
protected:
    void SetUp() override {
        name = test_server().name;
        context.display_name = name.c_str();
        open_window(context);
        create_glyphs(context);
        XSync(context.display, False);
        look = test_server().display;
    }

    // Closing the connection destroys the window, so every test starts on a bare screen. The
    // game never lets go of its contexts; the test does, since it closes the connection.
    void TearDown() override { close_context(context); }

    static void close_context(DisplayContext& game) {
        if (game.display == nullptr) return;
        for (const GC gc : {game.text_gc, game.wide_gc, game.copy_gc})
            XFreeGC(game.display, gc);
        XCloseDisplay(game.display);
    }

    // Shows what the game drew, as its waits do, and has the server carry it all out.
    void sync() {
        flush_display(context);
        XSync(context.display, False);
    }

    Picture window_picture(int x, int y, int width, int height) {
        return read_picture(look, context.window, x, y, width, height);
    }

    bool shows(int x, int y, const char* text, const char* fg = "black", const char* bg = "white") {
        return shows_text(look, context.window, x, y, text, fg, bg);
    }

    // Empty when the window shows the text at (x, baseline y) as the server itself draws it in
    // these colours over `under`, cell margins included; else what differs. Text running past
    // the right edge is compared as far as the window goes.
    std::string text_difference(int x, int y, const char* text, const char* fg = "black",
                                const char* bg = "white", const char* under = "white") {
        const Picture expected = render_text(look, text, fg, bg, under);
        const int width = std::min(expected.width, 160 - x);
        return picture_difference(expected.part(0, 0, width, expected.height),
                                  window_picture(x, y - 7, width, expected.height));
    }

    // A picture of one colour.
    Picture plain(int width, int height, const char* colour) {
        Picture picture;
        picture.width = width;
        picture.height = height;
        picture.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                              named_pixel(look, colour));
        return picture;
    }

    // Paints a rectangle of the game's picture and window from the test's own connection, to see
    // what the game leaves alone.
    void paint(const char* colour, int x, int y, int width, int height) {
        const GC gc = XCreateGC(look, context.window, 0, nullptr);
        XSetForeground(look, gc, named_pixel(look, colour));
        for (const Drawable drawable : {context.picture, context.window}) {
            XFillRectangle(look, drawable, gc, x, y, static_cast<unsigned>(width),
                           static_cast<unsigned>(height));
        }
        XFreeGC(look, gc);
        XSync(look, False);
    }

    std::string name;
    DisplayContext context;
    Display* look = nullptr;  // the test's own connection
};
