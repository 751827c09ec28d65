// The setup DLL under the real odbccp32: where it keeps a data source.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <Win32Api.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>

#include "support/OdbcTestConfiguration.h"

using namespace OmbralCodeUnit;
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

}  // namespace
