#pragma once
// The Win32 user interface's calls into comdlg32 and shell32 go through
// these pointers, so that a test can watch or stand in for them.

#include <Win32Api.h>
#include <commdlg.h>

#include <string>

namespace host {
class TCustomForm;
class TOpenDialog;
}  // namespace host

namespace win32ui {

using GetOpenFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);
using DialogErrorFunction = DWORD(WINAPI*)();
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

extern GetOpenFileNameFunction OpenFileName;  // GetOpenFileNameA
extern DialogErrorFunction OpenFileNameError;  // CommDlgExtendedError
extern ShellExecuteFunction ShellOpen;        // ShellExecuteA

// What TOpenDialog hands to GetOpenFileNameA, owned for the call.
struct OpenFileRequest {
    std::string filter;  // the '|'s of the dialog's Filter as NULs, ending in two NULs
    std::string file;    // FileName, then NULs up to the buffer's size
    DWORD flags = 0;
};
OpenFileRequest OpenFileRequestOf(const host::TOpenDialog& dialog);

// The form whose window this is; null for any other window.
host::TCustomForm* FormOfWindow(HWND window);

}  // namespace win32ui
