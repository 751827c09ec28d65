#include <platform/host/ui/ShellApi.h>

#include <platform/host/ui/UiBackend.h>

namespace host {

HINSTANCE ShellExecuteA(HWND hwnd, const char* operation, const char* file, const char* parameters,
                        const char* directory, Integer showCmd) {
    return PlatformUiBackend().OpenWithShell(hwnd, operation, file, parameters, directory, showCmd);
}

}  // namespace host
