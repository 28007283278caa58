// The card glyphs and the icon checked pixel by pixel against the shapes the card drawing relies
// on: exact faces, backs and suits, characters inside their boxes, and the icon's fanned hand.
#include "display/glyphs.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "card_shapes.hpp"

namespace {

bool glyph_ink(int glyph, int column, int row) {
    const std::uint8_t byte = glyph_bits[glyph][row * (glyph_size / 8) + column / 8];
    return (byte >> (column % 8)) & 1;
}

bool icon_ink(int column, int row) {
    const std::uint8_t byte = icon_bits[row * (icon_width / 8) + column / 8];
    return (byte >> (column % 8)) & 1;
}

TEST(Glyphs, FaceBackAndSuitsAreTheirShapes) {
    EXPECT_EQ(glyph_shape(face_bits), face_shape());
    EXPECT_EQ(glyph_shape(back_bits), back_shape());
    for (int suit = 1; suit <= 4; ++suit)
        EXPECT_EQ(glyph_shape(first_suit_bits + suit - 1), suit_shape(suit)) << "suit " << suit;
}

TEST(Glyphs, EveryInkPixelLiesInsideTheFace) {
    // Painting the white face must wipe every earlier glyph at the same position.
    const Shape face = face_shape();
    for (int glyph = 0; glyph < glyph_count; ++glyph) {
        for (int row = 0; row < glyph_size; ++row) {
            for (int column = 0; column < glyph_size; ++column) {
                EXPECT_FALSE(glyph_ink(glyph, column, row) && !inked(face, column, row))
                    << "glyph " << glyph << " inks column " << column << " row " << row;
            }
        }
    }
}

// Where a glyph's ink begins and ends.
struct Extent {
    int top = glyph_size;
    int bottom = -1;
    int left = glyph_size;
    int right = -1;
};

Extent ink_extent(int glyph, int first_row = 0, int last_row = glyph_size - 1) {
    Extent extent;
    for (int row = first_row; row <= last_row; ++row) {
        for (int column = 0; column < glyph_size; ++column) {
            if (!glyph_ink(glyph, column, row)) continue;
            extent.top = std::min(extent.top, row);
            extent.bottom = std::max(extent.bottom, row);
            extent.left = std::min(extent.left, column);
            extent.right = std::max(extent.right, column);
        }
    }
    return extent;
}

TEST(Glyphs, RanksFillTheirBoxesInTheUpperHalf) {
    // Every character starts on row 3; the left and right edges may each take one of two columns.
    struct Box {
        const char* name;
        int rank;
        int bottom;
        int left_min, left_max;
        int right_min, right_max;
    };
    const Box boxes[] = {
        {"A", 0, 15, 8, 8, 22, 22},    {"2", 1, 16, 10, 11, 20, 21},  {"3", 2, 16, 10, 11, 20, 21},
        {"4", 3, 16, 10, 11, 20, 21},  {"5", 4, 16, 10, 11, 20, 21},  {"6", 5, 16, 10, 11, 20, 21},
        {"7", 6, 16, 10, 11, 20, 21},  {"8", 7, 16, 10, 11, 20, 21},  {"9", 8, 16, 10, 11, 20, 21},
        {"10", 9, 16, 8, 8, 24, 24},   {"J", 10, 15, 10, 11, 20, 21}, {"Q", 11, 16, 10, 10, 22, 22},
        {"K", 12, 15, 10, 10, 22, 22},
    };
    for (const Box& box : boxes) {
        const Extent extent = ink_extent(first_rank_bits + box.rank);
        EXPECT_EQ(extent.top, 3) << box.name;
        EXPECT_EQ(extent.bottom, box.bottom) << box.name;
        EXPECT_GE(extent.left, box.left_min) << box.name;
        EXPECT_LE(extent.left, box.left_max) << box.name;
        EXPECT_GE(extent.right, box.right_min) << box.name;
        EXPECT_LE(extent.right, box.right_max) << box.name;
    }
}

struct Span {
    int first;
    int last;
};

// The runs of ink on one row of a glyph, left to right.
std::vector<Span> ink_runs(int glyph, int row) {
    std::vector<Span> runs;
    for (int column = 0; column < glyph_size; ++column) {
        if (!glyph_ink(glyph, column, row)) continue;
        if (!runs.empty() && runs.back().last == column - 1) {
            runs.back().last = column;
        } else {
            runs.push_back({column, column});
        }
    }
    return runs;
}

TEST(Glyphs, FootedCharactersStandOnFeetFivePixelsWide) {
    struct Footed {
        const char* name;
        int rank;
        bool two_feet;  // otherwise only the leftmost run on the bottom row is a foot
    };
    const Footed characters[] = {
        {"A", 0, true}, {"4", 3, false}, {"10", 9, false}, {"K", 12, true}};
    for (const Footed& character : characters) {
        const int glyph = first_rank_bits + character.rank;
        const std::vector<Span> runs = ink_runs(glyph, ink_extent(glyph).bottom);
        ASSERT_GE(runs.size(), character.two_feet ? 2u : 1u) << character.name;
        EXPECT_EQ(runs.front().last - runs.front().first + 1, 5) << character.name;
        if (character.two_feet) {
            EXPECT_EQ(runs.back().last - runs.back().first + 1, 5) << character.name;
        }
    }
}

TEST(Glyphs, QueenTailReachesOutAtTheLowerRight) {
    // Column 22, the queen's rightmost, holds only the tail, low in the character.
    const int queen = first_rank_bits + 11;
    for (int row = 0; row < glyph_size; ++row) {
        if (glyph_ink(queen, 22, row)) {
            EXPECT_GE(row, 13) << "row " << row;
        }
    }
    EXPECT_TRUE(glyph_ink(queen, 22, 16));
}

TEST(Glyphs, LettersAreDrawnWithOnePixelStrokes) {
    // A one-pixel stroke never fills a 2 by 2 square, not even where two strokes meet.
    std::vector<int> lettered = {joker_bits};
    for (int rank = 0; rank < 13; ++rank)
        lettered.push_back(first_rank_bits + rank);
    for (int glyph : lettered) {
        for (int row = 0; row + 1 < glyph_size; ++row) {
            for (int column = 0; column + 1 < glyph_size; ++column) {
                EXPECT_FALSE(glyph_ink(glyph, column, row) && glyph_ink(glyph, column + 1, row) &&
                             glyph_ink(glyph, column, row + 1) &&
                             glyph_ink(glyph, column + 1, row + 1))
                    << "glyph " << glyph << " has a square at column " << column << " row " << row;
            }
        }
    }
}

TEST(Glyphs, JokerLettersAreStackedInTheirBands) {
    struct Letter {
        char letter;
        int top;
        int bottom;
    };
    const Letter letters[] = {
        {'J', 1, 5}, {'O', 7, 11}, {'K', 13, 17}, {'E', 19, 23}, {'R', 25, 30}};
    for (const Letter& letter : letters) {
        const Extent extent = ink_extent(joker_bits, letter.top, letter.bottom);
        EXPECT_EQ(extent.top, letter.top) << letter.letter;
        EXPECT_EQ(extent.bottom, letter.bottom) << letter.letter;
        EXPECT_GE(extent.left, 9) << letter.letter;
        EXPECT_LE(extent.right, 22) << letter.letter;
        const int width = extent.right - extent.left + 1;
        EXPECT_GE(width, 12) << letter.letter;
        EXPECT_LE(width, 14) << letter.letter;
    }
    // The rows between and around the letters stay empty.
    for (int row : {0, 6, 12, 18, 24, 31}) {
        EXPECT_TRUE(ink_runs(joker_bits, row).empty()) << "row " << row;
    }
}

TEST(Icon, MarginsAreEmpty) {
    for (int row = 0; row < icon_height; ++row) {
        for (int column = 0; column < icon_width; ++column) {
            const bool margin = row <= 4 || row >= 42 || column <= 5 || column >= 58;
            if (margin) {
                EXPECT_FALSE(icon_ink(column, row)) << "column " << column << " row " << row;
            }
        }
    }
}

constexpr int icon_card_width = 16;
constexpr int icon_card_height = 25;

TEST(Icon, EachCardShowsTheUncoveredPartOfItsOutline) {
    // The next card, nine columns right and three rows down, hides the rest of the earlier ones.
    struct Corner {
        int column;
        int row;
        bool front;
    };
    const Corner corners[] = {
        {6, 5, false}, {15, 8, false}, {24, 11, false}, {33, 14, false}, {42, 17, true}};
    for (const Corner& card : corners) {
        const int right = card.column + icon_card_width - 1;
        const int bottom = card.row + icon_card_height - 1;
        const int right_edge_last_row = card.front ? bottom : card.row + 2;
        const int bottom_edge_last_column = card.front ? right : card.column + 8;
        for (int column = card.column; column <= right; ++column) {
            EXPECT_TRUE(icon_ink(column, card.row)) << "top edge, column " << column;
        }
        for (int column = card.column; column <= bottom_edge_last_column; ++column) {
            EXPECT_TRUE(icon_ink(column, bottom)) << "bottom edge, column " << column;
        }
        for (int row = card.row; row <= bottom; ++row) {
            EXPECT_TRUE(icon_ink(card.column, row)) << "left edge, row " << row;
        }
        for (int row = card.row; row <= right_edge_last_row; ++row) {
            EXPECT_TRUE(icon_ink(right, row)) << "right edge, row " << row;
        }
        if (!card.front) {
            // Just inside the next card's top edge the earlier card's right edge is hidden.
            EXPECT_FALSE(icon_ink(right, card.row + 4)) << "card at column " << card.column;
        }
    }
}

TEST(Icon, FrontCardShowsAnAceAboveAWholeSpade) {
    // The front card's interior, columns 43 to 56 and rows 18 to 40.
    const int left = 43, right = 56, top = 18, bottom = 40, middle = 29;
    auto ink_between = [&](int first_row, int last_row) {
        int count = 0;
        for (int row = first_row; row <= last_row; ++row) {
            for (int column = left; column <= right; ++column)
                count += icon_ink(column, row);
        }
        return count;
    };
    EXPECT_GT(ink_between(top, middle), 0);
    EXPECT_GT(ink_between(middle + 1, bottom), 0);
    // The spade is whole, not cut by another card: the lower half mirrors left to right.
    for (int row = middle + 1; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            EXPECT_EQ(icon_ink(column, row), icon_ink(left + right - column, row))
                << "column " << column << " row " << row;
        }
    }
}

}  // namespace
