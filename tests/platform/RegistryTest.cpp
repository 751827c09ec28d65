// The registry over unixODBC's files: which key is which section of which file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <platform/host/rtl/Registry.h>
#include <platform/posix/OdbcIniFile.h>

#include "support/Files.h"
#include "support/UnitFixture.h"

using namespace std::string_literals;

namespace {

using testsupport::Scope;

class PosixRegistryTest : public testsupport::UnitTest {
protected:
    void SetUp() override {
        UnitTest::SetUp();
        Odbc().AddDataSource(Scope::User, "UserDSN", {{"Description", "user"}});
        Odbc().AddDataSource(Scope::System, "SysDSN", {{"Description", "system"}});
        files_ = odbcini::LocateOdbcFiles();
    }
    odbcini::OdbcFiles files_;
};

TEST_F(PosixRegistryTest, KeysMapToSectionsOfTheirHivesFile) {
    const struct {
        host::HKEY root;
        const char* path;
        bool exists;
    } cases[] = {
        {host::HKEY_CURRENT_USER, "\\Software\\ODBC\\ODBC.INI\\UserDSN", true},
        {host::HKEY_CURRENT_USER, "\\software\\odbc\\odbc.ini\\userdsn", true},
        {host::HKEY_CURRENT_USER, "\\Software\\ODBC\\ODBC.INI\\SysDSN", false},
        {host::HKEY_LOCAL_MACHINE, "\\Software\\ODBC\\ODBC.INI\\SysDSN", true},
        {host::HKEY_LOCAL_MACHINE, "\\Software\\ODBC\\ODBCINST.INI\\Microsoft Paradox Driver (*.db )", true},
        {host::HKEY_CURRENT_USER, "\\Software\\ODBC\\ODBCINST.INI\\Microsoft Paradox Driver (*.db )", false},
        {host::HKEY_CURRENT_USER, "\\Software\\ODBC\\ODBC.INI\\UserDSN\\Deeper", false},
        {host::HKEY_CURRENT_USER, "\\Software\\Other\\ODBC.INI\\UserDSN", false},
        {host::HKEY_CURRENT_USER, "\\Software\\ODBC\\ODBC.INI", true},
    };
    for (const auto& c : cases) {
        host::TRegistry registry;
        registry.SetRootKey(c.root);
        EXPECT_EQ(registry.OpenKeyReadOnly(c.path), c.exists) << c.path;
    }
}

TEST_F(PosixRegistryTest, ReadsValuesAndEnumeratesSections) {
    host::TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\ODBC\\ODBC.INI\\UserDSN"));
    EXPECT_EQ(registry.ReadString("description"), "user");
    EXPECT_EQ(registry.ReadString("Absent"), "");
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\ODBC\\ODBC.INI"));
    std::vector<host::String> names;
    registry.GetKeyNames(names);
    EXPECT_EQ(names, std::vector<host::String>{"UserDSN"});
}

TEST_F(PosixRegistryTest, OpenWithoutCreateMakesNothingAndCreateMakesTheSection) {
    const auto before = testsupport::ReadFile(files_.userOdbcIni);
    host::TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("\\Software\\ODBC\\ODBC.INI\\Fresh", false));
    EXPECT_EQ(testsupport::ReadFile(files_.userOdbcIni), before);
    ASSERT_TRUE(registry.OpenKey("\\Software\\ODBC\\ODBC.INI\\Fresh", true));
    registry.WriteString("Description", "made");
    EXPECT_EQ(Odbc().Value(Scope::User, "Fresh", "Description"), "made");
}

TEST_F(PosixRegistryTest, WriteToAKeyDeletedMeanwhileRaisesInsteadOfRecreatingIt) {
    host::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Software\\ODBC\\ODBC.INI\\UserDSN", false));
    odbcini::UpdateIniFile(files_.userOdbcIni, [](odbcini::IniDocument& d) { d.RemoveSection("UserDSN"); });
    EXPECT_THROW(registry.WriteString("SystemDB", "x"), host::ERegistryException);
    EXPECT_FALSE(Odbc().Exists(Scope::User, "UserDSN"));
}

TEST_F(PosixRegistryTest, DamagedFileStillReadsButRefusesWrites) {
    testsupport::WriteFile(files_.userOdbcIni, "[Good]\nDescription = fine\n[Broken\nx = y\n");
    host::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Software\\ODBC\\ODBC.INI\\Good", false));
    EXPECT_EQ(registry.ReadString("Description"), "fine");
    EXPECT_THROW(registry.WriteString("SystemDB", "w.mdw"), host::ERegistryException);
    EXPECT_EQ(testsupport::ReadFile(files_.userOdbcIni), "[Good]\nDescription = fine\n[Broken\nx = y\n");
}

TEST_F(PosixRegistryTest, ReadWriteOpenNeedsAWritableFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes any file; the tool tests cover this as an unprivileged user";
    ::chmod(files_.userOdbcIni.c_str(), 0444);
    host::TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("\\Software\\ODBC\\ODBC.INI\\UserDSN", false));
    EXPECT_TRUE(registry.OpenKeyReadOnly("\\Software\\ODBC\\ODBC.INI\\UserDSN"));
}

}  // namespace
