// Before any X header, whose None would stand in for its own.
#include <gtest/gtest.h>

#include "e2e/harness.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "display/glyphs.hpp"
#include "support/cards.hpp"
#include "support/xserver.hpp"

namespace {

const std::string poker = POKER_BINARY;
const std::string fake_libc = POKER_FAKE_LIBC;

std::string join(const std::vector<int>& values) {
    std::string text;
    for (int value : values) {
        if (!text.empty()) text += ',';
        text += std::to_string(value);
    }
    return text;
}

bool bit(const GlyphBits& bits, int x, int y) {
    return (bits[y * 4 + x / 8] >> (x % 8)) & 1;
}

// The cell, read back from the window, as the layers would paint it: the white face, then these
// glyphs in the ink's colour. An empty cell, without a window, matches nothing.
bool cell_matches(Display* display, const Picture& cell, const char* ink,
                  std::initializer_list<int> glyphs) {
    if (cell.pixels.empty()) return false;
    const unsigned long white = named_pixel(display, "white");
    const unsigned long inked = named_pixel(display, ink);
    for (int y = 0; y < glyph_size; ++y) {
        for (int x = 0; x < glyph_size; ++x) {
            if (!bit(glyph_bits[face_bits], x, y)) continue;
            const bool on = std::any_of(glyphs.begin(), glyphs.end(),
                                        [&](int glyph) { return bit(glyph_bits[glyph], x, y); });
            if (cell.at(x, y) != (on ? inked : white)) return false;
        }
    }
    return true;
}

}  // namespace

std::string stored(std::int32_t credit) {
    const auto bits = static_cast<std::uint32_t>(credit);
    return {static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
            static_cast<char>(bits >> 24)};
}

std::string find_in_path(const std::string& program) {
    const char* path = std::getenv("PATH");
    const std::string directories = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= directories.size();) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        const std::string candidate = directories.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}

long setting(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && std::atol(text) > 0 ? std::atol(text) : fallback;
}

GameOptions dealing(const std::string& cards) {
    GameOptions options;
    for (const Card card : card_list(cards))
        options.cards.emplace_back(card_text(card).data());
    return options;
}

std::string banner(const std::string& player) {
    return poker + " V01/L02 \nplayer file name : tavlek." + player + ".sv \n";
}

int rand_value_of(const std::string& card) {
    return index_of_card(parse_card(card));
}

PokerGame::PokerGame(const TemporaryDirectory& directory, GameOptions options)
    : log_file_(scratch_.file("pauses")),
      wait_log_file_(scratch_.file("waits")),
      out_file_(scratch_.file("stdout")),
      scale_(options.scale) {
    const XServer& server = options.server != nullptr ? *options.server : test_server();
    display_ = server.display;
    program_ = poker;
    std::string preload = fake_libc + " " + options.also_preload;
    if (options.run_copies) {
        // Into the scratch directory, opened to every user (standard output, in it too, is opened
        // as the test's own user before the program starts).
        chmod(scratch_.path.c_str(), 0755);
        const auto copy = [&](const std::string& file) {
            if (file.empty()) return file;
            const std::string to = scratch_.file(file.substr(file.rfind('/') + 1));
            std::filesystem::copy_file(file, to, std::filesystem::copy_options::overwrite_existing);
            return to;
        };
        program_ = copy(poker);
        preload = copy(fake_libc) + " " + copy(options.also_preload);
    }
    std::vector<int> values = options.rand_values;
    for (const std::string& card : options.cards)
        values.push_back(rand_value_of(card));

    ProcessOptions process;
    process.directory = directory.path;
    process.before_exec = options.before_exec;
    // A sanitized build must accept the preloaded library ahead of its runtime; a test's own
    // sanitizer options are added to that.
    std::string asan_options = "ASAN_OPTIONS=verify_asan_link_order=0";
    for (const std::string& entry : options.environment) {
        if (entry.starts_with("ASAN_OPTIONS=")) {
            asan_options.append(":").append(entry, entry.find('=') + 1);
        } else {
            process.environment.push_back(entry);
        }
    }
    process.environment.push_back(asan_options);
    process.environment.push_back("DISPLAY=" + server.name);
    if (options.fake_libc) {
        process.environment.push_back("LD_PRELOAD=" + preload);
        process.environment.push_back("POKER_FAKE_RAND=" + join(values));
        process.environment.push_back("POKER_FAKE_SLEEP_LOG=" + log_file_);
    }
    if (options.log_waits) process.environment.push_back("POKER_FAKE_WAIT_LOG=" + wait_log_file_);
    std::remove(log_file_.c_str());
    std::remove(wait_log_file_.c_str());
    std::vector<std::string> command = options.run_under;
    command.push_back(program_);
    command.insert(command.end(), options.arguments.begin(), options.arguments.end());
    command.push_back(options.player);

    if (options.hold_at_pauses && options.fake_libc) {
        // The read end stays open across exec; the write end is ours alone, so the program's
        // pauses return at once if this test process goes away.
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        const int read_end = fcntl(ends[0], F_DUPFD, 10);
        close(ends[0]);
        gate_ = ends[1];
        process.environment.push_back("POKER_FAKE_SLEEP_FD=" + std::to_string(read_end));
        pid_ = start_program(command, process, out_file_);
        close(read_end);
    } else {
        pid_ = start_program(command, process, out_file_);
    }

    wait_until([&] {
        window_ = top_level_window(display_, "Poker");
        return window_ != 0 || poll_exit();
    });
}

