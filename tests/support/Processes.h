#pragma once
// Running a program and collecting what it printed.

#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct ProcessResult {
    int exitCode;  // -1 when killed by a signal
    std::string out;
    std::string err;
    bool timedOut = false;  // killed when it outlived RunOptions::timeoutSeconds
};

struct RunOptions {
    std::optional<unsigned> asUser = {};  // POSIX: drop to this uid (and its gid) before exec; needs root
    std::vector<std::string> environment = {};  // NAME=VALUE set in the child
    std::optional<std::string> input = {};   // the child's standard input (else /dev/null, or on Windows the parent's)
    std::optional<std::string> output = {};  // POSIX: a file for the child's standard output (out stays empty)
    std::optional<unsigned> timeoutSeconds = {};  // killed past it: a hanging child fails the test, not the run
};

// On Windows the arguments are UTF-8 and reach the program as Unicode.
ProcessResult Run(const std::vector<std::string>& argv, const RunOptions& options = {});

}  // namespace testsupport
