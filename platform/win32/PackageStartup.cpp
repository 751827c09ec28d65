// A package DLL's start-up code: its module record enters the framework's
// module list when Windows attaches the DLL and leaves it at detach, so the
// framework finds the package's resources while it is loaded, and only then.

#include <Win32Api.h>

#include <platform/host/rtl/Packages.h>

namespace {

host::TLibModule record;

}  // namespace

host::TLibModule& host::ThisLibModule() { return record; }

// The C runtime's DLL entry (DllMainCRTStartup) calls this after its own set-up.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        record.Instance = instance;
        host::RegisterModule(&record);
    } else if (reason == DLL_PROCESS_DETACH) {
        host::UnregisterModule(&record);
    }
    return TRUE;
}
