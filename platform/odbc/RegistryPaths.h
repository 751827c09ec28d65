#pragma once
// Where the ODBC installer keeps the drivers (under HKEY_LOCAL_MACHINE) and
// the data sources (under the scope's hive) in the registry, each a key of
// its name, listed by name in a key of their own beside them. The POSIX
// registry finds the same paths in unixODBC's files.

#include <string>
#include <string_view>

namespace odbcpaths {

// Absolute from the hive, as the host's registry class takes them.
inline constexpr std::string_view kDriverKeyPrefix = "\\Software\\ODBC\\ODBCINST.INI\\";
inline constexpr std::string_view kDataSourceKeyPrefix = "\\Software\\ODBC\\ODBC.INI\\";

// The keys holding all drivers and all data sources.
inline constexpr std::string_view kDriversKey = kDriverKeyPrefix.substr(0, kDriverKeyPrefix.size() - 1);
inline constexpr std::string_view kDataSourcesKey = kDataSourceKeyPrefix.substr(0, kDataSourceKeyPrefix.size() - 1);

// The keys among them that list the others by name.
inline constexpr std::string_view kDriverList = "ODBC Drivers";
inline constexpr std::string_view kDataSourceList = "ODBC Data Sources";

inline std::string DriverKey(std::string_view driver) { return std::string(kDriverKeyPrefix).append(driver); }
inline std::string DataSourceKey(std::string_view name) { return std::string(kDataSourceKeyPrefix).append(name); }

// A key as the Windows registry functions take it, relative to the hive.
inline std::string BelowHive(std::string_view key) { return std::string(key.substr(key.starts_with('\\') ? 1 : 0)); }

}  // namespace odbcpaths
