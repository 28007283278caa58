#include "icon_image.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdio>

#include "display/glyphs.hpp"

namespace {

constexpr std::array<std::uint32_t, 256> make_crc_table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) != 0 ? 0xedb88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> crc_table = make_crc_table();

// A stored deflate block holds at most this many bytes (its length field has 16 bits).
constexpr std::size_t stored_block_limit = 65535;

void put_u16_le(std::vector<std::uint8_t>& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put_u32_be(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A chunk is its data length, its four-letter type, the data, and the CRC of type and data.
void put_chunk(std::vector<std::uint8_t>& out, const char (&type)[5],
               std::span<const std::uint8_t> data) {
    const std::array<std::uint8_t, 4> type_bytes{
        static_cast<std::uint8_t>(type[0]), static_cast<std::uint8_t>(type[1]),
        static_cast<std::uint8_t>(type[2]), static_cast<std::uint8_t>(type[3])};
    put_u32_be(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), type_bytes.begin(), type_bytes.end());
    out.insert(out.end(), data.begin(), data.end());
    put_u32_be(out, crc32(data, crc32(type_bytes)));
}

// A zlib stream (deflate, 32K window, no dictionary) of stored blocks, then the Adler-32 of the
// raw bytes. A block header of stored type is byte aligned, so it is one whole byte: bit 0 marks
// the final block, bits 1 and 2 (the type) are 0.
std::vector<std::uint8_t> zlib_stored(std::span<const std::uint8_t> raw) {
    std::vector<std::uint8_t> out{0x78, 0x01};
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(stored_block_limit, raw.size() - offset);
        const bool final = offset + length == raw.size();
        out.push_back(final ? 0x01 : 0x00);
        put_u16_le(out, length);
        put_u16_le(out, ~length & 0xffff);
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                   raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    put_u32_be(out, adler32(raw));
    return out;
}

}  // namespace

GreyAlphaImage square_icon_image(std::span<const std::uint8_t> bits, int width, int height) {
    GreyAlphaImage image;
    image.width = square_side(width, height);
    image.height = image.width;
    std::vector<SquarePixel> canvas(static_cast<std::size_t>(image.width * image.height));
    unpack_square(bits, width, height, canvas);
    // Fully transparent everywhere the bitmap does not reach.
    image.pixels.assign(canvas.size() * 2, 0);
    for (std::size_t at = 0; at < canvas.size(); ++at) {
        if (canvas[at] == SquarePixel::outside) continue;
        image.pixels[at * 2] = canvas[at] == SquarePixel::ink ? ink_grey : paper_grey;
        image.pixels[at * 2 + 1] = 0xff;
    }
    return image;
}

std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t previous) {
    std::uint32_t c = ~previous;
    for (const std::uint8_t byte : bytes)
        c = crc_table[(c ^ byte) & 0xff] ^ (c >> 8);
    return ~c;
}

std::uint32_t adler32(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t modulus = 65521;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : bytes) {
        a = (a + byte) % modulus;
        b = (b + a) % modulus;
    }
    return b << 16 | a;
}

std::vector<std::uint8_t> encode_png(const GreyAlphaImage& image) {
    assert(image.width > 0 && image.height > 0);
    const auto row_bytes = static_cast<std::size_t>(image.width) * 2;
    assert(image.pixels.size() == row_bytes * static_cast<std::size_t>(image.height));

    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

    std::vector<std::uint8_t> header;
    put_u32_be(header, static_cast<std::uint32_t>(image.width));
    put_u32_be(header, static_cast<std::uint32_t>(image.height));
    // Bit depth 8, colour type 4 (grey and alpha), deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, 4, 0, 0, 0});
    put_chunk(out, "IHDR", header);

    // Each row starts with its filter type; 0 leaves the bytes as they are.
    std::vector<std::uint8_t> raw;
    raw.reserve((row_bytes + 1) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        const auto row = image.pixels.begin() + static_cast<std::ptrdiff_t>(row_bytes * y);
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(row_bytes));
    }
    put_chunk(out, "IDAT", zlib_stored(raw));
    put_chunk(out, "IEND", {});
    return out;
}

std::string encode_xbm(std::span<const std::uint8_t> bits, int width, int height,
                       const std::string& name) {
    std::string text = "#define " + name + "_width " + std::to_string(width) + "\n#define " + name +
                       "_height " + std::to_string(height) + "\nstatic unsigned char " + name +
                       "_bits[] = {";
    for (std::size_t i = 0; i < bits.size(); ++i) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02x", bits[i]);
        text += i % 12 == 0 ? "\n   " : " ";
        text += byte;
        if (i + 1 < bits.size()) text += ",";
    }
    text += "};\n";
    return text;
}
