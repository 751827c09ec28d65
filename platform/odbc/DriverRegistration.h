#pragma once
// Registering the stand-in setup library for the desktop drivers, and the
// private ODBC configuration that the tool and the tests run in where the
// platform has one.

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace odbcsetup {

class RegistrationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The setup library beside the running program (a build tree), or where an
// installed program finds it; empty when neither exists.
std::string FindSetupLibrary();

// Registers each driver (by its description) with the installer against the
// setup library. A driver that is registered already to another library is
// refused, naming it, unless `replace` is set: real drivers are never replaced
// silently. Nothing is written when every driver is registered so already.
void RegisterDrivers(const std::string& setupLibrary, const std::vector<std::string>& drivers, bool replace);

// Whether this platform can run the installer in a private configuration.
bool HasPrivateConfigurations();

struct PrivateConfiguration {
    std::string folder;
    std::string odbcinstIni;    // folder/odbcinst.ini
    std::string systemOdbcIni;  // folder/odbc.ini
    std::string userOdbcIni;    // folder/user/odbc.ini
    // Read before the first change made it: the drivers that change would
    // register first are not registered yet.
    bool driversPending = false;
};

// Whether the work done in a private configuration may change it.
enum class ConfigurationUse { Change, ReadOnly };

// Points this process at the private configuration in `folder`, whose parent
// folder must exist. For a change, first makes what is missing of it (the
// folder, the drivers registered, an empty system and user odbc.ini); to read
// it, makes nothing: a configuration not made yet is an empty one. Call
// before the first installer call: unixODBC reads its configuration folder
// once per process. Throws RegistrationError.
PrivateConfiguration UsePrivateConfiguration(const std::string& folder, const std::string& setupLibrary,
                                             const std::vector<std::string>& drivers,
                                             ConfigurationUse use = ConfigurationUse::Change);

// What the platform keeps of one driver's registration: its values by name,
// or nothing when the driver is not registered.
using DriverValues = std::map<std::string, std::string>;
std::optional<DriverValues> ReadDriverRegistration(const std::string& driver);
void WriteDriverRegistrations(const std::map<std::string, DriverValues>& registrations);

}  // namespace odbcsetup
