#include "report/output.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

int output_status(const char* prefix) {
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0 && std::fclose(stdout) == 0) return 0;
    std::fprintf(stderr, "%scannot write to standard output: %s\n", prefix, std::strerror(errno));
    return 1;
}
