// The setup library's data sources on Windows: a key per data source under
// the scope's hive, one string value per attribute and Driver naming this
// DLL, with the data source listed in that hive's ODBC Data Sources key, as a
// desktop driver's own setup keeps them.
//
// A request is checked against the registry's limits, then written whole
// under a key beside the data source's and copied over it. Driver is always
// written last: a key without it is one cut short, which the next request
// for the name drops, and the tool reports as incomplete. (Wine's server
// fails on lookups after RegRenameKey, so the key is copied, not renamed.)

#include <PlatformOdbc.h>

#include <vector>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/DataSourceNames.h>
#include <platform/odbc/RegistryPaths.h>
#include <platform/odbc/SetupLibrary.h>
#include <platform/win32/AnsiText.h>
#include <platform/win32/RegistryKeys.h>

namespace odbcsetup {

namespace {

const std::string kDataSourceList = odbcpaths::BelowHive(odbcpaths::DataSourceKey(odbcpaths::kDataSourceList));
const std::string kBuilding(kBuildingSuffix);

// The longest value name the registry takes, in UTF-16 characters.
constexpr std::size_t kMaxValueName = 16383;

bool IsDriverKeyword(const std::string& keyword) { return host::SameText(keyword, "Driver"); }

void CheckKeyword(const std::string& keyword) {
    // A blank name is the key's default value, which is no attribute.
    if (keyword.empty())
        throw SetupError{ODBC_ERROR_INVALID_KEYWORD_VALUE, "an attribute has no keyword before its '='"};
    const std::size_t length = win32::Wide(keyword).size();
    if (length > kMaxValueName)
        throw SetupError{ODBC_ERROR_INVALID_KEYWORD_VALUE,
                         "the keyword '" + host::EscapeControls(keyword.substr(0, 32)) + "...' has " +
                             std::to_string(length) + " characters; the registry takes at most " +
                             std::to_string(kMaxValueName)};
}

bool IsDriverName(const wchar_t* name) { return CompareStringOrdinal(name, -1, L"Driver", -1, TRUE) == CSTR_EQUAL; }

// Copies the values of `from` other than Driver, or (driver) Driver alone,
// as they are stored: wide, whatever their type.
LSTATUS CopyValues(HKEY from, HKEY to, bool driver) {
    DWORD count = 0, longestName = 0, longestData = 0;
    LSTATUS status = RegQueryInfoKeyW(from, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                      &longestName, &longestData, nullptr, nullptr);
    std::wstring name(longestName + 1, L'\0');
    std::vector<BYTE> data(longestData + 1);
    for (DWORD index = 0; status == ERROR_SUCCESS && index < count; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = 0;
        status = RegEnumValueW(from, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_SUCCESS && IsDriverName(name.c_str()) == driver)
            status = RegSetValueExW(to, name.c_str(), 0, type, data.data(), size);
    }
    return status;
}

class RegistryDataSourceStore final : public DataSourceStore {
public:
    RegistryDataSourceStore(bool system, std::string driver)
        : hive_(system ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER), driver_(std::move(driver)) {}

    void Add(const std::string& name, const std::vector<Attribute>& attributes) override {
        CheckKeywords(attributes);
        Recover(name);
        Build(name, [&](const win32::Key& building) {
            SetValues(building, attributes);
            Check(win32::SetString(building.Get(), "Driver", win32::ThisModulePath()), name);
        });
        Commit(name);
        LSTATUS status;
        auto list = win32::OpenKey(hive_, kDataSourceList, KEY_SET_VALUE, true, status);
        Check(status, kDataSourceList);
        Check(win32::SetString(list.Get(), name, driver_), kDataSourceList);
    }

    void Configure(const std::string& name, const std::vector<Attribute>& attributes) override {
        CheckKeywords(attributes);
        Recover(name);
        {
            const auto current = Open(name);
            if (!NamesDriver(current))
                throw SetupError{ODBC_ERROR_INVALID_DSN,
                                 "the data source '" + name + "' is incomplete: it names no Driver; add it again"};
            Build(name, [&](const win32::Key& building) {
                Check(CopyValues(current.Get(), building.Get(), false), name);
                SetValues(building, attributes);
                Check(CopyValues(current.Get(), building.Get(), true), name);
            });
        }
        Commit(name);
    }

