#include <gtest/gtest.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <platform/host/rtl/Registry.h>

#include "support/Messages.h"
#include "support/UnitFixture.h"

using namespace OmbralCodeUnit;
using namespace std::string_literals;

namespace {

using testsupport::Scope;

class WorkgroupTest : public testsupport::UnitTest {
protected:
    std::optional<std::string> SystemDB(Scope scope, const std::string& name) {
        return Odbc().Value(scope, name, "SystemDB");
    }
};

TEST_F(WorkgroupTest, RecordsAndReplacesTheFileOfAUserDataSource) {
    Odbc().AddDataSource(Scope::User, "Shop", {{"Description", "kept"}});
    ASSERT_TRUE(RegisterMDW("Shop", "C:\\Data\\System.MDW"));
    EXPECT_EQ(SystemDB(Scope::User, "Shop"), "C:\\Data\\System.MDW");
    ASSERT_TRUE(RegisterMDW("Shop", "/other/secured.mdw"));
    EXPECT_EQ(SystemDB(Scope::User, "Shop"), "/other/secured.mdw");
    EXPECT_EQ(Odbc().Value(Scope::User, "Shop", "Description"), "kept");
}

TEST_F(WorkgroupTest, EachRoutineLooksOnlyInItsOwnHive) {
    Odbc().AddDataSource(Scope::User, "UserOnly");
    Odbc().AddDataSource(Scope::System, "SystemOnly");
    EXPECT_FALSE(RegisterSystemMDW("UserOnly", "w.mdw"));
    EXPECT_FALSE(RegisterMDW("SystemOnly", "w.mdw"));
    EXPECT_TRUE(RegisterSystemMDW("SystemOnly", "w.mdw"));
    EXPECT_EQ(SystemDB(Scope::System, "SystemOnly"), "w.mdw");
    EXPECT_EQ(SystemDB(Scope::User, "UserOnly"), std::nullopt);
}

TEST_F(WorkgroupTest, RefusedRequestsLeaveTheFilesByteForByte) {
    Odbc().AddDataSource(Scope::User, "Shop", {{"SystemDB", "old.mdw"}});
    Odbc().AddDataSource(Scope::System, "Shop", {{"SystemDB", "old.mdw"}});
    const auto user = Odbc().Snapshot(Scope::User);
    const auto system = Odbc().Snapshot(Scope::System);
    const std::pair<String, String> refused[] = {
        {"Shop", ""},          {"Absent", "w.mdw"},       {"", "w.mdw"},
        {"Shop\\Sub", "w.mdw"}, {"Shop\0x"s, "w.mdw"},     {"Shop", "a\0b"s},
        {"Shop", "\0"s},        {"Shop", "C:\\w.mdw\0"s}};
    for (const auto& [name, path] : refused) {
        const auto what = testing::PrintToString(name) + " " + testing::PrintToString(path);
        EXPECT_FALSE(RegisterMDW(name, path)) << what;
        EXPECT_FALSE(RegisterSystemMDW(name, path)) << what;
    }
    EXPECT_EQ(Odbc().Snapshot(Scope::User), user);
    EXPECT_EQ(Odbc().Snapshot(Scope::System), system);
}

TEST_F(WorkgroupTest, PumpsPendingMessagesOnlyAfterASuccessfulWrite) {
    Odbc().AddDataSource(Scope::User, "Shop");
    int handled = 0;
    testsupport::PostPendingMessage([&] { ++handled; });
    EXPECT_FALSE(RegisterMDW("Absent", "w.mdw"));
    EXPECT_EQ(handled, 0);
    EXPECT_TRUE(RegisterMDW("Shop", "w.mdw"));
    EXPECT_EQ(handled, 1);
}

}  // namespace
