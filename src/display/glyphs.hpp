// The bit pictures: the twenty 32 by 32 card glyphs, the 64 by 48 icon and the program's own copy
// of the "5x7" text glyphs, as packed X bitmap data (rows top to bottom, least significant bit
// leftmost, set bit = ink); and the icon unpacked pixel by pixel for the images made from it.
#pragma once

#include <array>
#include <cstdint>
#include <span>

inline constexpr int glyph_size = 32;
inline constexpr int glyph_bytes = glyph_size * glyph_size / 8;
inline constexpr int icon_width = 64;
inline constexpr int icon_height = 48;

using GlyphBits = std::array<std::uint8_t, glyph_bytes>;

// In this order: the blank face, the back, the ranks ace to king (rank codes 0 to 12), the JOKER
// lettering, then spade, heart, club and diamond (suit codes 1 to 4).
inline constexpr int face_bits = 0;
inline constexpr int back_bits = 1;
inline constexpr int first_rank_bits = 2;
inline constexpr int joker_bits = 15;
inline constexpr int first_suit_bits = 16;  // the spade: suit code s is s - spades_suit further
inline constexpr int glyph_count = 20;

extern const std::array<GlyphBits, glyph_count> glyph_bits;
extern const std::array<std::uint8_t, icon_width * icon_height / 8> icon_bits;

// The text glyphs of character codes 0 to 127 side by side in one strip, code c at x = 5c, each
// the whole 5 by 7 cell that the server's "5x7" font fills in image text (baseline below row 5).
inline constexpr int text_glyph_width = 5;
inline constexpr int text_glyph_height = 7;
inline constexpr int text_glyph_ascent = 6;
inline constexpr int text_glyph_count = 128;
extern const std::array<std::uint8_t, text_glyph_width * text_glyph_count / 8 * text_glyph_height>
    text_glyph_strip;

// A pixel of a bitmap unpacked onto a square canvas: outside the bitmap, ink or paper.
enum class SquarePixel : std::uint8_t { outside, ink, paper };

// The side of the square canvas a bitmap is unpacked onto: its longer side, since desktops and
// icon themes expect square icons.
constexpr int square_side(int width, int height) {
    return width > height ? width : height;
}

// Unpacks a packed bitmap of width by height pixels ((width + 7) / 8 bytes a row) centred onto a
// square canvas, one entry per canvas pixel, rows top to bottom. The window's colour icon and the
// installed picture both come from here, so the two cannot differ.
void unpack_square(std::span<const std::uint8_t> bits, int width, int height,
                   std::span<SquarePixel> canvas);
