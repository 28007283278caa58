// Text in 7-pixel cells, the message line and the score lines.
#include <cstdio>

#include "display/context.hpp"
#include "display/glyphs.hpp"

namespace {

constexpr int cell_width = 7;
constexpr int message_x = 1;
constexpr int message_y = 20;
constexpr int score_x = 1;
constexpr int bet_y = 125;
constexpr int win_y = 145;
constexpr int credit_y = 185;

bool has_top_bit(unsigned char byte) {
    return (byte & 0x80) != 0;
}

// One character cell as image text draws it: the glyph in the context's foreground over its
// background, from the server's font or else from the program's copy of it.
void draw_cell(DisplayContext& display, GC gc, int x, int y, const XChar2b& code) {
    if (display.font_strip != 0) {
        const int glyph = code.byte1 == 0 && code.byte2 < text_glyph_count ? code.byte2 : 0;
        XCopyPlane(display.display, display.font_strip, display.picture, gc,
                   glyph * text_glyph_width, 0, text_glyph_width, text_glyph_height, x,
                   y - text_glyph_ascent, 1);
    } else if (gc == display.text_gc) {
        const char byte = static_cast<char>(code.byte2);
        XDrawImageString(display.display, display.picture, gc, x, y, &byte, 1);
    } else {
        XDrawImageString16(display.display, display.picture, gc, x, y, &code, 1);
    }
    mark_drawn(display, x, y - text_glyph_ascent, text_glyph_width, text_glyph_height);
}

// Formats one score line; the buffer holds the widest 32-bit value with its sign.
void draw_score(DisplayContext& display, int y, const char* format, std::int32_t value) {
    char line[32];
    std::snprintf(line, sizeof line, format, static_cast<int>(value));
    draw_text(display, score_x, y, line);
}

}  // namespace

void draw_text(DisplayContext& display, int x, int y, const char* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    int column = 0;
    while (bytes[column] != 0) {
        const int cell_x = x + cell_width * column;
        if (!has_top_bit(bytes[column])) {
            // Every character is its own request, so each lands in its own cell.
            draw_cell(display, display.text_gc, cell_x, y, XChar2b{0, bytes[column]});
            ++column;
        } else if (has_top_bit(bytes[column + 1])) {
            // Two top-bit bytes in a row make one two-byte character spanning two cells.
            XChar2b wide{static_cast<unsigned char>(bytes[column] & 0x7F),
                         static_cast<unsigned char>(bytes[column + 1] & 0x7F)};
            draw_cell(display, display.wide_gc, cell_x, y, wide);
            column += 2;
        } else {
            // The last byte of an odd run starts a pair that never completes: its cell is left
            // as it was, and pairing starts afresh with the next run.
            ++column;
        }
    }
}

void show_message(DisplayContext& display, const char* text) {
    draw_text(display, message_x, message_y, text);
    flush_display(display);
}

void draw_scores(DisplayContext& display, std::int32_t bet, std::int32_t win, std::int32_t credit) {
    set_colors(display, "black", "white");
    draw_score(display, bet_y, "BET   : %05d", bet);
    draw_score(display, win_y, "WIN   : %05d", win);
    draw_score(display, credit_y, "Credit: %05d", credit);
}
