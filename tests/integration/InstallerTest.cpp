// The package over the real unixODBC installer and the stand-in setup library,
// checked with unixODBC's own odbcinst.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/posix/OdbcIniFile.h>

#include "support/OdbcTestConfiguration.h"
#include "support/Processes.h"

using namespace OmbralCodeUnit;
using namespace OmbralCreateUnit;
using testing::HasSubstr;
using testing::Not;

namespace {

class InstallerTest : public testsupport::OdbcTest {
protected:
    std::optional<std::string> Value(const std::string& file, const std::string& dsn, const std::string& key) {
        return odbcini::ReadIniFile(file)->Value(dsn, key);
    }
};

TEST_F(InstallerTest, UntouchedComponentAddsTheSystemDataSourceOnce) {
    TOmbralCreator creator(nullptr);
    ASSERT_TRUE(creator.Execute());
    auto seen = testsupport::OdbcinstQuery("NewOmbral");
    EXPECT_EQ(seen.exitCode, 0) << seen.err;
    EXPECT_THAT(seen.out, HasSubstr("Description=New Ombral Description"));
    EXPECT_THAT(seen.out, HasSubstr("FIL=Paradox 5.X"));
    EXPECT_THAT(seen.out, HasSubstr("ParadoxUserName=admin"));
    EXPECT_THAT(seen.out, HasSubstr("UserCommitSync=No"));
    EXPECT_EQ(Value(Files().systemOdbcIni, "NewOmbral", "Driver"), OMBRAL_SETUP_LIBRARY);
    EXPECT_FALSE(odbcini::ReadIniFile(Files().userOdbcIni)->HasSection("NewOmbral"));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(creator.Execute());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(InstallerTest, ComponentReconfiguresAndRemovesSystemAndUserDataSources) {
    for (auto [add, configure, remove, file] :
         {std::tuple{ADD_SYS_DSN, CONFIG_SYS_DSN, REMOVE_SYS_DSN, Files().systemOdbcIni},
          std::tuple{ADD_DSN, CONFIG_DSN, REMOVE_DSN, Files().userOdbcIni}}) {
        TOmbralCreator creator(nullptr);
        creator.SetDSNNameOrAlias("Shop");
        creator.SetAction(add);
        ASSERT_TRUE(creator.Execute());
        creator.SetAction(configure);
        creator.SetDSNUserDescription("Changed");
        creator.optThreads = 8;
        ASSERT_TRUE(creator.Execute());
        EXPECT_EQ(Value(file, "Shop", "Description"), "Changed");
        EXPECT_EQ(Value(file, "Shop", "Threads"), "8");
        creator.SetAction(remove);
        ASSERT_TRUE(creator.Execute());
        EXPECT_FALSE(odbcini::ReadIniFile(file)->HasSection("Shop"));
        EXPECT_NE(testsupport::OdbcinstQuery("Shop").exitCode, 0);
    }
}

TEST_F(InstallerTest, ExportedRoutinesServeAllSixDrivers) {
    for (Integer index = 1; index <= 6; ++index) {
        const std::string name = "Dsn" + std::to_string(index);
        String fileType;
        const String driver = GetDSNTypeString(index, fileType);
        ASSERT_TRUE(CreateDSN(1, index, name, "Made", "/srv/data", "", "u", "pw", "")) << driver;
        auto seen = testsupport::OdbcinstQuery(name);
        EXPECT_EQ(seen.exitCode, 0) << driver;
        EXPECT_THAT(seen.out, HasSubstr("FIL=" + fileType));
        EXPECT_EQ(Value(Files().userOdbcIni, name, "PWD"), "pw");  // kept as plain text
        EXPECT_TRUE(FindDSN(name, 1));
        EXPECT_FALSE(FindDSN(name, 4));
        ASSERT_TRUE(ConfigureDSN(2, index, name, "Again", "/srv/data", "", "u", "pw", "")) << driver;
        EXPECT_EQ(Value(Files().userOdbcIni, name, "Description"), "Again");
        ASSERT_TRUE(RemoveDSN(3, index, name)) << driver;
        EXPECT_FALSE(FindDSN(name, 1));
    }
}

TEST_F(InstallerTest, AddingAnExistingNameThroughTheRoutineReplacesIt) {
    ASSERT_TRUE(CreateDSN(1, 4, "Twice", "first", "", "", "", "", "Extra=1\0"));
    ASSERT_TRUE(CreateDSN(1, 4, "Twice", "second", "", "", "", "", ""));
    EXPECT_EQ(Value(Files().userOdbcIni, "Twice", "Description"), "second");
    EXPECT_EQ(Value(Files().userOdbcIni, "Twice", "Extra"), std::nullopt);
}

TEST_F(InstallerTest, DefaultDataSourceIsRemovedByItsOwnRequest) {
    ASSERT_TRUE(CreateDSN(1, 4, "Default", "the default", "", "", "", "", ""));
    ASSERT_TRUE(CreateDSN(1, 4, "Other", "", "", "", "", "", ""));
    ASSERT_TRUE(RemoveDSN(7, 4, "Other"));
    EXPECT_FALSE(FindDSN("Default", 1));
    EXPECT_TRUE(FindDSN("Other", 1));
}

TEST_F(InstallerTest, WorkgroupFileIsVisibleToUnixOdbc) {
    ASSERT_TRUE(CreateDSN(4, 4, "Secured", "", "", "", "", "", ""));
    ASSERT_TRUE(RegisterSystemMDW("Secured", "/srv/secured.mdw"));
    EXPECT_THAT(testsupport::OdbcinstQuery("Secured").out, HasSubstr("SystemDB=/srv/secured.mdw"));
    EXPECT_FALSE(RegisterMDW("Secured", "/srv/user.mdw"));
}

}  // namespace
