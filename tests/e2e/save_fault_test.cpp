// Saving the player file when something goes wrong, on the real program: a failure injected at each
// step of the save, a directory or file system that takes no writes, a full one, and damaged
// files. Whatever fails, the old file stays exactly as it was and no temporary file is left.
#include <gtest/gtest.h>

#include <grp.h>
#include <linux/capability.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/harness.hpp"

namespace {

using namespace std::string_literals;

std::string failure(const char* message) {
    return banner() + "file < tavlek.bob.sv > " + message + " \n";
}

// How the save is asked for: End before a bet, or a request to end the run.
enum class Trigger { end, close, terminate };

void trigger_save(PokerGame& game, Trigger trigger) {
    if (trigger == Trigger::end) return press(game, end_button);
    request_end(game, trigger == Trigger::close ? 0 : SIGTERM);
}

// The banner of the program that the game runs (a copy, for a test that changes user).
std::string banner_of(const PokerGame& game) {
    return game.program() + banner().substr(std::strlen(POKER_BINARY));
}

// Waits for the first game and asks for a save of the credit shown. The banner's lines went out
// as they were printed: the output file has them while the game runs.
void save_at_start(PokerGame& game, int credit, Trigger trigger) {
    ASSERT_NO_FATAL_FAILURE(bet(game, 0, credit));
    EXPECT_EQ(game.output(), banner_of(game));
    trigger_save(game, trigger);
}

// The directory holds the player file alone, or nothing when there is none.
void expect_no_temporary(const TemporaryDirectory& dir) {
    for (const std::string& name : list_directory(dir.path)) {
        EXPECT_EQ(name, "tavlek.bob.sv") << "left behind";
    }
}

// The run ends as a save that failed with this message does, with status 1, or for none as one
// that went through; the player file holds these bytes, and no temporary file is left.
void expect_end(PokerGame& game, const TemporaryDirectory& dir, const char* message,
                const std::string& file) {
    EXPECT_EQ(game.finish(), message != nullptr ? 1 : 0);
    EXPECT_EQ(game.output(), message != nullptr ? failure(message) : banner_of(game));
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), file);
    expect_no_temporary(dir);
}

