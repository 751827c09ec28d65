// ombral.exe against the prefix's registry.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>

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

TEST_F(Win32ToolTest, ConfigureKeepsTheStoredValues) {
    ASSERT_EQ(Ombral({"add", "--name", "Kept", "--dir", "C:\\data", "--threads", "7", "--read-only"}).exitCode, 0);
    auto configured = Ombral({"configure", "--name", "Kept", "--description", "changed"});
    ASSERT_EQ(configured.exitCode, 0) << configured.err;
    EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "Description"), "changed");
    EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "DefaultDir"), "C:\\data");
    EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "Threads"), "7");
    EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "ReadOnly"), "1");
}

TEST_F(Win32ToolTest, RefusesWithTheReason) {
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"add", "--name", "Tab\tName"}, 1, "'Tab\\tName' holds a control character"},
        {{"add", "--name", "ODBC Data Sources"}, 1, "reads the section 'ODBC Data Sources'"},
        {{"register-drivers", "--setup", "C:\\absent\\setup.dll"}, 1, "cannot load C:\\absent\\setup.dll"},
        {{"register-drivers", "--setup", ""}, 2, "--setup needs a path"},
        {{"add", "--name", "X", "--name", "Y"}, 2, "--name is given twice"},
    };
    for (const auto& c : cases) {
        auto result = Ombral(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.back();
        EXPECT_THAT(result.err, HasSubstr(c.says));
    }
}

// Of ten tools adding one name at once, one adds it and nine say it exists.
TEST_F(Win32ToolTest, ConcurrentAddsOfOneNameAddItOnce) {
    std::vector<std::future<testsupport::ProcessResult>> runs;
    for (int i = 0; i < 10; ++i)
        runs.push_back(std::async(std::launch::async, [this] { return Ombral({"add", "--name", "Race"}); }));
    int added = 0, refused = 0;
    for (auto& run : runs) {
        auto result = run.get();
        added += result.exitCode == 0;
        refused += result.exitCode == 1 && result.err.find("'Race' exists already") != std::string::npos;
    }
    EXPECT_EQ(added, 1);
    EXPECT_EQ(refused, 9);
}

}  // namespace
