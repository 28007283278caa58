// The icon image: bits land on the right pixels, the checksums match published values, and the PNG
// decodes back, chunk by chunk and block by block, to exactly the pixels it was given.
#include "icon_image.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::span<const std::uint8_t> bytes_of(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Checksums, MatchPublishedValues) {
    struct Case {
        std::string_view text;
        std::uint32_t crc;
        std::uint32_t adler;
    };
    const Case cases[] = {
        {"", 0x00000000, 0x00000001},
        {"123456789", 0xcbf43926, 0x091e01de},
        {"Wikipedia", 0xadaac02e, 0x11e60398},
        {"The quick brown fox jumps over the lazy dog", 0x414fa339, 0x5bdc0fda},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(crc32(bytes_of(c.text)), c.crc) << c.text;
        EXPECT_EQ(adler32(bytes_of(c.text)), c.adler) << c.text;
    }
}

TEST(Checksums, CrcContinuesAcrossCalls) {
    EXPECT_EQ(crc32(bytes_of("6789"), crc32(bytes_of("12345"))), 0xcbf43926u);
}

TEST(Checksums, AdlerReducesModuloTheLargestPrimeBelow65536) {
    // For n bytes of value v: a = 1 + n v and b = n + v n (n + 1) / 2, both modulo 65521.
    for (const std::uint64_t n : {5552u, 5553u, 100000u, 1000000u}) {
        const std::vector<std::uint8_t> data(n, 0xff);
        const std::uint64_t a = (1 + n * 0xff) % 65521;
        const std::uint64_t b = (n + 0xff * n * (n + 1) / 2) % 65521;
        EXPECT_EQ(adler32(data), static_cast<std::uint32_t>(b << 16 | a)) << n << " bytes";
    }
}

// The only ink pixel of an image, or (-1, -1).
struct Point {
    int x;
    int y;
    bool operator==(const Point&) const = default;
};

TEST(SquareIcon, EachBitLandsOnItsPixelAndTheCanvasIsTransparentAroundTheBitmap) {
    struct Case {
        const char* what;
        int width;
        int height;
        int byte;
        int bit;
        Point ink;  // in canvas coordinates
    };
    const Case cases[] = {
        {"first bit is the top left pixel", 16, 8, 0, 0, {0, 4}},
        {"most significant bit is the eighth pixel", 16, 8, 0, 7, {7, 4}},
        {"second byte continues the row", 16, 8, 1, 0, {8, 4}},
        {"rows follow one another", 16, 8, 2, 3, {3, 5}},
        {"last bit is the bottom right pixel", 16, 8, 15, 7, {15, 11}},
        {"a tall bitmap is centred across", 8, 16, 15, 0, {4, 15}},
        {"rows of a width not a multiple of 8 are padded", 10, 4, 2, 1, {1, 4}},
        {"the padding bits of a row are not drawn", 10, 4, 1, 7, {-1, -1}},
        {"the window's icon shape", 64, 48, 8 * 47 + 7, 7, {63, 55}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int row_bytes = (c.width + 7) / 8;
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(row_bytes * c.height), 0);
        bits[static_cast<std::size_t>(c.byte)] = static_cast<std::uint8_t>(1u << c.bit);

        const GreyAlphaImage image = square_icon_image(bits, c.width, c.height);
        const int side = std::max(c.width, c.height);
        ASSERT_EQ(image.width, side);
        ASSERT_EQ(image.height, side);
        ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(side * side * 2));

        const int left = (side - c.width) / 2;
        const int top = (side - c.height) / 2;
        Point ink{-1, -1};
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const std::uint8_t grey =
                    image.pixels[static_cast<std::size_t>((y * side + x) * 2)];
                const std::uint8_t alpha =
                    image.pixels[static_cast<std::size_t>((y * side + x) * 2 + 1)];
                const bool inside =
                    x >= left && x < left + c.width && y >= top && y < top + c.height;
                ASSERT_EQ(alpha, inside ? 0xff : 0x00) << "at " << x << "," << y;
                if (!inside) continue;
                if (grey == ink_grey) {
                    ASSERT_EQ(ink, (Point{-1, -1})) << "second ink pixel at " << x << "," << y;
                    ink = {x, y};
                } else {
                    ASSERT_EQ(grey, paper_grey) << "at " << x << "," << y;
                }
            }
        }
        EXPECT_EQ(ink, c.ink) << "ink found at " << ink.x << "," << ink.y;
    }
}

// A PNG reader for exactly what encode_png promises, checking every field on the way. Its CRC is
// the bitwise definition, independent of the table the encoder uses.
std::uint32_t bitwise_crc(std::span<const std::uint8_t> bytes) {
    std::uint32_t c = 0xffffffff;
    for (const std::uint8_t byte : bytes) {
        c ^= byte;
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1)));
    }
    return ~c;
}

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

