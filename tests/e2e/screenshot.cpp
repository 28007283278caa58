// Draws the README's pictures: the real program under a private Xvfb at scale 2, played to the
// result of a winning hand, and the record page of a player with an earlier run behind them; each
// window written out as a PPM image.
#include <cstdio>
#include <cstdlib>

#include <X11/keysym.h>

#include "e2e/harness.hpp"
#include "play/history.hpp"
#include "rules/game.hpp"
#include "strategy/strategy.hpp"
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

// An earlier run of bob's in the directory: games played by the model, mostly with the hint's
// hold and the wins taken, each written down as a run writes it. Returns the credit it ends with,
// which the player file keeps.
std::int32_t play_earlier_run(const TemporaryDirectory& dir, int games) {
    std::srand(7);
    const Sources sources{[] { return std::rand() & 0xFFFF; }, best_hold, hold_cost,
                          value_denominator};
    RunHistory history;
    begin_history(history, dir.file("tavlek.bob.sv").c_str(), false);
    GameState state;
    start_run(state, 50);
    for (int game = 0; game < games && state.phase == Phase::betting; ++game) {
        for (const Input input : {Input::bet, Input::bet, Input::deal})
            apply_input(state, input, sources);
        if (std::rand() % 5 != 0) apply_input(state, Input::hint, sources);
        apply_input(state, Input::deal, sources);
        apply_input(state, Input::take, sources);
        append_game(history, state.log, GameEnd::played);
    }
    write_file(dir.file("tavlek.bob.sv"), stored(state.credit));
    return state.credit;
}

// A run after the earlier one: a loss and a win taken, then the record page.
Picture record_page(const TemporaryDirectory& dir, std::int32_t credit) {
    GameOptions options = dealing("2s 5h 9c Jd Kh 3s 7h 8c Qd 4h 7s Ah 9c Ad Jk");
    options.arguments = {"--scale=2"};
    options.scale = 2;
    PokerGame game(dir, options);
    bet_and_deal(game, 1, credit);
    press(game, deal_button);
    win_with_held_hand(game, 1, credit - 1);
    press(game, take_button);
    if (!game.wait_for([&] { return game.shows_message(press_bet_message); })) give_up("table");
    game.press_key(XK_s);
    if (!game.wait_for([&] { return game.shows(1, 10, "Hands"); })) give_up("record page");
    return read_picture(game.display(), game.window(), 0, 0, 320, 400);
}

}  // namespace

// The table's picture, of a new player's first game.
int table_picture(const char* path) {
    TemporaryDirectory dir;
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
    return write_ppm(game.display(), window, path) ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TABLE.ppm RECORD.ppm\n", argv[0]);
        return 2;
    }
    test_server();
    if (table_picture(argv[1]) != 0) return 1;
    TemporaryDirectory dir;
    const std::int32_t credit = play_earlier_run(dir, 140);
    return write_ppm(test_server().display, record_page(dir, credit), argv[2]) ? 0 : 1;
}
