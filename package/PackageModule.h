#pragma once
// The package module: the entry points through which the host initialises
// and finalises the package's modules, and the table of them.

#include <platform/host/rtl/Packages.h>

namespace PackageModule {

// Hands the module table to the framework's PackageLoad / PackageUnload.
// They check and catch nothing: what the framework raises reaches the host.
void Initialize();
void Finalize();
const host::PackageInfoTable* GetPackageInfoTable();

}  // namespace PackageModule
