#include "store/history.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Writes all of the text, retrying short writes and interrupted calls; 0 or the error number.
int write_text(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Whether the file's last byte ends a line; an empty file has no line to end.
bool ends_a_line(int fd, off_t size) {
    char last = '\n';
    return size == 0 || pread(fd, &last, 1, size - 1) != 1 || last == '\n';
}

// The reader's buffer: a megabyte read at a time keeps a history of a million games to a few
// hundred reads, and static storage keeps the record page off the heap.
char read_buffer[1 << 20];

}  // namespace

void make_history_file_name(const char* player_file, HistoryFileName& name) {
    std::size_t length = std::strlen(player_file);
    if (length >= 3 && std::strcmp(player_file + length - 3, ".sv") == 0) length -= 3;
    std::snprintf(name, sizeof name, "%.*s.hands", static_cast<int>(length), player_file);
}

int open_history(const char* path, std::string_view header, HistoryFile& file) {
    // Read as well as appended to, so that the last byte tells whether the last line was ended.
    const int fd =
        open(path, O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(fd);
        return error;
    }
    if (info.st_size == 0) {
        if (const int error = write_text(fd, header); error != 0) {
            close(fd);
            return error;
        }
    }
    file.fd = fd;
    file.torn_tail = !ends_a_line(fd, info.st_size);
    return 0;
}

int append_history(HistoryFile& file, std::string_view line) {
    if (file.torn_tail) {
        if (const int error = write_text(file.fd, "\n"); error != 0) return error;
        file.torn_tail = false;
    }
    const int error = write_text(file.fd, line);
    // A line cut short leaves the file without its end of line for the next append to give it.
    if (error != 0) file.torn_tail = true;
    return error;
}

int read_history(const char* path, HistoryVisitor visit, void* context) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? 0 : errno;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(fd);
        return error;
    }
    std::size_t held = 0;   // the start of a line not yet ended, at the buffer's start
    bool skipping = false;  // the rest of a line too long to read is being passed over
    int error = 0;
    for (;;) {
        const ssize_t got = read(fd, read_buffer + held, sizeof read_buffer - held);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error = errno;
        if (got <= 0) break;
        const std::size_t end = held + static_cast<std::size_t>(got);
        std::size_t start = 0;
        while (const void* found = std::memchr(read_buffer + start, '\n', end - start)) {
            const std::size_t stop =
                static_cast<std::size_t>(static_cast<const char*>(found) - read_buffer);
            const std::size_t length = stop - start;
            if (!skipping) {
                const bool fits = length <= history_read_capacity;
                visit(context, {read_buffer + start, fits ? length : history_read_capacity}, fits);
            }
            skipping = false;
            start = stop + 1;
        }
        held = skipping ? 0 : end - start;
        if (held > history_read_capacity) {
            visit(context, {read_buffer + start, history_read_capacity}, false);
            skipping = true;
            held = 0;
        }
        std::memmove(read_buffer, read_buffer + start, held);
    }
    if (held > 0 && error == 0) visit(context, {read_buffer, held}, false);
    close(fd);
    return error;
}
