// Driver registration on POSIX: sections of unixODBC's odbcinst.ini, and the
// private configuration selected through unixODBC's environment variables.

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <platform/odbc/DriverRegistration.h>
#include <platform/posix/OdbcIniFile.h>

namespace odbcsetup {

namespace {

namespace fs = std::filesystem;

template <typename Action>
auto Registering(Action&& action) {
    try {
        return action();
    } catch (const odbcini::IniError& error) {
        throw RegistrationError(error.what());
    }
}

void MakeFile(const std::string& file) {
    if (fs::exists(file)) return;
    Registering([&] { odbcini::UpdateIniFile(file, [](odbcini::IniDocument&) {}, odbcini::IfMissing::Create); });
}

}  // namespace

std::string FindSetupLibrary() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    for (const auto& candidate : {program.parent_path() / "libombralsetup.so",
                                  program.parent_path() / OMBRAL_SETUP_FROM_BIN / "libombralsetup.so"})
        if (fs::exists(candidate, error)) return candidate.lexically_normal().string();
    return {};
}

std::optional<DriverValues> ReadDriverRegistration(const std::string& driver) {
    return Registering([&]() -> std::optional<DriverValues> {
        auto document = odbcini::ReadIniFile(odbcini::LocateOdbcFiles().odbcinstIni);
        if (!document || !document->HasSection(driver)) return std::nullopt;
        auto entries = document->Entries(driver);
        return DriverValues(entries.begin(), entries.end());
    });
}

void WriteDriverRegistrations(const std::map<std::string, DriverValues>& registrations) {
    Registering([&] {
        odbcini::UpdateIniFile(
            odbcini::LocateOdbcFiles().odbcinstIni,
            [&](odbcini::IniDocument& document) {
                for (const auto& [driver, values] : registrations)
                    document.ReplaceSection(driver, {values.begin(), values.end()});
            },
            odbcini::IfMissing::Create);
    });
}

bool HasPrivateConfigurations() { return true; }

PrivateConfiguration UsePrivateConfiguration(const std::string& folder, const std::string& setupLibrary,
                                             const std::vector<std::string>& drivers) {
    const fs::path root = fs::absolute(folder);
    PrivateConfiguration configuration{root.string(), (root / "odbcinst.ini").string(),
                                       (root / "odbc.ini").string(), (root / "user" / "odbc.ini").string()};
    std::error_code error;
    fs::create_directories(root / "user", error);
    if (error) throw RegistrationError("cannot make " + (root / "user").string() + ": " + error.message());
    ::setenv("ODBCSYSINI", configuration.folder.c_str(), 1);
    ::setenv("ODBCINI", configuration.userOdbcIni.c_str(), 1);
    ::unsetenv("ODBCINSTINI");
    RegisterDrivers(setupLibrary, drivers, true);
    MakeFile(configuration.systemOdbcIni);
    MakeFile(configuration.userOdbcIni);
    return configuration;
}

}  // namespace odbcsetup
