// The setup DLL under the real odbccp32: where it keeps a data source.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <PlatformOdbc.h>
#include <Win32Api.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>

#include "support/OdbcTestConfiguration.h"

using namespace OmbralCodeUnit;
using namespace std::string_literals;
using testsupport::Scope;

namespace {

class Win32InstallerTest : public testsupport::OdbcTest {
protected:
    std::optional<std::string> Listed(HKEY hive, const std::string& name) {
        char value[256] = {};
        DWORD size = sizeof value;
        if (RegGetValueA(hive, "Software\\ODBC\\ODBC.INI\\ODBC Data Sources", name.c_str(), RRF_RT_REG_SZ, nullptr,
                         value, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return std::string(value);
    }
    // `pairs` as the installer takes them: each closed by a NUL.
    static bool ConfigDataSource(WORD request, const std::string& pairs) {
        return SQLConfigDataSource(nullptr, request, "Microsoft Paradox Driver (*.db )", (pairs + '\0').c_str());
    }
};

TEST_F(Win32InstallerTest, DataSourceIsKeptAndListedInItsHiveAndRemovedFromBoth) {
    const std::string paradox = "Microsoft Paradox Driver (*.db )";
    for (auto [add, remove, hive, scope] : {std::tuple{4, 6, HKEY_LOCAL_MACHINE, Scope::System},
                                            std::tuple{1, 3, HKEY_CURRENT_USER, Scope::User}}) {
        ASSERT_TRUE(CreateDSN(add, 4, "Listed", "d", "C:\\Data", "", "", "", ""));
        EXPECT_EQ(Odbc().Value(scope, "Listed", "Driver"), Odbc().SetupLibrary());
        EXPECT_EQ(Odbc().Value(scope, "Listed", "DefaultDir"), "C:\\Data");
        EXPECT_EQ(Listed(hive, "Listed"), paradox);
        ASSERT_TRUE(RemoveDSN(remove, 4, "Listed"));
        EXPECT_FALSE(Odbc().Exists(scope, "Listed"));
        EXPECT_EQ(Listed(hive, "Listed"), std::nullopt);
    }
}

// A request the registry could not carry out whole changes nothing: not the
// data source it would replace or reconfigure, and no key is left beside it.
// One that names no driver is not reconfigured into looking whole.
TEST_F(Win32InstallerTest, ARefusedRequestChangesNothing) {
    ASSERT_TRUE(CreateDSN(1, 4, "Victim", "kept", "C:\\Data", "", "ann", "secret", ""));
    Odbc().AddDataSource(Scope::User, "Half", {{"Description", "new"}});
    const std::string tooLong = "DSN=Victim\0Description=new\0"s + std::string(16384, 'k') + "=v\0"s;
    const struct {
        const char* label;
        WORD request;
        std::string pairs;
    } cases[] = {
        {"a keyword longer than a value name may be", ODBC_ADD_DSN, tooLong},
        {"the same, reconfiguring", ODBC_CONFIG_DSN, tooLong},
        {"a keyword that would be the key's default value", ODBC_ADD_DSN, "DSN=Victim\0Description=new\0=v\0"s},
        {"a data source that names no driver", ODBC_CONFIG_DSN, "DSN=Half\0Threads=9\0"s},
    };
    const auto before = Odbc().Snapshot(Scope::User);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_FALSE(ConfigDataSource(c.request, c.pairs));
        EXPECT_EQ(Odbc().Snapshot(Scope::User), before);
    }
}

// A program killed halfway leaves the key it built beside the data source.
// Cut short before Driver, it is dropped; whole, it replaces the data source,
// which the copy over it may have left without Driver.
TEST_F(Win32InstallerTest, TheNextRequestSettlesWhatAKilledOneLeft) {
    const std::string driver = Odbc().SetupLibrary();
    const struct {
        const char* label;
        testsupport::Entries stored, built;
        const char* description;  // once reconfigured
    } cases[] = {
        {"killed while building", {{"Description", "kept"}, {"Driver", driver}}, {{"Description", "half"}}, "kept"},
        {"killed while copying", {{"Description", "new"}}, {{"Description", "new"}, {"Driver", driver}}, "new"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Odbc().Reset();
        Odbc().AddDataSource(Scope::User, "Victim", c.stored);
        Odbc().AddDataSource(Scope::User, "Victim{new}", c.built);
        ASSERT_TRUE(ConfigDataSource(ODBC_CONFIG_DSN, "DSN=Victim\0Threads=9\0"s));
        EXPECT_EQ(Odbc().Value(Scope::User, "Victim", "Description"), c.description);
        EXPECT_EQ(Odbc().Value(Scope::User, "Victim", "Threads"), "9");
        EXPECT_EQ(Odbc().Value(Scope::User, "Victim", "Driver"), driver);
        EXPECT_FALSE(Odbc().Exists(Scope::User, "Victim{new}"));
    }
}

}  // namespace
