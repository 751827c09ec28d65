#pragma once
// Registering the stand-in setup library for the desktop drivers, and the
// private ODBC configuration that the tool and the tests run in.

#include <string>
#include <vector>

namespace odbcsetup {

// The setup library beside the running program (a build tree), or where an
// installed program finds it; empty when neither exists.
std::string FindSetupLibrary();

// Registers each driver (by its description) in odbcinst.ini against the setup
// library. A driver already registered so is left alone; the file is written
// only when something changes.
void RegisterDrivers(const std::string& odbcinstIni, const std::string& setupLibrary,
                     const std::vector<std::string>& drivers);

struct PrivateConfiguration {
    std::string folder;
    std::string odbcinstIni;    // folder/odbcinst.ini
    std::string systemOdbcIni;  // folder/odbc.ini
    std::string userOdbcIni;    // folder/user/odbc.ini
};

// Makes what is missing of a private configuration in `folder` (the drivers
// registered, an empty system and user odbc.ini) and points this process's
// environment at it (ODBCSYSINI, ODBCINI). Call before the first installer
// call: unixODBC reads ODBCSYSINI once per process. Throws odbcini::IniError.
PrivateConfiguration UsePrivateConfiguration(const std::string& folder, const std::string& setupLibrary,
                                             const std::vector<std::string>& drivers);

}  // namespace odbcsetup
