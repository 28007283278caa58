#include "store/data_home.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "store/history.hpp"
#include "store/player_file.hpp"

namespace {

// Reads up to count bytes, retrying short reads and interrupted calls; the number read, or -1.
ssize_t read_up_to(int fd, char* bytes, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const ssize_t got = read(fd, bytes + total, count - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(total);
}

// Whether the file name holds the same bytes in the directory from as in the current one.
bool same_bytes(int from, const char* name) {
    const int a = openat(from, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    const int b = open(name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    bool same = a >= 0 && b >= 0;
    while (same) {
        char first[4096], second[4096];
        const ssize_t got = read_up_to(a, first, sizeof first);
        same = got >= 0 && read_up_to(b, second, sizeof second) == got &&
               std::memcmp(first, second, static_cast<std::size_t>(got)) == 0;
        if (got < static_cast<ssize_t>(sizeof first)) break;
    }
    if (a >= 0) close(a);
    if (b >= 0) close(b);
    return same;
}

// Copies the regular file name of the directory from into an unnamed file of the current
// directory, flushed to the disk, then links it in under the same name, which never replaces a
// file: for a home on another file system than the data directory. Returns 0 or the error number.
int copy_in(int from, const char* name, mode_t mode) {
    const int in = openat(from, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) return errno;
    const int out = open(".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0600);
    int error = out < 0 ? errno : 0;
    for (char bytes[4096]; error == 0;) {
        const ssize_t got = read_up_to(in, bytes, sizeof bytes);
        const ssize_t written = got > 0 ? write(out, bytes, static_cast<std::size_t>(got)) : got;
        if (got < 0 || written != got) error = errno != 0 ? errno : EIO;
        if (got < static_cast<ssize_t>(sizeof bytes)) break;
    }
    if (error == 0 && (fchmod(out, mode & 0777) != 0 || fsync(out) != 0)) error = errno;
    if (error == 0) {
        char link[32];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", out);
        if (linkat(AT_FDCWD, link, AT_FDCWD, name, AT_SYMLINK_FOLLOW) != 0) error = errno;
    }
    if (out >= 0) close(out);
    close(in);
    return error;
}

// Flushes the entries of the directory from (AT_FDCWD: the current one) to the disk; 0 or the
// error number.
int sync_directory(int from) {
    const int fd = openat(from, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return error;
}

// Moves the file name of the directory from into the current one, never over a file there: by a
// rename that replaces nothing; where the file system has no such rename, by a second name and the
// first removed; across file systems, by a copy and the first removed. A move cut short by the end
// of its run leaves the file in both places, the same bytes, which the next run's move ends.
int move_file(int from, const char* name) {
    struct stat source {};
    if (fstatat(from, name, &source, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISREG(source.st_mode)) return 0;
    int error = renameat2(from, name, AT_FDCWD, name, RENAME_NOREPLACE) == 0 ? 0 : errno;
    const bool renamed = error == 0;
    if (error == EINVAL) error = linkat(from, name, AT_FDCWD, name, 0) == 0 ? 0 : errno;
    if (error == EXDEV) error = copy_in(from, name, source.st_mode);
    // A file of the name already here is the player's own, newer than an older version's; it is
    // only the same file where a move was cut short.
    if (error == EEXIST) {
        if (!same_bytes(from, name)) return 0;
        error = 0;
    }
    // The new name reaches the disk before the old one goes, so that a crash keeps one of them.
    if (error == 0) error = sync_directory(AT_FDCWD);
    if (error == 0 && !renamed && unlinkat(from, name, 0) != 0) error = errno;
    return error == 0 ? sync_directory(from) : error;
}

}  // namespace

bool data_directory(const char* xdg_data_home, const char* home, DirectoryPath& path) {
    int length = -1;
    if (xdg_data_home != nullptr && xdg_data_home[0] == '/') {
        length = std::snprintf(path, sizeof path, "%s/poker", xdg_data_home);
    } else if (home != nullptr && home[0] == '/') {
        length = std::snprintf(path, sizeof path, "%s/.local/share/poker", home);
    }
    return length > 0 && static_cast<std::size_t>(length) < sizeof path;
}

int enter_directory(const char* path) {
    DirectoryPath made;
    std::snprintf(made, sizeof made, "%s", path);
    // Each parent in turn, then the directory itself; those there already are left as they are.
    for (char* slash = std::strchr(made + 1, '/');; slash = std::strchr(slash + 1, '/')) {
        if (slash != nullptr) *slash = '\0';
        if (mkdir(made, 0700) != 0 && errno != EEXIST) return errno;
        if (slash == nullptr) break;
        *slash = '/';
    }
    return chdir(path) == 0 ? 0 : errno;
}

MoveResult move_player_files(const char* home, const char* player_file, long& holder, int& error) {
    holder = 0;
    error = 0;
    // A home directory that is not there (as for a system user's) holds nothing to move.
    const int from = open(home, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (from < 0 && (errno == ENOENT || errno == ENOTDIR)) return MoveResult::ok;
    if (from < 0) {
        error = errno;
        return MoveResult::failed;
    }
    struct stat source {
    }, here{};
    if (fstat(from, &source) != 0 || stat(".", &here) != 0) error = errno;
    const bool elsewhere = source.st_dev != here.st_dev || source.st_ino != here.st_ino;
    // The run that plays in home holds the player file's lock there, and saves by a rename over
    // the file: moved meanwhile, its credit would stay behind. Taken, the lock keeps such a run
    // from starting while the files move.
    int lock = -1;
    if (error == 0 && elsewhere &&
        lock_player_file_at(home, player_file, holder, lock) == LockResult::in_use) {
        close(from);
        return MoveResult::in_use;
    }
    HistoryFileName history;
    make_history_file_name(player_file, history);
    if (error == 0 && elsewhere) error = move_file(from, player_file);
    if (error == 0 && elsewhere) error = move_file(from, history);
    if (lock >= 0) close(lock);
    close(from);
    return error == 0 ? MoveResult::ok : MoveResult::failed;
}