// One step of the save made to fail through the preloaded fault library (a temporary file that
// may not be created, written or renamed for want of a new file makes the save write the player
// file in place). The file holds 0 before the run, which starts the player with 50, so a save
// would change it.
struct Fault {
    const char* name;
    const char* step;  // POKER_FAULT
    int error;
    Trigger trigger;
    const char* message;         // nullptr: the save succeeds all the same
    const char* made = nullptr;  // the steps made to fail, where not just POKER_FAULT's
    bool new_player = false;     // no player file before the run
    gid_t group = 0;             // a group that the old file has and the new one keeps (as root)
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

class SaveFault : public ::testing::TestWithParam<Fault> {};

TEST_P(SaveFault, LeavesTheOldFileExactlyAsItWas) {
    const Fault& fault = GetParam();
    TemporaryDirectory dir;
    TemporaryDirectory scratch;
    const std::string file = dir.file("tavlek.bob.sv");
    const std::string before = fault.new_player ? "" : stored(0);
    if (!fault.new_player) write_file(file, before);
    if (fault.group != 0 && (geteuid() != 0 || chown(file.c_str(), 0, fault.group) != 0)) {
        GTEST_SKIP() << "only root can give a file to another group";
    }
    GameOptions options;
    options.also_preload = POKER_FAULT_LIBC;
    options.environment = {"POKER_FAULT="s + fault.step,
                           "POKER_FAULT_ERRNO=" + std::to_string(fault.error),
                           "POKER_FAULT_LOG=" + scratch.file("faults")};
    PokerGame game(dir, options);
    save_at_start(game, 50, fault.trigger);
    expect_end(game, dir, fault.message,
               fault.message != nullptr ? before : stored(starting_credit));
    std::string steps = (fault.made != nullptr ? fault.made : fault.step) + "\n"s;
    std::replace(steps.begin(), steps.end(), ',', '\n');
    EXPECT_EQ(read_file(scratch.file("faults")), steps) << "the faults were injected";
    struct stat saved {};
    EXPECT_TRUE(fault.group == 0 ||
                (stat(file.c_str(), &saved) == 0 && saved.st_gid == fault.group));
}

INSTANTIATE_TEST_SUITE_P(
    Store, SaveFault,
    ::testing::Values(
        Fault{"CreateOnAFullDiskSavesInPlace", "create", ENOSPC, Trigger::end, nullptr},
        Fault{"CreateOnAFailingDevice", "create", EIO, Trigger::end, "open error"},
        Fault{"CreateRefusedSavesInPlace", "create", EACCES, Trigger::close, nullptr},
        Fault{"CreateForbiddenSavesInPlace", "create", EPERM, Trigger::end, nullptr},
        Fault{"InPlaceWriteFails", "create,write", EACCES, Trigger::end, "save error"},
        // The write in place fails too, on the same full disk.
        Fault{"WriteOnAFullDisk", "write", ENOSPC, Trigger::end, "save error", "write,write"},
        Fault{"WriteOverQuota", "write", EDQUOT, Trigger::close, "save error", "write,write"},
        Fault{"WriteOnAFailingDevice", "write", EIO, Trigger::terminate, "save error"},
        Fault{"ShortWriteThenFullDisk", "short_write", ENOSPC, Trigger::end, "save error",
              "short_write,short_write"},
        Fault{"ShortWriteIsCompleted", "partial", 0, Trigger::end, nullptr},
        Fault{"InterruptedWriteIsRetried", "interrupt", 0, Trigger::terminate, nullptr},
        Fault{"FsyncOnAFailingDevice", "fsync", EIO, Trigger::end, "save error"},
        Fault{"CloseReportsALostWrite", "close", EIO, Trigger::close, "save error"},
        Fault{"RenameAcrossDevices", "rename", EXDEV, Trigger::end, "save error"},
        Fault{"RenameRefusedSavesInPlace", "rename", EACCES, Trigger::end, nullptr},
        Fault{"RenameOnAFailingDevice", "rename", EIO, Trigger::terminate, "save error"},
        // Permission bits that cannot be kept would let others read the credit; an owner that
        // cannot be given still leaves the group.
        Fault{"PermissionsRefused", "fchmod", EPERM, Trigger::end, "save error"},
        Fault{"OwnerRefusedKeepsTheGroup", "fchown", EPERM, Trigger::end, nullptr, nullptr, false,
              1234},
        Fault{"InterruptedReadIsRetried", "read_interrupt", 0, Trigger::end, nullptr},
        // Neither /proc nor the right to link by descriptor: the named temporary file after all.
        Fault{"UnnamedFileCannotBeNamed", "link", ENOENT, Trigger::end, nullptr, "link,link"},
        // A file system without unnamed files: no warning for a new player, a named temporary.
        Fault{"NoUnnamedFiles", "unnamed", EOPNOTSUPP, Trigger::close, nullptr, "unnamed,unnamed",
              true}),
    [](const auto& info) { return std::string(info.param.name); });

// The same failures made by the kernel itself, through strace's system call injection, for the
// steps that strace can single out: the only rename the program makes, and its first fsync. And a
// save that goes through, seen in the same log: the directory reaches the disk after the rename.
struct InjectedCall {
    const char* name;
    std::vector<std::string> strace_arguments;
    bool saves = false;
};

void PrintTo(const InjectedCall& call, std::ostream* out) {
    *out << call.name;
}

class SyscallFault : public ::testing::TestWithParam<InjectedCall> {};

TEST_P(SyscallFault, LeavesTheOldFileOrTheNewOneOnTheDisk) {
    const std::string strace = find_in_path("strace");
    if (strace.empty()) GTEST_SKIP() << "strace is not installed";
    TemporaryDirectory dir;
    TemporaryDirectory scratch;
    const std::string file = dir.file("tavlek.bob.sv");
    write_file(file, stored(0));
    GameOptions options;
    options.run_under = {strace, "-f", "-qq", "-o", scratch.file("trace")};
    options.run_under.insert(options.run_under.end(), GetParam().strace_arguments.begin(),
                             GetParam().strace_arguments.end());
    // The leak checker of a sanitized build does not work under strace.
    options.environment = {"ASAN_OPTIONS=detect_leaks=0"};
    PokerGame game(dir, options);
    save_at_start(game, 50, Trigger::end);
    const bool saves = GetParam().saves;
    expect_end(game, dir, saves ? nullptr : "save error", stored(saves ? 50 : 0));
    // With -y each descriptor is shown with the path it is open on.
    const std::string trace = read_file(scratch.file("trace"));
    const std::string directory_synced = "<" + std::filesystem::canonical(dir.path).string() + ">)";
    EXPECT_NE(
        saves ? trace.find(directory_synced, trace.find("rename(")) : trace.find("(INJECTED)"),
        std::string::npos)
        << trace;
}

INSTANTIATE_TEST_SUITE_P(
    Store, SyscallFault,
    ::testing::Values(InjectedCall{"Rename",
                                   {"-e", "trace=rename,renameat,renameat2", "-e",
                                    "inject=rename,renameat,renameat2:error=EIO"}},
                      InjectedCall{"Fsync",
                                   {"-e", "trace=fsync", "-e", "inject=fsync:error=EIO:when=1"}},
                      InjectedCall{"DirectoryFlushedAfterTheRename",
                                   {"-y", "-e", "trace=rename,renameat,renameat2,fsync"},
                                   true}),
    [](const auto& info) { return std::string(info.param.name); });

// Root passes permission bits by CAP_DAC_OVERRIDE; without it and CAP_DAC_READ_SEARCH, and out
// of the bounding set so that the program does not get them back, the bits hold for root too.
void drop_permission_override() {
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
        prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
    }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return;
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
        const unsigned bit = 1U << (capability % 32);
        data[capability / 32].effective &= ~bit;
        data[capability / 32].permitted &= ~bit;
        data[capability / 32].inheritable &= ~bit;
    }
    syscall(SYS_capset, &header, data);
}

