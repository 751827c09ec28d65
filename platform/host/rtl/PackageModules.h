#pragma once
// A package library loaded into the process, its exports found by their
// decorated names and its resources by name. Win32 loads the DLL with the
// framework packages beside it; POSIX opens the shared library and finds the
// decorated names through its export table.

#include <optional>
#include <string_view>

#include <platform/host/rtl/PackageInfo.h>
#include <platform/host/rtl/SysUtils.h>

namespace host {

class TPackageModule {
public:
    // EPackageError naming the file and the system's reason when it does not
    // load; also, before it loads, for a file that is no whole library or
    // whose tables point out of it (LibraryFileProblem), and on POSIX after
    // it loads, for the package's own tables that point out of it.
    explicit TPackageModule(const String& Path);
    ~TPackageModule();
    TPackageModule(const TPackageModule&) = delete;
    TPackageModule& operator=(const TPackageModule&) = delete;

    // The address exported under that decorated name, or null.
    void* FindExport(std::string_view DecoratedName) const;
    // The bytes of the package's RCDATA resource of that name; they live as
    // long as the package stays loaded.
    std::optional<std::string_view> ResourceData(std::string_view Name) const;

private:
    void* handle_;
};

// Whether the framework package that a PACKAGEINFO names as required is in
// the process: on Win32 the DLL "<name>.bpl" (a name may end in .bpl already),
// on POSIX the framework's shared library, which holds every framework package.
bool IsPackageLoaded(std::string_view Name);

}  // namespace host
