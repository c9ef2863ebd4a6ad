// Runs the built vantomo-cli in a child process for the command-line tests.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace vantomo {

struct CliRun {
    int exitCode = -1;
    std::string output;
};

// `arguments` are already shell-quoted. `redirect` chooses what is captured:
// "2>/dev/null" for stdout only, "2>&1 >/dev/null" for stderr only.
// `environment` (NAME=VALUE ...) is set for the child alone.
inline CliRun RunCliCapturing(const std::string& arguments, const char* redirect, const std::string& environment = "")
{
    CliRun result;
    const std::string command =
        environment + (environment.empty() ? "'" : " '") + VANTOMO_CLI_PATH + "' " + arguments + " " + redirect;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace vantomo
