// Bad input through the real installer: refused with a reason, and the
// data sources left exactly as they were.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include <OmbralCodeUnit/OmbralCodeUnit.h>

#include "support/InstallerErrors.h"
#include "support/OdbcTestConfiguration.h"

using namespace OmbralCodeUnit;
using namespace std::string_literals;
using testing::HasSubstr;
using testsupport::Scope;

namespace {

class BadInputTest : public testsupport::OdbcTest {
protected:
    void SetUp() override {
        OdbcTest::SetUp();
        ASSERT_TRUE(CreateDSN(1, 4, "Kept", "user", "", "", "", "", ""));
        ASSERT_TRUE(CreateDSN(4, 4, "KeptSys", "system", "", "", "", "", ""));
        user_ = Odbc().Snapshot(Scope::User);
        system_ = Odbc().Snapshot(Scope::System);
    }
    void ExpectUnchanged() {
        EXPECT_EQ(Odbc().Snapshot(Scope::User), user_);
        EXPECT_EQ(Odbc().Snapshot(Scope::System), system_);
    }
    std::string user_, system_;
};

TEST_F(BadInputTest, RefusedRequestsSayWhyAndWriteNothing) {
    const struct {
        const char* what;
        std::function<bool()> call;
        const char* reason;  // part of what the installer reports
    } cases[] = {
        {"33-character name", [] { return CreateDSN(1, 4, std::string(33, 'n'), "", "", "", "", "", ""); },
         "longer than 32"},
        {"blank name", [] { return CreateDSN(1, 4, "", "", "", "", "", "", ""); }, "blank"},
        {"configure of an absent data source", [] { return ConfigureDSN(2, 4, "Absent", "", "", "", "", "", ""); },
         "does not exist"},
        {"remove of an absent data source", [] { return RemoveDSN(3, 4, "Absent"); }, "does not exist"},
        {"remove of a user data source as a system one", [] { return RemoveDSN(6, 4, "Kept"); }, "does not exist"},
        {"remove of an absent default data source", [] { return RemoveDSN(7, 4, "Kept"); }, "does not exist"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_THAT(testsupport::ReportedReason(c.reason), HasSubstr(c.reason)) << c.what;
        ExpectUnchanged();
    }
}

TEST_F(BadInputTest, NamesWithCharactersTheDriverForbidsAreRefused) {
    for (char c : std::string("[]{}(),;?*=!@\\")) {
        const std::string name = "Bad"s + c + "Name";
        EXPECT_FALSE(CreateDSN(1, 4, name, "", "", "", "", "", "")) << name;
        EXPECT_THAT(testsupport::ReportedReason("holds '"s + c + "'"), HasSubstr("holds '"s + c + "'")) << name;
    }
    ExpectUnchanged();
    EXPECT_TRUE(CreateDSN(1, 4, std::string(32, 'n'), "", "", "", "", "", ""));
}

TEST_F(BadInputTest, NulInAValueNeverReachesTheInstaller) {
    EXPECT_FALSE(CreateDSN(1, 4, "Fresh", "x\0Driver=/tmp/evil.so"s, "", "", "", "", ""));
    EXPECT_FALSE(CreateDSN(1, 4, "Fresh\0Evil"s, "", "", "", "", "", ""));
    ExpectUnchanged();
}

// The Windows registry holds a long value whole; unixODBC's reader would cut
// the line into pieces, which is how a value could smuggle lines in.
TEST_F(BadInputTest, MebibyteDescriptionIsStoredWholeOnlyWhereItReadsBackWhole) {
    const std::string description(1 << 20, 'd');
#ifdef _WIN32
    ASSERT_TRUE(CreateDSN(1, 4, "Big", description, "", "", "", "", ""));
    EXPECT_EQ(Odbc().Value(Scope::User, "Big", "Description"), description);
    EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "Description"), "user");
#else
    EXPECT_FALSE(CreateDSN(1, 4, "Big", description, "", "", "", "", ""));
    const std::string reason = "value of 'Description' is 1048576 bytes; unixODBC reads back at most 498";
    EXPECT_THAT(testsupport::ReportedReason(reason), HasSubstr(reason));
    ExpectUnchanged();
#endif
}

}  // namespace
