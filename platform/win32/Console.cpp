// The program's terminal on Windows.

#include <PlatformConsole.h>

#include <Win32Api.h>
#include <shellapi.h>

#include <stdexcept>

#include <platform/win32/AnsiText.h>

namespace platform {

std::optional<std::string> TextFromTerminal(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0)),
        L'\0');
    if (wide.empty()) return std::nullopt;
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return win32::ExactAnsi(wide);
}

std::string TextForTerminal(std::string_view ansi) { return win32::Utf8(win32::Wide(ansi)); }

std::vector<std::string> CommandArguments(int, char**) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) throw std::runtime_error("cannot read the command line");
    std::vector<std::string> arguments;
    std::optional<std::string> refusal;
    for (int at = 1; at < count && !refusal; ++at) {
        if (auto ansi = win32::ExactAnsi(wide[at]))
            arguments.push_back(*ansi);
        else
            refusal = "argument " + std::to_string(at) + " ('" + win32::Utf8(wide[at]) + "') holds " +
                      win32::FirstLackingCharacter(wide[at]) + ", which the code page (" + std::to_string(GetACP()) +
                      ") lacks";
    }
    LocalFree(wide);
    if (refusal) throw std::runtime_error(*refusal);
    return arguments;
}

Utf8Terminal::Utf8Terminal() : saved_(GetConsoleOutputCP()) {
    if (saved_) SetConsoleOutputCP(CP_UTF8);
}

Utf8Terminal::~Utf8Terminal() {
    if (saved_) SetConsoleOutputCP(saved_);
}

}  // namespace platform