PokerGame::~PokerGame() {
    if (!exited_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        wait_program(pid_);
    }
    if (gate_ >= 0) close(gate_);
    // The server removes the window of a client that has gone in its own time; the next game in
    // this test process must not find this one.
    if (window_ != 0) wait_until([&] { return !window_exists(display_, window_); });
}

bool PokerGame::poll_exit() {
    if (exited_) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
    exited_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

bool PokerGame::running() {
    return !poll_exit();
}

void PokerGame::send_signal(int signal) const {
    kill(pid_, signal);
}

void PokerGame::request_close() const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window_, False, NoEventMask, &event);
    // The first round trip has the server take the message; by the end of the second it has also
    // written it to the program's connection, so a program that looks without waiting finds it.
    XSync(display_, False);
    XSync(display_, False);
}

long PokerGame::waits_entered() const {
    struct stat info;
    return stat(wait_log_file_.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : 0;
}

int PokerGame::pauses_entered() const {
    return static_cast<int>(pause_lengths().size());
}

std::vector<int> PokerGame::pause_lengths() const {
    // One line "sleep N" a pause.
    std::ifstream log(log_file_);
    std::vector<int> lengths;
    for (std::string word; log >> word;) {
        int seconds = 0;
        if (log >> seconds) lengths.push_back(seconds);
    }
    return lengths;
}

bool PokerGame::wait_for(const std::function<bool()>& condition) {
    return wait_until([&] {
        // Counted before looking: a pause logged by now has its drawing on the server already,
        // so the condition below sees the screen of that pause before the program goes on.
        const int entered = pauses_entered();
        if (condition()) return true;
        if (gate_ >= 0 && entered > resumed_) {
            const char byte = 0;
            if (write(gate_, &byte, 1) == 1) ++resumed_;
        }
        return poll_exit() && condition();
    });
}

bool PokerGame::shows(int x, int baseline, const char* text, const char* fg, const char* bg) const {
    return window_ != 0 &&
           shows_text(display_, window_, x, baseline, text, fg, bg, scale_, left_, top_);
}

bool PokerGame::shows_message(const char* text, const char* fg, const char* bg) const {
    return shows(1, 20, text, fg, bg);
}

// The 32 by 32 cell of hand position p, as the picture holds it; empty without a window.
Picture PokerGame::card_cell(int position) const {
    if (window_ == 0) return {};
    return read_scaled(display_, window_, 32 * position + 2, 32, 32, 32, scale_, left_, top_);
}

bool PokerGame::shows_card(int position, const std::string& text) const {
    const Card card = parse_card(text);
    const char* ink = is_red(card) ? "red" : "black";
    if (is_joker(card)) return cell_matches(display_, card_cell(position), ink, {joker_bits});
    return cell_matches(display_, card_cell(position), ink,
                        {first_rank_bits + card.rank, first_suit_bits + card.suit - 1});
}

bool PokerGame::shows_mark(int position, const char* label) const {
    const LabelPlace place = card_label(position);
    return shows(place.x, place.baseline, label);
}

bool PokerGame::shows_back(int position) const {
    return cell_matches(display_, card_cell(position), "red", {back_bits});
}

bool PokerGame::shows_scores(int bet, int win, int credit) const {
    char line[3][32];
    std::snprintf(line[0], sizeof line[0], "BET   : %05d", bet);
    std::snprintf(line[1], sizeof line[1], "WIN   : %05d", win);
    std::snprintf(line[2], sizeof line[2], "Credit: %05d", credit);
    return shows(1, 125, line[0]) && shows(1, 145, line[1]) && shows(1, 185, line[2]);
}

void PokerGame::press(int x, int y) const {
    click(display_, window_, left_ + x * scale_ + scale_ / 2, top_ + y * scale_ + scale_ / 2);
}

void PokerGame::press_key(KeySym key) const {
    ::press_key(display_, window_, 1, 1, key);
}

int PokerGame::finish() {
    wait_for([&] { return poll_exit(); });
    return status_;
}

int PokerGame::kill_now(int signal) {
    if (!exited_) kill(pid_, signal);
    wait_until([&] { return poll_exit(); });
    return status_;
}

std::string PokerGame::output() const {
    std::ifstream in(out_file_);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void bet(PokerGame& game, int count, int credit) {
    ASSERT_TRUE(game.wait_for(
        [&] { return game.shows_message(press_bet_message) && game.shows_scores(0, 0, credit); }));
    for (int placed = 1; placed <= count; ++placed) {
        press(game, bet_button);
        ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(placed, 0, credit - placed); }));
    }
}

