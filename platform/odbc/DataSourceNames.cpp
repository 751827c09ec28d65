#include <platform/odbc/DataSourceNames.h>

#include <array>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/RegistryPaths.h>

namespace odbcsetup {

namespace {

constexpr std::string_view kForbiddenCharacters = "[]{}(),;?*=!@\\";

// unixODBC reads these sections of odbc.ini as its own settings (tracing, the
// list of data sources), not as data sources.
constexpr std::array<std::string_view, 2> kReservedNames{"ODBC", odbcpaths::kDataSourceList};

std::string Quoted(std::string_view name) { return "the data source name '" + host::EscapeControls(name) + "'"; }

}  // namespace

std::optional<std::string> NameProblem(std::string_view name) {
    if (name.size() > kMaxNameBytes)
        return Quoted(name) + " is longer than " + std::to_string(kMaxNameBytes) + " bytes (it has " +
               std::to_string(name.size()) + ")";
    // A C1 control in UTF-8 steers a terminal as a C0 one does.
    for (std::size_t at = 0; at < name.size(); ++at)
        if (host::IsControlChar(name[at]) || host::IsUtf8C1ControlAt(name, at))
            return Quoted(name) + " holds a control character, which a name may not hold";
    if (auto bad = name.find_first_of(kForbiddenCharacters); bad != std::string_view::npos)
        return Quoted(name) + " holds '" + name[bad] + "', which a name may not hold";
    for (auto reserved : kReservedNames)
        if (host::SameText(name, reserved))
            return Quoted(name) + " is taken: unixODBC reads the section '" + std::string(reserved) +
                   "' of odbc.ini as its own settings";
    return std::nullopt;
}

bool IsReservedName(std::string_view name) {
    if (name.ends_with(kBuildingSuffix)) return true;
    for (auto reserved : kReservedNames)
        if (host::SameText(name, reserved)) return true;
    return false;
}

}  // namespace odbcsetup
