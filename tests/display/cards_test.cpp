// Cards on the table, pixel by pixel: the white face, the red back, ranks and suits in their
// colours, and the table at the start of a game.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "display/glyphs.hpp"
#include "support/labels.hpp"
#include "table.hpp"

namespace {

// Which pixels of a 32 by 32 cell a layer inks, as [row][column].
using Mask = std::array<std::array<bool, 32>, 32>;

void ink_row(Mask& mask, int row, int first, int last) {
    for (int column = first; column <= last; ++column) {
        mask[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = true;
    }
}

void ink_column(Mask& mask, int column, int first, int last) {
    for (int row = first; row <= last; ++row) {
        mask[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = true;
    }
}

// The blank face: full height, 20 pixels wide, with stepped corners.
Mask face_mask() {
    Mask mask{};
    for (int row = 2; row <= 29; ++row)
        ink_row(mask, row, 6, 25);
    for (int row : {1, 30})
        ink_row(mask, row, 7, 24);
    for (int row : {0, 31})
        ink_row(mask, row, 8, 23);
    return mask;
}

// The back: an outer frame, an inner frame and a cross, mirrored both ways.
Mask back_mask() {
    Mask mask{};
    for (int row : {2, 29})
        ink_row(mask, row, 9, 22);
    for (int row : {3, 28}) {
        for (int column : {8, 9, 22, 23})
            ink_row(mask, row, column, column);
    }
    for (int column : {8, 23})
        ink_column(mask, column, 4, 27);
    for (int row : {4, 27})
        ink_row(mask, row, 11, 20);
    for (int row : {5, 6, 25, 26}) {
        for (int column : {10, 11, 20, 21})
            ink_row(mask, row, column, column);
    }
    for (int column : {10, 21})
        ink_column(mask, column, 7, 24);
    struct Stroke {
        int left;
        std::vector<int> rows;
    };
    const Stroke cross[] = {
        {12, {7, 8, 23, 24}},
        {13, {9, 10, 11, 20, 21, 22}},
        {14, {12, 13, 18, 19}},
        {15, {14, 15, 16, 17}},
    };
    for (const Stroke& stroke : cross) {
        for (int row : stroke.rows) {
            ink_row(mask, row, stroke.left, stroke.left);
            ink_row(mask, row, 31 - stroke.left, 31 - stroke.left);
        }
    }
    return mask;
}

// A suit from its inked column ranges, rows 17 to 29: "15-16" or "9-12,14-17,19-22" per row.
Mask suit_mask(const std::vector<std::string>& rows) {
    Mask mask{};
    int row = 17;
    for (const std::string& ranges : rows) {
        std::istringstream in(ranges);
        std::string range;
        while (std::getline(in, range, ',')) {
            int first = 0, last = 0;
            if (std::sscanf(range.c_str(), "%d-%d", &first, &last) != 2) last = first;
            ink_row(mask, row, first, last);
        }
        ++row;
    }
    return mask;
}

Mask spade_mask() {
    return suit_mask({"15-16", "13-18", "12-19", "11-20", "10-21", "9-22", "9-22", "9-22",
                      "9-12,14-17,19-22", "9-11,14-17,20-22", "13-18", "12-19", "12-19"});
}

Mask heart_mask() {
    return suit_mask({"10-12,19-21", "9-13,18-22", "9-14,17-22", "9-22", "9-22", "9-22", "9-22",
                      "10-21", "11-20", "12-19", "13-18", "14-17", "15-16"});
}

Mask club_mask() {
    return suit_mask({"15-16", "13-18", "12-19", "10,13-18,21", "9-11,14-17,20-22", "9-22", "9-22",
                      "9-22", "9-11,14-17,20-22", "10,14-17,21", "13-18", "12-19", "12-19"});
}

Mask diamond_mask() {
    return suit_mask({"15-16", "14-17", "13-18", "12-19", "11-20", "10-21", "9-22", "10-21",
                      "11-20", "12-19", "13-18", "14-17", "15-16"});
}

// Suits by suit code 1 to 4.
Mask suit_of(int suit) {
    switch (suit) {
        case 1:
            return spade_mask();
        case 2:
            return heart_mask();
        case 3:
            return club_mask();
        default:
            return diamond_mask();
    }
}

// A glyph as the packed bits hold it (rows top to bottom, least significant bit leftmost).
Mask bits_mask(int glyph) {
    Mask mask{};
    const GlyphBits& bits = glyph_bits[static_cast<std::size_t>(glyph)];
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
            mask[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] =
                ((bits[static_cast<std::size_t>(row * 4 + column / 8)] >> (column % 8)) & 1) != 0;
        }
    }
    return mask;
}

int cell_x(int position) {
    return 32 * position + 2;
}
constexpr int cell_y = 32;
// The cell of position 4 runs past the window's right edge; only what is inside can be seen.
int visible_width(int position) {
    return std::min(32, 160 - cell_x(position));
}

class Cards : public Table {
protected:
    // A cell painted `under`, then a layer of each mask in its colour, in order.
    Picture expected_cell(int position, const char* under,
                          const std::vector<std::pair<Mask, const char*>>& layers) {
        Picture picture = plain(32, 32, under);
        for (const auto& [mask, colour] : layers) {
            const unsigned long pixel = named_pixel(look, colour);
            for (int row = 0; row < 32; ++row) {
                for (int column = 0; column < 32; ++column) {
                    if (mask[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]) {
                        picture.pixels[static_cast<std::size_t>(row * 32 + column)] = pixel;
                    }
                }
            }
        }
        return picture.part(0, 0, visible_width(position), 32);
    }

