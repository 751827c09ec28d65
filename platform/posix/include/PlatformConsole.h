#pragma once
// The program's terminal on POSIX: whether a person is at standard input,
// and the text that crosses it. Arguments, files and the configuration hold
// the same bytes (UTF-8 by convention), handed on as they are.

#include <unistd.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline bool StandardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

inline std::optional<std::string> TextFromTerminal(std::string_view utf8) { return std::string(utf8); }

inline std::string TextForTerminal(std::string_view text) { return std::string(text); }

inline std::vector<std::string> CommandArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

class Utf8Terminal {};

}  // namespace platform
