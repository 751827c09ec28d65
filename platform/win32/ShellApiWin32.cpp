// The shell on Win32. Like the host's own shell interface, this is linked
// into every module that calls it, so each imports shell32 itself.

#include <Win32Ui.h>
#include <shellapi.h>

#include <platform/host/ui/ShellApi.h>

namespace win32ui {

ShellExecuteFunction ShellOpen = &::ShellExecuteA;

}  // namespace win32ui

namespace host {

HINSTANCE ShellExecuteA(HWND hwnd, const char* operation, const char* file, const char* parameters,
                        const char* directory, Integer showCmd) {
    return win32ui::ShellOpen(static_cast<::HWND>(hwnd), operation, file, parameters, directory, showCmd);
}

}  // namespace host
