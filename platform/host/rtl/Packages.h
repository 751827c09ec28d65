#pragma once
// The framework's package loader: runs the initialisation and finalisation
// routines of a package's modules from its module table.

#include <cstdint>
#include <vector>

#include <platform/host/rtl/Release.h>

namespace host {

using PackageProc = void (*)();

struct PackageUnitEntry {
    PackageProc Init;
    PackageProc FInit;
};

// The layout a package's @GetPackageInfoTable returns.
struct PackageInfoTable {
    std::int32_t UnitCount;
    const PackageUnitEntry* UnitInfo;
};

// A module's record in the framework's module list. A package's start-up code
// registers it when the module is attached and removes it at detach; the
// framework looks for resources in every listed module, newest first, so a
// package finds its own forms whichever module asks.
struct TLibModule {
    TLibModule* Next = nullptr;
    void* Instance = nullptr;  // the module's handle: HMODULE on Win32, the library's handle on POSIX
    const PackageInfoTable* InitTable = nullptr;  // the table a release 6 PackageLoad ran for it
};

void RegisterModule(TLibModule* Module);
void UnregisterModule(TLibModule* Module);  // a module not registered is left alone
// The registered modules, newest first.
std::vector<TLibModule*> Modules();

// The record of the package that this code is linked into; the package's
// start-up code registers it when the module is attached.
TLibModule& ThisLibModule();

// On POSIX a dynamic symbol cannot carry '@', so a package library lists its
// decorated export names with their addresses in a table under this C name.
struct PackageExport {
    const char* Name;
    void* Address;
};
struct PackageExportTable {
    std::int32_t Count;
    const PackageExport* Entries;
};
inline constexpr char kPackageExportTableSymbol[] = "OmbralPackageExports";

// On POSIX the package's own RCDATA resources (PACKAGEINFO, PACKAGEOPTIONS,
// DESCRIPTION), by name, under this C name.
struct PackageResource {
    const char* Name;
    const unsigned char* Data;
    std::uint32_t Size;
};
struct PackageResourceTable {
    std::int32_t Count;
    const PackageResource* Entries;
};
inline constexpr char kPackageResourceTableSymbol[] = "OmbralPackageResources";

// PackageLoad runs the initialisations in table order; an entry without one
// is skipped. When one raises, the modules initialised before it are
// finalised again in reverse order and the exception passes on: a package
// that failed to load leaves no module half set up. A table that is loaded
// already is left alone, so a second load initialises nothing twice.
//
// PackageUnload runs the finalisations of the modules that PackageLoad
// initialised, in reverse order; a table that is not loaded is left alone, so
// a second unload finalises nothing twice.
//
// Release 6 takes the package's module record as well (null: none): a load
// that succeeded enters the table in its InitTable, the unload of that table
// clears it again.
#if OMBRAL_FRAMEWORK_RELEASE >= 6
void PackageLoad(const PackageInfoTable* Table, TLibModule* Module);
void PackageUnload(const PackageInfoTable* Table, TLibModule* Module);
#else
void PackageLoad(const PackageInfoTable* Table);
void PackageUnload(const PackageInfoTable* Table);
#endif

} // namespace host
