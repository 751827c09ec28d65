#include "support/Processes.h"

#include <Win32Api.h>

#include <stdexcept>

#include "support/Files.h"

namespace testsupport {

namespace {

// Quoted as the C runtime splits a command line.
std::string Quote(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

HANDLE Inheritable(const std::string& path, DWORD access = GENERIC_WRITE, DWORD disposition = CREATE_ALWAYS) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make " + path);
    return file;
}

}  // namespace

ProcessResult Run(const std::vector<std::string>& argv, const RunOptions& options) {
    if (options.asUser) throw std::runtime_error("running as another user needs POSIX");
    std::string commandLine;
    for (const auto& argument : argv) commandLine += (commandLine.empty() ? "" : " ") + Quote(argument);
    for (const auto& setting : options.environment) _putenv(setting.c_str());

    TemporaryFolder folder;
    const std::string outPath = folder.Path() + "\\out.txt", errPath = folder.Path() + "\\err.txt";
    HANDLE out = Inheritable(outPath), err = Inheritable(errPath), in = GetStdHandle(STD_INPUT_HANDLE);
    if (options.input) {
        WriteFile(folder.Path() + "\\in.txt", *options.input);
        in = Inheritable(folder.Path() + "\\in.txt", GENERIC_READ, OPEN_EXISTING);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    // Arguments are UTF-8, so that a test can give a program characters that
    // the code page lacks, as a Unicode program would.
    std::wstring wideLine(commandLine.size() + 1, L'\0');
    wideLine.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, commandLine.c_str(), -1,
                                                                 wideLine.data(), static_cast<int>(wideLine.size()))));
    const BOOL started =
        CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(out);
    CloseHandle(err);
    if (options.input) CloseHandle(in);
    if (!started) return {-1, "", "cannot start " + commandLine};
    const DWORD wait = options.timeoutSeconds ? *options.timeoutSeconds * 1000 : INFINITE;
    const bool timedOut = WaitForSingleObject(process.hProcess, wait) == WAIT_TIMEOUT;
    if (timedOut) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {timedOut ? -1 : static_cast<int>(code), ReadFile(outPath), ReadFile(errPath), timedOut};
}

}  // namespace testsupport