    Picture expected_back(int position, const char* under) {
        return expected_cell(position, under, {{face_mask(), "white"}, {back_mask(), "red"}});
    }

    Picture expected_face(int position, int suit, int rank, const char* under) {
        if (suit == 0) {
            return expected_cell(position, under,
                                 {{face_mask(), "white"}, {bits_mask(joker_bits), "black"}});
        }
        // Hearts and diamonds are red; spades and clubs black.
        const char* ink = suit == 2 || suit == 4 ? "red" : "black";
        return expected_cell(position, under,
                             {{face_mask(), "white"},
                              {bits_mask(first_rank_bits + rank), ink},
                              {suit_of(suit), ink}});
    }

    Picture shown_cell(int position) {
        return window_picture(cell_x(position), cell_y, visible_width(position), 32);
    }
};

TEST_F(Cards, BackIsTheRedFrameAndCrossOnAWhiteFaceAndNothingElse) {
    // The blue around each card shows that margins and cut corners are never painted.
    paint("blue", 0, 0, 160, 200);
    for (int position = 0; position < 5; ++position)
        draw_card_back(context, position);
    sync();
    for (int position = 0; position < 5; ++position) {
        EXPECT_EQ(picture_difference(expected_back(position, "blue"), shown_cell(position)), "")
            << "position " << position;
    }
    // Nothing is drawn outside the cells either.
    EXPECT_EQ(window_picture(0, 0, 160, 32), plain(160, 32, "blue"));
    EXPECT_EQ(window_picture(0, 64, 160, 136), plain(160, 136, "blue"));
    EXPECT_EQ(window_picture(0, 32, 2, 32), plain(2, 32, "blue"));
}

TEST_F(Cards, EveryFaceShowsItsRankAndSuitInTheSuitsColourOverAnyFormerCard) {
    paint("blue", 0, 0, 160, 200);
    struct Drawn {
        int suit;
        int rank;
    };
    std::vector<Drawn> cards;
    for (int suit = 1; suit <= 4; ++suit) {
        for (int rank = 0; rank <= 12; ++rank)
            cards.push_back({suit, rank});
    }
    // The joker has no rank character, whatever its rank code.
    for (int rank = 0; rank <= 12; ++rank)
        cards.push_back({0, rank});

    int position = 0;
    Drawn before{0, 0};
    for (const Drawn& card : cards) {
        // A face over a back, over the face before it, leaves no trace of either.
        draw_card_face(context, position, before.suit, before.rank);
        draw_card_back(context, position);
        draw_card_face(context, position, card.suit, card.rank);
        sync();
        EXPECT_EQ(picture_difference(expected_face(position, card.suit, card.rank, "blue"),
                                     shown_cell(position)),
                  "")
            << "suit " << card.suit << " rank " << card.rank << " at position " << position;
        // A back over a face leaves no trace of the rank or suit.
        draw_card_back(context, position);
        sync();
        EXPECT_EQ(picture_difference(expected_back(position, "blue"), shown_cell(position)), "")
            << "back over suit " << card.suit << " rank " << card.rank;
        draw_card_face(context, position, card.suit, card.rank);
        before = card;
        position = (position + 1) % 5;
    }
}

TEST_F(Cards, StartTableShowsFiveBacksTheMainPanelEmptyHoldsAndTheScores) {
    // Whatever the window showed before is gone.
    paint("blue", 0, 0, 160, 200);
    draw_card_face(context, 2, 2, 11);
    set_colors(context, "yellow", "blue");
    show_message(context, "***** You Lost !! *****");
    draw_hold_panel(context, 0b11111);

    draw_table(context, 0, 0, 50);
    sync();

    Picture expected = plain(160, 200, "white");
    for (int position = 0; position < 5; ++position) {
        expected.paste(expected_back(position, "white"), cell_x(position), cell_y);
    }
    struct Label {
        int x;
        int y;
        const char* text;
    };
    const Label labels[] = {
        {100, 125, "[Bet   ]"},    {100, 145, "[Deal  ]"},    {100, 165, "[      ]"},
        {100, 185, "[End   ]"},    {1, 125, "BET   : 00000"}, {1, 145, "WIN   : 00000"},
        {1, 185, "Credit: 00050"},
    };
    for (const Label& label : labels) {
        expected.paste(render_text(look, label.text, "black", "white"), label.x, label.y - 7);
    }
    for (int position = 0; position < 5; ++position) {
        const LabelPlace at = card_label(position);
        expected.paste(render_text(look, unmarked_label, "black", "white"), at.x, at.baseline - 7);
    }
    EXPECT_EQ(picture_difference(expected, window_picture(0, 0, 160, 200)), "");
}

}  // namespace
