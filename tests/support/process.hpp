// Running the built program from tests: arguments, environment, working directory, output.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal number
    std::string out;  // standard output
    std::string err;  // standard error
};

struct ProcessOptions {
    std::string directory = ".";
    std::vector<std::string> environment;  // "NAME=value" entries added to (or replacing) ours
    std::vector<std::string> unset;        // names removed from the environment
    std::function<void()> before_exec;     // run in the child just before the program starts
};

// Runs the program to its end and collects its output.
ProcessResult run_program(const std::vector<std::string>& argv, const ProcessOptions& options);

// Starts the program in the background with its standard output in a file; returns its pid.
int start_program(const std::vector<std::string>& argv, const ProcessOptions& options,
                  const std::string& output_file);

// Waits for a started program; returns the status as run_program does.
int wait_program(int pid);

// A fresh empty directory under the system's temporary directory, removed with its contents by
// the destructor.
struct TemporaryDirectory {
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// File helpers for player files.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
std::vector<std::string> list_directory(const std::string& path);
