#include "support/process.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

[[noreturn]] void exec_child(const std::vector<std::string>& argv, const ProcessOptions& options) {
    if (chdir(options.directory.c_str()) != 0) _exit(126);
    for (const std::string& name : options.unset)
        unsetenv(name.c_str());
    for (const std::string& entry : options.environment) {
        const std::size_t eq = entry.find('=');
        setenv(entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), 1);
    }
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int null_in = open("/dev/null", O_RDONLY);
    dup2(null_in, 0);
    if (options.before_exec) options.before_exec();
    execv(args[0], args.data());
    _exit(127);
}

std::string slurp_fd(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

}  // namespace

int wait_program(int pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

ProcessResult run_program(const std::vector<std::string>& argv, const ProcessOptions& options) {
    // Standard error goes through a file so that neither pipe can fill while the other is read.
    char err_path[] = "/tmp/poker-stderr-XXXXXX";
    const int err_fd = mkstemp(err_path);
    int out_pipe[2];
    if (err_fd < 0 || pipe(out_pipe) != 0) throw std::runtime_error("cannot set up the child");
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out_pipe[1], 1);
        dup2(err_fd, 2);
        close(out_pipe[0]);
        exec_child(argv, options);
    }
    close(out_pipe[1]);
    ProcessResult result;
    result.out = slurp_fd(out_pipe[0]);
    close(out_pipe[0]);
    result.status = wait_program(pid);
    lseek(err_fd, 0, SEEK_SET);
    result.err = slurp_fd(err_fd);
    close(err_fd);
    unlink(err_path);
    return result;
}

int start_program(const std::vector<std::string>& argv, const ProcessOptions& options,
                  const std::string& output_file) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        exec_child(argv, options);
    }
    return pid;
}

TemporaryDirectory::TemporaryDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/poker-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    // Tests may take write permission away; give it back so everything can go.
    chmod(path.c_str(), 0755);
    std::filesystem::remove_all(path, ignored);
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool file_exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> list_directory(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}
