#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <csignal>
#include <cstring>
#include <string>

#include "rules/state.hpp"
#include "store/data_home.hpp"
#include "store/player_file.hpp"
#include "support/process.hpp"

namespace {

using namespace std::string_literals;

// Runs each test inside its own empty directory, since the player file lives in the working one.
class PlayerFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.path.c_str()), 0);
        ASSERT_EQ(make_player_file_name("bob", file), NameCheck::ok);
    }
    void TearDown() override { EXPECT_EQ(chdir(previous), 0); }

    std::vector<std::string> leftovers() {
        std::vector<std::string> names = list_directory(".");
        std::erase(names, "tavlek.bob.sv");
        return names;
    }

    TemporaryDirectory dir;
    char previous[4096] = {};
    PlayerFileName file;
    std::int32_t credit = 50;
};

std::size_t open_descriptors() {
    return list_directory("/proc/self/fd").size();
}

// Root passes permission bits by CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH; while this lives they
// are out of the effective set, so that the bits hold for root too.
struct PermissionBitsHold {
    PermissionBitsHold() { set_override(false); }
    ~PermissionBitsHold() { set_override(true); }
    static void set_override(bool on) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) != 0) return;
        for (const unsigned bit : {1U << CAP_DAC_OVERRIDE, 1U << CAP_DAC_READ_SEARCH})
            data[0].effective =
                on ? data[0].effective | (data[0].permitted & bit) : data[0].effective & ~bit;
        syscall(SYS_capset, &header, data);
    }
};

TEST(PlayerFileName, FollowsThePattern) {
    struct Case {
        std::string name;
        NameCheck check;
        std::string file;  // "" for a refused name
    };
    const Case cases[] = {
        {"bob", NameCheck::ok, "tavlek.bob.sv"},
        {"", NameCheck::ok, "tavlek..sv"},
        {"a b", NameCheck::ok, "tavlek.a b.sv"},
        // The longest name, in a name of 79 characters.
        {std::string(69, 'x'), NameCheck::ok, "tavlek." + std::string(69, 'x') + ".sv"},
        {std::string(70, 'x'), NameCheck::too_long, ""},
        {"../etc/passwd", NameCheck::contains_slash, ""},
        {"/", NameCheck::contains_slash, ""},
    };
    for (const Case& c : cases) {
        PlayerFileName file;
        EXPECT_EQ(make_player_file_name(c.name.c_str(), file), c.check) << c.name;
        if (!c.file.empty()) {
            EXPECT_EQ(file, c.file);
        }
    }
}

