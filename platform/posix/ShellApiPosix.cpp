// The shell on POSIX: an address opens through xdg-open.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <HeadlessUi.h>
#include <platform/host/ui/ShellApi.h>

namespace headless {

namespace {

std::function<void(const std::string&)>& ShellOpener() {
    static std::function<void(const std::string&)> opener;
    return opener;
}

// Starts xdg-open in a grandchild, so that nobody waits for the browser and
// no zombie is left; a failure to start is ignored.
void RunXdgOpen(const std::string& address) {
    const pid_t child = fork();
    if (child == 0) {
        if (fork() == 0) {
            execlp("xdg-open", "xdg-open", address.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    if (child > 0) waitpid(child, nullptr, 0);
}

}  // namespace

void SetShellOpener(std::function<void(const std::string&)> opener) { ShellOpener() = std::move(opener); }

}  // namespace headless

namespace host {

// xdg-open takes no "--": a text that begins with '-' would reach it as an
// option, so it fails to open as a missing file does.
HINSTANCE ShellExecuteA(HWND, const char* operation, const char* file, const char*, const char*, Integer) {
    if (!operation || std::string_view(operation) != "open" || !file || !*file || *file == '-')
        return reinterpret_cast<HINSTANCE>(std::intptr_t{2});  // the host's "file not found"
    if (headless::ShellOpener())
        headless::ShellOpener()(file);
    else
        headless::RunXdgOpen(file);
    return reinterpret_cast<HINSTANCE>(std::intptr_t{42});
}

}  // namespace host
