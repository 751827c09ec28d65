#include "support/Processes.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <stdexcept>

namespace testsupport {

namespace {

std::string Drain(FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

// Whether the child ended within the time (any time without one), polled:
// waitpid has no timeout.
bool WaitWithin(pid_t child, int& status, std::optional<unsigned> seconds) {
    if (!seconds) return waitpid(child, &status, 0) == child;
    constexpr auto kPoll = std::chrono::milliseconds(10);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(*seconds);
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

}  // namespace

ProcessResult Run(const std::vector<std::string>& argv, const RunOptions& options) {
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    if (!out || !err) throw std::runtime_error("tmpfile failed");
    FILE* in = options.input ? std::tmpfile() : nullptr;
    if (in) {
        std::fwrite(options.input->data(), 1, options.input->size(), in);
        std::rewind(in);
    }
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        dup2(options.output ? open(options.output->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600) : fileno(out), 1);
        dup2(fileno(err), 2);
        dup2(in ? fileno(in) : open("/dev/null", O_RDONLY), 0);
        for (const auto& setting : options.environment) putenv(const_cast<char*>(setting.c_str()));
        if (options.asUser && (setgid(*options.asUser) != 0 || setuid(*options.asUser) != 0)) _exit(126);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    const bool timedOut = !WaitWithin(child, status, options.timeoutSeconds);
    if (timedOut) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    if (in) std::fclose(in);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Drain(out), Drain(err), timedOut};
}

}  // namespace testsupport
