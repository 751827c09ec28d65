// Bad input through the real installer: refused with a reason, and the
// configuration files left byte for byte as they were.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <platform/host/Registry.h>
#include <platform/posix/OdbcIniFile.h>

#include "support/InstallerErrors.h"
#include "support/OdbcTestConfiguration.h"

using namespace OmbralCodeUnit;
using namespace std::string_literals;
using testing::HasSubstr;

namespace {

class BadInputTest : public testsupport::OdbcTest {
protected:
    void SetUp() override {
        OdbcTest::SetUp();
        ASSERT_TRUE(CreateDSN(1, 4, "Kept", "user", "", "", "", "", ""));
        ASSERT_TRUE(CreateDSN(4, 4, "KeptSys", "system", "", "", "", "", ""));
        user_ = testsupport::ReadFile(Files().userOdbcIni);
        system_ = testsupport::ReadFile(Files().systemOdbcIni);
    }
    void ExpectUnchanged() {
        EXPECT_EQ(testsupport::ReadFile(Files().userOdbcIni), user_);
        EXPECT_EQ(testsupport::ReadFile(Files().systemOdbcIni), system_);
    }
    std::string user_, system_;
};

struct Refused {
    const char* what;
    std::function<bool()> call;
    const char* reason;  // part of what the installer reports
};

TEST_F(BadInputTest, RefusedRequestsSayWhyAndWriteNothing) {
    const std::vector<Refused> cases{
        {"33-character name", [] { return CreateDSN(1, 4, std::string(33, 'n'), "", "", "", "", "", ""); },
         "longer than 32"},
        {"blank name", [] { return CreateDSN(1, 4, "", "", "", "", "", "", ""); }, "blank"},
        {"line break in description",
         [] { return CreateDSN(1, 4, "Fresh", "a\n[Evil]\nDriver=/tmp/evil.so", "", "", "", "", ""); },
         "line break"},
        {"carriage return in password", [] { return CreateDSN(1, 4, "Fresh", "", "", "", "", "p\rw", ""); },
         "line break"},
        {"line break in options", [] { return CreateDSN(1, 4, "Fresh", "", "", "", "", "", "A=1\nB=2\0"s); },
         "line break"},
        {"line break in configured value", [] { return ConfigureDSN(2, 4, "Kept", "x\ny", "", "", "", "", ""); },
         "line break"},
        {"configure of an absent data source", [] { return ConfigureDSN(2, 4, "Absent", "", "", "", "", "", ""); },
         "does not exist"},
        {"remove of an absent data source", [] { return RemoveDSN(3, 4, "Absent"); }, "does not exist"},
        {"remove of an absent system data source", [] { return RemoveDSN(6, 4, "Kept"); }, "does not exist"},
        {"remove of an absent default data source", [] { return RemoveDSN(7, 4, "Kept"); }, "does not exist"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_THAT(testsupport::InstallerMessages(), HasSubstr(c.reason)) << c.what;
        ExpectUnchanged();
    }
}

TEST_F(BadInputTest, NamesWithCharactersTheDriverForbidsAreRefused) {
    for (char c : std::string("[]{}(),;?*=!@\\")) {
        const std::string name = "Bad"s + c + "Name";
        EXPECT_FALSE(CreateDSN(1, 4, name, "", "", "", "", "", "")) << name;
        EXPECT_THAT(testsupport::InstallerMessages(), HasSubstr("holds '"s + c + "'")) << name;
    }
    EXPECT_TRUE(CreateDSN(1, 4, std::string(32, 'n'), "", "", "", "", "", ""));
}

TEST_F(BadInputTest, NulInAValueNeverReachesTheInstaller) {
    EXPECT_FALSE(CreateDSN(1, 4, "Fresh", "x\0Driver=/tmp/evil.so"s, "", "", "", "", ""));
    ExpectUnchanged();
}

TEST_F(BadInputTest, MebibyteDescriptionIsStoredWhole) {
    const std::string description(1 << 20, 'd');
    ASSERT_TRUE(CreateDSN(1, 4, "Big", description, "", "", "", "", ""));
    EXPECT_EQ(odbcini::ReadIniFile(Files().userOdbcIni)->Value("Big", "Description"), description);
    EXPECT_EQ(odbcini::ReadIniFile(Files().userOdbcIni)->Value("Kept", "Description"), "user");
}

TEST_F(BadInputTest, SystemRequestsFailWithoutASystemFile) {
    std::filesystem::remove(Files().systemOdbcIni);
    EXPECT_FALSE(CreateDSN(4, 4, "Fresh", "", "", "", "", "", ""));
    EXPECT_THAT(testsupport::InstallerMessages(), HasSubstr("does not exist"));
    EXPECT_FALSE(std::filesystem::exists(Files().systemOdbcIni));
    EXPECT_FALSE(FindDSN("KeptSys", 4));
}

TEST_F(BadInputTest, DamagedFileIsReadButNeverRewritten) {
    for (const std::string& damage : {"[Unterminated\nDriver = x\n"s, "\x01\x02\xff\0junk\n"s}) {
        const std::string text = user_ + damage;
        testsupport::WriteFile(Files().userOdbcIni, text);
        EXPECT_TRUE(FindDSN("Kept", 1));
        EXPECT_FALSE(CreateDSN(1, 4, "Fresh", "", "", "", "", "", ""));
        EXPECT_FALSE(RemoveDSN(3, 4, "Kept"));
        EXPECT_THROW(RegisterMDW("Kept", "w.mdw"), host::ERegistryException);
        EXPECT_EQ(testsupport::ReadFile(Files().userOdbcIni), text);
    }
}

}  // namespace
