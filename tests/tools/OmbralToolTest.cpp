// The ombral tool as a user runs it: each test in a private configuration of its own.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <platform/odbc/DriverRegistration.h>
#include <platform/host/rtl/FormStream.h>
#include <platform/posix/OdbcIniFile.h>

#include "support/Files.h"
#include "support/OdbcTestConfiguration.h"
#include "support/Processes.h"

using testing::HasSubstr;
using testsupport::ProcessResult;

namespace {

class ToolTest : public ::testing::Test {
protected:
    ProcessResult Ombral(std::vector<std::string> arguments, testsupport::RunOptions options = {}) {
        arguments.insert(arguments.begin(), {OMBRAL_TOOL, "--config", folder_.Path()});
        return testsupport::Run(arguments, options);
    }
    std::vector<std::string> Environment() const {
        return {"ODBCSYSINI=" + folder_.Path(), "ODBCINI=" + UserFile()};
    }
    ProcessResult Odbcinst(const std::string& name) {
        return testsupport::Run({"odbcinst", "-q", "-s", "-n", name}, {std::nullopt, Environment()});
    }
    std::string UserFile() const { return folder_.Path() + "/user/odbc.ini"; }
    std::string SystemFile() const { return folder_.Path() + "/odbc.ini"; }

    testsupport::TemporaryFolder folder_;
};

TEST_F(ToolTest, AddsAUserDataSourceThatUnixOdbcSees) {
    auto added = Ombral({"add", "--name", "Shop", "--description", "Shop tables", "--dir", "/srv/shop/",
                         "--collate", "NorwegianDanish", "--net-style", "4.x", "--page-timeout", "-1",
                         "--read-only", "--user-commit-sync", "--implicit-commit-sync", "Yes"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    auto seen = Odbcinst("Shop");
    EXPECT_EQ(seen.exitCode, 0) << seen.err;
    for (const char* line : {"Description=Shop tables", "DefaultDir=/srv/shop/", "CollatingSequence=Norwegian-Danish",
                             "ParadoxNetStyle=4.x", "PageTimeout=-1", "ReadOnly=1", "Exclusive=0",
                             "UserCommitSync=Yes", "ImplicitCommitSync=Yes"})
        EXPECT_THAT(seen.out, HasSubstr(line));
    EXPECT_EQ(Ombral({"exists", "--name", "Shop"}).exitCode, 0);
    EXPECT_EQ(Ombral({"exists", "--system", "--name", "Shop"}).exitCode, 1);
    EXPECT_THAT(Ombral({"list"}).out, HasSubstr("Shop\tShop tables"));

    auto again = Ombral({"add", "--name", "Shop"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_THAT(again.err, HasSubstr("'Shop' exists already"));
}

TEST_F(ToolTest, SystemDataSourceLivesBesideTheDriversAndGoesAway) {
    ASSERT_EQ(Ombral({"add", "--system", "--name", "Central"}).exitCode, 0);
    EXPECT_TRUE(odbcini::ReadIniFile(SystemFile())->HasSection("Central"));
    EXPECT_THAT(Ombral({"list", "--system"}).out, HasSubstr("Central"));
    auto configured = Ombral({"configure", "--system", "--name", "Central", "--threads", "9"});
    EXPECT_EQ(configured.exitCode, 0) << configured.err;
    EXPECT_EQ(odbcini::ReadIniFile(SystemFile())->Value("Central", "Threads"), "9");
    EXPECT_EQ(Ombral({"register-mdw", "--system", "--name", "Central", "--file", "/srv/c.mdw"}).exitCode, 0);
    EXPECT_EQ(odbcini::ReadIniFile(SystemFile())->Value("Central", "SystemDB"), "/srv/c.mdw");
    EXPECT_EQ(Ombral({"remove", "--system", "--name", "Central"}).exitCode, 0);
    EXPECT_EQ(Ombral({"exists", "--system", "--name", "Central"}).exitCode, 1);
}

TEST_F(ToolTest, RefusalsExitOneAndSayWhy) {
    ASSERT_EQ(Ombral({"add", "--name", "Kept"}).exitCode, 0);
    const auto before = testsupport::ReadFile(UserFile());
    const struct {
        std::vector<std::string> arguments;
        const char* says;
    } cases[] = {
        {{"add", "--name", ""}, "Error: Property 'DSNNameOrAlias' must not be blank"},
        {{"add", "--name", std::string(33, 'x')}, "longer than 32 characters"},
        {{"add", "--name", "Semi;colon"}, "holds ';'"},
        {{"add", "--name", "Back\\slash"}, "holds '\\'"},
        {{"add", "--name", "Fresh", "--description", "two\nlines"}, "line break"},
        {{"configure", "--name", "Absent"}, "does not exist"},
        {{"remove", "--name", "Absent"}, "does not exist"},
        {{"remove", "--default", "--name", "Kept"}, "does not exist"},
        {{"register-mdw", "--name", "Absent", "--file", "w.mdw"}, "no user data source 'Absent'"},
        {{"register-mdw", "--name", "Kept", "--file", "w\n.mdw"}, "line break"},
    };
    for (const auto& c : cases) {
        auto result = Ombral(c.arguments);
        EXPECT_EQ(result.exitCode, 1) << c.arguments[0] << " " << c.arguments.back();
        EXPECT_THAT(result.err, HasSubstr(c.says));
        EXPECT_EQ(testsupport::ReadFile(UserFile()), before);
    }
}

TEST_F(ToolTest, UsageErrorsExitTwo) {
    const std::vector<std::vector<std::string>> cases{
        {},
        {"frobnicate"},
        {"add"},
        {"add", "--name", "X", "--threads", "many"},
        {"add", "--name", "X", "--page-timeout", "99999999999"},
        {"add", "--name", "X", "--collate", "Klingon"},
        {"add", "--name", "X", "--bogus"},
        {"remove", "--system", "--default", "--name", "X"},
        {"register-mdw", "--name", "X"},
    };
    for (const auto& arguments : cases) {
        auto result = Ombral(arguments);
        EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(arguments);
        EXPECT_THAT(result.err, HasSubstr("ombral"));
    }
}

TEST_F(ToolTest, EveryCommandHasHelp) {
    for (const char* command :
         {"add", "configure", "remove", "exists", "register-mdw", "drivers", "list", "save", "run"}) {
        auto result = Ombral({command, "--help"});
        EXPECT_EQ(result.exitCode, 0) << command;
        EXPECT_THAT(result.out, HasSubstr(std::string("ombral [--config DIR] ") + command));
    }
    EXPECT_EQ(testsupport::Run({OMBRAL_TOOL, "--help"}).exitCode, 0);
}

// A saved form runs as the add command would; a binary one as well as text.
TEST_F(ToolTest, SavedFormRunsAsAddWould) {
    const std::string text = folder_.Path() + "/shop.txt", binary = folder_.Path() + "/shop.bin";
    auto saved = Ombral({"save", text, "--name", "Shop", "--dir", "/srv/shop", "--threads", "9", "--read-only"});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(testsupport::ReadFile(text),
              "object OmbralCreator1: TOmbralCreator\n  Action = ADD_DSN\n  DSNNameOrAlias = 'Shop'\n"
              "  DSNUserDescription = 'New Ombral Description'\n  DatabaseDir = '/srv/shop'\n"
              "  UserID = 'admin'\n  optDSNReadOnly = True\n  optThreads = 9\nend\n");
    std::ofstream(binary, std::ios::binary) << host::ObjectTextToBinary(testsupport::ReadFile(text));

    auto ran = Ombral({"run", binary});
    EXPECT_EQ(ran.exitCode, 0) << ran.err;
    EXPECT_EQ(ran.out, "added user data source 'Shop'\n");
    EXPECT_EQ(odbcini::ReadIniFile(UserFile())->Value("Shop", "Threads"), "9");
    auto again = Ombral({"run", text});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_THAT(again.err, HasSubstr("'Shop' exists already"));

    ASSERT_EQ(Ombral({"save", text, "--name", "Shop", "--action", "REMOVE_DSN"}).exitCode, 0);
    EXPECT_EQ(Ombral({"run", text}).out, "removed user data source 'Shop'\n");
    EXPECT_EQ(Ombral({"save", text, "--name", "Shop", "--action", "ERASE"}).exitCode, 2);
}

TEST_F(ToolTest, DamagedSavedFormIsRefusedWithTheReason) {
    const std::string path = folder_.Path() + "/bad.txt";
    std::ofstream(path) << "object OmbralCreator1: TOmbralCreator\n  optImplicitCommitSync = 'Yes'\nend\n";
    const auto before = testsupport::ReadFile(UserFile());
    auto ran = Ombral({"run", path});
    EXPECT_EQ(ran.exitCode, 1);
    EXPECT_THAT(ran.err, HasSubstr("unknown property 'optImplicitCommitSync'"));
    EXPECT_EQ(testsupport::ReadFile(UserFile()), before);
    EXPECT_EQ(Ombral({"run", folder_.Path() + "/absent.txt"}).exitCode, 1);
}

TEST_F(ToolTest, DriversListsTheCatalogueWithItsRegistration) {
    auto result = Ombral({"drivers"});
    ASSERT_EQ(result.exitCode, 0);
    for (const auto& driver : testsupport::kCatalogueDrivers) EXPECT_THAT(result.out, HasSubstr(driver));
    EXPECT_THAT(result.out, HasSubstr("FIL=Paradox 5.X"));
    EXPECT_THAT(result.out, HasSubstr("Driver=" + odbcsetup::FindSetupLibrary()));
}

// Files the process may read but not write: the request fails with the reason
// and the files keep their bytes.
TEST_F(ToolTest, ReadOnlyConfigurationRefusesWithoutDamage) {
    ASSERT_EQ(Ombral({"add", "--system", "--name", "Kept"}).exitCode, 0);
    testsupport::RunOptions asOther;
    for (const auto& path : {SystemFile(), UserFile(), folder_.Path() + "/odbcinst.ini"})
        ::chmod(path.c_str(), 0444);
    for (const auto& path : {folder_.Path(), folder_.Path() + "/user"}) ::chmod(path.c_str(), 0555);
    if (geteuid() == 0) asOther.asUser = 65534;  // root writes anything; act as nobody
    const auto before = testsupport::ReadFile(SystemFile());
    auto added = Ombral({"add", "--system", "--name", "Fresh"}, asOther);
    EXPECT_EQ(added.exitCode, 1);
    EXPECT_THAT(added.err, HasSubstr("odbc.ini"));
    // A data source exists for the package only where it could be changed.
    EXPECT_EQ(Ombral({"exists", "--system", "--name", "Kept"}, asOther).exitCode, 1);
    auto mdw = Ombral({"register-mdw", "--system", "--name", "Kept", "--file", "w.mdw"}, asOther);
    EXPECT_EQ(mdw.exitCode, 1);
    EXPECT_EQ(testsupport::ReadFile(SystemFile()), before);
    ::chmod(folder_.Path().c_str(), 0755);
    ::chmod((folder_.Path() + "/user").c_str(), 0755);
}

}  // namespace
