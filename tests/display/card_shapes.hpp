// The shapes of a card, written out pixel by pixel for the tests of the glyphs and of the cards on
// the table: the face, the back and the four suits, each a 32 by 32 picture as text rows, '#' for
// ink, so that a failing comparison shows both pictures.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "display/glyphs.hpp"

using Shape = std::vector<std::string>;

inline Shape blank_shape() {
    return Shape(glyph_size, std::string(glyph_size, '.'));
}

inline bool inked(const Shape& shape, int column, int row) {
    return shape[row][column] == '#';
}

// A glyph as its packed bits hold it: rows top to bottom, the least significant bit leftmost.
inline Shape glyph_shape(int glyph) {
    Shape shape = blank_shape();
    for (int row = 0; row < glyph_size; ++row) {
        for (int column = 0; column < glyph_size; ++column) {
            const std::uint8_t byte = glyph_bits[glyph][row * (glyph_size / 8) + column / 8];
            if ((byte >> (column % 8)) & 1) shape[row][column] = '#';
        }
    }
    return shape;
}

// The face: full width 6 to 25, one pixel in from each side on rows 1 and 30, two on 0 and 31.
inline Shape face_shape() {
    Shape shape = blank_shape();
    for (int row = 0; row < glyph_size; ++row) {
        const int in = row == 0 || row == 31 ? 2 : row == 1 || row == 30 ? 1 : 0;
        std::fill(shape[row].begin() + 6 + in, shape[row].begin() + 26 - in, '#');
    }
    return shape;
}

// The back: two frames around a cross. Each stroke inks every listed column on every listed row.
inline Shape back_shape() {
    const auto from_to = [](int first, int last) {
        std::vector<int> values;
        for (int value = first; value <= last; ++value)
            values.push_back(value);
        return values;
    };
    const std::vector<int> strokes[][2] = {
        // The outer frame.
        {{2, 29}, from_to(9, 22)},
        {{3, 28}, {8, 9, 22, 23}},
        {from_to(4, 27), {8, 23}},
        // The inner frame.
        {{4, 27}, from_to(11, 20)},
        {{5, 6, 25, 26}, {10, 11, 20, 21}},
        {from_to(7, 24), {10, 21}},
        // The cross.
        {{7, 8, 23, 24}, {12, 19}},
        {{9, 10, 11, 20, 21, 22}, {13, 18}},
        {{12, 13, 18, 19}, {14, 17}},
        {from_to(14, 17), {15, 16}},
    };
    Shape shape = blank_shape();
    for (const auto& [rows, columns] : strokes) {
        for (const int row : rows) {
            for (const int column : columns)
                shape[row][column] = '#';
        }
    }
    return shape;
}

// A suit by its code, 1 to 4: spade, heart, club and diamond side by side below, on rows 17 to 29
// and columns 9 to 22 of the cell.
inline Shape suit_shape(int suit) {
    static const char* const rows[] = {
        "......##......  .###......###.  ......##......  ......##......",
        "....######....  #####....#####  ....######....  .....####.....",
        "...########...  ######..######  ...########...  ....######....",
        "..##########..  ##############  .#..######..#.  ...########...",
        ".############.  ##############  ###..####..###  ..##########..",
        "##############  ##############  ##############  .############.",
        "##############  ##############  ##############  ##############",
        "##############  .############.  ##############  .############.",
        "####.####.####  ..##########..  ###..####..###  ..##########..",
        "###..####..###  ...########...  .#...####...#.  ...########...",
        "....######....  ....######....  ....######....  ....######....",
        "...########...  .....####.....  ...########...  .....####.....",
        "...########...  ......##......  ...########...  ......##......",
    };
    Shape shape = blank_shape();
    for (int row = 0; row < 13; ++row)
        shape[17 + row].replace(9, 14, rows[row] + 16 * (suit - 1), 14);
    return shape;
}
