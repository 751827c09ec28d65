#include <platform/odbc/DriverRegistration.h>

namespace odbcsetup {

namespace {

// "Microsoft Text Driver (*.txt, *.csv)" serves "*.txt,*.csv".
std::string FileExtensions(const std::string& driver) {
    auto open = driver.rfind('('), close = driver.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return {};
    std::string extensions;
    for (char c : driver.substr(open + 1, close - open - 1))
        if (c != ' ') extensions.push_back(c);
    return extensions;
}

// unixODBC loads Setup64 on 64-bit systems and Setup elsewhere; some Wine
// versions load Driver, newer ones Setup.
DriverValues ValuesFor(const std::string& driver, const std::string& setupLibrary) {
    return {{"Description", driver},  {"Driver", setupLibrary},     {"Setup", setupLibrary},
            {"Setup64", setupLibrary}, {"DriverODBCVer", "03.50"}, {"FileExtns", FileExtensions(driver)},
            {"UsageCount", "1"}};
}

bool Holds(const DriverValues& present, const DriverValues& wanted) {
    for (const auto& [name, value] : wanted) {
        auto found = present.find(name);
        if (found == present.end() || found->second != value) return false;
    }
    return true;
}

bool ServedBy(const DriverValues& present, const std::string& setupLibrary) {
    for (const char* name : {"Driver", "Setup"}) {
        auto found = present.find(name);
        if (found != present.end() && found->second != setupLibrary) return false;
    }
    return true;
}

}  // namespace

void RegisterDrivers(const std::string& setupLibrary, const std::vector<std::string>& drivers, bool replace) {
    std::map<std::string, DriverValues> changes;
    for (const auto& driver : drivers) {
        auto wanted = ValuesFor(driver, setupLibrary);
        auto present = ReadDriverRegistration(driver);
        if (present && Holds(*present, wanted)) continue;
        if (present && !replace && !ServedBy(*present, setupLibrary))
            throw RegistrationError("the driver '" + driver + "' is registered already (Driver=" +
                                    (present->count("Driver") ? present->at("Driver") : std::string()) +
                                    "); --force replaces it");
        changes.emplace(driver, std::move(wanted));
    }
    if (!changes.empty()) WriteDriverRegistrations(changes);
}

}  // namespace odbcsetup
