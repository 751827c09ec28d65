// The tool's questions about the registry behind the data sources: the
// installer itself reports what the registry refuses, so only the tool's lock
// and the setup-library check have work to do here.

#include <Win32Api.h>

#include <fstream>
#include <stdexcept>

#include <platform/odbc/ToolAccess.h>
#include <platform/win32/RegistryKeys.h>

namespace odbcsetup {

std::optional<std::string> ReadProblem(bool) { return std::nullopt; }

std::optional<std::string> ChangeProblem(bool) { return std::nullopt; }

// The system data sources are shared by every session, a user's by theirs.
ScopeLock::ScopeLock(bool system) {
    const char* name = system ? "Global\\OmbralTool-SystemDataSources" : "Local\\OmbralTool-UserDataSources";
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    if (!mutex)
        throw std::runtime_error(std::string("cannot make the lock ") + name + ": " +
                                 win32::ErrorText(static_cast<LSTATUS>(GetLastError())));
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        throw std::runtime_error(std::string("cannot take the lock ") + name);
    }
    handle_ = mutex;
}

ScopeLock::~ScopeLock() {
    ReleaseMutex(static_cast<HANDLE>(handle_));
    CloseHandle(static_cast<HANDLE>(handle_));
}

// A new file takes the permissions of its folder, as every file on Windows does.
void WriteOwnerOnlyFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::optional<std::string> SetupLibraryProblem(const std::string& path) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) return "cannot load " + path + ": " + win32::ErrorText(static_cast<LSTATUS>(GetLastError()));
    const bool exports = GetProcAddress(library, "ConfigDSN") != nullptr;
    FreeLibrary(library);
    if (!exports) return path + " exports no ConfigDSN: it is no setup library";
    return std::nullopt;
}

}  // namespace odbcsetup
