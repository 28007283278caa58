// The message lines the flow makes up: the trainer's in the form that fits, padded to the line.
#include <gtest/gtest.h>

#include <string>

#include "play/messages.hpp"

namespace {

TEST(HeldBackLine, TheLongFormWhereItFitsTheLineElseTheShortOne) {
    struct Case {
        const char* amount;
        const char* line;
    };
    const Case cases[] = {
        {"0.55", "Best holds +0.55 a bet "},
        {"49.70", "Best holds +49.70 a bet"},  // exactly the line
        {"100.00", "Best holds +100.00     "},
        {"123456789.99", "Best holds +123456789.9"},  // cut at the line's end
    };
    for (const Case& c : cases) {
        MessageLine line;
        held_back_line(line, c.amount);
        EXPECT_EQ(std::string(line), c.line) << c.amount;
    }
}

}  // namespace
