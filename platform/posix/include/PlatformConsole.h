#pragma once
// Whether a person is at the program's standard input.
#include <unistd.h>

namespace platform {
inline bool StandardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }
}  // namespace platform
