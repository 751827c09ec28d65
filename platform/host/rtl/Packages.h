#pragma once
// The framework's package loader: runs the initialisation and finalisation
// routines of a package's modules from its module table.

#include <cstdint>

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

// Runs the initialisations in table order; an entry without one is skipped.
// When one raises, the modules initialised before it are finalised again in
// reverse order and the exception passes on: a package that failed to load
// leaves no module half set up.
void PackageLoad(const PackageInfoTable* Table);

// Runs the finalisations of the modules that PackageLoad initialised, in
// reverse order; a table that is not loaded is left alone, so a second unload
// finalises nothing twice.
void PackageUnload(const PackageInfoTable* Table);

} // namespace host
