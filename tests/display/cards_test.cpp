// Cards on the table, pixel by pixel: the white face, the red back, ranks and suits in their
// colours, and the table at the start of a game.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "card_shapes.hpp"
#include "display/glyphs.hpp"
#include "support/labels.hpp"
#include "table.hpp"

namespace {

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
    // A cell painted `under`, then a layer of each shape in its colour, in order.
    Picture expected_cell(int position, const char* under,
                          const std::vector<std::pair<Shape, const char*>>& layers) {
        Picture picture = plain(32, 32, under);
        for (const auto& [shape, colour] : layers) {
            const unsigned long pixel = named_pixel(look, colour);
            for (int row = 0; row < 32; ++row) {
                for (int column = 0; column < 32; ++column) {
                    if (inked(shape, column, row)) picture.pixels[row * 32 + column] = pixel;
                }
            }
        }
        return picture.part(0, 0, visible_width(position), 32);
    }

    Picture expected_back(int position, const char* under) {
        return expected_cell(position, under, {{face_shape(), "white"}, {back_shape(), "red"}});
    }

    Picture expected_face(int position, int suit, int rank, const char* under) {
        if (suit == 0) {
            return expected_cell(position, under,
                                 {{face_shape(), "white"}, {glyph_shape(joker_bits), "black"}});
        }
        // Hearts and diamonds are red; spades and clubs black.
        const char* ink = suit == 2 || suit == 4 ? "red" : "black";
        return expected_cell(position, under,
                             {{face_shape(), "white"},
                              {glyph_shape(first_rank_bits + rank), ink},
                              {suit_shape(suit), ink}});
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
