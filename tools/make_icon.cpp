// Writes the game's icon as an image file at build time, from the very bits the window hands to
// the X server as its icon, so the installed picture can never drift from the window's.
//
//   make_icon png FILE   the 64 by 64 PNG for the desktop icon theme
//   make_icon xbm FILE   the bits unchanged as X bitmap text, for checking the PNG against
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "display/glyphs.hpp"
#include "icon_image.hpp"

namespace {

// Writes beside the target and renames, so an interrupted build never leaves a truncated file
// that looks up to date.
bool write_file(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    std::error_code error;
    if (out) std::filesystem::rename(temporary, path, error);
    if (out && !error) return true;
    std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view format = argc == 3 ? argv[1] : "";
    if (format != "png" && format != "xbm") {
        std::fprintf(stderr, "usage: %s png|xbm FILE\n", argc > 0 ? argv[0] : "make_icon");
        return 2;
    }

    bool written = false;
    if (format == "png") {
        const auto png = encode_png(square_icon_image(icon_bits, icon_width, icon_height));
        written = write_file(argv[2], png.data(), png.size());
    } else {
        const auto xbm = encode_xbm(icon_bits, icon_width, icon_height, "poker");
        written = write_file(argv[2], xbm.data(), xbm.size());
    }
    if (!written) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
