// A click storm: thousands of seeded random presses, on the buttons and off them, sent one at a
// time to the real program across many games, double-ups and runs. After every press the window
// is read back and checked against a ledger kept by the test: every change of the credit is a
// bet taken or a win taken, and every saved credit is the one the window showed.
//
//   POKER_STORM_PRESSES  presses to send (default 1500)
//   POKER_STORM_SEED     seed of the presses and of the cards (default 1)
//
// The program runs with the test clock preloaded: its pauses return at once, its cards come
// from a seeded generator (or from a seeded script), and it logs every click wait it enters,
// so the test knows when a press has been taken and the window can be read.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <string>

#include "e2e/harness.hpp"
#include "support/xserver.hpp"

namespace {

using namespace std::string_literals;

std::int32_t saturate(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int32_t credit_in(const std::string& bytes) {
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i)
        bits = bits << 8 | static_cast<std::uint8_t>(bytes.at(static_cast<std::size_t>(i)));
    return static_cast<std::int32_t>(bits);
}

// The buttons as a player sees them, where the game's tables put them: a press strictly inside
// the rectangle hits.
struct Rect {
    int x, y, width, height;
    bool hit(int px, int py) const { return px > x && px < x + width && py > y && py < y + height; }
};
constexpr Rect rect_of(const Button& button) {
    return {button.x, button.y, button.width, button.height};
}
constexpr Rect right_column[4] = {rect_of(main_panel[main_bet]), rect_of(main_panel[main_deal]),
                                  rect_of(double_panel[double_double]),
                                  rect_of(double_panel[double_take])};
constexpr Rect card_button(int position) {
    return rect_of(hold_panel[position]);
}

enum class Phase { bet, hold, offer, pick };

// What the window shows, read back at once and compared cell by cell with the server's own
// rendering of each character.
class Screen {
public:
    explicit Screen(const PokerGame& game) : game_(game) {}

    void read() { picture_ = read_picture(game_.display(), game_.window(), 0, 0, 160, 200); }

    bool shows(int x, int baseline, const std::string& text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int left = x + 7 * static_cast<int>(i);
            const int width = std::min(7, 160 - left);
            if (width <= 0) break;
            if (picture_.part(left, baseline - 7, width, 9) != cell(text[i]).part(0, 0, width, 9)) {
                return false;
            }
        }
        return true;
    }

    // The number that starts in cell `first` of a line; only digits are read.
    std::optional<std::int64_t> number(int x, int baseline, int first) {
        std::string digits;
        for (int column = first; x + 7 * column + 7 <= 160; ++column) {
            const Picture here = picture_.part(x + 7 * column, baseline - 7, 7, 9);
            char found = 0;
            for (char digit = '0'; digit <= '9' && found == 0; ++digit) {
                if (here == cell(digit)) found = digit;
            }
            if (found == 0) break;
            digits += found;
        }
        if (digits.empty() || digits.size() > 12) return std::nullopt;
        return std::stoll(digits);
    }

    std::optional<Phase> phase() {
        if (shows(1, 20, press_bet_message)) return Phase::bet;
        if (shows(1, 20, select_cards_message)) return Phase::hold;
        if (shows(1, 20, offer_message)) return Phase::offer;
        if (shows(1, 20, select_bigger_message)) return Phase::pick;
        return std::nullopt;
    }

    bool shows_score(int baseline, const char* label, std::int64_t value) {
        char line[40];
        std::snprintf(line, sizeof line, "%s%05lld", label, static_cast<long long>(value));
        return shows(1, baseline, line);
    }

private:
    const Picture& cell(char c) {
        auto found = cells_.find(c);
        if (found == cells_.end()) {
            const char text[2] = {c, '\0'};
            found = cells_.emplace(c, render_text(game_.display(), text, "black", "white")).first;
        }
        return found->second;
    }

    const PokerGame& game_;
    Picture picture_;
    std::map<char, Picture> cells_;
};

// Where the next press goes, weighted by what the window is waiting for, so the storm reaches
// every phase: mostly on the buttons that act, some on those that are ignored there, some
// anywhere in the window and some exactly on the edge of a button, where nothing is hit.
struct PressChooser {
    std::mt19937& random;

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    Point inside(const Rect& rect) {
        return {rect.x + 1 + below(rect.width - 1), rect.y + 1 + below(rect.height - 1)};
    }

