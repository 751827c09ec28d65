// Where unixODBC's configuration files are.

#include "IniFileFixture.h"

#include <pwd.h>

#include <cstdlib>

using namespace initest;

namespace {

// ---- where the files are ----------------------------------------------------------

TEST(LocateOdbcFiles, FollowsTheEnvironmentAndThePasswordDatabase) {
    const char* names[] = {"ODBCSYSINI", "ODBCINSTINI", "ODBCINI", "HOME"};
    std::vector<std::optional<std::string>> saved;
    for (const char* n : names) saved.push_back(getenv(n) ? std::optional<std::string>(getenv(n)) : std::nullopt);
    const auto set = [](const char* name, const char* value) { value ? setenv(name, value, 1) : unsetenv(name); };

    const passwd* pw = getpwuid(getuid());
    const std::string home = pw ? std::string(pw->pw_dir) + "/.odbc.ini" : "";
    set("HOME", "/no/such/home");  // unixODBC goes by the password database, and so must we
    const struct { const char *sysIni, *instIni, *odbcIni; std::string inst, sys, user; } cases[] = {
        {nullptr, nullptr, nullptr, "/etc/odbcinst.ini", "/etc/odbc.ini", home},
        {"/opt/odbc", nullptr, nullptr, "/opt/odbc/odbcinst.ini", "/opt/odbc/odbc.ini", home},
        {"/opt/odbc/", "drivers.ini", "/u/my.ini", "/opt/odbc/drivers.ini", "/opt/odbc/odbc.ini", "/u/my.ini"},
        {"", "/abs/inst.ini", "", "/abs/inst.ini", "/etc/odbc.ini", home},
    };
    for (const auto& c : cases) {
        set("ODBCSYSINI", c.sysIni);
        set("ODBCINSTINI", c.instIni);
        set("ODBCINI", c.odbcIni);
        const OdbcFiles files = LocateOdbcFiles();
        EXPECT_EQ(files.odbcinstIni, c.inst);
        EXPECT_EQ(files.systemOdbcIni, c.sys);
        EXPECT_EQ(files.userOdbcIni, c.user);
    }
    for (size_t i = 0; i < std::size(names); ++i) set(names[i], saved[i] ? saved[i]->c_str() : nullptr);
}

}  // namespace
