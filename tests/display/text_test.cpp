// Text in 7-pixel cells, the two-byte path, the message line and the score lines.
#include <gtest/gtest.h>

#include <signal.h>

#include <climits>
#include <cstring>

#include "support/process.hpp"
#include "table.hpp"

namespace {

// The server's own drawing of one two-byte character with the colours of a fresh graphics
// context, over `under`: the rectangle of two cells with the baseline at row 7.
Picture render_wide(Display* display, XChar2b character, unsigned long under) {
    const Pixmap pixmap =
        XCreatePixmap(display, DefaultRootWindow(display), 14, 9, DefaultDepth(display, 0));
    const GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XSetForeground(display, gc, under);
    XFillRectangle(display, pixmap, gc, 0, 0, 14, 9);
    XFreeGC(display, gc);
    const GC fresh = XCreateGC(display, pixmap, 0, nullptr);
    const Font font = XLoadFont(display, "5x7");
    XSetFont(display, fresh, font);
    XDrawImageString16(display, pixmap, fresh, 0, 7, &character, 1);
    Picture picture = read_picture(display, pixmap, 0, 0, 14, 9);
    XUnloadFont(display, font);
    XFreeGC(display, fresh);
    XFreePixmap(display, pixmap);
    return picture;
}

TEST_F(Table, TextCellsMatchTheServersOwnRendering) {
    struct Case {
        int x;
        int y;
        const char* text;
        const char* fg;
        const char* bg;
    };
    const Case cases[] = {
        {1, 20, "***** Good Luck !! ****", "black", "white"},
        {1, 34, "Select Cards           ", "blue", "yellow"},
        {0, 48, " !\"#$%&'()*+,-./0123456", "red", "white"},
        {2, 62, "789:;<=>?@ABCDEFGHIJKLM", "white", "blue"},
        {3, 76, "NOPQRSTUVWXYZ[\\]^_`abcd", "black", "white"},
        {4, 90, "efghijklmnopqrstuvwxyz{", "yellow", "black"},
        {5, 104, "|}~", "black", "red"},
        {150, 198, "xy", "black", "white"},
    };
    // The narrow strips between cells are never painted: they keep the red drawn here.
    paint("red", 0, 0, 160, 200);
    for (const Case& c : cases) {
        set_colors(context, c.fg, c.bg);
        draw_text(context, c.x, c.y, c.text);
    }
    sync();
    for (const Case& c : cases) {
        EXPECT_EQ(text_difference(c.x, c.y, c.text, c.fg, c.bg, "red"), "") << c.text;
    }
}

TEST_F(Table, WithoutTheServersFontTextIsDrawnTheSameFromTheProgramsOwnGlyphs) {
    const XServer fontless = start_separate_server({"-fp", "built-ins"});
    DisplayContext own;
    own.display_name = fontless.name.c_str();
    open_window(own);
    EXPECT_NE(own.font_strip, 0U) << "the server has no \"5x7\"";
    // Every character the game can draw: ASCII on the one-byte path, two-byte characters made of
    // top-bit pairs, present in the font and missing from it.
    const char* const lines[] = {" !\"#$%&'()*+,-./0123456", "789:;<=>?@ABCDEFGHIJKLM",
                                 "NOPQRSTUVWXYZ[\\]^_`abcd", "efghijklmnopqrstuvwxyz{",
                                 "|}~\x7f\x01\x1f",          "a\x80\xC1\xC3\x80\xFF\xFF\x81\x9F"};
    for (DisplayContext* drawn : {&context, &own}) {
        int y = 20;
        for (const char* line : lines) {
            set_colors(*drawn, y % 24 == 20 ? "blue" : "black", y % 24 == 20 ? "yellow" : "white");
            draw_text(*drawn, 1, y, line);
            y += 12;
        }
        flush_display(*drawn);
        XSync(drawn->display, False);
    }
    EXPECT_EQ(picture_difference(window_picture(0, 0, 160, 200),
                                 read_picture(fontless.display, own.window, 0, 0, 160, 200)),
              "");
    close_context(own);
    stop_separate_server(fontless);
}

TEST_F(Table, NewTextReplacesOldTextOnlyInTheCellsItUses) {
    set_colors(context, "black", "white");
    struct Case {
        const char* before;
        const char* after;
        const char* shown;  // cell by cell, what the window shows afterwards
    };
    const Case cases[] = {
        // Two characters over four leave the third and fourth.
        {"WXYZ", "AB", "ABYZ"},
        // A lone top-bit byte leaves its cell and moves the next character one cell on.
        {"XXXX",
         "a\xC3"
         "b",
         "aXbX"},
        {"XXXX", "\xFF", "XXXX"},
        {"XXXX", "", "XXXX"},
    };
    int y = 20;
    for (const Case& c : cases) {
        draw_text(context, 10, y, c.before);
        draw_text(context, 10, y, c.after);
        y += 20;
    }
    sync();
    y = 20;
    for (const Case& c : cases) {
        EXPECT_EQ(text_difference(10, y, c.shown), "") << c.before << " then " << c.after;
        y += 20;
    }
}

TEST_F(Table, TopBitBytesPairUpFromTheStartOfEachRun) {
    set_colors(context, "black", "white");
    const unsigned long white = named_pixel(look, "white");
    // 0x80 0xC1 is the two-byte character (0x00, 0x41), the font's "A", drawn in the colours of
    // a context nobody set.
    const XChar2b letter_a{0x00, 0x41};
    // 0xC3 0x80 is (0x43, 0x00), a character the font lacks.
    const XChar2b missing{0x43, 0x00};
    struct Case {
        const char* text;   // drawn over "WXYZWXYZ"
        const char* plain;  // what the one-byte cells show; '.' marks a two-byte cell
        int wide_cell;      // first cell of the two-byte character checked
        XChar2b wide;
    };
    const Case cases[] = {
        {"a\x80\xC1"
         "b\xC3"
         "c",
         "a..bWcYZ", 1, letter_a},
        // Pairing starts afresh with every run.
        {"\x80\xC1\xC3"
         "d\x80\xC1",
         "..Yd..YZ", 4, letter_a},
        // A run of three pairs its first two bytes; the third is left alone.
        {"\xC3\x80\xC1", "..YZWXYZ", 0, missing},
    };
    const char* old_text = "WXYZWXYZ";
    int y = 20;
    for (const Case& c : cases) {
        draw_text(context, 10, y, old_text);
        draw_text(context, 10, y, c.text);
        y += 20;
    }
    sync();
    y = 20;
    for (const Case& c : cases) {
        for (int cell = 0; cell < 8; ++cell) {
            if (c.plain[cell] == '.') continue;
            const char one[2] = {c.plain[cell], '\0'};
            EXPECT_EQ(text_difference(10 + 7 * cell, y, one), "")
                << "cell " << cell << " of case " << c.plain;
        }
        // The two cells hold the character as the server draws it, over the old text.
        const std::string old_cells(old_text + c.wide_cell, 2);
        Picture expected = render_text(look, old_cells.c_str(), "black", "white");
        const Picture wide = render_wide(look, c.wide, white);
        for (std::size_t i = 0; i < wide.pixels.size(); ++i) {
            if (wide.pixels[i] != white) expected.pixels[i] = wide.pixels[i];
        }
        const Picture shown = window_picture(10 + 7 * c.wide_cell, y - 7, 14, 9);
        EXPECT_EQ(picture_difference(expected, shown), "")
            << "two-byte cell " << c.wide_cell << " of case " << c.plain;
        if (c.wide.byte1 == letter_a.byte1 && c.wide.byte2 == letter_a.byte2) {
            EXPECT_NE(shown, render_text(look, old_cells.c_str(), "black", "white"))
                << "the two-byte A is drawn";
        }
        y += 20;
    }
}

TEST_F(Table, EmptyTextDrawsNothing) {
    paint("blue", 0, 0, 160, 200);
    const Picture before = window_picture(0, 0, 160, 200);
    set_colors(context, "black", "white");
    draw_text(context, 1, 20, "");
    show_message(context, "");
    sync();
    EXPECT_EQ(picture_difference(before, window_picture(0, 0, 160, 200)), "");
}

TEST_F(Table, MessagesAppearInTheColoursSetBeforeThemWithoutASync) {
    struct Case {
        const char* fg;
        const char* bg;
        const char* text;
    };
    const Case cases[] = {
        {"blue", "white", "***** You Lost !! *****"},
        {"black", "yellow", "Two Pair    x2  bet 0001"},
        {"black", "white", "Select Cards           "},
    };
    for (const Case& c : cases) {
        set_colors(context, c.fg, c.bg);
        show_message(context, c.text);
        // show_message flushes by itself, so the text reaches the server unasked.
        EXPECT_TRUE(wait_until([&] { return shows(1, 20, c.text, c.fg, c.bg); })) << c.text;
    }
}

TEST_F(Table, ScoreLinesShowEveryDigitInBlackOnWhite) {
    struct Case {
        std::int32_t bet;
        std::int32_t win;
        std::int32_t credit;
        const char* bet_line;
        const char* win_line;
        const char* credit_line;
    };
    const Case cases[] = {
        {0, 0, 50, "BET   : 00000", "WIN   : 00000", "Credit: 00050"},
        {123456, 7, 2147483647, "BET   : 123456", "WIN   : 00007", "Credit: 2147483647"},
        {1, 2147483647, -5, "BET   : 00001", "WIN   : 2147483647", "Credit: -0005"},
        {99999, 500, INT32_MIN, "BET   : 99999", "WIN   : 00500", "Credit: -2147483648"},
    };
    for (const Case& c : cases) {
        clear_window(context);
        set_colors(context, "red", "blue");
        draw_scores(context, c.bet, c.win, c.credit);
        sync();
        EXPECT_EQ(text_difference(1, 125, c.bet_line), "") << c.bet_line;
        EXPECT_EQ(text_difference(1, 145, c.win_line), "") << c.win_line;
        EXPECT_EQ(text_difference(1, 185, c.credit_line), "") << c.credit_line;

        // Nothing else is drawn: no fourth line, nothing after the last digit.
        EXPECT_EQ(window_picture(0, 155, 160, 13), plain(160, 13, "white"));
        const int end = 1 + 7 * static_cast<int>(std::strlen(c.credit_line));
        EXPECT_EQ(window_picture(end, 178, 160 - end, 9), plain(160 - end, 9, "white"));

        XGCValues values{};
        XGetGCValues(context.display, context.text_gc, GCForeground | GCBackground, &values);
        EXPECT_EQ(values.foreground, named_pixel(look, "black"));
        EXPECT_EQ(values.background, named_pixel(look, "white"));
    }
}

}  // namespace
