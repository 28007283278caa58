// Start-up of the real program: the command line, the banner, the player file's errors and lock.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "e2e/harness.hpp"
#include "store/player_file.hpp"

namespace {

using namespace std::string_literals;

const std::string poker = POKER_BINARY;

ProcessResult run_poker(const std::vector<std::string>& args, const TemporaryDirectory& dir,
                        std::function<void()> before_exec = {}) {
    std::vector<std::string> argv{poker};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.directory = dir.path;
    options.unset = {"DISPLAY"};
    options.before_exec = std::move(before_exec);
    return run_program(argv, options);
}

// Each command line is answered, and nothing is written into the directory, before any player
// file or window: usage, help and version, the options' errors, refused player names, and a
// name's banner before the display turns out to be missing.
TEST(StartUp, EveryCommandLineIsAnsweredBeforeAnyFileOrWindow) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string out;
        std::string err{};
    };
    const std::string usage = "Usage : " + poker + " player-name \n";
    const std::string scale_needs = "--scale needs a whole number from 1 to 8: ";
    const std::string long_name(70, 'x');
    const std::string no_display = "cannot open display \"\" (DISPLAY is not set)\n";
    const Case cases[] = {
        {{}, 1, usage},
        {{"a", "b"}, 1, usage},
        {{"--help"}, 0, usage},
        {{"-h"}, 0, usage},
        {{"--version"}, 0, "poker 1.3 (V01/L02)\n"},
        {{"--bogus"}, 1, "unknown option: --bogus\n" + usage},
        {{"-"}, 1, "unknown option: -\n" + usage},
        // The scale is a whole number from 1 to 8, given once, with a player name.
        {{"--scale=0", "bob"}, 1, scale_needs + "0\n" + usage},
        {{"bob", "--scale=9"}, 1, scale_needs + "9\n" + usage},
        {{"--scale=2x", "bob"}, 1, scale_needs + "2x\n" + usage},
        {{"--scale", "bob"}, 1, scale_needs + "none given\n" + usage},
        {{"--scale=2", "--scale=2", "bob"}, 1, "--scale is given twice\n" + usage},
        {{"--scale=2"}, 1, usage},
        // Options are whole words.
        {{"--scalex", "bob"}, 1, "unknown option: --scalex\n" + usage},
        {{"--trainers", "bob"}, 1, "unknown option: --trainers\n" + usage},
        // The record is printed with no display and no file, and its options ask for something.
        {{"--stats", "bob"}, 0, "No games in the history yet.\n"},
        {{"bob", "--review", "--all", "--json"}, 0, "[]\n"},
        {{"--json", "bob"}, 1, "--json needs --stats or --review\n" + usage},
        {{"--stats", "--all", "bob"}, 1, "--all needs --review\n" + usage},
        {{"--review", "--stats", "bob"}, 1, "--stats and --review are given together\n" + usage},
        {{long_name}, 1, "player name too long : " + long_name + " \n"},
        {{"../bob"}, 1, "player name contains '/' : ../bob \n"},
        {{"a/b"}, 1, "player name contains '/' : a/b \n"},
        // Any other name is accepted: the banner names its file.
        {{"bob"}, 1, banner(), no_display},
        {{""}, 1, banner(""), no_display},
        {{std::string(69, 'y')}, 1, banner(std::string(69, 'y')), no_display},
        {{"a b"}, 1, banner("a b"), no_display},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "no arguments" : c.arguments[0]);
        TemporaryDirectory dir;
        const ProcessResult result = run_poker(c.arguments, dir);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(c.status == 0 ? result.out.substr(0, c.out.size()) : result.out, c.out);
        EXPECT_EQ(result.err, c.err);
        EXPECT_TRUE(list_directory(dir.path).empty());
        // An answer that cannot be written in full is a failure.
        if (c.status != 0) continue;
        const ProcessResult full =
            run_poker(c.arguments, dir, [] { dup2(open("/dev/full", O_WRONLY), 1); });
        EXPECT_EQ(full.status, 1);
        EXPECT_EQ(full.err, "cannot write to standard output: No space left on device\n");
    }
    // Help names the options, the keys and where the credit is kept, in at most 20 lines.
    const std::string help = run_poker({"--help"}, TemporaryDirectory()).out;
    for (const char* part : {"--scale=N", "--trainer", "--data-home", "--stats", "--review",
                             "--version", "Keys:", " f ", "tavlek.NAME.sv", "tavlek.NAME.hands"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
    EXPECT_LE(std::count(help.begin(), help.end(), '\n'), 20);
}

TEST(StartUp, PlayerFileErrorsEndTheRun) {
    struct Case {
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {""s, "read error"},
        {"\x01\x02\x03"s, "read error"},
    };
    for (const Case& c : cases) {
        TemporaryDirectory dir;
        write_file(dir.file("tavlek.bob.sv"), c.bytes);
        const ProcessResult result = run_poker({"bob"}, dir);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, banner() + "file < tavlek.bob.sv > " + c.message + " \n");
        EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), c.bytes) << "the file is left alone";
    }
    TemporaryDirectory dir;
    ASSERT_EQ(symlink("tavlek.bob.sv", dir.file("tavlek.bob.sv").c_str()), 0);
    const ProcessResult result = run_poker({"bob"}, dir);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, banner() + "file < tavlek.bob.sv > open error \n");
}

TEST(StartUp, APlayerFileInUseEndsTheRunNamingItsHolder) {
    for (const bool listening : {true, false}) {
        TemporaryDirectory dir;
        long holder = 0;
        int lock = -1;
        ASSERT_EQ(lock_player_file_at(dir.path.c_str(), "tavlek.bob.sv", holder, lock),
                  LockResult::ok);
        // A holder that takes no connection cannot be asked who it is.
        if (!listening) shutdown(lock, SHUT_RD);
        const std::string by = listening ? "process " + std::to_string(getpid()) : "another run";
        EXPECT_EQ(run_poker({"bob"}, dir).out,
                  banner() + "player file tavlek.bob.sv is in use by " + by + "\n");
        close(lock);
    }
}

TEST(StartUp, ClosedStandardDescriptorsAreGivenDevNullBeforeAnyFileOrSocket) {
    TemporaryDirectory dir;
    GameOptions options;
    options.before_exec = [] {
        for (const int fd : {0, 1, 2})
            close(fd);
    };
    PokerGame game(dir, options);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(0, 0, starting_credit); }));
    for (const char* fd : {"/0", "/1", "/2"}) {
        const std::string link = "/proc/" + std::to_string(game.pid()) + "/fd" + fd;
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), "/dev/null") << fd;
    }
    EXPECT_EQ(game.kill_now(SIGTERM), 0);
}

}  // namespace
