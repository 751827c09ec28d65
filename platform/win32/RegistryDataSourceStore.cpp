// The setup library's data sources on Windows: a key per data source under
// the scope's hive, one string value per attribute and Driver naming this
// DLL, with the data source listed in that hive's ODBC Data Sources key, as a
// desktop driver's own setup keeps them.

#include <PlatformOdbc.h>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/SetupLibrary.h>
#include <platform/win32/RegistryKeys.h>

namespace odbcsetup {

namespace {

const std::string kDataSources = "Software\\ODBC\\ODBC.INI\\";
const std::string kDataSourceList = "Software\\ODBC\\ODBC.INI\\ODBC Data Sources";

bool IsDriverKeyword(const std::string& keyword) { return host::SameText(keyword, "Driver"); }

class RegistryDataSourceStore final : public DataSourceStore {
public:
    RegistryDataSourceStore(bool system, std::string driver)
        : hive_(system ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER), driver_(std::move(driver)) {}

    void Add(const std::string& name, const std::vector<Attribute>& attributes) override {
        RegDeleteTreeA(hive_, (kDataSources + name).c_str());
        auto key = Open(name, true);
        SetValues(key, attributes);
        Check(win32::SetString(key.Get(), "Driver", win32::ThisModulePath()), name);
        LSTATUS status;
        auto list = win32::OpenKey(hive_, kDataSourceList, KEY_SET_VALUE, true, status);
        Check(status, kDataSourceList);
        Check(win32::SetString(list.Get(), name, driver_), kDataSourceList);
    }

    void Configure(const std::string& name, const std::vector<Attribute>& attributes) override {
        auto key = Open(name, false);
        SetValues(key, attributes);
    }

    void Remove(const std::string& name) override {
        Open(name, false);
        Check(RegDeleteTreeA(hive_, (kDataSources + name).c_str()), name);
        LSTATUS status;
        if (auto list = win32::OpenKey(hive_, kDataSourceList, KEY_SET_VALUE, false, status))
            RegDeleteValueA(list.Get(), name.c_str());
    }

private:
    win32::Key Open(const std::string& name, bool create) {
        LSTATUS status;
        auto key = win32::OpenKey(hive_, kDataSources + name, KEY_READ | KEY_WRITE, create, status);
        if (status == ERROR_FILE_NOT_FOUND)
            throw SetupError{ODBC_ERROR_INVALID_DSN, "the data source '" + name + "' does not exist"};
        Check(status, name);
        return key;
    }

    void SetValues(const win32::Key& key, const std::vector<Attribute>& attributes) {
        for (const auto& [keyword, value] : attributes)
            if (!IsDriverKeyword(keyword)) Check(win32::SetString(key.Get(), keyword, value), keyword);
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
