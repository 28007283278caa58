// The game's icon as an image file: packed X bitmap bits turned into grey-and-alpha pixels, and
// those written as PNG, or the bits written back as X bitmap (XBM) text for checking.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Two bytes per pixel, grey then alpha, rows top to bottom.
struct GreyAlphaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

inline constexpr std::uint8_t ink_grey = 0x00;
inline constexpr std::uint8_t paper_grey = 0xff;

// The bitmap as the X server shows the window's icon, black ink on white paper, centred on a
// transparent square canvas as wide as its longer side (icon themes expect square icons).
// The bits are in X bitmap layout: rows top to bottom, (width + 7) / 8 bytes per row, least
// significant bit leftmost, set bit = ink.
GreyAlphaImage square_icon_image(std::span<const std::uint8_t> bits, int width, int height);

// The checksums of PNG chunks (CRC-32 of ISO 3309) and of zlib streams (Adler-32). crc32 continues
// from a previous result, so a chunk's type and data can be summed in two calls.
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t previous = 0);
std::uint32_t adler32(std::span<const std::uint8_t> bytes);

// A complete PNG file: 8-bit grey and alpha, no interlace, every row unfiltered, and the zlib
// stream made of stored (uncompressed) deflate blocks, which every decoder must accept.
std::vector<std::uint8_t> encode_png(const GreyAlphaImage& image);

// X bitmap text declaring name_width, name_height and name_bits with the bytes unchanged.
std::string encode_xbm(std::span<const std::uint8_t> bits, int width, int height,
                       const std::string& name);
