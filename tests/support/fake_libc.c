/* A test-only library preloaded into the real program: it fixes the clock, scripts the random
 * generator and makes pauses return at once, so end-to-end runs are fast and repeatable.
 *
 *   POKER_FAKE_TIME   the value time() returns (default 8: with a low byte of 8 the random
 *                     draw returns the generator's value itself, modulo 65536)
 *   POKER_FAKE_RAND   comma-separated values rand() returns first, one per call
 *   POKER_FAKE_SEED   seed of the generator that takes over after the script (default 1)
 *   POKER_FAKE_SLEEP_LOG  a file that gets one line "sleep N" per pause
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static const char* script_next;
static int script_started;
static unsigned long long generator_state;

time_t time(time_t* result) {
    const char* text = getenv("POKER_FAKE_TIME");
    const time_t now = text != NULL ? (time_t)strtoll(text, NULL, 10) : 8;
    if (result != NULL) *result = now;
    return now;
}

void srand(unsigned seed) { (void)seed; }

int rand(void) {
    if (!script_started) {
        script_started = 1;
        script_next = getenv("POKER_FAKE_RAND");
        const char* seed = getenv("POKER_FAKE_SEED");
        generator_state = seed != NULL ? strtoull(seed, NULL, 10) : 1;
    }
    if (script_next != NULL && *script_next != '\0') {
        char* end = NULL;
        const long value = strtol(script_next, &end, 10);
        script_next = *end == ',' ? end + 1 : end;
        return (int)value;
    }
    /* After the script: a fixed 64-bit linear congruential generator, top 31 bits. */
    generator_state = generator_state * 6364136223846793005ULL + 1442695040888963407ULL;
    return (int)(generator_state >> 33);
}

unsigned sleep(unsigned seconds) {
    const char* log = getenv("POKER_FAKE_SLEEP_LOG");
    if (log != NULL) {
        const int fd = open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char line[32];
            const int length = snprintf(line, sizeof line, "sleep %u\n", seconds);
            if (write(fd, line, (size_t)length) < 0) { /* the log is best effort */
            }
            close(fd);
        }
    }
    return 0;
}
