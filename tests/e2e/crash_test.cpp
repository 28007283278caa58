// The program dying where it cannot clean up: killed outright while it saves, or left without
// its X server in the middle of a game. The player file holds a whole credit, the old one or the
// new one, whatever the moment; a lost server saves as a close request does.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "e2e/harness.hpp"
#include "support/xserver.hpp"

namespace {

using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

// Temporary files that the run with this process id left beside the player file.
std::vector<std::string> temporaries_of(const TemporaryDirectory& dir, int pid) {
    const std::string prefix = "tavlek.bob.sv.tmp" + std::to_string(pid) + ".";
    std::vector<std::string> found;
    for (const std::string& name : list_directory(dir.path)) {
        if (name.starts_with(prefix)) found.push_back(name);
    }
    return found;
}

// Each run stakes one credit, is dealt its cards and is then asked to end, which saves the credit
// less the stake; SIGKILL follows after a random delay. The delays are drawn up to twice the
// typical time from the request to the end of a run that was not killed, so the kills land
// before, during and after the save; the checks below hold wherever they land. Each run starts
// after a killed one for the same player: a run's lock dies with it, and any temporary file it
// left goes once the next run holds the lock. One more run, not killed, looks at the last one's.
TEST(KillWhileSaving, LeavesTheOldOrTheNewCreditAndNeverAPartOfOne) {
    const int runs = static_cast<int>(setting("POKER_KILL_RUNS", 30));
    std::mt19937 random(static_cast<unsigned>(setting("POKER_KILL_SEED", 20261208)));
    TemporaryDirectory dir;
    const std::string file = dir.file("tavlek.bob.sv");
    std::vector<long> ends_us{500};  // request to end, for the runs that were not killed
    int completed = 0, killed_before = 0, killed_writing = 0, killed_after = 0;
    for (int run = 0; run <= runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const int old_credit = 10 + run;
        write_file(file, stored(old_credit));
        GameOptions options;
        options.hold_at_pauses = false;
        PokerGame game(dir, options);
        ASSERT_NO_FATAL_FAILURE(bet_and_deal(game, 1, old_credit));
        std::vector<std::string> files = list_directory(dir.path);
        std::erase(files, "tavlek.bob.hands");
        EXPECT_EQ(files, std::vector<std::string>{"tavlek.bob.sv"});
        if (run == runs) break;

        std::nth_element(ends_us.begin(), ends_us.begin() + ends_us.size() / 2, ends_us.end());
        const long typical_us = std::min(ends_us[ends_us.size() / 2], 20000L);
        std::uniform_int_distribution<long> delay_us(0, 2 * typical_us);
        const auto delay = std::chrono::microseconds(delay_us(random));
        const auto asked = Clock::now();
        const int requests[] = {SIGTERM, 0, SIGHUP};
        request_end(game, requests[run % 3]);
        std::this_thread::sleep_for(delay);
        game.send_signal(SIGKILL);
        // The moment the program ended, without reaping it: that is the harness's to do.
        siginfo_t ended{};
        waitid(P_PID, static_cast<id_t>(game.pid()), &ended, WEXITED | WNOWAIT);
        const auto took =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - asked);
        const int status = game.finish();

        const std::string content = read_file(file);
        ASSERT_EQ(content.size(), 4U);
        ASSERT_TRUE(content == stored(old_credit) || content == stored(old_credit - 1));
        const std::vector<std::string> left = temporaries_of(dir, game.pid());
        if (status == 0) {
            ++completed;
            EXPECT_EQ(content, stored(old_credit - 1)) << "a completed run saved";
            EXPECT_TRUE(left.empty()) << "a completed run leaves no temporary file";
            ends_us.push_back(static_cast<long>(took.count()));
        } else {
            ASSERT_EQ(status, 128 + SIGKILL);
            if (content == stored(old_credit)) {
                ++killed_before;
                if (!left.empty()) ++killed_writing;
            } else {
                ++killed_after;
                EXPECT_TRUE(left.empty()) << "the temporary file became the player file";
            }
        }
    }
    std::printf(
        "%d runs: %d saved and ended; %d killed before the rename, the old credit kept "
        "(%d of them leaving a temporary file for the next run to remove), %d killed after it\n",
        runs, completed, killed_before, killed_writing, killed_after);
}

// Plays to the middle of a game on a server of its own, then ends that server. The program saves
// the credit by the rule of a close request (the stake is lost) and ends with status 1.
struct ServerLoss {
    const char* name;
    bool held_at_a_pause;  // else waiting for a click in the hold phase
    // How the history's line says the game ended: the Deal held at the pause drew a losing hand,
    // which settled the game before the server went.
    const char* end;
};

void PrintTo(const ServerLoss& loss, std::ostream* out) {
    *out << loss.name;
}

class XServerGone : public ::testing::TestWithParam<ServerLoss> {};

TEST_P(XServerGone, SavesAsACloseRequestAndEndsWithStatusOne) {
    XServer server = start_separate_server();
    TemporaryDirectory dir;
    const std::string file = dir.file("tavlek.bob.sv");
    write_file(file, stored(30));
    GameOptions options = dealing("2s 5h 9c Jd Kh");
    options.server = &server;
    PokerGame game(dir, options);
    ASSERT_NO_FATAL_FAILURE(bet_and_deal(game, 1, 30));
    ASSERT_NO_FATAL_FAILURE(hold(game, {0}));
    if (GetParam().held_at_a_pause) {
        const int pauses = game.pauses_entered();
        press(game, deal_button);
        ASSERT_TRUE(game.wait_for([&] { return game.pauses_entered() > pauses; }));
    }

    // The test's own connection goes first, so only the program sees the server vanish.
    game.forget_window();
    ASSERT_EQ(stop_separate_server(server, SIGKILL), 128 + SIGKILL);

    EXPECT_EQ(game.finish(), 1);
    EXPECT_EQ(read_file(file), stored(29));
    EXPECT_EQ(list_directory(dir.path).size(), 2U) << "the player file and the history alone";
    const std::vector<std::vector<std::string>> games = history_games(dir);
    ASSERT_EQ(games.size(), 1U);
    EXPECT_EQ(games[0][13], GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(Game, XServerGone,
                         ::testing::Values(ServerLoss{"WhileWaitingForAClick", false,
                                                      "server:lost"},
                                           ServerLoss{"WhileHeldAtAPause", true, "played"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
