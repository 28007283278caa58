// Draws the README's picture: the real program under a private Xvfb at scale 2, played to the
// result of a winning hand, and the window written out as a PPM image.
#include <cstdio>
#include <cstdlib>

#include "e2e/harness.hpp"
#include "support/xserver.hpp"

namespace {

bool write_ppm(Display* display, const Picture& picture, const char* path) {
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return false;
    std::fprintf(out, "P6\n%d %d\n255\n", picture.width, picture.height);
    const Colormap colormap = DefaultColormap(display, DefaultScreen(display));
    for (unsigned long pixel : picture.pixels) {
        XColor colour{};
        colour.pixel = pixel;
        XQueryColor(display, colormap, &colour);
        const unsigned char rgb[3] = {static_cast<unsigned char>(colour.red >> 8),
                                      static_cast<unsigned char>(colour.green >> 8),
                                      static_cast<unsigned char>(colour.blue >> 8)};
        std::fwrite(rgb, 1, sizeof rgb, out);
    }
    return std::fclose(out) == 0;
}

[[noreturn]] void give_up(const char* what) {
    std::fprintf(stderr, "screenshot: %s did not appear\n", what);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ppm\n", argv[0]);
        return 2;
    }
    TemporaryDirectory dir;
    test_server();
    GameOptions options;
    options.cards = {"7s", "Ah", "9c", "Ad", "Jk", "7d"};
    options.arguments = {"--scale=2"};
    options.scale = 2;
    PokerGame game(dir, options);
    if (!game.wait_for([&] { return game.shows_message("Press Bet or Deal"); })) give_up("table");
    for (int bet = 1; bet <= 3; ++bet) {
        press(game, bet_button);
        if (!game.wait_for([&] { return game.shows_scores(bet, 0, 50 - bet); })) give_up("bet");
    }
    press(game, deal_button);
    if (!game.wait_for([&] { return game.shows_message("Select Cards           "); })) {
        give_up("deal");
    }
    for (int position : {0, 1, 3, 4}) {
        press(game, hold_button(position));
        if (!game.wait_for([&] { return game.shows_mark(position, held_label); })) {
            give_up("hold");
        }
    }
    press(game, deal_button);
    if (!game.wait_for(
            [&] { return game.shows_message("Full House   20  * 003", "black", "yellow"); })) {
        give_up("result");
    }
    const Picture window = read_picture(game.display(), game.window(), 0, 0, 320, 400);
    return write_ppm(game.display(), window, argv[1]) ? 0 : 1;
}