    // Driver goes first, so that a removal cut short leaves a key that is
    // seen to be incomplete.
    void Remove(const std::string& name) override {
        Recover(name);
        CheckUnlessAbsent(RegDeleteValueA(Open(name, KEY_SET_VALUE).Get(), "Driver"), name);
        Check(RegDeleteTreeA(hive_, Path(name).c_str()), name);
        LSTATUS status;
        if (auto list = win32::OpenKey(hive_, kDataSourceList, KEY_SET_VALUE, false, status))
            RegDeleteValueA(list.Get(), name.c_str());
    }

private:
    static void CheckKeywords(const std::vector<Attribute>& attributes) {
        for (const auto& attribute : attributes) CheckKeyword(attribute.first);
    }

    static std::string Path(const std::string& name) { return odbcpaths::BelowHive(odbcpaths::DataSourceKey(name)); }

    static bool NamesDriver(const win32::Key& key) {
        return RegQueryValueExA(key.Get(), "Driver", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

    win32::Key Open(const std::string& name, REGSAM rights = KEY_READ) {
        LSTATUS status;
        auto key = win32::OpenKey(hive_, Path(name), rights, false, status);
        if (status == ERROR_FILE_NOT_FOUND)
            throw SetupError{ODBC_ERROR_INVALID_DSN, "the data source '" + name + "' does not exist"};
        Check(status, name);
        return key;
    }

    win32::Key Create(const std::string& name) {
        LSTATUS status;
        auto key = win32::OpenKey(hive_, Path(name), KEY_READ | KEY_WRITE, true, status);
        Check(status, name);
        return key;
    }

    // Fills the key beside the data source; one that fails goes again.
    template <typename Fill>
    void Build(const std::string& name, Fill&& fill) {
        try {
            fill(Create(name + kBuilding));
        } catch (...) {
            RegDeleteTreeA(hive_, Path(name + kBuilding).c_str());
            throw;
        }
    }

    // The key built beside the data source takes its place, Driver last.
    void Commit(const std::string& name) {
        CheckUnlessAbsent(RegDeleteTreeA(hive_, Path(name).c_str()), name);
        {
            auto built = Open(name + kBuilding);
            auto target = Create(name);
            Check(CopyValues(built.Get(), target.Get(), false), name);
            Check(CopyValues(built.Get(), target.Get(), true), name);
        }
        RegDeleteTreeA(hive_, Path(name + kBuilding).c_str());
    }

    // A request killed halfway left its key beside the data source: whole,
    // it takes the data source's place as the request would have; cut short
    // before Driver, it goes.
    void Recover(const std::string& name) {
        if (BuiltWhole(name)) Commit(name);
        else RegDeleteTreeA(hive_, Path(name + kBuilding).c_str());
    }

    bool BuiltWhole(const std::string& name) const {
        LSTATUS status;
        const auto built = win32::OpenKey(hive_, Path(name + kBuilding), KEY_READ, false, status);
        return built && NamesDriver(built);
    }

    void SetValues(const win32::Key& key, const std::vector<Attribute>& attributes) {
        for (const auto& [keyword, value] : attributes)
            if (!IsDriverKeyword(keyword)) Check(win32::SetString(key.Get(), keyword, value), keyword);
    }

    void CheckUnlessAbsent(LSTATUS status, const std::string& what) const {
        if (status != ERROR_FILE_NOT_FOUND) Check(status, what);
    }

    void Check(LSTATUS status, const std::string& what) const {
        if (status != ERROR_SUCCESS)
            throw SetupError{ODBC_ERROR_REQUEST_FAILED,
                             host::CannotText("write", "'" + what + "'", win32::ErrorText(status))};
    }

    HKEY hive_;
    std::string driver_;
};

}  // namespace

std::unique_ptr<DataSourceStore> OpenDataSourceStore(bool system, const std::string& driver) {
    return std::make_unique<RegistryDataSourceStore>(system, driver);
}

}  // namespace odbcsetup
