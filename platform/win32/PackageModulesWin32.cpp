// Packages as DLLs: loaded with the framework packages beside them, exports
// by name, PACKAGEINFO and the other RCDATA resources.

#include <Win32Api.h>

#include "RegistryKeys.h"

#include <platform/host/package/LibraryFile.h>
#include <platform/host/rtl/PackageModules.h>

namespace host {

namespace {

HMODULE Module(void* handle) { return static_cast<HMODULE>(handle); }

String FullPath(const String& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? String(full, length) : path;
}

bool EndsWithBpl(std::string_view name) { return name.size() >= 4 && SameText(name.substr(name.size() - 4), ".bpl"); }

}  // namespace

TPackageModule::TPackageModule(const String& Path) : handle_(nullptr) {
    if (Path.find('\0') != String::npos) throw EPackageError("the file name holds a NUL");
    const String path = FullPath(Path);
    if (auto problem = LibraryFileProblem(path)) throw EPackageError(*problem);
    // An absolute path with the altered search order has Windows look for the
    // framework packages the DLL imports in the DLL's own folder first.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD error = GetLastError();
    SetThreadErrorMode(oldMode, nullptr);
    if (!module) {
        const String reason = win32::ErrorText(static_cast<LSTATUS>(error));
        throw EPackageError("cannot load: " + reason +
                            (error == ERROR_MOD_NOT_FOUND ? " (a package or DLL it imports is missing)" : ""));
    }
    handle_ = module;
}

TPackageModule::~TPackageModule() { FreeLibrary(Module(handle_)); }

void* TPackageModule::FindExport(std::string_view DecoratedName) const {
    const String name(DecoratedName);
    if (name.find('\0') != String::npos) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(Module(handle_), name.c_str()));
}

std::optional<std::string_view> TPackageModule::ResourceData(std::string_view Name) const {
    const String name(Name);
    if (name.find('\0') != String::npos) return std::nullopt;
    HRSRC found = FindResourceA(Module(handle_), name.c_str(), reinterpret_cast<LPCSTR>(RT_RCDATA));
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(Module(handle_), found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string_view(static_cast<const char*>(data), SizeofResource(Module(handle_), found));
}

bool IsPackageLoaded(std::string_view Name) {
    const String file = EndsWithBpl(Name) ? String(Name) : String(Name) + ".bpl";
    return file.find('\0') == String::npos && GetModuleHandleA(file.c_str()) != nullptr;
}

}  // namespace host
