#pragma once
// Data-source routines: the driver catalogue, installed-driver lookup, the
// data-source existence test, adding, configuring and removing data sources
// through the ODBC installer, and workgroup database registration.

#include <string_view>

#include <platform/host/rtl/Types.h>
#include <platform/odbc/RegistryPaths.h>

namespace OmbralCodeUnit {

using host::Integer;
using host::String;

// The installer's request codes.
inline constexpr Integer kAddDSN = 1, kConfigDSN = 2, kRemoveDSN = 3, kAddSysDSN = 4, kConfigSysDSN = 5,
                         kRemoveSysDSN = 6, kRemoveDefaultDSN = 7;

// Where the registry keeps the drivers and the data sources, each a key of
// its name below (HKEY_LOCAL_MACHINE for the drivers and the system's data
// sources, HKEY_CURRENT_USER for a user's).
using odbcpaths::kDataSourceKeyPrefix;
using odbcpaths::kDriverKeyPrefix;

// The installer's record of an installed driver.
struct TODBCInfo {
    host::ShortString<127> Driver;
    host::ShortString<20> DriverODBCVer;
    host::ShortString<100> DSN;
    host::ShortString<20> FileExtns;
    host::ShortString<20> UID;
};

// Driver description of catalogue row 1..6; FileType receives the row's
// file-type keyword. Any other index gives empty texts.
String GetDSNTypeString(Integer DatabaseIndex, String& FileType);

TODBCInfo GetODBCInfo(const String& DriverDescription);

// True when the data source's key exists: under HKEY_LOCAL_MACHINE for
// ActionCode 4, under HKEY_CURRENT_USER otherwise.
bool FindDSN(const String& DSNName, Integer ActionCode);

bool CreateDSN(Integer ActionCode, Integer DatabaseIndex, const String& DSNName, const String& Description,
               const String& DefaultDir, const String& NetPath, const String& UserName, const String& Password,
               const String& AdvancedOptions);
bool ConfigureDSN(Integer ActionCode, Integer DatabaseIndex, const String& DSNName, const String& Description,
                  const String& DefaultDir, const String& NetPath, const String& UserName, const String& Password,
                  const String& AdvancedOptions);
bool RemoveDSN(Integer ActionCode, Integer DatabaseIndex, const String& DSNName);

// Record the workgroup file in an existing data source's "SystemDB" value.
bool RegisterSystemMDW(const String& DSNName, const String& MDWPath);
bool RegisterMDW(const String& DSNName, const String& MDWPath);

// The module's initialisation and finalisation, run from the package's
// module table. Loading the package must not touch a key or data source, so
// neither has work.
void initialization();
void Finalization();

}  // namespace OmbralCodeUnit
