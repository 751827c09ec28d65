#pragma once
// The names a data source may have.

#include <optional>
#include <string>
#include <string_view>

namespace odbcsetup {

// The data source that ODBC_REMOVE_DEFAULT_DSN removes.
inline constexpr const char* kDefaultDataSource = "Default";

// The most bytes a data-source name may hold.
constexpr std::size_t kMaxNameBytes = 32;

// Why `name` cannot name a data source (too long, a character the installer
// or unixODBC reads as syntax, a control character, a section name that
// unixODBC keeps for itself), or nothing when it can. An empty name passes:
// whoever asks decides what blank means to them.
std::optional<std::string> NameProblem(std::string_view name);

// What the Windows setup library adds to a data source's name for the key it
// builds a request in, beside the data source's own: braces are in no data
// source's name.
inline constexpr std::string_view kBuildingSuffix = "{new}";

// True for a name that unixODBC keeps for its own settings and Windows for
// its list of data sources, beside the data sources (ODBC, ODBC Data
// Sources), and for a key that a request is built in.
bool IsReservedName(std::string_view name);

}  // namespace odbcsetup
