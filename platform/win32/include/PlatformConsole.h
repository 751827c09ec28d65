#pragma once
// The program's terminal on Windows: whether a person is at standard input,
// and the text that crosses it. Pipes, files and the console (set to UTF-8
// while the program runs) carry UTF-8; the ANSI functions, the registry as
// the package reads it and the program's own strings hold the code page's.

#include <io.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline bool StandardInputIsTerminal() { return _isatty(0) != 0; }

// UTF-8 text (typed, piped or from a file) as the code page holds it, or
// nothing where it is no UTF-8 or holds a character the code page lacks.
std::optional<std::string> TextFromTerminal(std::string_view utf8);

// The code page's text in UTF-8.
std::string TextForTerminal(std::string_view ansi);

// The program's arguments as the code page holds them. The narrow command
// line Windows makes for main() puts a look-alike in place of a character
// the code page lacks ("A" for "Ā", "\\" for "＼"), so that a command would
// act on another name or path than the one given: such an argument is
// refused instead (std::runtime_error, in UTF-8), naming the character.
std::vector<std::string> CommandArguments(int argc, char** argv);

// While it lives, the console shows what the program writes as UTF-8; the
// code page it had comes back at the end.
class Utf8Terminal {
public:
    Utf8Terminal();
    ~Utf8Terminal();
    Utf8Terminal(const Utf8Terminal&) = delete;
    Utf8Terminal& operator=(const Utf8Terminal&) = delete;

private:
    unsigned saved_;
};

}  // namespace platform
