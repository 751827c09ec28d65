// The test configuration on Windows: the registry of the Wine prefix that the
// test wrapper made. The data-source and driver keys are emptied between
// tests, so this refuses to run anywhere but in such a prefix.

#include <Win32Api.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include <platform/odbc/DriverRegistration.h>
#include <platform/win32/RegistryKeys.h>

#include "support/OdbcTestConfiguration.h"
#include "support/Processes.h"

namespace testsupport {

const bool kInstallerRemovesDefaultDataSource = false;

namespace {

const std::string kDataSources = "Software\\ODBC\\ODBC.INI";
const std::string kDrivers = "Software\\ODBC\\ODBCINST.INI";

HKEY HiveOf(Scope scope) { return scope == Scope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

void Require(LSTATUS status, const std::string& what) {
    if (status != ERROR_SUCCESS) throw std::runtime_error(what + ": " + win32::ErrorText(status));
}

void Write(HKEY hive, const std::string& path, const Entries& values) {
    LSTATUS status;
    auto key = win32::OpenKey(hive, path, KEY_WRITE, true, status);
    Require(status, path);
    for (const auto& [name, value] : values) Require(win32::SetString(key.Get(), name, value), path);
}

std::optional<std::string> Read(HKEY hive, const std::string& path, const std::string& name) {
    LSTATUS status;
    auto key = win32::OpenKey(hive, path, KEY_READ, false, status);
    if (!key) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string text(size, '\0');
    RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
    text.resize(std::min<std::size_t>(size, text.find('\0')));
    return text;
}

// Every key below `path` with its string values, sorted, one line each.
std::string Dump(HKEY hive, const std::string& path) {
    LSTATUS status;
    auto key = win32::OpenKey(hive, path, KEY_READ, false, status);
    if (!key) return {};
    std::vector<std::string> lines;
    char name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name, type = 0, size = 0;
        if (RegEnumValueA(key.Get(), index, name, &length, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::string valueName(name, length);
        lines.push_back(path + "|" + valueName + "=" + Read(hive, path, valueName).value_or("?"));
    }
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        lines.push_back(Dump(hive, path + "\\" + std::string(name, length)));
    }
    std::sort(lines.begin(), lines.end());
    std::string dump;
    for (const auto& line : lines) dump += line + "\n";
    return dump;
}

void Empty(HKEY hive, const std::string& path) {
    RegDeleteTreeA(hive, path.c_str());
    Write(hive, path, {});
}

}  // namespace

OdbcTestConfiguration::OdbcTestConfiguration() : setupLibrary_(odbcsetup::FindSetupLibrary()) {
    if (!std::getenv("OMBRAL_TEST_PREFIX"))
        throw std::runtime_error("the tests empty the ODBC registry keys: run them in a test prefix (cmake/wine-run.sh)");
}

void OdbcTestConfiguration::Reset() {
    Empty(HKEY_CURRENT_USER, kDataSources);
    Empty(HKEY_LOCAL_MACHINE, kDataSources);
    Empty(HKEY_LOCAL_MACHINE, kDrivers);
    odbcsetup::RegisterDrivers(setupLibrary_, kCatalogueDrivers, true);
}

void OdbcTestConfiguration::AddDataSource(Scope scope, const std::string& name, const Entries& values) {
    Write(HiveOf(scope), kDataSources + "\\" + name, values);
}

bool OdbcTestConfiguration::Exists(Scope scope, const std::string& name) {
    LSTATUS status;
    return static_cast<bool>(win32::OpenKey(HiveOf(scope), kDataSources + "\\" + name, KEY_READ, false, status));
}

std::optional<std::string> OdbcTestConfiguration::Value(Scope scope, const std::string& name, const std::string& key) {
    return Read(HiveOf(scope), kDataSources + "\\" + name, key);
}

std::string OdbcTestConfiguration::Snapshot(Scope scope) { return Dump(HiveOf(scope), kDataSources); }

void OdbcTestConfiguration::RegisterDriver(const std::string& driver, const Entries& values) {
    Write(HKEY_LOCAL_MACHINE, kDrivers + "\\" + driver, values);
}

void OdbcTestConfiguration::RemoveDrivers() { Empty(HKEY_LOCAL_MACHINE, kDrivers); }

std::string OdbcTestConfiguration::DriverSnapshot() { return Dump(HKEY_LOCAL_MACHINE, kDrivers); }

// reg.exe prints "    Name    REG_SZ    Value" for each value of the key.
std::optional<Values> PeerView(const std::string& name) {
    for (const char* hive : {"HKCU", "HKLM"}) {
        auto seen = Run({"reg", "query", std::string(hive) + "\\" + kDataSources + "\\" + name});
        if (seen.exitCode != 0) continue;
        Values values;
        const std::string separator = "    REG_SZ    ";
        std::size_t start = 0;
        for (std::size_t end; (end = seen.out.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string line = seen.out.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            auto at = line.find(separator);
            if (at == std::string::npos) continue;
            auto first = line.find_first_not_of(' ');
            values[line.substr(first, at - first)] = line.substr(at + separator.size());
        }
        return values;
    }
    return std::nullopt;
}

}  // namespace testsupport
