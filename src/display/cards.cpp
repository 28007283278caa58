// Cards on the table: the glyph bitmaps, painted in one-colour layers, and the repaint of the
// whole table at the start of a game.
#include <cassert>

#include "display/context.hpp"
#include "display/glyphs.hpp"

namespace {

constexpr int joker_slot = 16;  // suit glyphs follow at 16 + suit code

struct Cell {
    int x;
    int y;
};

// The 32 by 32 cell of hand position p.
constexpr Cell cell_of(int position) {
    return Cell{glyph_size * position + 2, 32};
}

Pixmap bitmap_of(DisplayContext& display, int bits) {
    return make_bitmap(display, glyph_bits[static_cast<std::size_t>(bits)].data(), glyph_size,
                       glyph_size);
}

void stipple_in_cell(DisplayContext& display, int position, Pixmap bitmap) {
    const Cell cell = cell_of(position);
    stipple_glyph(display, cell.x, cell.y, glyph_size, glyph_size, bitmap);
}

// The white face covers every pixel any glyph can ink, so it wipes whatever the cell showed.
void paint_face(DisplayContext& display, int position) {
    set_colors(display, "white", "white");
    stipple_in_cell(display, position, display.face_glyph);
}

}  // namespace

void create_glyphs(DisplayContext& display) {
    display.face_glyph = bitmap_of(display, face_bits);
    display.back_glyph = bitmap_of(display, back_bits);
    for (int rank = 0; rank <= king_rank; ++rank) {
        display.glyph_table[static_cast<std::size_t>(rank)] =
            bitmap_of(display, first_rank_bits + rank);
    }
    display.glyph_table[joker_slot] = bitmap_of(display, joker_bits);
    for (int suit = spades_suit; suit <= diamonds_suit; ++suit) {
        display.glyph_table[static_cast<std::size_t>(joker_slot + suit)] =
            bitmap_of(display, first_suit_bits + suit - spades_suit);
    }
}

void stipple_glyph(DisplayContext& display, int x, int y, int width, int height, Pixmap bitmap) {
    XSetTSOrigin(display.display, display.text_gc, x, y);
    XSetFillStyle(display.display, display.text_gc, FillStippled);
    XSetStipple(display.display, display.text_gc, bitmap);
    XFillRectangle(display.display, display.picture, display.text_gc, x, y,
                   static_cast<unsigned>(width), static_cast<unsigned>(height));
    mark_drawn(display, x, y, width, height);
}

void draw_card_back(DisplayContext& display, int position) {
    paint_face(display, position);
    set_colors(display, "red", "red");
    stipple_in_cell(display, position, display.back_glyph);
}

void draw_card_face(DisplayContext& display, int position, int suit, int rank) {
    assert(suit >= joker_suit && suit <= diamonds_suit && rank >= ace_rank && rank <= king_rank);
    paint_face(display, position);
    const Card card{static_cast<std::int8_t>(suit), static_cast<std::int8_t>(rank)};
    const char* ink = is_red(card) ? "red" : "black";
    set_colors(display, ink, ink);
    // The JOKER lettering fills the whole face, so a joker has no rank glyph.
    if (suit != joker_suit) {
        stipple_in_cell(display, position, display.glyph_table[static_cast<std::size_t>(rank)]);
    }
    stipple_in_cell(display, position,
                    display.glyph_table[static_cast<std::size_t>(joker_slot + suit)]);
}

void draw_table(DisplayContext& display, std::int32_t bet, std::int32_t win, std::int32_t credit) {
    clear_window(display);
    for (int position = 0; position < hand_size; ++position) {
        draw_card_back(display, position);
    }
    draw_main_panel(display);
    draw_hold_panel(display, 0);
    draw_scores(display, bet, win, credit);
}
