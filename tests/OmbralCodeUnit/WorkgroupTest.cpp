#include <gtest/gtest.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <HeadlessUi.h>
#include <platform/host/Registry.h>

#include "support/UnitFixture.h"

using namespace OmbralCodeUnit;
using namespace std::string_literals;

namespace {

class WorkgroupTest : public testsupport::UnitTest {
protected:
    std::optional<std::string> SystemDB(const std::string& file, const std::string& name) {
        return odbcini::ReadIniFile(file)->Value(name, "SystemDB");
    }
};

TEST_F(WorkgroupTest, RecordsAndReplacesTheFileOfAUserDataSource) {
    testsupport::AddSection(Files().userOdbcIni, "Shop", {{"Description", "kept"}});
    ASSERT_TRUE(RegisterMDW("Shop", "C:\\Data\\System.MDW"));
    EXPECT_EQ(SystemDB(Files().userOdbcIni, "Shop"), "C:\\Data\\System.MDW");
    ASSERT_TRUE(RegisterMDW("Shop", "/other/secured.mdw"));
    EXPECT_EQ(SystemDB(Files().userOdbcIni, "Shop"), "/other/secured.mdw");
    EXPECT_EQ(odbcini::ReadIniFile(Files().userOdbcIni)->Value("Shop", "Description"), "kept");
}

TEST_F(WorkgroupTest, EachRoutineLooksOnlyInItsOwnHive) {
    testsupport::AddSection(Files().userOdbcIni, "UserOnly");
    testsupport::AddSection(Files().systemOdbcIni, "SystemOnly");
    EXPECT_FALSE(RegisterSystemMDW("UserOnly", "w.mdw"));
    EXPECT_FALSE(RegisterMDW("SystemOnly", "w.mdw"));
    EXPECT_TRUE(RegisterSystemMDW("SystemOnly", "w.mdw"));
    EXPECT_EQ(SystemDB(Files().systemOdbcIni, "SystemOnly"), "w.mdw");
    EXPECT_EQ(SystemDB(Files().userOdbcIni, "UserOnly"), std::nullopt);
}

TEST_F(WorkgroupTest, RefusedRequestsLeaveTheFilesByteForByte) {
    testsupport::AddSection(Files().userOdbcIni, "Shop", {{"SystemDB", "old.mdw"}});
    const auto before = testsupport::ReadFile(Files().userOdbcIni);
    const std::pair<String, String> refused[] = {
        {"Shop", ""}, {"Absent", "w.mdw"}, {"", "w.mdw"}, {"Shop\\Sub", "w.mdw"}, {"Shop\0x"s, "w.mdw"}};
    for (const auto& [name, path] : refused) {
        EXPECT_FALSE(RegisterMDW(name, path)) << testing::PrintToString(name);
        EXPECT_FALSE(RegisterSystemMDW(name, path)) << testing::PrintToString(name);
    }
    EXPECT_EQ(testsupport::ReadFile(Files().userOdbcIni), before);
    EXPECT_EQ(testsupport::ReadFile(Files().systemOdbcIni), "");
}

TEST_F(WorkgroupTest, PathThatWouldInjectLinesRaisesAndChangesNothing) {
    testsupport::AddSection(Files().userOdbcIni, "Shop");
    const auto before = testsupport::ReadFile(Files().userOdbcIni);
    EXPECT_THROW(RegisterMDW("Shop", "w.mdw\n[Evil]\nDriver=/tmp/evil.so"), host::ERegistryException);
    EXPECT_EQ(testsupport::ReadFile(Files().userOdbcIni), before);
}

TEST_F(WorkgroupTest, PumpsPendingMessagesOnlyAfterASuccessfulWrite) {
    testsupport::AddSection(Files().userOdbcIni, "Shop");
    int handled = 0;
    headless::PostMessage([&] { ++handled; });
    EXPECT_FALSE(RegisterMDW("Absent", "w.mdw"));
    EXPECT_EQ(handled, 0);
    EXPECT_TRUE(RegisterMDW("Shop", "w.mdw"));
    EXPECT_EQ(handled, 1);
}

}  // namespace