// Whether a process started as the game is started can create a file in the directory.
bool child_can_create_in(const std::string& directory) {
    const pid_t pid = fork();
    if (pid == 0) {
        drop_permission_override();
        const int fd = open((directory + "/probe").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) unlink((directory + "/probe").c_str());
        _exit(fd >= 0 ? 0 : 1);
    }
    return wait_program(pid) == 0;
}

// Plays a game (bet 1, deal, deal) so that the credit to save is 49, then presses End.
void play_one_game_and_end(PokerGame& game, int credit) {
    ASSERT_NO_FATAL_FAILURE(bet_and_deal(game, 1, credit));
    press(game, deal_button);
    ASSERT_NO_FATAL_FAILURE(bet(game, 0, credit - 1));
    press(game, end_button);
}

const char* const losing_cards = "2s 5h 9c Jd Kh 3s 7h 8c Qd 4h";

TEST(UnwritableDirectory, APlayerWithoutAFileIsToldAtStartAndAtEnd) {
    TemporaryDirectory dir;
    ASSERT_EQ(chmod(dir.path.c_str(), 0555), 0);
    if (child_can_create_in(dir.path)) {
        GTEST_SKIP() << "processes started here write into directories without write permission";
    }
    GameOptions options = dealing(losing_cards);
    options.before_exec = drop_permission_override;
    PokerGame game(dir, options);
    // The lock takes no file: a second run for the player is refused here too.
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(0, 0, 50); }));
    ProcessOptions second;
    second.directory = dir.path;
    second.unset = {"DISPLAY"};
    second.before_exec = drop_permission_override;
    EXPECT_EQ(run_program({POKER_BINARY, "bob"}, second).out,
              banner() + "player file tavlek.bob.sv is in use by process " +
                  std::to_string(game.pid()) + "\n");
    play_one_game_and_end(game, 50);
    EXPECT_EQ(game.finish(), 1);
    EXPECT_EQ(game.output(),
              banner() + "player file tavlek.bob.sv cannot be created here: Permission denied\n" +
                  "history file tavlek.bob.hands cannot be written: Permission denied\n" +
                  "file < tavlek.bob.sv > open error \n");
    EXPECT_TRUE(list_directory(dir.path).empty());
    // A directory that may not even be searched does not tell whether the file is there: no
    // warning, and the file cannot be read.
    second.before_exec = [] {
        chmod(".", 0666);
        drop_permission_override();
    };
    EXPECT_EQ(run_program({POKER_BINARY, "bob"}, second).out, failure("open error"));
}