    Point on_an_edge() {
        const Rect rect = below(2) == 0 ? right_column[below(4)] : card_button(below(5));
        switch (below(4)) {
            case 0:
                return {rect.x, rect.y + below(rect.height + 1)};
            case 1:
                return {rect.x + rect.width, rect.y + below(rect.height + 1)};
            case 2:
                return {rect.x + below(rect.width + 1), rect.y};
            default:
                return {rect.x + below(rect.width + 1), rect.y + rect.height};
        }
    }

    // The last card button reaches past the right edge of the window, where a press would not
    // reach the program at all, so such points are drawn again.
    Point choose(Phase phase) {
        for (;;) {
            const Point point = choose_anywhere(phase);
            if (point.x < 160 && point.y < 200) return point;
        }
    }

    Point choose_anywhere(Phase phase) {
        const int roll = below(100);
        if (roll < 12) return {below(160), below(200)};
        if (roll < 20) return on_an_edge();
        const int on = below(100);
        switch (phase) {
            case Phase::bet:
                if (on < 40) return inside(right_column[0]);
                if (on < 85) return inside(right_column[1]);
                if (on < 97) return inside(right_column[2]);
                return inside(right_column[3]);  // End: rare, since it ends the run
            case Phase::hold:
                if (on < 60) return inside(card_button(below(5)));
                if (on < 85) return inside(right_column[1]);
                return inside(right_column[below(4)]);
            case Phase::offer:
                if (on < 45) return inside(right_column[2]);
                if (on < 80) return inside(right_column[3]);
                return inside(right_column[below(2)]);
            case Phase::pick:
                if (on < 55) return inside(card_button(1 + below(4)));
                if (on < 85) return inside(right_column[1]);
                return inside(right_column[below(4)]);
        }
        return {0, 0};
    }
};

// The test's own account of the run, from the presses it made and what the window showed.
struct Ledger {
    std::int32_t credit = starting_credit;
    std::int32_t bet = 0;
    std::int32_t win = 0;
    Phase phase = Phase::bet;
    bool picked = false;
};

struct Tally {
    long presses = 0, dropped = 0, games = 0, gambles = 0, wins_taken = 0, runs = 0, ends = 0,
         game_overs = 0, requests = 0;
    std::int32_t highest_credit = 0;
};

const std::int32_t multipliers[] = {2, 5, 10, 15, 20, 50, 70, 100, 500};

class Storm {
public:
    Storm(std::mt19937& random, Tally& tally) : random_(random), chooser_{random}, tally_(tally) {}

    // Plays one run of the program to its end: the storm while presses remain, then the plain
    // way to End.
    void run(long& presses_left, long seed) {
        GameOptions options;
        options.hold_at_pauses = false;
        options.log_waits = true;
        options.environment = {"POKER_FAKE_SEED=" + std::to_string(seed)};
        // Every other run deals mostly from the tens up to the aces and the joker, so that wins,
        // double-ups and long runs of them come often; the others deal from the whole deck.
        if (seed % 2 == 1) {
            const char* const rich[] = {"Ts", "Js", "Qs", "Ks", "As", "Th", "Jh",
                                        "Qh", "Kh", "Ah", "Tc", "Jc", "Qc", "Kc",
                                        "Ac", "Td", "Jd", "Qd", "Kd", "Ad", "Jk"};
            std::uniform_int_distribution<int> pick(0, 20);
            for (int draw = 0; draw < 4000; ++draw)
                options.cards.push_back(rich[pick(random_)]);
        }
        const std::string file = dir_.file("tavlek.bob.sv");
        const std::string before = read_file(file);
        ledger_ = Ledger{};
        if (file_exists(file)) ledger_.credit = credit_in(before);
        PokerGame game(dir_, options);
        ++tally_.runs;
        ASSERT_NE(game.window(), 0U);
        ASSERT_TRUE(wait_until([&] { return game.waits_entered() >= 1 || !game.running(); }));
        Screen screen(game);
        ASSERT_TRUE(game.running());
        screen.read();
        check_screen(screen);

        for (;;) {
            if (::testing::Test::HasFatalFailure()) return;
            const bool storming = presses_left > 0;
            if (storming && std::uniform_int_distribution<int>(0, 399)(random_) == 0) {
                ask_to_end(game);
                return check_end(game, file, before, true);
            }
            const Point point = storming ? chooser_.choose(ledger_.phase) : plain_way_to_end();
            const long waits = game.waits_entered();
            press(game, point);
            ++tally_.presses;
            if (storming) --presses_left;
            ASSERT_TRUE(wait_until([&] { return game.waits_entered() > waits || !game.running(); }))
                << "the program took the press at " << point.x << "," << point.y << " in phase "
                << static_cast<int>(ledger_.phase) << " after " << tally_.presses << " presses";
            const Expected expected = expect_after(point);
            if (!game.running()) {
                ASSERT_TRUE(expected.may_end) << "the run ended after a press that cannot end it";
                return check_end(game, file, before, false);
            }
            screen.read();
            expect_phase(screen, expected);
            check_screen(screen);
        }
    }

