// Bad input through the real installer: refused with a reason, and the
// data sources left exactly as they were.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>

#include "support/InstallerErrors.h"
#include "support/OdbcTestConfiguration.h"

using namespace OmbralCodeUnit;
using namespace std::string_literals;
using testing::HasSubstr;
using testsupport::Scope;

namespace {

// A creator whose free-text option would carry a Driver pair of its own.
bool ExecuteWithNulInImplicitCommitSync(OmbralCreateUnit::TDSNExecuteAction action, const String& name) {
    OmbralCreateUnit::TOmbralCreator creator(nullptr);
    creator.SetAction(action);
    creator.SetDSNNameOrAlias(name);
    creator.optImplitCommitSync = "x\0Driver=/tmp/evil.so"s;
    return creator.Execute();
}

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
        const char* reason;  // part of what the installer reports; null when nothing reaches it
    } cases[] = {
        {"33-character name", [] { return CreateDSN(1, 4, std::string(33, 'n'), "", "", "", "", "", ""); },
         "longer than 32"},
        {"blank name", [] { return CreateDSN(1, 4, "", "", "", "", "", "", ""); }, "blank"},
        {"configure of an absent data source", [] { return ConfigureDSN(2, 4, "Absent", "", "", "", "", "", ""); },
         "does not exist"},
        {"remove of an absent data source", [] { return RemoveDSN(3, 4, "Absent"); }, "does not exist"},
        {"remove of a user data source as a system one", [] { return RemoveDSN(6, 4, "Kept"); }, "does not exist"},
        {"remove of an absent default data source", [] { return RemoveDSN(7, 4, "Kept"); }, "does not exist"},
        // Cut to 16 bits these would be a system add, a system configure, a user add.
        {"request code 65540", [] { return CreateDSN(65540, 4, "Fresh", "", "", "", "", "", ""); }, nullptr},
        {"request code 65541", [] { return ConfigureDSN(65541, 4, "KeptSys", "", "", "", "", "", ""); }, nullptr},
        {"request code -65535", [] { return CreateDSN(-65535, 4, "Fresh", "", "", "", "", "", ""); }, nullptr},
        {"remove with code 65542 stays a user remove", [] { return RemoveDSN(65542, 4, "KeptSys"); },
         "does not exist"},
        {"NUL in the implicit-commit option of an add",
         [] { return ExecuteWithNulInImplicitCommitSync(OmbralCreateUnit::ADD_DSN, "Fresh"); }, nullptr},
        {"NUL in the implicit-commit option of a configure",
         [] { return ExecuteWithNulInImplicitCommitSync(OmbralCreateUnit::CONFIG_DSN, "Kept"); }, nullptr},
        {"NUL in a user workgroup file path", [] { return RegisterMDW("Kept", "a\0b"s); }, nullptr},
        {"NUL in a system workgroup file path", [] { return RegisterSystemMDW("KeptSys", "a\0b"s); }, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.call()) << c.what;
        if (c.reason) {
            EXPECT_THAT(testsupport::ReportedReason(c.reason), HasSubstr(c.reason)) << c.what;
        }
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