std::vector<Chunk> read_chunks(const std::vector<std::uint8_t>& png) {
    const std::vector<std::uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_TRUE(png.size() >= 8 && std::equal(signature.begin(), signature.end(), png.begin()));
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = be32(&png[at]);
        EXPECT_LE(at + 12 + length, png.size());
        if (at + 12 + length > png.size()) break;
        const std::span<const std::uint8_t> type_and_data(&png[at + 4], 4 + length);
        EXPECT_EQ(be32(&png[at + 8 + length]), bitwise_crc(type_and_data));
        chunks.push_back({std::string(type_and_data.begin(), type_and_data.begin() + 4),
                          {type_and_data.begin() + 4, type_and_data.end()}});
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size()) << "bytes after the last chunk";
    return chunks;
}

// Unpacks a zlib stream of stored blocks; counts the blocks.
std::vector<std::uint8_t> read_stored_zlib(const std::vector<std::uint8_t>& z, int& blocks) {
    std::vector<std::uint8_t> raw;
    blocks = 0;
    EXPECT_GE(z.size(), 6u);
    EXPECT_EQ(z[0] & 0x0f, 8) << "deflate";
    EXPECT_LE(z[0] >> 4, 7) << "window of at most 32K";
    EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0) << "header check";
    EXPECT_EQ(z[1] & 0x20, 0) << "no preset dictionary";
    std::size_t at = 2;
    bool final = false;
    while (!final && at + 5 <= z.size()) {
        final = (z[at] & 1) != 0;
        EXPECT_EQ(z[at] >> 1 & 3, 0) << "stored block";
        const unsigned length = z[at + 1] | z[at + 2] << 8;
        const unsigned complement = z[at + 3] | z[at + 4] << 8;
        EXPECT_EQ(length ^ complement, 0xffffu);
        at += 5;
        if (at + length > z.size()) break;
        raw.insert(raw.end(), z.begin() + static_cast<std::ptrdiff_t>(at),
                   z.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        ++blocks;
    }
    EXPECT_TRUE(final);
    EXPECT_EQ(at + 4, z.size()) << "the Adler-32 ends the stream";
    if (at + 4 == z.size()) {
        EXPECT_EQ(be32(&z[at]), adler32(raw));
    }
    return raw;
}

TEST(Png, DecodesBackToTheSamePixels) {
    struct Case {
        int width;
        int height;
        int blocks;  // stored blocks hold at most 65535 bytes each
    };
    // 1 x 1: 3 raw bytes; 64 x 64: the icon, 8256; 200 x 200: 80200 in two blocks; 256 x 384:
    // 196,992 in four.
    const Case cases[] = {{1, 1, 1}, {64, 64, 1}, {200, 200, 2}, {256, 384, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        GreyAlphaImage image{c.width, c.height, {}};
        for (int i = 0; i < c.width * c.height * 2; ++i)
            image.pixels.push_back(static_cast<std::uint8_t>(i * 7 + i / 251));

        const std::vector<Chunk> chunks = read_chunks(encode_png(image));
        ASSERT_EQ(chunks.size(), 3u);
        EXPECT_EQ(chunks[0].type, "IHDR");
        EXPECT_EQ(chunks[1].type, "IDAT");
        EXPECT_EQ(chunks[2].type, "IEND");
        EXPECT_TRUE(chunks[2].data.empty());

        const std::vector<std::uint8_t>& header = chunks[0].data;
        ASSERT_EQ(header.size(), 13u);
        EXPECT_EQ(be32(&header[0]), static_cast<std::uint32_t>(c.width));
        EXPECT_EQ(be32(&header[4]), static_cast<std::uint32_t>(c.height));
        EXPECT_EQ(std::vector<std::uint8_t>(header.begin() + 8, header.end()),
                  (std::vector<std::uint8_t>{8, 4, 0, 0, 0}))
            << "8-bit grey and alpha, deflate, standard filters, no interlace";

        int blocks = 0;
        const std::vector<std::uint8_t> raw = read_stored_zlib(chunks[1].data, blocks);
        EXPECT_EQ(blocks, c.blocks);
        const auto row_bytes = static_cast<std::size_t>(c.width * 2);
        ASSERT_EQ(raw.size(), (row_bytes + 1) * static_cast<std::size_t>(c.height));
        std::vector<std::uint8_t> pixels;
        for (int y = 0; y < c.height; ++y) {
            const auto row = raw.begin() + static_cast<std::ptrdiff_t>((row_bytes + 1) * y);
            EXPECT_EQ(*row, 0) << "row " << y << " unfiltered";
            pixels.insert(pixels.end(), row + 1, row + 1 + static_cast<std::ptrdiff_t>(row_bytes));
        }
        EXPECT_EQ(pixels, image.pixels);
    }
}

}  // namespace
