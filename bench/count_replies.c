/* Preloaded by the display benchmark: counts the program's X round trips and its colour lookups,
 * and keeps the two counts in the file named by POKER_COUNT_FILE.
 *
 * A round trip is a wait for the server's answer to requests sent: the X library's connection
 * (XCB) writes requests with writev() or sendmsg(), and sleeps in poll() on the connection alone,
 * for reading alone, when a reply it needs has not come yet. The first such sleep after requests
 * were written is one round trip; further sleeps before the next write (an event came first, or a
 * long reply came in pieces) are the same trip. Replies to requests sent together thus count
 * once, and replies already read cost none. Counted this way the figures include the waits the X
 * library makes inside XOpenDisplay (BIG-REQUESTS, XKB, the resource database), but not the
 * connection's setup exchange. The XSync that the test clock makes at each pause is the test's
 * own and is not counted, and neither is the game's own click wait, which watches two
 * descriptors. */
#define _GNU_SOURCE
/* With fortification the C library's header makes poll() an inline wrapper, which this file must
 * not see: it defines poll() itself. */
#undef _FORTIFY_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

typedef struct _XDisplay Display;
typedef struct xcb_connection_t xcb_connection_t;
typedef struct xcb_auth_info_t xcb_auth_info_t;

static long round_trips, color_lookups;
static int in_test_sync, in_setup, sent;

static void publish(void) {
    static int fd = -2;
    if (fd == -2) {
        const char* path = getenv("POKER_COUNT_FILE");
        fd = path != NULL ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    }
    if (fd < 0) return;
    char line[64];
    const int length = snprintf(line, sizeof line, "%20ld %20ld\n", round_trips, color_lookups);
    if (pwrite(fd, line, (size_t)length, 0) < 0) return;
}

/* The next definition of a symbol, as a function pointer (memcpy keeps ISO C happy). */
#define NEXT(name, pointer)                           \
    do {                                              \
        if (pointer == NULL) {                        \
            void* symbol = dlsym(RTLD_NEXT, name);    \
            memcpy(&pointer, &symbol, sizeof symbol); \
        }                                             \
    } while (0)

int poll(struct pollfd* fds, nfds_t count, int timeout) {
    static int (*real)(struct pollfd*, nfds_t, int);
    NEXT("poll", real);
    if (count == 1 && fds[0].events == POLLIN && sent) {
        sent = 0;
        if (!in_test_sync && !in_setup) {
            ++round_trips;
            publish();
        }
    }
    return real(fds, count, timeout);
}

ssize_t writev(int fd, const struct iovec* parts, int count) {
    static ssize_t (*real)(int, const struct iovec*, int);
    NEXT("writev", real);
    sent = 1;
    return real(fd, parts, count);
}

ssize_t sendmsg(int fd, const struct msghdr* message, int flags) {
    static ssize_t (*real)(int, const struct msghdr*, int);
    NEXT("sendmsg", real);
    sent = 1;
    return real(fd, message, flags);
}

xcb_connection_t* xcb_connect(const char* name, int* screen) {
    static xcb_connection_t* (*real)(const char*, int*);
    NEXT("xcb_connect", real);
    in_setup = 1;
    xcb_connection_t* const connection = real(name, screen);
    in_setup = 0;
    return connection;
}

xcb_connection_t* xcb_connect_to_display_with_auth_info(const char* name, xcb_auth_info_t* auth,
                                                        int* screen) {
    static xcb_connection_t* (*real)(const char*, xcb_auth_info_t*, int*);
    NEXT("xcb_connect_to_display_with_auth_info", real);
    in_setup = 1;
    xcb_connection_t* const connection = real(name, auth, screen);
    in_setup = 0;
    return connection;
}

int XSync(Display* display, int discard) {
    static int (*real)(Display*, int);
    NEXT("XSync", real);
    in_test_sync = 1;
    const int result = real(display, discard);
    in_test_sync = 0;
    return result;
}

int XAllocNamedColor(Display* display, unsigned long colormap, const char* name, void* screen,
                     void* exact) {
    static int (*real)(Display*, unsigned long, const char*, void*, void*);
    NEXT("XAllocNamedColor", real);
    ++color_lookups;
    publish();
    return real(display, colormap, name, screen, exact);
}
