/* Preloaded by the display benchmark: counts the program's X round trips (every reply the X
 * library waits for goes through _XReply), its colour lookups and its foreground changes, and
 * keeps the three counts in the file named by POKER_COUNT_FILE. The XSync that the test clock
 * makes at each pause is the test's own and is not counted. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef struct _XDisplay Display;

static long replies, color_lookups, foreground_changes;
static int in_test_sync;

static void publish(void) {
    static int fd = -2;
    if (fd == -2) {
        const char* path = getenv("POKER_COUNT_FILE");
        fd = path != NULL ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    }
    if (fd < 0) return;
    char line[96];
    const int length = snprintf(line, sizeof line, "%20ld %20ld %20ld\n", replies, color_lookups,
                                foreground_changes);
    if (pwrite(fd, line, (size_t)length, 0) < 0) return;
}

static void* next_symbol(const char* name) {
    return dlsym(RTLD_NEXT, name);
}

int _XReply(Display* display, void* reply, int extra, int discard) {
    static int (*real)(Display*, void*, int, int);
    if (real == NULL) {
        void* symbol = next_symbol("_XReply");
        memcpy(&real, &symbol, sizeof symbol);
    }
    if (!in_test_sync) {
        ++replies;
        publish();
    }
    return real(display, reply, extra, discard);
}

int XSync(Display* display, int discard) {
    static int (*real)(Display*, int);
    if (real == NULL) {
        void* symbol = next_symbol("XSync");
        memcpy(&real, &symbol, sizeof symbol);
    }
    in_test_sync = 1;
    const int result = real(display, discard);
    in_test_sync = 0;
    return result;
}

int XAllocNamedColor(Display* display, unsigned long colormap, const char* name, void* screen,
                     void* exact) {
    static int (*real)(Display*, unsigned long, const char*, void*, void*);
    if (real == NULL) {
        void* symbol = next_symbol("XAllocNamedColor");
        memcpy(&real, &symbol, sizeof symbol);
    }
    ++color_lookups;
    return real(display, colormap, name, screen, exact);
}

int XSetForeground(Display* display, void* gc, unsigned long pixel) {
    static int (*real)(Display*, void*, unsigned long);
    if (real == NULL) {
        void* symbol = next_symbol("XSetForeground");
        memcpy(&real, &symbol, sizeof symbol);
    }
    ++foreground_changes;
    publish();
    return real(display, gc, pixel);
}