TEST(CreditBytes, AreLittleEndianTwosComplement) {
    struct Case {
        std::int32_t credit;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {
        {73, {0x49, 0, 0, 0}},
        {0x01020304, {4, 3, 2, 1}},
        {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
        {2147483647, {0xFF, 0xFF, 0xFF, 0x7F}},
        {-2147483647 - 1, {0, 0, 0, 0x80}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encode_credit(c.credit), c.bytes) << c.credit;
        EXPECT_EQ(decode_credit(c.bytes), c.credit) << c.credit;
    }
}

TEST_F(PlayerFile, LoadsWhatTheFileHolds) {
    struct Case {
        std::string bytes;
        StoreResult result;
        std::int32_t credit;
    };
    const Case cases[] = {
        {"\x49\0\0\0"s, StoreResult::ok, 73},
        {"\0\0\0\0"s, StoreResult::ok, starting_credit},  // a stored 0 is a fresh start
        {"\xff\xff\xff\xff"s, StoreResult::ok, -1},
        {"\xff\xff\xff\x7f"s, StoreResult::ok, 2147483647},
        {"\xa0\x86\x01\0"s, StoreResult::ok, 100000},
        {"\x05\0\0\0 and more"s, StoreResult::ok, 5},  // only the first four bytes count
        {""s, StoreResult::read_error, 50},
        {"\x49"s, StoreResult::read_error, 50},
        {"\x49\0\0"s, StoreResult::read_error, 50},
    };
    for (const Case& c : cases) {
        write_file("tavlek.bob.sv", c.bytes);
        credit = 50;
        EXPECT_EQ(load_credit(file, credit), c.result) << c.bytes.size() << " bytes";
        if (c.result == StoreResult::ok) {
            EXPECT_EQ(credit, c.credit);
        }
    }
}

TEST_F(PlayerFile, MissingFileKeepsTheDefault) {
    EXPECT_EQ(load_credit(file, credit), StoreResult::ok);
    EXPECT_EQ(credit, starting_credit);
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(PlayerFile, UnopenableFileIsAnOpenError) {
    ASSERT_EQ(symlink("tavlek.bob.sv", "tavlek.bob.sv"), 0);  // a loop: ELOOP, even for root
    EXPECT_EQ(load_credit(file, credit), StoreResult::open_error);
}

TEST_F(PlayerFile, SaveWritesExactlyFourBytes) {
    credit = 73;
    EXPECT_EQ(save_credit(file, credit), StoreResult::ok);
    EXPECT_EQ(read_file("tavlek.bob.sv"), "\x49\0\0\0"s);
    credit = -2;
    EXPECT_EQ(save_credit(file, credit), StoreResult::ok);
    EXPECT_EQ(read_file("tavlek.bob.sv"), "\xfe\xff\xff\xff"s);
    EXPECT_TRUE(leftovers().empty()) << "no temporary file stays behind";
}

TEST_F(PlayerFile, SaveHonoursTheFileCreationMaskAndKeepsAnOldFilesPermissions) {
    const mode_t previous_mask = umask(027);
    credit = 9;
    EXPECT_EQ(save_credit(file, credit), StoreResult::ok);
    struct stat info;
    ASSERT_EQ(stat("tavlek.bob.sv", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640U);
    // An old file keeps its bits, and its owner where the saver may give a file away.
    const bool root = geteuid() == 0;
    ASSERT_EQ(chmod("tavlek.bob.sv", 0604), 0);
    ASSERT_TRUE(!root || chown("tavlek.bob.sv", 1234, 5678) == 0);
    EXPECT_EQ(save_credit(file, credit), StoreResult::ok);
    umask(previous_mask);
    ASSERT_EQ(stat("tavlek.bob.sv", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0604U);
    EXPECT_TRUE(!root || (info.st_uid == 1234 && info.st_gid == 5678));
}

TEST_F(PlayerFile, SaveReplacesASymbolicLinkInsteadOfWritingThroughIt) {
    write_file("target", "keep");
    ASSERT_EQ(symlink("target", "tavlek.bob.sv"), 0);
    // A link planted at the first temporary name is neither written through nor taken over.
    const std::string planted = "tavlek.bob.sv.tmp" + std::to_string(getpid()) + ".0";
    ASSERT_EQ(symlink("target", planted.c_str()), 0);
    credit = 7;
    EXPECT_EQ(save_credit(file, credit), StoreResult::ok);
    EXPECT_EQ(read_file("target"), "keep");
    struct stat info;
    ASSERT_EQ(lstat("tavlek.bob.sv", &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0111, 0U) << "the new file does not take the link's 0777";
    EXPECT_EQ(read_file("tavlek.bob.sv"), "\x07\0\0\0"s);
    ASSERT_EQ(lstat(planted.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST_F(PlayerFile, FailedRenameLeavesTheOldFileAndNoTemporary) {
    // A directory in the player file's place cannot be replaced by a file.
    ASSERT_EQ(mkdir("tavlek.bob.sv", 0755), 0);
    write_file("tavlek.bob.sv/inside", "old");
    credit = 7;
    EXPECT_EQ(save_credit(file, credit), StoreResult::save_error);
    EXPECT_EQ(read_file("tavlek.bob.sv/inside"), "old");
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(PlayerFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
    write_file("tavlek.bob.sv", "\x49\0\0\0"s);
    // A file size limit of 2 bytes makes the write stop short and then fail, even for root.
    struct rlimit previous_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous_limit), 0);
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = previous_limit;
    tiny.rlim_cur = 2;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    credit = 1000;
    const std::size_t descriptors = open_descriptors();
    const StoreResult result = save_credit(file, credit);
    setrlimit(RLIMIT_FSIZE, &previous_limit);
    std::signal(SIGXFSZ, previous_handler);
    EXPECT_EQ(result, StoreResult::save_error);
    EXPECT_EQ(open_descriptors(), descriptors) << "the temporary file was closed";
    EXPECT_EQ(read_file("tavlek.bob.sv"), "\x49\0\0\0"s);
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(PlayerFile, UncreatableTemporaryIsAnOpenError) {
    // A working directory that has been removed takes no new files, even for root.
    TemporaryDirectory gone;
    ASSERT_EQ(chdir(gone.path.c_str()), 0);
    ASSERT_EQ(rmdir(gone.path.c_str()), 0);
    credit = 7;
    EXPECT_EQ(save_credit(file, credit), StoreResult::open_error);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
}

TEST_F(PlayerFile, ReadOnlyDirectorySavesAWritableFileInPlaceAndNoOtherWay) {
    write_file("tavlek.bob.sv", "\x49\0\0\0tail"s);
    ASSERT_EQ(chmod(".", 0555), 0);
    const PermissionBitsHold hold;
    if (mkdir("probe", 0755) == 0) GTEST_SKIP() << "permission bits do not hold here";
    credit = 7;
    EXPECT_EQ(save_credit(file, credit), StoreResult::ok);
    EXPECT_EQ(read_file("tavlek.bob.sv"), "\x07\0\0\0tail"s) << "overwritten, not truncated";
    ASSERT_EQ(chmod("tavlek.bob.sv", 0444), 0);
    credit = 8;
    EXPECT_EQ(save_credit(file, credit), StoreResult::open_error);
    EXPECT_EQ(read_file("tavlek.bob.sv"), "\x07\0\0\0tail"s);
    EXPECT_TRUE(leftovers().empty());
    // Nor through a symbolic link to a writable file, nor into a FIFO, even one with a reader.
    ASSERT_EQ(chmod(".", 0755), 0);
    ASSERT_TRUE(symlink("tavlek.bob.sv", "link") == 0 && mkfifo("fifo", 0666) == 0);
    ASSERT_TRUE(chmod("tavlek.bob.sv", 0644) == 0 && chmod(".", 0555) == 0);
    PlayerFileName link = "link", fifo = "fifo";
    EXPECT_EQ(save_credit(link, credit), StoreResult::open_error);
    EXPECT_EQ(read_file("tavlek.bob.sv"), "\x07\0\0\0tail"s);
    const int reader = open("fifo", O_RDONLY | O_NONBLOCK);
    EXPECT_EQ(save_credit(fifo, credit), StoreResult::open_error);
    close(reader);
    // Without a reader it is refused at once: a save waiting for one would be cut short by the
    // alarm (no SA_RESTART), and the alarm seen.
    static volatile sig_atomic_t rang = 0;
    struct sigaction ring {};
    ring.sa_handler = [](int) { rang = 1; };
    sigaction(SIGALRM, &ring, nullptr);
    alarm(10);
    EXPECT_EQ(save_credit(fifo, credit), StoreResult::open_error);
    alarm(0);
    EXPECT_EQ(rang, 0);
}

TEST_F(PlayerFile, StartUpRemovesOnlyWhatSavesOfDeadRunsLeft) {
    // A process id that no process has, this run's own (it has not saved yet), and its parent's.
    const std::string dead = "tavlek.bob.sv.tmp2147483646", own = std::to_string(getpid());
    const std::string live = "tavlek.bob.sv.tmp" + std::to_string(getppid());
    struct Case {
        std::string name;
        std::string bytes;
        bool removed;
    };
    const Case cases[] = {
        {dead + ".0", "\x07\0\0\0"s, true},
        {dead + ".42", "", true},
        {"tavlek.bob.sv.tmp" + own + ".0", "\x07\0"s, true},
        {live + ".0", "\x07\0\0\0"s, false},
        {dead + ".1", "more than a credit", false},
        {dead + ".0x", "", false},
        {dead + ".", "", false},
        {dead, "", false},
        {"tavlek.bob.sv.tmp.0", "", false},
        {"tavlek.bobby.sv.tmp2147483646.0", "", false},
    };
    for (const Case& c : cases)
        write_file(c.name, c.bytes);
    ASSERT_EQ(symlink("tavlek.bob.sv", (dead + ".2").c_str()), 0);
    remove_stale_temporaries(file);
    for (const Case& c : cases)
        EXPECT_EQ(file_exists(c.name), !c.removed) << c.name;
    EXPECT_TRUE(file_exists(dead + ".2")) << "a link is no save's";
}

TEST(DataDirectory, FollowsTheXdgBaseDirectoryRules) {
    struct Case {
        const char* xdg_data_home;
        const char* home;
        const char* path;  // nullptr: none
    };
    const Case cases[] = {
        {"/data", "/home/bob", "/data/poker"},
        {nullptr, "/home/bob", "/home/bob/.local/share/poker"},
        {"", "/home/bob", "/home/bob/.local/share/poker"},
        {"data", "/home/bob", "/home/bob/.local/share/poker"},  // not absolute: ignored
        {nullptr, "home", nullptr},
        {nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        DirectoryPath path;
        EXPECT_EQ(data_directory(c.xdg_data_home, c.home, path), c.path != nullptr) << c.home;
        if (c.path != nullptr) {
            EXPECT_STREQ(path, c.path);
        }
    }
}

TEST_F(PlayerFile, MovesAFileFromHomeOnlyWhereNothingIsReplacedOrLost) {
    struct Case {
        std::string home, here;  // the player file in each place before, "" for none
        bool in_use;             // a run plays in home
        std::string home_after, here_after;
    };
    const std::string a = "\x49\0\0\0"s, b = "\x05\0\0\0"s;
    const Case cases[] = {
        {a, "", false, "", a},
        {a, b, false, a, b},
        {a, a, false, "", a},  // a move cut short after the copy
        {a, "", true, a, ""},
    };
    for (const Case& c : cases) {
        TemporaryDirectory home;
        std::remove(file);
        write_file(home.file(file), c.home);
        if (!c.here.empty()) write_file(file, c.here);
        long holder = 0;
        int lock = -1, error = 0;
        if (c.in_use) lock_player_file_at(home.path.c_str(), file, holder, lock);
        EXPECT_EQ(move_player_files(home.path.c_str(), file, holder, error),
                  c.in_use ? MoveResult::in_use : MoveResult::ok);
        EXPECT_EQ(holder, c.in_use ? getpid() : 0);
        close(lock);
        EXPECT_EQ(file_exists(home.file(file)), !c.home_after.empty());
        EXPECT_EQ(read_file(home.file(file)), c.home_after);
        EXPECT_EQ(read_file(file), c.here_after);
    }
    long holder = 0;
    int error = 0;
    EXPECT_EQ(move_player_files("/nonexistent", file, holder, error), MoveResult::ok);
    // The hand history comes along, even without a player file.
    TemporaryDirectory home;
    write_file(home.file("tavlek.bob.hands"), "a game\n");
    EXPECT_EQ(move_player_files(home.path.c_str(), file, holder, error), MoveResult::ok);
    EXPECT_EQ(read_file("tavlek.bob.hands"), "a game\n");
}

}  // namespace
