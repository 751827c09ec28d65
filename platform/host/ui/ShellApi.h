#pragma once
// The shell: opening a document or address with the program the user's
// desktop chooses for it.

#include <platform/host/rtl/Types.h>

namespace host {

// A window, and the shell's result: opaque pointer-sized values.
using HWND = void*;
using HINSTANCE = void*;

#ifndef SW_SHOWNORMAL  // <windows.h> defines it as a macro of the same value
inline constexpr Integer SW_SHOWNORMAL = 1;
#endif

// operation "open" on a web address opens it in the browser. The result is
// greater than 32 when the shell took the request; a failure shows nothing.
HINSTANCE ShellExecuteA(HWND hwnd, const char* operation, const char* file, const char* parameters,
                        const char* directory, Integer showCmd);

}  // namespace host
