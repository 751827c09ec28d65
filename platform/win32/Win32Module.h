#pragma once
// The module that holds the framework's run-time part: the program, or the
// framework package DLL. Its resources and window classes are looked up there.

#include <Win32Api.h>

namespace win32 {

HMODULE ThisModule();

}  // namespace win32