    // Between runs the same player usually goes on with the credit saved. One who has little
    // left, and now and then any player, starts afresh or with a credit the test stores: small
    // ones, and large ones that reach six digits and more and the saturation at 2147483647.
    void next_player() {
        const std::string file = dir_.file("tavlek.bob.sv");
        const bool poor = !file_exists(file) || credit_in(read_file(file)) < 10;
        if (!poor && std::uniform_int_distribution<int>(0, 9)(random_) != 0) return;
        const int choice = std::uniform_int_distribution<int>(0, 9)(random_);
        if (choice < 5) {
            std::remove(file.c_str());
        } else if (choice < 9) {
            write_file(file, stored(std::uniform_int_distribution<std::int32_t>(1, 500)(random_)));
        } else {
            write_file(file, stored(std::uniform_int_distribution<std::int32_t>(
                                 100000, INT32_MAX)(random_)));
        }
    }

    TemporaryDirectory dir_;

private:
    struct Expected {
        std::vector<Phase> phases;  // the phases the press may lead to
        bool may_end = false;       // End, or a loss with no credit left
    };

    // The press a player would make to finish the run.
    Point plain_way_to_end() {
        switch (ledger_.phase) {
            case Phase::bet:
                return ledger_.bet == 0 ? end_button : deal_button;
            case Phase::hold:
                return deal_button;
            case Phase::offer:
                return take_button;
            case Phase::pick:
                return ledger_.picked ? deal_button : pick_button(1);
        }
        return end_button;
    }

    void ask_to_end(PokerGame& game) {
        ++tally_.requests;
        const int requests[] = {0, SIGTERM, SIGHUP, SIGINT};
        request_end(game, requests[std::uniform_int_distribution<int>(0, 3)(random_)]);
    }

    // The run has ended: by End, by a lost game with no credit left, or by a request. Whatever
    // the ledger holds must be what was saved, or nothing when it is 0.
    void check_end(PokerGame& game, const std::string& file, const std::string& before,
                   bool requested) {
        EXPECT_EQ(game.finish(), 0) << "the run ends normally";
        // A request gives back a bet on which no card was shown and takes a win on offer.
        if (requested && ledger_.phase == Phase::bet)
            ledger_.credit = saturate(std::int64_t{ledger_.credit} + ledger_.bet);
        if (requested && ledger_.phase == Phase::offer)
            ledger_.credit = saturate(std::int64_t{ledger_.credit} + ledger_.win);
        if (ledger_.credit == 0) {
            ++tally_.game_overs;
            EXPECT_EQ(game.output(), banner() + game_over_lines);
            EXPECT_EQ(read_file(file), before) << "nothing is saved at 0";
            return;
        }
        if (!requested) ++tally_.ends;
        EXPECT_EQ(game.output(), banner());
        EXPECT_EQ(read_file(file), stored(ledger_.credit)) << "the credit on the screen is saved";
    }

    // Applies a press to the ledger as the rules say, and returns what may follow it. Effects
    // that depend on the cards (a win or a loss) are settled once the window shows them.
    Expected expect_after(Point point) {
        const auto on = [&](const Rect& rect) { return rect.hit(point.x, point.y); };
        switch (ledger_.phase) {
            case Phase::bet:
                if (on(right_column[0])) {
                    if (ledger_.credit > 0) {
                        ledger_.credit -= 1;
                        ledger_.bet = saturate(std::int64_t{ledger_.bet} + 1);
                    }
                    return Expected{{Phase::bet}};
                }
                if ((on(right_column[1]) && ledger_.bet > 0) || on(right_column[3])) {
                    if (ledger_.bet == 0) return Expected{{}, true};  // End saves
                    ++tally_.games;
                    return Expected{{Phase::hold}};
                }
                break;
            case Phase::hold:
                if (on(right_column[1])) return Expected{{Phase::offer, Phase::bet}, true};
                break;
            case Phase::offer:
                if (on(right_column[3])) {
                    ledger_.credit = saturate(std::int64_t{ledger_.credit} + ledger_.win);
                    ++tally_.wins_taken;
                    return Expected{{Phase::bet}};
                }
                if (on(right_column[2])) {
                    ++tally_.gambles;
                    return Expected{{Phase::pick, Phase::offer}};
                }
                break;
            case Phase::pick:
                for (int position = 1; position < 5; ++position) {
                    if (on(card_button(position))) ledger_.picked = true;
                }
                if (on(right_column[1]) && ledger_.picked) {
                    return Expected{{Phase::offer, Phase::bet}, true};
                }
                break;
        }
        if (!hits_anything(point)) ++tally_.dropped;
        return Expected{{ledger_.phase}};
    }

