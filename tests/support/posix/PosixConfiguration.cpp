// The test configuration on POSIX: a private unixODBC configuration in a
// temporary folder, looked at through the configuration-file module.

#include <sys/stat.h>

#include <filesystem>

#include <platform/odbc/DriverRegistration.h>
#include <platform/posix/OdbcIniFile.h>

#include "support/Files.h"
#include "support/OdbcTestConfiguration.h"
#include "support/Processes.h"

namespace testsupport {

const bool kInstallerRemovesDefaultDataSource = true;

namespace {

TemporaryFolder& ProcessFolder() {
    static TemporaryFolder folder;
    return folder;
}

std::string FileOf(Scope scope) {
    auto files = odbcini::LocateOdbcFiles();
    return scope == Scope::User ? files.userOdbcIni : files.systemOdbcIni;
}

void Replace(const std::string& file, const std::string& section, const Entries& values) {
    odbcini::UpdateIniFile(file, [&](odbcini::IniDocument& d) { d.ReplaceSection(section, values); },
                           odbcini::IfMissing::Create);
}

}  // namespace

OdbcTestConfiguration::OdbcTestConfiguration() : setupLibrary_(odbcsetup::FindSetupLibrary()) {
    odbcsetup::UsePrivateConfiguration(ProcessFolder().Path(), setupLibrary_, kCatalogueDrivers);
}

void OdbcTestConfiguration::Reset() {
    auto files = odbcini::LocateOdbcFiles();
    for (const auto& file : {files.systemOdbcIni, files.userOdbcIni, files.odbcinstIni}) {
        std::filesystem::remove(file);
        WriteFile(file, "");
        ::chmod(file.c_str(), 0644);
    }
    ::chmod(ProcessFolder().Path().c_str(), 0755);
    odbcsetup::RegisterDrivers(setupLibrary_, kCatalogueDrivers, true);
}

void OdbcTestConfiguration::AddDataSource(Scope scope, const std::string& name, const Entries& values) {
    Replace(FileOf(scope), name, values);
}

bool OdbcTestConfiguration::Exists(Scope scope, const std::string& name) {
    auto document = odbcini::ReadIniFile(FileOf(scope));
    return document && document->HasSection(name);
}

std::optional<std::string> OdbcTestConfiguration::Value(Scope scope, const std::string& name,
                                                        const std::string& key) {
    auto document = odbcini::ReadIniFile(FileOf(scope));
    return document ? document->Value(name, key) : std::nullopt;
}

std::string OdbcTestConfiguration::Snapshot(Scope scope) { return ReadFile(FileOf(scope)); }

void OdbcTestConfiguration::RegisterDriver(const std::string& driver, const Entries& values) {
    Replace(odbcini::LocateOdbcFiles().odbcinstIni, driver, values);
}

void OdbcTestConfiguration::RemoveDrivers() { WriteFile(odbcini::LocateOdbcFiles().odbcinstIni, ""); }

std::string OdbcTestConfiguration::DriverSnapshot() { return ReadFile(odbcini::LocateOdbcFiles().odbcinstIni); }

std::optional<Values> PeerView(const std::string& name) {
    auto seen = Run({"odbcinst", "-q", "-s", "-n", name});
    if (seen.exitCode != 0) return std::nullopt;
    Values values;
    std::size_t start = 0;
    for (std::size_t end; (end = seen.out.find('\n', start)) != std::string::npos; start = end + 1) {
        auto line = seen.out.substr(start, end - start);
        if (auto equals = line.find('='); equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

}  // namespace testsupport
