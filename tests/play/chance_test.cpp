// The deck's random numbers as the game draws them: the real clock and the C library's generator.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "play/chance.hpp"
#include "rules/deck.hpp"

namespace {

TEST(RandomDraw, IsTheValueOfTheTimeAndTheGeneratorInThatOrder) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::srand(seed);
        const int generated = std::rand();
        std::srand(seed);
        const std::time_t before = std::time(nullptr);
        const int value = random_draw();
        if (std::time(nullptr) != before) continue;  // the second turned: no telling which
        EXPECT_EQ(value, random_value(before, generated)) << "seed " << seed;
    }
}

TEST(SeedRandom, TwoRunsStartedTogetherDrawDifferently) {
    // Each run seeds in a process of its own, as two players starting at once would.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    for (int run = 0; run < 2; ++run) {
        if (fork() != 0) continue;
        seed_random();
        const int drawn = std::rand();
        _exit(write(ends[1], &drawn, sizeof drawn) == sizeof drawn ? 0 : 1);
    }
    while (wait(nullptr) > 0) {
    }
    int drawn[2] = {0, 0};
    EXPECT_EQ(read(ends[0], drawn, sizeof drawn), static_cast<ssize_t>(sizeof drawn));
    close(ends[0]);
    close(ends[1]);
    EXPECT_NE(drawn[0], drawn[1]);
}

}  // namespace
