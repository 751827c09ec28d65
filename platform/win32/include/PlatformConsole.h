#pragma once
// Whether a person is at the program's standard input.
#include <io.h>

namespace platform {
inline bool StandardInputIsTerminal() { return _isatty(0) != 0; }
}  // namespace platform