void bet_and_deal(PokerGame& game, int count, int credit) {
    ASSERT_NO_FATAL_FAILURE(bet(game, count, credit));
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(select_cards_message); }));
}

void hold(PokerGame& game, std::initializer_list<int> positions) {
    for (int position : positions) {
        press(game, hold_button(position));
        ASSERT_TRUE(game.wait_for([&] { return game.shows_mark(position, held_label); }))
            << "hold " << position;
    }
}

void pick(PokerGame& game, int position) {
    press(game, pick_button(position));
    ASSERT_TRUE(game.wait_for([&] { return game.shows_mark(position, picked_label); }))
        << "pick " << position;
}

void win_with_held_hand(PokerGame& game, int count, int credit) {
    ASSERT_NO_FATAL_FAILURE(bet_and_deal(game, count, credit));
    ASSERT_NO_FATAL_FAILURE(hold(game, {0, 1, 2, 3, 4}));
    press(game, deal_button);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_message(offer_message); }));
}

void end_run(PokerGame& game, int credit) {
    ASSERT_NO_FATAL_FAILURE(bet(game, 0, credit));
    press(game, end_button);
    EXPECT_EQ(game.finish(), 0);
}

void expect_hand(const PokerGame& game, const std::string& cards) {
    const Hand hand = parse_hand(cards);
    for (int p = 0; p < hand_size; ++p)
        EXPECT_TRUE(game.shows_card(p, card_text(hand[p]).data())) << "position " << p;
}

std::vector<std::vector<std::string>> history_games(const TemporaryDirectory& dir,
                                                    const std::string& player) {
    std::vector<std::vector<std::string>> games;
    std::istringstream lines(read_file(dir.file("tavlek." + player + ".hands")));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with('#')) continue;
        // A tab more ends every field, so that an empty last field is read too.
        std::istringstream split(line + '\t');
        games.emplace_back();
        for (std::string field; std::getline(split, field, '\t');)
            games.back().push_back(field);
    }
    return games;
}
