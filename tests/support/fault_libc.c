/* A test-only library preloaded into the real program to make one step of saving the player file
 * fail, as a full disk, a failing device or a lost rename would. Only the file that the save
 * writes is touched: the temporary file beside the player file (unnamed, opened with O_TMPFILE, or
 * a name containing ".sv.tmp"), or the player file itself when it is opened for writing; and the
 * player file's first read. Every other call goes through unchanged.
 *
 *   POKER_FAULT        the step that fails, or several separated by commas:
 *                        create       creating the temporary file, named or unnamed
 *                        unnamed      every unnamed file, as on a file system without them
 *                        write        every write to it
 *                        short_write  the first write stores 2 bytes, every later one fails
 *                        partial      the first write stores 2 bytes, the rest go through
 *                        interrupt    the first write is interrupted before storing anything
 *                      (the first write of the run: a save that goes on to write the player file
 *                      in place has had its first)
 *                        fchown       giving it the old file's owner and group (the first
 *                                     fchown; the group alone goes through)
 *                        fchmod       giving it the old file's permission bits
 *                        fsync        flushing it to the disk
 *                        close        closing it (the descriptor is closed all the same)
 *                        rename       renaming it over the player file
 *                        link         naming the unnamed file (every linkat to a temporary name)
 *                        read_interrupt  the first read of the player file is interrupted
 *                                     before reading anything
 *   POKER_FAULT_ERRNO  the error number the step fails with (default EIO)
 *   POKER_FAULT_LOG    a file that gets one line naming each step made to fail
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

#include "next_function.h"

static int temporary_fd = -1;
static int writes_seen;
static int reading_fd = -1;
static int reads_seen;
static int fchowns_seen;

typedef int (*OpenFunction)(const char*, int, ...);
typedef ssize_t (*WriteFunction)(int, const void*, size_t);

static int is_temporary(const char* path) {
    return path != NULL && strstr(path, ".sv.tmp") != NULL;
}

static int is_player_file(const char* path) {
    const size_t length = path != NULL ? strlen(path) : 0;
    return length > 3 && strcmp(path + length - 3, ".sv") == 0;
}

static int is_unnamed(int flags) {
    return (flags & O_TMPFILE) == O_TMPFILE;
}

static int fault_is(const char* step) {
    const size_t length = strlen(step);
    for (const char* at = getenv("POKER_FAULT"); at != NULL; at = strchr(at, ',')) {
        if (*at == ',') ++at;
        if (strncmp(at, step, length) == 0 && (at[length] == ',' || at[length] == '\0')) return 1;
    }
    return 0;
}

/* Notes in the log a step that was made to misbehave. */
static void note(const char* step) {
    const char* log = getenv("POKER_FAULT_LOG");
    if (log != NULL) {
        const int fd = ((OpenFunction)next_function("open"))(
            log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const WriteFunction real_write = (WriteFunction)next_function("write");
            real_write(fd, step, strlen(step));
            real_write(fd, "\n", 1);
            close(fd);
        }
    }
}

/* Fails the call with the chosen error after noting it in the log. */
static int fail(const char* step) {
    note(step);
    const char* number = getenv("POKER_FAULT_ERRNO");
    errno = number != NULL ? atoi(number) : EIO;
    return -1;
}

/* Opens through the C library's own function of that name; dirfd is used by the openat kind. */
static int open_with(const char* name, int at, int dirfd, const char* path, int flags,
                     mode_t mode) {
    if (((is_temporary(path) && (flags & O_CREAT)) || is_unnamed(flags)) && fault_is("create")) {
        return fail("create");
    }
    if (is_unnamed(flags) && fault_is("unnamed")) return fail("unnamed");
    const Function real = next_function(name);
    const int fd = at ? ((int (*)(int, const char*, int, ...))real)(dirfd, path, flags, mode)
                      : ((OpenFunction)real)(path, flags, mode);
    const int reading = (flags & O_ACCMODE) == O_RDONLY;
    if (fd >= 0 &&
        (is_temporary(path) || is_unnamed(flags) || (is_player_file(path) && !reading))) {
        temporary_fd = fd;
    }
    if (fd >= 0 && is_player_file(path) && reading) reading_fd = fd;
    return fd;
}

static mode_t mode_argument(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(arguments, int) : 0;
}

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    return open_with("open", 0, AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    return open_with("open64", 0, AT_FDCWD, path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    return open_with("openat", 1, dirfd, path, flags, mode);
}

ssize_t write(int fd, const void* bytes, size_t count) {
    const WriteFunction real_write = (WriteFunction)next_function("write");
    if (fd >= 0 && fd == temporary_fd) {
        const int first = writes_seen++ == 0;
        if (fault_is("write")) return fail("write");
        if (fault_is("interrupt") && first) {
            note("interrupt");
            errno = EINTR;
            return -1;
        }
        if (fault_is("partial") && first && count > 2) {
            note("partial");
            return real_write(fd, bytes, 2);
        }
        if (fault_is("short_write") && first && count > 2) return real_write(fd, bytes, 2);
        if (fault_is("short_write")) return fail("short_write");
    }
    return real_write(fd, bytes, count);
}

ssize_t read(int fd, void* bytes, size_t count) {
    if (fd >= 0 && fd == reading_fd && reads_seen++ == 0 && fault_is("read_interrupt")) {
        note("read_interrupt");
        errno = EINTR;
        return -1;
    }
    return ((ssize_t(*)(int, void*, size_t))next_function("read"))(fd, bytes, count);
}

int fchown(int fd, uid_t owner, gid_t group) {
    if (fd >= 0 && fd == temporary_fd && fchowns_seen++ == 0 && fault_is("fchown")) {
        return fail("fchown");
    }
    return ((int (*)(int, uid_t, gid_t))next_function("fchown"))(fd, owner, group);
}

int fchmod(int fd, mode_t mode) {
    if (fd >= 0 && fd == temporary_fd && fault_is("fchmod")) return fail("fchmod");
    return ((int (*)(int, mode_t))next_function("fchmod"))(fd, mode);
}

int fsync(int fd) {
    if (fd >= 0 && fd == temporary_fd && fault_is("fsync")) return fail("fsync");
    return ((int (*)(int))next_function("fsync"))(fd);
}

int close(int fd) {
    int (*real_close)(int) = (int (*)(int))next_function("close");
    if (fd >= 0 && fd == reading_fd) reading_fd = -1;
    if (fd < 0 || fd != temporary_fd) return real_close(fd);
    temporary_fd = -1;
    /* As on Linux, a failed close has closed the descriptor all the same. */
    const int result = real_close(fd);
    if (fault_is("close")) return fail("close");
    return result;
}

int linkat(int from_dir, const char* from, int to_dir, const char* to, int flags) {
    if (is_temporary(to) && fault_is("link")) return fail("link");
    return ((int (*)(int, const char*, int, const char*, int))next_function("linkat"))(
        from_dir, from, to_dir, to, flags);
}

int rename(const char* from, const char* to) {
    if (is_temporary(from) && fault_is("rename")) return fail("rename");
    return ((int (*)(const char*, const char*))next_function("rename"))(from, to);
}
