// The setup library's data sources on POSIX: sections of the user or system
// odbc.ini, written through the configuration-file module.

#include <odbcinst.h>

#include <algorithm>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/SetupLibrary.h>
#include <platform/posix/OdbcIniFile.h>

namespace odbcsetup {

namespace {

// An empty driver file gives way to the driver's name, which unixODBC finds in
// odbcinst.ini; a new data source always gets one of the two.
std::vector<Attribute> WithDriver(std::vector<Attribute> attributes, const std::string& driver, bool required) {
    auto entry = std::find_if(attributes.begin(), attributes.end(),
                              [](const Attribute& a) { return host::SameText(a.first, "Driver"); });
    if (entry == attributes.end()) {
        if (required) attributes.insert(attributes.begin(), {"Driver", driver});
    } else if (entry->second.empty()) {
        entry->second = driver;
    }
    return attributes;
}

void RequireSection(const odbcini::IniDocument& document, const std::string& name) {
    if (!document.HasSection(name))
        throw SetupError{ODBC_ERROR_INVALID_DSN, "the data source '" + name + "' does not exist"};
}

class IniDataSourceStore final : public DataSourceStore {
public:
    IniDataSourceStore(bool system, std::string driver) : system_(system), driver_(std::move(driver)) {}

    void Add(const std::string& name, const std::vector<Attribute>& attributes) override {
        Update([&](odbcini::IniDocument& d) { d.ReplaceSection(name, WithDriver(attributes, driver_, true)); });
    }

    void Configure(const std::string& name, const std::vector<Attribute>& attributes) override {
        Update([&](odbcini::IniDocument& d) {
            RequireSection(d, name);
            for (const auto& [key, value] : WithDriver(attributes, driver_, false)) d.SetValue(name, key, value);
        });
    }

    void Remove(const std::string& name) override {
        Update([&](odbcini::IniDocument& d) {
            RequireSection(d, name);
            d.RemoveSection(name);
        });
    }

private:
    // unixODBC needs the system file to exist; a user's own file is made on first use.
    template <typename Change>
    void Update(Change&& change) {
        const auto files = odbcini::LocateOdbcFiles();
        try {
            odbcini::UpdateIniFile(system_ ? files.systemOdbcIni : files.userOdbcIni, change,
                                   system_ ? odbcini::IfMissing::Fail : odbcini::IfMissing::Create);
        } catch (const odbcini::IniError& error) {
            throw SetupError{ODBC_ERROR_REQUEST_FAILED, error.what()};
        }
    }

    bool system_;
    std::string driver_;
};

}  // namespace

std::unique_ptr<DataSourceStore> OpenDataSourceStore(bool system, const std::string& driver) {
    return std::make_unique<IniDataSourceStore>(system, driver);
}

}  // namespace odbcsetup
