// The hand history's file: appended line by line, a torn last line ended before the next, and
// read back line by line; never through a link, into a directory or from a FIFO.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <string>

#include "store/history.hpp"
#include "support/process.hpp"

namespace {

// The lines read, each followed by "|" when it came without its line break.
std::string lines_of(const std::string& path, int& error) {
    std::string lines;
    error = read_history(
        path.c_str(),
        [](void* context, std::string_view text, bool complete) {
            static_cast<std::string*>(context)->append(text).append(complete ? "\n" : "|\n");
        },
        &lines);
    return lines;
}

TEST(HistoryFile, AppendsAfterTheHeaderAndEndsATornLineFirst) {
    TemporaryDirectory dir;
    const std::string path = dir.file("tavlek.bob.hands");
    HistoryFile file;
    ASSERT_EQ(open_history(path.c_str(), "# head\n", file), 0);
    EXPECT_EQ(append_history(file, "one\n"), 0);
    close(file.fd);
    // A run killed in the middle of a write left half a line.
    write_file(path, read_file(path) + "tw");
    HistoryFile again;
    ASSERT_EQ(open_history(path.c_str(), "# head\n", again), 0);
    EXPECT_EQ(append_history(again, "two\n"), 0);
    close(again.fd);
    EXPECT_EQ(read_file(path), "# head\none\ntw\ntwo\n");

    write_file(path, read_file(path) + "cut" + std::string(history_read_capacity, 'x') + "\nend");
    int error = -1;
    EXPECT_EQ(lines_of(path, error), "# head\none\ntw\ntwo\ncut" +
                                         std::string(history_read_capacity - 3, 'x') + "|\nend|\n");
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(lines_of(dir.file("nobody.hands"), error).empty());
    EXPECT_EQ(error, 0) << "a missing history is an empty one";
}

TEST(HistoryFile, OnlyARegularFileIsOpenedAndNothingWaits) {
    struct Case {
        const char* what;
        int (*make)(const char* path);
        int error;
    };
    const Case cases[] = {
        {"a directory", [](const char* path) { return mkdir(path, 0755); }, EISDIR},
        {"a FIFO", [](const char* path) { return mkfifo(path, 0666); }, EINVAL},
        {"a symbolic link", [](const char* path) { return symlink("elsewhere", path); }, ELOOP},
    };
    for (const Case& c : cases) {
        TemporaryDirectory dir;
        const std::string path = dir.file("tavlek.bob.hands");
        ASSERT_EQ(c.make(path.c_str()), 0) << c.what;
        HistoryFile file;
        EXPECT_EQ(open_history(path.c_str(), "# head\n", file), c.error) << c.what;
        EXPECT_EQ(file.fd, -1) << c.what;
        EXPECT_FALSE(file_exists(dir.file("elsewhere"))) << c.what;
    }
}

}  // namespace