    bool hits_anything(Point point) const {
        for (const Rect& rect : right_column) {
            if (rect.hit(point.x, point.y)) return true;
        }
        for (int position = 0; position < 5; ++position) {
            if (card_button(position).hit(point.x, point.y)) return true;
        }
        return false;
    }

    // Settles the press from what the window shows now: the phase it reached and the win.
    void expect_phase(Screen& screen, const Expected& expected) {
        const std::optional<Phase> now = screen.phase();
        ASSERT_TRUE(now.has_value()) << "a known message at every wait";
        ASSERT_NE(std::find(expected.phases.begin(), expected.phases.end(), *now),
                  expected.phases.end())
            << "phase " << static_cast<int>(*now) << " after phase "
            << static_cast<int>(ledger_.phase);
        const Phase was = ledger_.phase;
        ledger_.phase = *now;
        if (*now == Phase::bet && was != Phase::bet) {
            // A new game: the stake of the last one stays lost, its win was taken or lost.
            ledger_.bet = 0;
            ledger_.win = 0;
        }
        if (*now == Phase::pick && was != Phase::pick) ledger_.picked = false;
        if (*now != Phase::offer) return;
        const std::optional<std::int64_t> shown = screen.number(1, 145, 8);
        ASSERT_TRUE(shown.has_value());
        const auto win = static_cast<std::int32_t>(*shown);
        if (was == Phase::hold) {
            // A paying hand: the bet times a row of the payout table.
            const bool paid = std::any_of(
                std::begin(multipliers), std::end(multipliers),
                [&](std::int32_t m) { return saturate(std::int64_t{m} * ledger_.bet) == win; });
            EXPECT_TRUE(paid) << win << " on a bet of " << ledger_.bet;
        } else if (was == Phase::pick) {
            EXPECT_EQ(win, saturate(std::int64_t{ledger_.win} * 2)) << "a won gamble doubles";
        } else if (win != ledger_.win) {
            // Double from the offer goes straight back to it only on a dealer joker.
            EXPECT_EQ(win, saturate(std::int64_t{ledger_.win} * 3)) << "a dealer joker triples";
        }
        ledger_.win = win;
    }

    // The score lines agree with the ledger at every wait.
    void check_screen(Screen& screen) {
        ASSERT_TRUE(screen.phase().has_value());
        EXPECT_TRUE(screen.shows_score(185, "Credit: ", ledger_.credit))
            << "credit " << ledger_.credit;
        EXPECT_TRUE(screen.shows_score(125, "BET   : ", ledger_.bet)) << "bet " << ledger_.bet;
        EXPECT_TRUE(screen.shows_score(145, "WIN   : ", ledger_.win)) << "win " << ledger_.win;
        tally_.highest_credit = std::max(tally_.highest_credit, ledger_.credit);
    }

    std::mt19937& random_;
    PressChooser chooser_;
    Tally& tally_;
    Ledger ledger_;
};

TEST(ClickStorm, TheMoneyAddsUpAndTheSavedCreditIsTheOneShown) {
    const long presses = setting("POKER_STORM_PRESSES", 1500);
    const long seed = setting("POKER_STORM_SEED", 1);
    std::mt19937 random(static_cast<unsigned>(seed));
    Tally tally;
    Storm storm(random, tally);
    const auto start = std::chrono::steady_clock::now();
    for (long left = presses, run = 0; left > 0 && !::testing::Test::HasFailure(); ++run) {
        storm.next_player();
        storm.run(left, seed * 100000 + run);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "%ld presses (%ld on no button) in %.1f s: %ld games, %ld gambles, %ld wins "
        "taken, %ld runs ended by End, %ld by Game Over, %ld by a close request or "
        "signal; highest credit %d\n",
        tally.presses, tally.dropped, seconds, tally.games, tally.gambles, tally.wins_taken,
        tally.ends, tally.game_overs, tally.requests, tally.highest_credit);
    EXPECT_GT(tally.games, 0);
}

}  // namespace
