#include <platform/odbc/DriverRegistration.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <platform/posix/OdbcIniFile.h>

namespace odbcsetup {

namespace {

namespace fs = std::filesystem;

// "Microsoft Text Driver (*.txt, *.csv)" serves "*.txt,*.csv".
std::string FileExtensions(const std::string& driver) {
    auto open = driver.rfind('('), close = driver.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return {};
    std::string extensions;
    for (char c : driver.substr(open + 1, close - open - 1))
        if (c != ' ') extensions.push_back(c);
    return extensions;
}

std::vector<odbcini::Entry> DriverEntries(const std::string& driver, const std::string& setupLibrary) {
    return {{"Description", driver},     {"Driver", setupLibrary},    {"Setup", setupLibrary},
            {"Setup64", setupLibrary},   {"DriverODBCVer", "03.50"},  {"FileExtns", FileExtensions(driver)},
            {"UsageCount", "1"}};
}

bool IsRegistered(const odbcini::IniDocument& document, const std::string& driver,
                  const std::vector<odbcini::Entry>& entries) {
    for (const auto& [key, value] : entries)
        if (document.Value(driver, key) != value) return false;
    return true;
}

void MakeFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) throw odbcini::IniError("cannot make " + folder.string() + ": " + error.message());
}

void EnsureFile(const std::string& file) {
    odbcini::UpdateIniFile(file, [](odbcini::IniDocument&) {}, odbcini::IfMissing::Create);
}

}  // namespace

std::string FindSetupLibrary() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    for (const auto& candidate : {program.parent_path() / "libombralsetup.so",
                                  program.parent_path() / OMBRAL_SETUP_FROM_BIN / "libombralsetup.so"})
        if (fs::exists(candidate, error)) return candidate.string();
    return {};
}

void RegisterDrivers(const std::string& odbcinstIni, const std::string& setupLibrary,
                     const std::vector<std::string>& drivers) {
    auto current = odbcini::ReadIniFile(odbcinstIni);
    bool registered = current.has_value();
    for (const auto& driver : drivers)
        registered = registered && IsRegistered(*current, driver, DriverEntries(driver, setupLibrary));
    if (registered) return;
    odbcini::UpdateIniFile(
        odbcinstIni,
        [&](odbcini::IniDocument& document) {
            for (const auto& driver : drivers) document.ReplaceSection(driver, DriverEntries(driver, setupLibrary));
        },
        odbcini::IfMissing::Create);
}

PrivateConfiguration UsePrivateConfiguration(const std::string& folder, const std::string& setupLibrary,
                                             const std::vector<std::string>& drivers) {
    const fs::path root = fs::absolute(folder);
    PrivateConfiguration configuration{root.string(), (root / "odbcinst.ini").string(),
                                       (root / "odbc.ini").string(), (root / "user" / "odbc.ini").string()};
    MakeFolder(root / "user");
    RegisterDrivers(configuration.odbcinstIni, setupLibrary, drivers);
    if (!fs::exists(configuration.systemOdbcIni)) EnsureFile(configuration.systemOdbcIni);
    if (!fs::exists(configuration.userOdbcIni)) EnsureFile(configuration.userOdbcIni);
    ::setenv("ODBCSYSINI", configuration.folder.c_str(), 1);
    ::setenv("ODBCINI", configuration.userOdbcIni.c_str(), 1);
    ::unsetenv("ODBCINSTINI");
    return configuration;
}

}  // namespace odbcsetup
