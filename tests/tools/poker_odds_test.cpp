// The built poker-odds: what it answers, and the one line and status 1 for each kind of bad input.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.hpp"

namespace {

ProcessResult run_odds(const std::vector<std::string>& args, std::function<void()> before = {}) {
    std::vector<std::string> argv{POKER_ODDS_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.before_exec = std::move(before);
    return run_program(argv, options);
}

TEST(PokerOdds, RefusesBadInputWithOneLine) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"Ah", "Kh", "Qh", "Jh", "Xx"}, "'Xx' is not a card"},
        {{"Ah", "Kh", "Qh", "Jh", "Jkk"}, "'Jkk' is not a card"},
        {{"Ah", "Kh", "ah", "Jh", "Th"}, "the card Ah is given twice"},
        {{"Ah", "Ah", "Kh", "Qh", "Jh"}, "the card Ah is given twice"},
        {{"jk", "Kh", "JK", "Jh", "Th"}, "the card Jk is given twice"},
        {{"Ah", "Kh", "Qh", "Jh"}, "a hand is five cards, 4 given"},
        {{"Ah", "Kh", "Qh", "Jh", "Th", "9h"}, "a hand is five cards, 6 given"},
        {{"--pays=1,2,3"}, "--pays needs nine numbers separated by commas, 3 given"},
        {{"--pays=1,2,3,4,5,6,7,8,9,10"},
         "--pays needs nine numbers separated by commas, 10 given"},
        {{"--pays="}, "--pays needs nine numbers separated by commas, 0 given"},
        {{"--pays=1,2,3,4,-5,6,7,8,9"}, "pay '-5' is negative"},
        {{"--pays=1,2,3,4,x,6,7,8,9"}, "pay 'x' is not a whole number from 0 to 1000000"},
        {{"--pays=1,2,3,4,5,,7,8,9"}, "pay '' is not a whole number from 0 to 1000000"},
        {{"--pays=1,2,3,4,5,6,7,8,1000001"}, "pay '1000001' is above 1000000"},
        {{"--pays=1,2,3,4,5,6,7,8,99999999999999999999"}, "pay '99999999999999999999' is above"},
        {{"--jsn"}, "unknown option '--jsn'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--chart", "Ah", "Kh", "Qh", "Jh", "Th"}, "--chart takes no cards"},
    };
    for (const Case& c : cases) {
        const ProcessResult result = run_odds(c.args);
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_EQ(result.out, "") << c.message;
        EXPECT_EQ(result.err.rfind("poker-odds: " + c.message, 0), 0U) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
}

TEST(PokerOdds, AnswersTheTableAHandAndScripts) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> lines;  // each must appear in the output
    };
    const Case cases[] = {
        {{},
         {"Return under perfect play: 28365484531/12716804100 = 2.230551348275 (223.055135%)",
          "Return keeping every deal: 1543044/2869685 = 0.537705009435 (53.770501%)",
          "One double-up gamble:      3091/2597 = 1.190219484020 per unit staked",
          "Five Card         500  0.000092270369  2.0683%",
          "Deals whose best hold ties with another: 42420"}},
        {{"--pays=500,100,70,50,20,15,10,5,2", "--json"},
         {"\"return\": {\"fraction\": \"28365484531/12716804100\", \"decimal\": 2.230551348275}",
          "\"tied_deals\": 42420"}},
        {{"--pays=0,0,0,0,0,0,0,0,1"}, {"Return under perfect play: 23977272/170446675 = "}},
        {{"--pays=0,0,0,0,0,0,0,0,0"},
         {"Two Pair            0  0.084841041508  0.0000%",
          "Return under perfect play: 0 = 0.000000000000 (0.000000%)"}},
        {{"--pays=1000000,0,0,0,0,0,0,0,0"}, {"Five Card     1000000  0.000102278323  100.0000%"}},
        {{"ts", "JS", "Qs", "Ks", "2h"},
         {"Ts Js Qs Ks --       9.062500000  145/16  (best)\n",
          "Ts Js Qs -- --       1.399822695  1579/1128\n",
          "Ts Js Qs Ks 2h       0.000000000  0\n"}},
        {{"--json", "5s", "6s", "3d", "4c", "4h"},
         {"\"best_count\": 2",
          "{\"hold\": [\"5s\", \"6s\", \"3d\", \"4c\"], \"numerator\": 16052850, \"value\": "
          "\"15/8\""}},
        {{"--chart", "--json"},
         {"{\"pattern\": \"Five Card\", \"deals\": 13, \"loss\": 0.000000000000}",
          "\"perfect_return\": [28365484531, 12716804100]"}},
        {{"--json", "Jk", "Ah", "Kh", "7c", "2d"},
         {"\"chart\": {\"line\": ", "\"hold\": \"Jk Ah Kh\"}"}},
        {{"--help"}, {"Usage: poker-odds [--pays=A,B,C,D,E,F,G,H,I] [--json] [CARD"}},
        {{"-h"}, {"Usage: poker-odds [--pays=A,B,C,D,E,F,G,H,I] [--json] [CARD"}},
        {{"--version"}, {"poker-odds 1.3\n"}},
    };
    for (const Case& c : cases) {
        const ProcessResult result = run_odds(c.args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        for (const std::string& line : c.lines)
            EXPECT_NE(result.out.find(line), std::string::npos) << line << "\nin\n" << result.out;
        // An answer that cannot be written in full is a failure.
        const ProcessResult full = run_odds(c.args, [] { dup2(open("/dev/full", O_WRONLY), 1); });
        EXPECT_EQ(full.status, 1) << c.lines[0];
        EXPECT_EQ(full.err,
                  "poker-odds: cannot write to standard output: No space left on device\n");
    }
}

// The chart in docs/strategy.md is the tool's own output, so the two never disagree; the target
// chart_docs writes it again.
TEST(PokerOdds, TheDocumentedChartIsTheToolsOwn) {
    std::ifstream file(POKER_SOURCE_DIR "/docs/strategy.md");
    std::stringstream text;
    text << file.rdbuf();
    const std::string docs = text.str();
    const std::string begin = "<!-- chart begin -->\n\n";
    const std::size_t from = docs.find(begin);
    const std::size_t to = docs.find("\n\n<!-- chart end -->");
    ASSERT_TRUE(from != std::string::npos && to != std::string::npos);
    // The block is indented by four blanks, blank lines aside.
    std::string shown;
    std::istringstream lines(docs.substr(from + begin.size(), to - from - begin.size()));
    for (std::string line; std::getline(lines, line);)
        shown += (line.empty() ? line : line.substr(4)) + "\n";
    const ProcessResult result = run_odds({"--chart"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(shown, result.out) << "run: cmake --build build --target chart_docs";
}

}  // namespace
