// Driver registration on Windows: keys under HKLM\Software\ODBC\ODBCINST.INI,
// listed in its ODBC Drivers key, as a driver's installer makes them.

#include <Win32Api.h>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/DriverRegistration.h>
#include <platform/odbc/RegistryPaths.h>
#include <platform/win32/RegistryKeys.h>

namespace odbcsetup {

namespace {

std::string DriverKey(std::string_view driver) { return odbcpaths::BelowHive(odbcpaths::DriverKey(driver)); }
const std::string kDriverList = DriverKey(odbcpaths::kDriverList);

void Check(LSTATUS status, const std::string& what) {
    if (status != ERROR_SUCCESS)
        throw RegistrationError(host::CannotText("write", "HKEY_LOCAL_MACHINE\\" + what, win32::ErrorText(status)));
}

std::string ValueText(DWORD type, const BYTE* data, DWORD size) {
    if (type == REG_DWORD && size == sizeof(DWORD)) return std::to_string(*reinterpret_cast<const DWORD*>(data));
    std::string text(reinterpret_cast<const char*>(data), size);
    if (auto end = text.find('\0'); end != std::string::npos) text.resize(end);
    return text;
}

}  // namespace

std::string FindSetupLibrary() {
    std::string program = win32::ThisModulePath();
    std::string candidate = program.substr(0, program.find_last_of("\\/") + 1) + "ombralsetup.dll";
    return GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : candidate;
}

std::optional<DriverValues> ReadDriverRegistration(const std::string& driver) {
    LSTATUS status;
    auto key = win32::OpenKey(HKEY_LOCAL_MACHINE, DriverKey(driver), KEY_READ, false, status);
    if (!key) return std::nullopt;
    DriverValues values;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof name, type = 0, size = 0;
        if (RegEnumValueA(key.Get(), index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return values;
        std::string data(size, '\0');
        nameLength = sizeof name;
        RegEnumValueA(key.Get(), index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                      &size);
        values[std::string(name, nameLength)] = ValueText(type, reinterpret_cast<const BYTE*>(data.data()), size);
    }
}

void WriteDriverRegistrations(const std::map<std::string, DriverValues>& registrations) {
    LSTATUS status;
    auto list = win32::OpenKey(HKEY_LOCAL_MACHINE, kDriverList, KEY_SET_VALUE, true, status);
    Check(status, kDriverList);
    for (const auto& [driver, values] : registrations) {
        auto key = win32::OpenKey(HKEY_LOCAL_MACHINE, DriverKey(driver), KEY_SET_VALUE, true, status);
        Check(status, DriverKey(driver));
        for (const auto& [name, value] : values) Check(win32::SetString(key.Get(), name, value), DriverKey(driver));
        Check(win32::SetString(list.Get(), driver, "Installed"), kDriverList);
    }
}

bool HasPrivateConfigurations() { return false; }

PrivateConfiguration UsePrivateConfiguration(const std::string&, const std::string&, const std::vector<std::string>&,
                                             ConfigurationUse) {
    throw RegistrationError("Windows has one ODBC configuration, its registry: there is no private one");
}

}  // namespace odbcsetup
