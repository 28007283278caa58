/* A test-only library preloaded into the real program: it fixes the clock, scripts the random
 * generator and takes over the pauses, so end-to-end runs are fast and repeatable.
 *
 *   POKER_FAKE_TIME       the value time() returns (default 8: with a low byte of 8 the random
 *                         draw is the generator's value itself, modulo 65536)
 *   POKER_FAKE_RAND       comma-separated values that rand() returns first, one per call
 *   POKER_FAKE_SEED       seed of the generator that takes over after the script (default 1)
 *   POKER_FAKE_SLEEP_LOG  a file that gets one line "sleep N" for every pause entered
 *   POKER_FAKE_SLEEP_FD   a descriptor to read one byte from before each pause returns, so a test
 *                         can hold the program at a pause and look at the window; without it
 *                         every pause returns at once
 *   POKER_FAKE_REAL_SLEEP a number of seconds: pauses at least this long are slept for real by the
 *                         C library, after they are logged, and for an hour instead of their own
 *                         length, so that only a signal ends them however slowly the test runs;
 *                         cut short, such a pause reports at most its own length as left
 *   POKER_FAKE_WAIT_LOG   a file that grows by one byte for every click wait entered: a poll on
 *                         two descriptors (the connection and the signal pipe) with no time limit,
 *                         which only the click wait makes; the X library's own waits watch one
 *
 * Before a pause or a click wait is logged, everything the program has sent to the X server is
 * processed (XSync on the connection the program last flushed), so a test that sees the log
 * line also sees the window as the program left it.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include "next_function.h"

typedef struct _XDisplay Display;

static const char* script_next;
static int script_started;
static unsigned long long generator_state;
static Display* last_display;

time_t time(time_t* result) {
    const char* text = getenv("POKER_FAKE_TIME");
    const time_t now = text != NULL ? (time_t)strtoll(text, NULL, 10) : 8;
    if (result != NULL) *result = now;
    return now;
}

void srand(unsigned seed) {
    (void)seed;
}

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

int XFlush(Display* display) {
    static int (*real_flush)(Display*);
    if (real_flush == NULL) real_flush = (int (*)(Display*))next_function("XFlush");
    last_display = display;
    return real_flush(display);
}

static void sync_display(void) {
    static int (*real_sync)(Display*, int);
    if (last_display == NULL) return;
    if (real_sync == NULL) real_sync = (int (*)(Display*, int))next_function("XSync");
    if (real_sync != NULL) real_sync(last_display, 0);
}

static int queued_events(void) {
    static int (*real_queued)(Display*, int);
    if (last_display == NULL) return 0;
    if (real_queued == NULL) real_queued = (int (*)(Display*, int))next_function("XEventsQueued");
    return real_queued != NULL ? real_queued(last_display, 0 /* QueuedAlready */) : 0;
}

static void append_to(const char* path, const char* text, size_t length) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    while (write(fd, text, length) < 0 && errno == EINTR) {
    }
    close(fd);
}

static void log_pause(unsigned seconds) {
    const char* log = getenv("POKER_FAKE_SLEEP_LOG");
    if (log == NULL) return;
    char line[32];
    const int length = snprintf(line, sizeof line, "sleep %u\n", seconds);
    append_to(log, line, (size_t)length);
}

unsigned sleep(unsigned seconds) {
    sync_display();
    log_pause(seconds);
    const char* real_from = getenv("POKER_FAKE_REAL_SLEEP");
    if (real_from != NULL && seconds >= (unsigned)atoi(real_from)) {
        const unsigned left = ((unsigned (*)(unsigned))next_function("sleep"))(3600);
        return left < seconds ? left : seconds;
    }
    const char* gate = getenv("POKER_FAKE_SLEEP_FD");
    if (gate != NULL) {
        char byte;
        const int fd = atoi(gate);
        while (read(fd, &byte, 1) < 0 && errno == EINTR) {
        }
    }
    return 0;
}

int poll(struct pollfd* fds, nfds_t count, int timeout) {
    static int (*real_poll)(struct pollfd*, nfds_t, int);
    if (real_poll == NULL) real_poll = (int (*)(struct pollfd*, nfds_t, int))next_function("poll");
    const char* log = getenv("POKER_FAKE_WAIT_LOG");
    if (log != NULL && count == 2 && timeout < 0) {
        /* The sync may read presses into the X library's queue, where the poll would not see
         * them: then the wait is reported woken, and the program looks at its queue again. */
        const int queued = queued_events();
        sync_display();
        if (queued_events() > queued) {
            fds[0].revents = POLLIN;
            fds[1].revents = 0;
            return 1;
        }
        append_to(log, "w", 1);
    }
    return real_poll(fds, count, timeout);
}