TEST(UnwritableDirectory, AWritablePlayerFileIsSavedInPlaceOnEveryWayOfSaving) {
    // A player file that may not be written keeps its old credit.
    for (const auto& [trigger, mode] :
         {std::pair{Trigger::end, 0644}, {Trigger::close, 0600}, {Trigger::terminate, 0444}}) {
        TemporaryDirectory dir;
        write_file(dir.file("tavlek.bob.sv"), stored(0));
        ASSERT_EQ(chmod(dir.file("tavlek.bob.sv").c_str(), static_cast<mode_t>(mode)), 0);
        ASSERT_EQ(chmod(dir.path.c_str(), 0555), 0);
        if (child_can_create_in(dir.path)) {
            GTEST_SKIP() << "processes started here write into directories without write "
                            "permission";
        }
        GameOptions options;
        options.before_exec = drop_permission_override;
        PokerGame game(dir, options);
        save_at_start(game, 50, trigger);
        const bool writable = (mode & 0200) != 0;
        expect_end(game, dir, writable ? nullptr : "open error", stored(writable ? 50 : 0));
    }
}

TEST(StickyDirectory, AnotherUsersWritablePlayerFileIsSavedInPlace) {
    // A shared games directory (mode 1777) where the player may write the file of another user
    // but, for the sticky bit, not replace it.
    if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    TemporaryDirectory dir;
    const std::string file = dir.file("tavlek.bob.sv");
    write_file(file, stored(0));
    ASSERT_EQ(chown(file.c_str(), 1234, 1234), 0);
    ASSERT_EQ(chmod(file.c_str(), 0666), 0);
    ASSERT_EQ(chmod(dir.path.c_str(), 01777), 0);
    GameOptions options;
    options.run_copies = true;  // the build may lie where the other user cannot reach it
    options.before_exec = [] {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(126);
    };
    PokerGame game(dir, options);
    save_at_start(game, 50, Trigger::end);
    expect_end(game, dir, nullptr, stored(50));
}

TEST(RemovedDirectory, TakesNoNewFile) {
    // The directory the game was started in is removed while it runs, so the save has nowhere to
    // go; this holds for root as well.
    TemporaryDirectory dir;
    GameOptions options = dealing(losing_cards);
    PokerGame game(dir, options);
    ASSERT_TRUE(game.wait_for([&] { return game.shows_scores(0, 0, starting_credit); }));
    ASSERT_EQ(rmdir(dir.path.c_str()), 0);
    play_one_game_and_end(game, 50);
    EXPECT_EQ(game.finish(), 1);
    EXPECT_EQ(game.output(),
              banner() + "history file tavlek.bob.hands cannot be written: No such file or " +
                  "directory\nfile < tavlek.bob.sv > open error \n");
    EXPECT_FALSE(file_exists(dir.path));
}

// Puts this test process, and the programs it starts, in a mount namespace of their own, so that
// a file system mounted for the test is seen by nobody else. Returns why it cannot, or "".
std::string enter_private_mounts() {
    if (unshare(CLONE_NEWNS) != 0) {
        // Without the privilege, a user namespace in which this process is root may allow it.
        const uid_t uid = geteuid();
        const gid_t gid = getegid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return "no mount namespace: "s + std::strerror(errno);
        }
        write_file("/proc/self/setgroups", "deny");
        write_file("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        write_file("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    }
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return "cannot make the mounts private: "s + std::strerror(errno);
    }
    return "";
}

// A small tmpfs over a directory, unmounted again at the end of the test.
struct SmallFileSystem {
    explicit SmallFileSystem(const std::string& where) : path(where) {
        mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
        if (!mounted) why = "cannot mount a tmpfs: "s + std::strerror(errno);
    }
    ~SmallFileSystem() {
        if (mounted) umount2(path.c_str(), MNT_DETACH);
    }
    std::string path;
    bool mounted = false;
    std::string why;
};

