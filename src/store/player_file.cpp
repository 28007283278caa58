#include "store/player_file.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "rules/state.hpp"

namespace {

// The pattern's own characters leave the rest of the capacity, less the end, to the name.
constexpr char name_pattern[] = "tavlek.%s.sv";
constexpr std::size_t max_name_length = player_file_capacity - 1 - (sizeof "tavlek..sv" - 1);

// Writes all of the bytes, retrying short writes and interrupted calls.
bool write_all(int fd, const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = write(fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads up to count bytes, retrying short reads and interrupted calls; returns the number read,
// or -1 on an error.
ssize_t read_all(int fd, std::uint8_t* bytes, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const ssize_t got = read(fd, bytes + total, count - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(total);
}

// The name of a temporary file beside the player file: the player file's name, the run's process
// id and a number, as "tavlek.NAME.sv.tmpPID.N". A run that dies before its rename leaves this name
// alone behind, and so this name alone is cleared at start-up (remove_stale_temporaries).
using TemporaryName = char[player_file_capacity + 32];
void temporary_name(const char* player_file, unsigned attempt, TemporaryName& temporary) {
    std::snprintf(temporary, sizeof temporary, "%s.tmp%ld.%u", player_file,
                  static_cast<long>(getpid()), attempt);
}

// Creates a new, empty temporary file beside the player file. Returns its descriptor, or -1.
int create_temporary(const char* player_file, TemporaryName& temporary) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary_name(player_file, attempt, temporary);
        const int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// What open says of O_TMPFILE where the file system has no unnamed files (EOPNOTSUPP), or where
// the kernel is older than they are (EISDIR, EINVAL).
bool unnamed_unsupported(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// An unnamed file that cannot be given a name: /proc is missing and the run may not link a file by
// its descriptor. The save then starts again with a named temporary file.
constexpr int cannot_name = -1;

// Gives the complete unnamed file the first free temporary name beside the player file, through
// its link in /proc or, without /proc, the descriptor itself (which needs the privilege to find
// files by handle). A link never replaces a name, so a planted file is never taken over. Returns
// 0, cannot_name, or the error number that refused the name.
int name_temporary(int fd, const char* player_file, TemporaryName& temporary) {
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary_name(player_file, attempt, temporary);
        if (linkat(AT_FDCWD, link, AT_FDCWD, temporary, AT_SYMLINK_FOLLOW) == 0) return 0;
        if (errno == ENOENT) {
            if (linkat(fd, "", AT_FDCWD, temporary, AT_EMPTY_PATH) == 0) return 0;
            if (errno == ENOENT || errno == EPERM) return cannot_name;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// The replacement takes the old file's owner, group and permission bits, so a save never changes
// who may read the credit. Only the owner may be refused (a file of another user in a shared
// directory): then the group alone is tried, and what is refused stays ours.
bool copy_permissions(int fd, const char* player_file) {
    struct stat old {};
    if (lstat(player_file, &old) != 0 || !S_ISREG(old.st_mode)) return true;
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int ignored = fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    return fchmod(fd, old.st_mode & 0777) == 0;
}

// Writes the credit and flushes it to the disk; returns 0 if both succeeded, else the error number
// of the step that failed.
int write_and_sync(int fd, std::int32_t credit) {
    const std::array<std::uint8_t, 4> bytes = encode_credit(credit);
    return write_all(fd, bytes.data(), bytes.size()) && fsync(fd) == 0 ? 0 : errno;
}

// Closes the descriptor, which a failed close has closed all the same; a close that fails reports
// a write lost on its way to the disk, unless an earlier step already failed.
int close_after(int fd, int error) {
    if (close(fd) != 0 && error == 0) return errno;
    return error;
}

// A save that failed only for want of a new file may still write the old one in place: the
// directory takes no new file (EACCES), or the file belongs to another user in a sticky shared
// directory and may not be replaced (EPERM); or the file system has no block or quota left for a
// new file (ENOSPC, EDQUOT), where four bytes over an existing one need none.
bool in_place_may_help(int error) {
    return error == EACCES || error == EPERM || error == ENOSPC || error == EDQUOT;
}

// Writes the four bytes over the old ones. The file is not truncated, so it never holds less than
// a whole credit. Only a regular file is written, never through a symbolic link nor into a device;
// where there is no such file the save fails as the step before it did.
StoreResult overwrite_in_place(const char* path, std::int32_t credit, StoreResult unopenable) {
    const int fd = open(path, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return unopenable;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return unopenable;
    }
    return close_after(fd, write_and_sync(fd, credit)) == 0 ? StoreResult::ok
                                                            : StoreResult::save_error;
}

// The rename is durable only once the directory itself reaches the disk; a failure here no longer
// risks the old credit, so it is ignored.
void sync_directory() {
    const int fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// The lock of a player file is a name in Linux's abstract socket namespace: no file is made for
// it (so it works in a directory that takes no new file, and litters none), and the kernel frees
// the name with the last socket bound to it, when the process ends in any way. The name is the
// directory's device and inode and the file's name, so one player file has one lock however its
// directory is reached, and two players in one directory have two. With Linux's device numbers
// (12-bit major, 20-bit minor) the longest player file name fits.
bool lock_address(const char* directory_path, const char* path, sockaddr_un& address,
                  socklen_t& length) {
    struct stat directory {};
    if (stat(directory_path, &directory) != 0) return false;
    address = {};
    address.sun_family = AF_UNIX;
    // sun_path[0] stays 0, which makes the name abstract; it is not ended by a 0 but by length.
    const int written = std::snprintf(
        address.sun_path + 1, sizeof address.sun_path - 1, "%x:%x:%llx/%s", major(directory.st_dev),
        minor(directory.st_dev), static_cast<unsigned long long>(directory.st_ino), path);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof address.sun_path - 1) {
        return false;
    }
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + written);
    return true;
}

// The process id of the lock's holder, which listens on it: a connection tells the credentials
// the holder had when it began to listen. 0 when it cannot be told, -1 when nobody listens (the
// holder has just ended, or has bound the name and not yet begun to listen).
long holder_of(const sockaddr_un& address, socklen_t length) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    long holder = 0;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        ucred credentials{};
        socklen_t size = sizeof credentials;
        if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0) {
            holder = credentials.pid;
        }
    } else if (errno == ECONNREFUSED) {
        holder = -1;
    }
    close(fd);
    return holder;
}

}  // namespace

LockResult lock_player_file_at(const char* directory, const char* path, long& holder, int& lock) {
    holder = 0;
    lock = -1;
    sockaddr_un address;
    socklen_t length = 0;
    if (!lock_address(directory, path, address, length)) return LockResult::ok;
    // A name found taken with nobody listening may have just been freed: one more try tells.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return LockResult::ok;
        if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
            // The socket is the lock, held as long as it is open. Listening lets a refused run
            // learn who holds it; no connection is ever taken.
            listen(fd, SOMAXCONN);
            lock = fd;
            return LockResult::ok;
        }
        const int error = errno;
        close(fd);
        if (error != EADDRINUSE) return LockResult::ok;
        holder = holder_of(address, length);
        if (holder >= 0) return LockResult::in_use;
    }
    holder = 0;
    return LockResult::in_use;
}

