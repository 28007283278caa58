// Start-up of the real program: the command line, the banner and the player file's errors.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>

#include "e2e/harness.hpp"

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

TEST(StartUp, WrongArgumentCountPrintsOnlyTheUsageLine) {
    TemporaryDirectory dir;
    for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"a", "b"}}) {
        const ProcessResult result = run_poker(args, dir);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "Usage : " + poker + " player-name \n");
    }
    EXPECT_TRUE(list_directory(dir.path).empty());
}

TEST(StartUp, HelpAndVersionAnswerWithoutPlaying) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string out;
    };
    const std::string usage = "Usage : " + poker + " player-name \n";
    const std::string scale_needs = "--scale needs a whole number from 1 to 8: ";
    const Case cases[] = {
        {{"--help"}, 0, usage},
        {{"-h"}, 0, usage},
        {{"--version"}, 0, "poker 1.2 (V01/L02)\n"},
        {{"--bogus"}, 1, "unknown option: --bogus\n" + usage},
        {{"-"}, 1, "unknown option: -\n" + usage},
        // The scale is a whole number from 1 to 8, given once, with a player name.
        {{"--scale=0", "bob"}, 1, scale_needs + "0\n" + usage},
        {{"bob", "--scale=9"}, 1, scale_needs + "9\n" + usage},
        {{"--scale=2x", "bob"}, 1, scale_needs + "2x\n" + usage},
        {{"--scale", "bob"}, 1, scale_needs + "none given\n" + usage},
        {{"--scale=2", "--scale=2", "bob"}, 1, "--scale is given twice\n" + usage},
        {{"--scale=2"}, 1, usage},
    };
    for (const Case& c : cases) {
        TemporaryDirectory dir;
        const ProcessResult result = run_poker(c.arguments, dir);
        EXPECT_EQ(result.status, c.status) << c.arguments[0];
        EXPECT_EQ(c.status == 0 ? result.out.substr(0, c.out.size()) : result.out, c.out);
        EXPECT_TRUE(list_directory(dir.path).empty()) << c.arguments[0];
        // An answer that cannot be written in full is a failure.
        if (c.status != 0) continue;
        const ProcessResult full =
            run_poker(c.arguments, dir, [] { dup2(open("/dev/full", O_WRONLY), 1); });
        EXPECT_EQ(full.status, 1) << c.arguments[0];
        EXPECT_EQ(full.err, "cannot write to standard output: No space left on device\n");
    }
    // Help names the options, the keys and where the credit is kept, in at most 20 lines.
    const std::string help = run_poker({"--help"}, TemporaryDirectory()).out;
    for (const char* part :
         {"--scale=N", "--trainer", "--version", "Keys:", " f ", "tavlek.NAME.sv"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
    EXPECT_LE(std::count(help.begin(), help.end(), '\n'), 20);
}

TEST(StartUp, WithoutADisplayTheRunEndsBeforeDrawing) {
    TemporaryDirectory dir;
    const ProcessResult result = run_poker({"bob"}, dir);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, banner());
    EXPECT_EQ(result.err, "cannot open display \"\" (DISPLAY is not set)\n");
    EXPECT_TRUE(list_directory(dir.path).empty());
}

TEST(StartUp, RefusedNamesTouchNoFile) {
    struct Case {
        std::string name;
        std::string out;
    };
    const std::string long_name(70, 'x');
    const Case cases[] = {
        {long_name, "player name too long : " + long_name + " \n"},
        {"../bob", "player name contains '/' : ../bob \n"},
        {"a/b", "player name contains '/' : a/b \n"},
    };
    for (const Case& c : cases) {
        TemporaryDirectory dir;
        const ProcessResult result = run_poker({c.name}, dir);
        EXPECT_EQ(result.status, 1) << c.name;
        EXPECT_EQ(result.out, c.out);
        EXPECT_TRUE(list_directory(dir.path).empty());
    }
}

TEST(StartUp, PrintsTheBannerForAnyOtherName) {
    for (const std::string& name : {"bob"s, ""s, std::string(69, 'y'), "a b"s}) {
        TemporaryDirectory dir;
        const ProcessResult result = run_poker({name}, dir);
        EXPECT_EQ(result.out.substr(0, banner(name).size()), banner(name));
        EXPECT_TRUE(list_directory(dir.path).empty()) << "nothing is saved at start-up";
    }
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

}  // namespace