TEST(ReadOnlyFileSystem, KeepsTheOldFile) {
    if (const std::string why = enter_private_mounts(); !why.empty()) GTEST_SKIP() << why;
    TemporaryDirectory dir;
    SmallFileSystem file_system(dir.path);
    if (!file_system.mounted) GTEST_SKIP() << file_system.why;
    write_file(dir.file("tavlek.bob.sv"), stored(0));
    ASSERT_EQ(mount(nullptr, dir.path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
    PokerGame game(dir);
    save_at_start(game, 50, Trigger::end);
    expect_end(game, dir, "open error", stored(0));
}

TEST(FullFileSystem, SavesOverTheOldFileInPlace) {
    if (const std::string why = enter_private_mounts(); !why.empty()) GTEST_SKIP() << why;
    TemporaryDirectory dir;
    SmallFileSystem file_system(dir.path);
    if (!file_system.mounted) GTEST_SKIP() << file_system.why;
    write_file(dir.file("tavlek.bob.sv"), stored(0));
    // Fills every block that is left; new names still fit, new bytes do not.
    {
        std::ofstream filler(dir.file("filler"), std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
            filler.flush();
        }
    }
    GameOptions options = dealing(losing_cards);
    PokerGame game(dir, options);
    play_one_game_and_end(game, 50);
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(
        game.output(),
        banner() + "history file tavlek.bob.hands cannot be written: No space left on device\n");
    EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(49)) << "four bytes need no new block";
    std::vector<std::string> names = list_directory(dir.path);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"filler", "tavlek.bob.hands", "tavlek.bob.sv"}));
    EXPECT_EQ(read_file(dir.file("tavlek.bob.hands")), "") << "no block for a line either";
}

// A directory or a FIFO where the history would be: the player hears it once, plays on and the
// credit is saved.
TEST(History, ThatCannotBeWrittenIsSaidOnceAndTheCreditStillSaves) {
    for (const auto& [make, reason] :
         {std::pair{+[](const char* path) { return mkdir(path, 0755); }, "Is a directory"},
          std::pair{+[](const char* path) { return mkfifo(path, 0666); }, "Invalid argument"}}) {
        TemporaryDirectory dir;
        ASSERT_EQ(make(dir.file("tavlek.bob.hands").c_str()), 0);
        PokerGame game(dir, dealing(losing_cards + " "s + losing_cards));
        for (const int credit : {50, 49}) {
            ASSERT_NO_FATAL_FAILURE(bet_and_deal(game, 1, credit));
            press(game, deal_button);
        }
        end_run(game, 48);
        EXPECT_EQ(game.output(),
                  banner() + "history file tavlek.bob.hands cannot be written: " + reason + "\n");
        EXPECT_EQ(read_file(dir.file("tavlek.bob.sv")), stored(48));
    }
}

// Damaged or unusual player files that the start-up tests do not already cover.
struct Damage {
    const char* name;
    std::string bytes;
    int shown;          // the credit the window shows, or 0 when the start-up fails
    std::string saved;  // what End then leaves in the file
};

void PrintTo(const Damage& damage, std::ostream* out) {
    *out << damage.name;
}

class DamagedFile : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedFile, BehavesAsTheStoreRulesSay) {
    const Damage& damage = GetParam();
    TemporaryDirectory dir;
    const std::string file = dir.file("tavlek.bob.sv");
    write_file(file, damage.bytes);
    PokerGame game(dir);
    if (damage.shown == 0) {
        EXPECT_EQ(game.finish(), 1);
        EXPECT_EQ(game.output(), failure("read error"));
        EXPECT_EQ(game.window(), 0U) << "no window opens";
        EXPECT_EQ(read_file(file), damage.bytes);
        return;
    }
    save_at_start(game, damage.shown, Trigger::end);
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(game.output(), banner());
    EXPECT_EQ(read_file(file), damage.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Store, DamagedFile,
    ::testing::Values(Damage{"OneByte", "\x07"s, 0, ""}, Damage{"TwoBytes", "\x07\x01"s, 0, ""},
                      Damage{"LongerFileIsCutToItsFirstFourBytes", "\x05\0\0\0 more"s, 5,
                             stored(5)},
                      Damage{"ZeroStartsAfreshWithFifty", stored(0), 50, stored(starting_credit)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedFile, ANonRegularFileInThePlayerFilesPlaceIsAnOpenError) {
    // A directory, a FIFO (which must not hold the start up) or a device through a link.
    for (const auto make : {+[](const char* path) { return mkdir(path, 0755); },
                            +[](const char* path) { return mkfifo(path, 0666); },
                            +[](const char* path) { return symlink("/dev/zero", path); }}) {
        TemporaryDirectory dir;
        ASSERT_EQ(make(dir.file("tavlek.bob.sv").c_str()), 0);
        PokerGame game(dir);
        EXPECT_EQ(game.finish(), 1);
        EXPECT_EQ(game.output(), failure("open error"));
        EXPECT_EQ(game.window(), 0U);
    }
}

}  // namespace