LockResult lock_player_file(const char* path, long& holder) {
    // The socket stays open for the rest of the run.
    int lock = -1;
    return lock_player_file_at(".", path, holder, lock);
}

int new_file_error(const char* path) {
    struct stat info {};
    if (lstat(path, &info) == 0 || errno != ENOENT) return 0;
    // An unnamed file asks the file system itself, as the save's own new file will: permissions,
    // a read-only mount, no inode left. It vanishes with its descriptor.
    const int fd = open(".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0600);
    if (fd >= 0) {
        close(fd);
        return 0;
    }
    if (!unnamed_unsupported(errno)) return errno;
    // A file system without unnamed files is asked for the permission alone.
    return faccessat(AT_FDCWD, ".", W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

void remove_stale_temporaries(const char* path) {
    DIR* directory = opendir(".");
    if (directory == nullptr) return;
    const std::size_t length = std::strlen(path);
    while (const dirent* entry = readdir(directory)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, path, length) != 0 || std::strncmp(name + length, ".tmp", 4) != 0) {
            continue;
        }
        // The process id and the attempt, each in digits, with a dot between them and nothing
        // after; the id fits, as the save wrote it from a pid_t.
        const char* at = name + length + 4;
        long pid = 0;
        for (; *at >= '0' && *at <= '9' && pid < 1L << 40; ++at)
            pid = pid * 10 + (*at - '0');
        if (at == name + length + 4 || *at != '.' || at[1] == '\0') continue;
        if (std::strspn(at + 1, "0123456789") != std::strlen(at + 1)) continue;
        // A process of that id that is not this run may be saving now (one that holds no lock,
        // where the lock could not be set up); this run has not saved yet.
        if (pid != getpid() && (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)) continue;
        // What a save leaves is a regular file of at most the four bytes of a credit.
        struct stat info {};
        if (lstat(name, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= 4) unlink(name);
    }
    closedir(directory);
}

NameCheck make_player_file_name(const char* player_name, PlayerFileName& name) {
    if (std::strlen(player_name) > max_name_length) return NameCheck::too_long;
    if (std::strchr(player_name, '/') != nullptr) return NameCheck::contains_slash;
    std::snprintf(name, sizeof name, name_pattern, player_name);
    return NameCheck::ok;
}

const char* store_message_format(StoreResult result) {
    switch (result) {
        case StoreResult::ok:
            return nullptr;
        case StoreResult::open_error:
            return "file < %s > open error \n";
        case StoreResult::read_error:
            return "file < %s > read error \n";
        case StoreResult::save_error:
            return "file < %s > save error \n";
    }
    return nullptr;
}

std::array<std::uint8_t, 4> encode_credit(std::int32_t credit) {
    const auto bits = static_cast<std::uint32_t>(credit);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

std::int32_t decode_credit(const std::array<std::uint8_t, 4>& bytes) {
    const std::uint32_t bits = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                               std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    return static_cast<std::int32_t>(bits);
}

StoreResult load_credit(const char* path, std::int32_t& credit) {
    // A FIFO or a device in the file's place must not hold up the start (opening a FIFO waits for
    // a writer), and holds no credit: only a regular file is read, here or through a link.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? StoreResult::ok : StoreResult::open_error;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return StoreResult::open_error;
    }
    std::array<std::uint8_t, 4> bytes{};
    const ssize_t got = read_all(fd, bytes.data(), bytes.size());
    close(fd);
    if (got != static_cast<ssize_t>(bytes.size())) return StoreResult::read_error;
    credit = decode_credit(bytes);
    if (credit == 0) credit = starting_credit;
    return StoreResult::ok;
}

namespace {

// The new credit goes to a temporary file that is renamed over the player file only once it is
// complete and on disk, so a failure at any step leaves the old file exactly as it was. The rename
// also replaces a symbolic link rather than writing through it. Only where the temporary file may
// not be created, written or renamed for want of a new file is the player file written in place.
// The temporary file is unnamed while it is written, where the file system allows, so that a run
// killed before its rename leaves no file behind; try_unnamed false makes it a named one at once.
StoreResult save_through(const char* path, std::int32_t credit, bool try_unnamed) {
    TemporaryName temporary;
    int fd = -1;
    bool named = !try_unnamed;
    if (try_unnamed) {
        fd = open(".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
        named = fd < 0 && unnamed_unsupported(errno);
    }
    if (named) fd = create_temporary(path, temporary);
    if (fd < 0) {
        return in_place_may_help(errno) ? overwrite_in_place(path, credit, StoreResult::open_error)
                                        : StoreResult::open_error;
    }
    const bool permitted = copy_permissions(fd, path);
    int error = write_and_sync(fd, credit);
    if (error == 0 && permitted && !named) {
        error = name_temporary(fd, path, temporary);
        if (error == cannot_name) {
            close(fd);
            return save_through(path, credit, false);
        }
        named = error == 0;
    }
    error = close_after(fd, error);
    if (error == 0 && permitted) error = rename(temporary, path) == 0 ? 0 : errno;
    if (error == 0 && permitted) {
        sync_directory();
        return StoreResult::ok;
    }
    if (named) unlink(temporary);
    return permitted && in_place_may_help(error)
               ? overwrite_in_place(path, credit, StoreResult::save_error)
               : StoreResult::save_error;
}

}  // namespace

StoreResult save_credit(const char* path, std::int32_t credit) {
    return save_through(path, credit, true);
}
