// The package over the platform's real ODBC installer and the stand-in setup
// library, checked from a second program where the platform has one.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>

#include "support/MessageBoxes.h"
#include "support/OdbcTestConfiguration.h"

using namespace OmbralCodeUnit;
using namespace OmbralCreateUnit;
using testing::Contains;
using testing::Pair;
using testsupport::Scope;

namespace {

class InstallerTest : public testsupport::OdbcTest {};

TEST_F(InstallerTest, UntouchedComponentAddsTheSystemDataSourceOnce) {
    TOmbralCreator creator(nullptr);
    ASSERT_TRUE(creator.Execute());
    auto seen = testsupport::PeerView("NewOmbral");
    ASSERT_TRUE(seen.has_value());
    EXPECT_THAT(*seen, Contains(Pair("Description", "New Ombral Description")));
    EXPECT_THAT(*seen, Contains(Pair("FIL", "Paradox 5.X")));
    EXPECT_THAT(*seen, Contains(Pair("ParadoxUserName", "admin")));
    EXPECT_THAT(*seen, Contains(Pair("UserCommitSync", "No")));
    EXPECT_EQ(Odbc().Value(Scope::System, "NewOmbral", "Driver"), Odbc().SetupLibrary());
    EXPECT_FALSE(Odbc().Exists(Scope::User, "NewOmbral"));

    testsupport::MessageBoxes boxes;
    EXPECT_FALSE(creator.Execute());
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(InstallerTest, ComponentReconfiguresAndRemovesSystemAndUserDataSources) {
    for (auto [add, configure, remove, scope] : {std::tuple{ADD_SYS_DSN, CONFIG_SYS_DSN, REMOVE_SYS_DSN, Scope::System},
                                                 std::tuple{ADD_DSN, CONFIG_DSN, REMOVE_DSN, Scope::User}}) {
        TOmbralCreator creator(nullptr);
        creator.SetDSNNameOrAlias("Shop");
        creator.SetAction(add);
        ASSERT_TRUE(creator.Execute());
        creator.SetAction(configure);
        creator.SetDSNUserDescription("Changed");
        creator.optThreads = 8;
        ASSERT_TRUE(creator.Execute());
        EXPECT_EQ(Odbc().Value(scope, "Shop", "Description"), "Changed");
        EXPECT_EQ(Odbc().Value(scope, "Shop", "Threads"), "8");
        creator.SetAction(remove);
        ASSERT_TRUE(creator.Execute());
        EXPECT_FALSE(Odbc().Exists(scope, "Shop"));
        EXPECT_FALSE(testsupport::PeerView("Shop").has_value());
    }
}

TEST_F(InstallerTest, ExportedRoutinesServeAllSixDrivers) {
    for (Integer index = 1; index <= 6; ++index) {
        const std::string name = "Dsn" + std::to_string(index);
        String fileType;
        const String driver = GetDSNTypeString(index, fileType);
        ASSERT_TRUE(CreateDSN(1, index, name, "Made", "/srv/data", "", "u", "pw", "")) << driver;
        auto seen = testsupport::PeerView(name);
        ASSERT_TRUE(seen.has_value()) << driver;
        EXPECT_EQ((*seen)["FIL"], fileType);
        EXPECT_EQ(Odbc().Value(Scope::User, name, "PWD"), "pw");  // kept as plain text
        EXPECT_TRUE(FindDSN(name, 1));
        EXPECT_FALSE(FindDSN(name, 4));
        ASSERT_TRUE(ConfigureDSN(2, index, name, "Again", "/srv/data", "", "u", "pw", "")) << driver;
        EXPECT_EQ(Odbc().Value(Scope::User, name, "Description"), "Again");
        ASSERT_TRUE(RemoveDSN(3, index, name)) << driver;
        EXPECT_FALSE(FindDSN(name, 1));
    }
}

TEST_F(InstallerTest, AddingAnExistingNameThroughTheRoutineReplacesIt) {
    ASSERT_TRUE(CreateDSN(1, 4, "Twice", "first", "", "", "", "", std::string("Extra=1\0", 8)));
    ASSERT_TRUE(CreateDSN(1, 4, "Twice", "second", "", "", "", "", ""));
    EXPECT_EQ(Odbc().Value(Scope::User, "Twice", "Description"), "second");
    EXPECT_EQ(Odbc().Value(Scope::User, "Twice", "Extra"), std::nullopt);
}

TEST_F(InstallerTest, DefaultDataSourceIsRemovedByItsOwnRequest) {
    ASSERT_TRUE(CreateDSN(1, 4, "Default", "the default", "", "", "", "", ""));
    ASSERT_TRUE(CreateDSN(1, 4, "Other", "", "", "", "", "", ""));
    if (!testsupport::kInstallerRemovesDefaultDataSource) {
        EXPECT_FALSE(RemoveDSN(7, 4, "Other"));
        EXPECT_TRUE(FindDSN("Default", 1));
        GTEST_SKIP() << "this installer refuses ODBC_REMOVE_DEFAULT_DSN without asking the setup library";
    }
    ASSERT_TRUE(RemoveDSN(7, 4, "Other"));
    EXPECT_FALSE(FindDSN("Default", 1));
    EXPECT_TRUE(FindDSN("Other", 1));
}

TEST_F(InstallerTest, WorkgroupFileIsVisibleToTheSecondProgram) {
    ASSERT_TRUE(CreateDSN(4, 4, "Secured", "", "", "", "", "", ""));
    ASSERT_TRUE(RegisterSystemMDW("Secured", "/srv/secured.mdw"));
    auto seen = testsupport::PeerView("Secured");
    ASSERT_TRUE(seen.has_value());
    EXPECT_THAT(*seen, Contains(Pair("SystemDB", "/srv/secured.mdw")));
    EXPECT_FALSE(RegisterMDW("Secured", "/srv/user.mdw"));
}

}  // namespace
