// ombral.exe against the prefix's registry.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/OdbcTestConfiguration.h"
#include "support/Processes.h"

using testing::HasSubstr;
using testsupport::Scope;

namespace {

class Win32ToolTest : public testsupport::OdbcTest {
protected:
    testsupport::ProcessResult Ombral(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), OMBRAL_TOOL);
        return testsupport::Run(arguments);
    }
};

TEST_F(Win32ToolTest, AddsAndRemovesAUserDataSource) {
    auto added = Ombral({"add", "--name", "X", "--description", "from the tool"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(Odbc().Value(Scope::User, "X", "Description"), "from the tool");
    EXPECT_EQ(Ombral({"exists", "--name", "X"}).exitCode, 0);
    const auto listed = Ombral({"list"}).out;
    EXPECT_THAT(listed, HasSubstr("X\tfrom the tool"));
    EXPECT_THAT(listed, testing::Not(HasSubstr("ODBC Data Sources")));
    auto again = Ombral({"add", "--name", "X"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_THAT(again.err, HasSubstr("exists already"));
    EXPECT_EQ(Ombral({"remove", "--name", "X"}).exitCode, 0);
    EXPECT_FALSE(Odbc().Exists(Scope::User, "X"));
}

TEST_F(Win32ToolTest, HasNoPrivateConfigurations) {
    EXPECT_EQ(Ombral({"--config", "C:\\x", "list"}).exitCode, 2);
    EXPECT_THAT(Ombral({"add", "--help"}).out, HasSubstr("ombral add"));
}

TEST_F(Win32ToolTest, RegisterDriversNeverReplacesAnotherDriverSilently) {
    Odbc().RegisterDriver("Microsoft Excel Driver (*.xls)", {{"Driver", "C:\\Windows\\odbcjt32.dll"}});
    const auto before = Odbc().DriverSnapshot();
    auto refused = Ombral({"register-drivers"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.err, HasSubstr("'Microsoft Excel Driver (*.xls)' is registered already"));
    EXPECT_EQ(Odbc().DriverSnapshot(), before);
    auto forced = Ombral({"register-drivers", "--force"});
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_THAT(Ombral({"drivers"}).out, HasSubstr("Driver=" + Odbc().SetupLibrary()));
    EXPECT_EQ(Ombral({"register-drivers"}).exitCode, 0);  // ours already: nothing to refuse
}

}  // namespace
