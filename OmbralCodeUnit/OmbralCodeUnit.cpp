#include <OmbralCodeUnit/OmbralCodeUnit.h>

#include <array>
#include <optional>
#include <string_view>

#include <platform/host/ui/Forms.h>
#include <platform/host/rtl/OdbcInstaller.h>
#include <platform/host/rtl/Registry.h>

namespace OmbralCodeUnit {

namespace {


struct CatalogueRow {
    std::string_view description;
    std::string_view fileType;
};

constexpr std::array<CatalogueRow, 6> kCatalogue{{
    {"Microsoft Access Driver (*.mdb)", "MS Access"},
    {"Microsoft Excel Driver (*.xls)", "Excel 97-2000"},
    {"Microsoft Text Driver (*.txt, *.csv)", ""},
    {"Microsoft Paradox Driver (*.db )", "Paradox 5.X"},
    {"Microsoft dBase Driver (*.dbf)", "dBase 5.0"},
    {"Microsoft Visual FoxPro Driver (*.dbf)", "FoxPro Tables"},
}};

// The installer takes its request as a WORD: a wider code would reach it cut to
// its low 16 bits, 65540 as 4, a system add.
constexpr Integer kLargestRequest = 0xFFFF;

bool HoldsNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

// An empty name would address the data-source root key itself, a backslash
// another key, and a NUL would end the name early for the registry.
bool IsDataSourceName(std::string_view name) {
    return !name.empty() && name.find('\\') == std::string_view::npos && !HoldsNul(name);
}

struct Pair {
    std::string_view keyword;
    std::string_view value;
};

// Keyword=value pairs each closed by a NUL, then the tail (pairs already
// closed by their NULs), then the list's closing NUL. Nothing is built when
// a value holds a NUL: the installer would read the rest as further pairs.
template <std::size_t N>
std::optional<String> AttributeList(const std::array<Pair, N>& pairs, std::string_view tail = {}) {
    String list;
    for (const auto& [keyword, value] : pairs) {
        if (HoldsNul(value)) return std::nullopt;
        list.append(keyword).append(value).push_back('\0');
    }
    list.append(tail).push_back('\0');
    return list;
}

// AdvancedOptions must be a run of whole pairs each closed by a NUL. A missing
// last NUL is supplied; a leading NUL or an empty pair would end the list early
// and silently drop what follows, so such options are refused.
std::optional<String> ClosedAdvancedOptions(const String& options) {
    if (options.empty()) return options;
    if (options.front() == '\0' || options.find(std::string_view("\0\0", 2)) != String::npos) return std::nullopt;
    return options.back() == '\0' ? options : options + '\0';
}

bool CallInstaller(Integer request, const String& driver, const String& attributes) {
    if (const auto& standIn = host::InstallerStandIn())
        return standIn(request, driver, attributes);
    return SQLConfigDataSource(nullptr, static_cast<WORD>(request), driver.c_str(), attributes.data()) != 0;
}

// CreateDSN and ConfigureDSN send the same list; the request code alone says
// which change the installer makes.
bool SendDataSource(Integer ActionCode, Integer DatabaseIndex, const String& DSNName, const String& Description,
                    const String& DefaultDir, const String& NetPath, const String& UserName,
                    const String& Password, const String& AdvancedOptions) {
    if (ActionCode < 0 || ActionCode > kLargestRequest) return false;
    String fileType;
    const String driver = GetDSNTypeString(DatabaseIndex, fileType);
    const String driverFile = GetODBCInfo(driver).Driver;
    const auto options = ClosedAdvancedOptions(AdvancedOptions);
    if (!options) return false;
    const auto list = AttributeList(std::array<Pair, 8>{{{"DSN=", DSNName},
                                                         {"Driver=", driverFile},
                                                         {"DefaultDir=", DefaultDir},
                                                         {"Description=", Description},
                                                         {"FIL=", fileType},
                                                         {"ParadoxUserName=", UserName},
                                                         {"ParadoxNetPath=", NetPath},
                                                         {"PWD=", Password}}},
                                    *options);
    return list && CallInstaller(ActionCode, driver, *list);
}

bool WriteSystemDB(host::HKEY hive, const String& DSNName, const String& MDWPath) {
    if (MDWPath.empty() || HoldsNul(MDWPath) || !IsDataSourceName(DSNName)) return false;
    host::TRegistry registry;
    registry.LazyWrite = false;
    registry.SetRootKey(hive);
    if (!registry.OpenKey(odbcpaths::DataSourceKey(DSNName), false)) return false;
    registry.WriteString("SystemDB", MDWPath);
    registry.CloseKey();
    host::Application->ProcessMessages();
    return true;
}

}  // namespace

String GetDSNTypeString(Integer DatabaseIndex, String& FileType) {
    FileType.clear();
    if (DatabaseIndex < 1 || DatabaseIndex > static_cast<Integer>(kCatalogue.size())) return {};
    const auto& row = kCatalogue[static_cast<std::size_t>(DatabaseIndex - 1)];
    FileType = row.fileType;
    return String(row.description);
}

TODBCInfo GetODBCInfo(const String& DriverDescription) {
    TODBCInfo info;
    host::TRegistry registry;
    registry.SetRootKey(host::HKEY_LOCAL_MACHINE);
    if (registry.OpenKeyReadOnly(odbcpaths::DriverKey(DriverDescription))) {
        info.Driver = registry.ReadString("Driver");
        info.DriverODBCVer = registry.ReadString("DriverODBCVer");
        info.DSN = registry.ReadString("DSN");
        info.FileExtns = registry.ReadString("FileExtns");
        info.UID = registry.ReadString("UID");
    }
    registry.CloseKey();
    return info;
}

bool FindDSN(const String& DSNName, Integer ActionCode) {
    if (!IsDataSourceName(DSNName)) return false;
    host::TRegistry registry;
    if (ActionCode == kAddSysDSN) registry.SetRootKey(host::HKEY_LOCAL_MACHINE);
    const bool found = registry.OpenKey(odbcpaths::DataSourceKey(DSNName), false);
    registry.CloseKey();
    return found;
}

bool CreateDSN(Integer ActionCode, Integer DatabaseIndex, const String& DSNName, const String& Description,
               const String& DefaultDir, const String& NetPath, const String& UserName, const String& Password,
               const String& AdvancedOptions) {
    return SendDataSource(ActionCode, DatabaseIndex, DSNName, Description, DefaultDir, NetPath, UserName,
                          Password, AdvancedOptions);
}

bool ConfigureDSN(Integer ActionCode, Integer DatabaseIndex, const String& DSNName, const String& Description,
                  const String& DefaultDir, const String& NetPath, const String& UserName, const String& Password,
                  const String& AdvancedOptions) {
    return SendDataSource(ActionCode, DatabaseIndex, DSNName, Description, DefaultDir, NetPath, UserName,
                          Password, AdvancedOptions);
}

bool RemoveDSN(Integer ActionCode, Integer DatabaseIndex, const String& DSNName) {
    String fileType;
    const String driver = GetDSNTypeString(DatabaseIndex, fileType);
    const Integer request =
        ActionCode == kRemoveSysDSN || ActionCode == kRemoveDefaultDSN ? ActionCode : kRemoveDSN;
    const auto list = AttributeList(std::array<Pair, 1>{{{"DSN=", DSNName}}});
    return list && CallInstaller(request, driver, *list);
}

bool RegisterSystemMDW(const String& DSNName, const String& MDWPath) {
    return WriteSystemDB(host::HKEY_LOCAL_MACHINE, DSNName, MDWPath);
}

bool RegisterMDW(const String& DSNName, const String& MDWPath) {
    return WriteSystemDB(host::HKEY_CURRENT_USER, DSNName, MDWPath);
}

void initialization() {}
void Finalization() {}

}  // namespace OmbralCodeUnit
