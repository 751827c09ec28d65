// The ombral tool as a user runs it: each test in a private configuration of its own.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/DriverRegistration.h>
#include <platform/host/rtl/FormStream.h>
#include <platform/posix/OdbcIniFile.h>

#include "support/FormFixtures.h"
#include "support/OdbcTestConfiguration.h"
#include "ToolFixture.h"

using testing::HasSubstr;
using testing::Not;
using testsupport::ProcessResult;

namespace {

using tooltest::ToolTest;

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

TEST_F(ToolTest, EveryCommandHasHelp) {
    for (const char* command :
         {"add", "configure", "remove", "exists", "register-mdw", "drivers", "list", "save", "run"}) {
        auto result = Ombral({command, "--help"});
        EXPECT_EQ(result.exitCode, 0) << command;
        EXPECT_THAT(result.out, HasSubstr(std::string("ombral [--config DIR] ") + command));
    }
    for (const char* command : {"about", "design"})
        EXPECT_THAT(Ombral({command, "--help"}).out, HasSubstr(std::string("ombral ") + command));
    EXPECT_EQ(testsupport::Run({OMBRAL_TOOL, "--help"}).exitCode, 0);
}

// The About box on the console, as the grid opens it, and drawn to a picture
// of its client area.
TEST_F(ToolTest, AboutListsTheBoxAndDrawsItsClientArea) {
    const std::string png = Path("about.png");
    const auto shown = Ombral({"about", "--png", png}, {std::nullopt, {}, "\n"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_THAT(shown.out, testing::StartsWith("About TOmbralCreator v1.1.0\nlblVersion\t"));
    EXPECT_THAT(shown.out, HasSubstr("\nlblComponent\t125\t25\t80\t12\tTOmbralCreator\n"));
    const std::string picture = testsupport::ReadFile(png);
    ASSERT_GE(picture.size(), 24u);
    EXPECT_EQ(picture.substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(picture.substr(16, 8), std::string("\0\0\x01\x4C\0\0\0\xFA", 8));  // 332 by 250

    const auto unwritable = Ombral({"about", "--png", Path("no-such-folder/about.png")}, {std::nullopt, {}, "\n"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_THAT(unwritable.err, HasSubstr("no-such-folder/about.png"));
}

TEST_F(ToolTest, DesignRunsTheInspectorAndFailsWithAFailedCommand) {
    const std::string form = Path("form.txt");
    ASSERT_EQ(Ombral({"save", form, "--name", "Shop"}).exitCode, 0);
    const auto listed = Ombral({"design", form}, {std::nullopt, {}, "list\nquit\n"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_THAT(listed.out, HasSubstr("About\t(about)\t...\n"));
    EXPECT_THAT(listed.out, HasSubstr("DSNNameOrAlias\tShop\n"));
    const auto failed = Ombral({"design", form}, {std::nullopt, {}, "lst\nlist\n"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_THAT(failed.err, HasSubstr("unknown command 'lst'"));
    EXPECT_THAT(failed.out, HasSubstr("DSNNameOrAlias\tShop\n"));  // and went on
    EXPECT_EQ(Ombral({"design", Path("missing.txt")}).exitCode, 1);
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
    EXPECT_EQ(ran.out, "OmbralCreator1: added user data source 'Shop'\n");
    EXPECT_EQ(odbcini::ReadIniFile(UserFile())->Value("Shop", "Threads"), "9");
    auto again = Ombral({"run", text});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_THAT(again.err, HasSubstr("'Shop' exists already"));

    const std::string removal = folder_.Path() + "/remove.txt";
    ASSERT_EQ(Ombral({"save", removal, "--name", "Shop", "--action", "REMOVE_DSN"}).exitCode, 0);
    EXPECT_EQ(Ombral({"run", removal}).out, "OmbralCreator1: removed user data source 'Shop'\n");
    EXPECT_EQ(Ombral({"save", folder_.Path() + "/erase.txt", "--name", "Shop", "--action", "ERASE"}).exitCode, 2);
}

// A data module of the application's own class, with a database, a query and
// two creators: each creator runs, in stream order, whatever the others do.
TEST_F(ToolTest, RunTakesEveryCreatorOfADataModule) {
    const std::string module = Path("ShopData.dfm");
    testsupport::WriteFile(module, testsupport::FormFixture("ShopData.dfm"));
    const auto files = [&] { return testsupport::ReadFile(UserFile()) + testsupport::ReadFile(SystemFile()); };
    const std::string before = files();

    auto dry = Ombral({"run", module, "--dry-run"});
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_THAT(dry.out, testing::StartsWith("ShopCreator: would have added user data source 'Shop'\n"
                                             "  request 1 (ODBC_ADD_DSN)\n  driver Microsoft Paradox Driver (*.db )\n"
                                             "  DSN=Shop\n"));
    EXPECT_THAT(dry.out, HasSubstr("  Description=Boutique Caf\\xe9 \\x96 Lagerbestand \\xe0 5 \\x80\n"));
    EXPECT_THAT(dry.out, HasSubstr("\nArchiveCreator: would have added system data source 'ShopArchive'\n"
                                   "  request 4 (ODBC_ADD_SYS_DSN)\n"));
    EXPECT_EQ(files(), before);

    ASSERT_EQ(Ombral({"add", "--name", "Shop"}).exitCode, 0);
    auto ran = Ombral({"run", module});
    EXPECT_EQ(ran.exitCode, 1);
    EXPECT_EQ(ran.out, "ArchiveCreator: added system data source 'ShopArchive'\n");
    EXPECT_EQ(ran.err, "ombral: ShopCreator: the data source 'Shop' exists already\n");

    auto one = Ombral({"run", module, "--component", "archivecreator"});
    EXPECT_EQ(one.exitCode, 1);
    EXPECT_EQ(one.err, "ombral: ArchiveCreator: the data source 'ShopArchive' exists already\n");
    auto none = Ombral({"run", module, "--component", "ShopDatabase"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_THAT(none.err,
                HasSubstr("holds no TOmbralCreator named 'ShopDatabase'; it holds ShopCreator, ArchiveCreator"));

    auto masked = Ombral({"configure", "--dry-run", "--name", "Shop", "--password", "s3cret"});
    EXPECT_EQ(masked.exitCode, 0) << masked.err;
    EXPECT_THAT(masked.out, HasSubstr("  PWD=********\n"));
    EXPECT_THAT(masked.out, Not(HasSubstr("s3cret")));
}

// A byte 0x80 to 0x9f that is no continuation of a UTF-8 character past
// U+009F, or a bidirectional control (U+202E and its kin) in UTF-8.
bool HoldsRawControl(const std::string& text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if ((text[at] & 0xe0) == 0x80 && (at == 0 || (text[at - 1] & 0x80) == 0 || text[at - 1] == '\xc2'))
            return true;
        if (host::IsUtf8BidiControlAt(text, at)) return true;
    }
    return false;
}

// A form is anybody's file: what it holds reaches the terminal escaped, C1
// controls (0x9b CSI, 0x9d OSC, in the code page or as UTF-8) included.
TEST_F(ToolTest, NoTextOfAFormReachesTheTerminalRaw) {
    const std::string form = Path("Hostile.dfm");
    testsupport::WriteFile(form,
                           "object Hostile: THostileForm\n"
                           "  Caption = 'a'#157'0;title'#7#155'2J'\n"
                           "  object Creator1: TOmbralCreator\n"
                           "    DSNNameOrAlias = 'x'#155'2Jy'\n"
                           "    DSNUserDescription = 'd'#157'0;t'\n"
                           "    Action = ADD_DSN\n"
                           "  end\n"
                           "end\n");
    const auto dry = Ombral({"run", form, "--dry-run"});
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_THAT(dry.out, HasSubstr("Creator1: would have added user data source 'x\\x9b2Jy'\n"));
    EXPECT_THAT(dry.out, HasSubstr("  Description=d\\x9d0;t\n"));
    const auto design = Ombral({"design", form}, {std::nullopt, {}, "select Hostile\nlist\nselect Creator1\nlist\n"});
    EXPECT_EQ(design.exitCode, 0) << design.err;
    EXPECT_THAT(design.out, HasSubstr("Caption\t'a\\xc2\\x9d0;title'#7'\u203a2J'\tread-only\n"));
    const auto ran = Ombral({"run", form});
    EXPECT_EQ(ran.exitCode, 0) << ran.err;
    EXPECT_EQ(ran.out, "Creator1: added user data source 'x\\x9b2Jy'\n");
    const auto listed = Ombral({"list"});
    EXPECT_EQ(listed.out, "x\\x9b2Jy\td\\x9d0;t\n");
    for (const auto& output : {dry.out, dry.err, design.out, design.err, ran.out, ran.err, listed.out})
        EXPECT_FALSE(HoldsRawControl(output)) << output;
}

// A name or path that is not a form's reaches the terminal escaped as well,
// a bidirectional control included; a C1 control is no character of a name.
TEST_F(ToolTest, SuccessLinesEscapeWhatATerminalWouldObey) {
    const std::string name = "a\xe2\x80\xae" "b", setup = Path("set\x9bup.so");
    std::filesystem::copy_file(odbcsetup::FindSetupLibrary(), setup);
    const struct {
        std::vector<std::string> arguments;
        std::string out;
    } cases[] = {
        {{"add", "--name", name}, "added user data source 'a\\xe2\\x80\\xaeb'\n"},
        {{"register-mdw", "--name", name, "--file", "w.mdw"},
         "recorded workgroup file for user data source 'a\\xe2\\x80\\xaeb'\n"},
        {{"register-drivers", "--setup", setup, "--force"},
         "the six catalogue drivers are registered against " + Path("set\\x9bup.so") + "\n"},
    };
    for (const auto& c : cases) {
        const auto ran = Ombral(c.arguments);
        EXPECT_EQ(ran.exitCode, 0) << ran.err;
        EXPECT_EQ(ran.out, c.out);
        EXPECT_FALSE(HoldsRawControl(ran.out + ran.err)) << ran.out;
    }
}

// show lists what odbcinst lists of the data source, in the same order, with
// the password masked unless asked for.
TEST_F(ToolTest, ShowListsEveryStoredAttributeAsOdbcinstDoes) {
    ASSERT_EQ(Ombral({"add", "--name", "Shown", "--password", "s3cret", "--description", "Caf\u00e9", "--threads", "7"})
                  .exitCode,
              0);
    const auto odbcinst = Odbcinst("Shown");
    ASSERT_EQ(odbcinst.exitCode, 0);
    const std::string stored = odbcinst.out.substr(odbcinst.out.find('\n') + 1);  // past [Shown]
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string out, err;
    } cases[] = {
        {{"show", "--name", "Shown", "--show-password"}, 0, stored, ""},
        {{"show", "--name", "shown"},
         0,
         std::regex_replace(stored, std::regex("\nPWD=s3cret\n"), "\nPWD=********\n"),
         ""},
        {{"show", "--system", "--name", "Shown"}, 1, "", "the system data source 'Shown' does not exist"},
        {{"show", "--name", "Bad;name"}, 1, "", "holds ';'"},
        {{"show"}, 2, "", "show needs --name"},
    };
    for (const auto& c : cases) {
        const auto shown = Ombral(c.arguments);
        EXPECT_EQ(shown.exitCode, c.exitCode) << c.arguments.back();
        EXPECT_EQ(shown.out, c.out) << c.arguments.back();
        EXPECT_THAT(shown.err, HasSubstr(c.err));
    }
    EXPECT_THAT(stored, HasSubstr("Threads=7\n"));
}

// A dry run checks what the run checks: each command fails alike with
// --dry-run and without, with the reason, and changes nothing.
TEST_F(ToolTest, DryRunFailsWhereTheRunWould) {
    const std::string form = Path("Doomed.dfm");
    testsupport::WriteFile(form,
                           "object Doomed: TComponent\n"
                           "  object RemoveMissing: TOmbralCreator\n    Action = REMOVE_DSN\n"
                           "    DSNNameOrAlias = 'Missing'\n  end\n"
                           "  object ConfigureMissing: TOmbralCreator\n    Action = CONFIG_SYS_DSN\n"
                           "    DSNNameOrAlias = 'Missing'\n  end\n"
                           "  object NulPassword: TOmbralCreator\n    Action = ADD_DSN\n"
                           "    DSNNameOrAlias = 'Fresh'\n    Password = 'abc'#0'X'\n  end\n"
                           "end\n");
    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {{"run", form},
         "ombral: RemoveMissing: the user data source 'Missing' does not exist\n"
         "ombral: ConfigureMissing: the system data source 'Missing' does not exist\n"
         "ombral: NulPassword: Password holds a NUL character, which would end it early in the attribute list\n"},
        {{"remove", "--name", "Missing"}, "ombral: the user data source 'Missing' does not exist\n"},
        {{"remove", "--default"}, "ombral: the user data source 'Default' does not exist\n"},
    };
    for (const auto& c : cases)
        for (const bool dryRun : {false, true}) {
            auto arguments = c.arguments;
            if (dryRun) arguments.push_back("--dry-run");
            const auto ran = Ombral(arguments);
            EXPECT_EQ(ran.exitCode, 1) << testing::PrintToString(arguments);
            EXPECT_EQ(ran.err, c.err) << testing::PrintToString(arguments);
            EXPECT_EQ(ran.out, "");
        }
    EXPECT_FALSE(odbcini::ReadIniFile(UserFile())->HasSection("Fresh"));
}

// A form whose components share a name (any case) has some out of reach, and
// one whose creators are all inherited holds none that runs alone: each is
// refused with what it holds.
TEST_F(ToolTest, FormsWhoseCreatorsCannotRunAreRefusedWithTheReason) {
    const std::string twins = "object Twins: TComponent\n"
                              "  object C1: TOmbralCreator\n    DSNNameOrAlias = 'A'\n  end\n"
                              "  object C1: TOmbralCreator\n    DSNNameOrAlias = 'B'\n  end\n"
                              "  object c1: TOmbralCreator\n    DSNNameOrAlias = 'C'\n  end\n"
                              "end\n";
    const std::string heir = "inherited Heir: THeirForm\n"
                             "  inherited Creator1: TOmbralCreator\n    DSNNameOrAlias = 'Changed'\n  end\n"
                             "  inherited Creator2: TOmbralCreator\n  end\n"
                             "end\n";
    const std::string says = "components share a name (in any case): C1, C1, c1";
    const struct {
        std::string form;
        std::vector<std::string> arguments;  // after the form's path
        std::string input;
        std::string err;
    } cases[] = {
        {host::ObjectTextToBinary(twins), {"run", "--component", "c1", "--dry-run"}, "", says},
        {host::ObjectTextToBinary(twins), {"design"}, "select c1\nlist\n", says},
        {heir, {"run", "--dry-run"}, "",
         "holds no TOmbralCreator that runs on its own: Creator1, Creator2 inherited, holding only what differs "
         "from the ancestor form's; run that form"},
        {heir, {"run", "--component", "creator2"}, "",
         "holds no TOmbralCreator named 'creator2' that runs on its own: Creator2 inherited"},
    };
    const std::string form = Path("Form.dfm");
    for (const auto& c : cases) {
        testsupport::WriteFile(form, c.form);
        std::vector<std::string> arguments{c.arguments[0], form};
        arguments.insert(arguments.end(), c.arguments.begin() + 1, c.arguments.end());
        const auto ran = Ombral(arguments, {std::nullopt, {}, c.input});
        EXPECT_EQ(ran.exitCode, 1) << c.err;
        EXPECT_THAT(ran.err, HasSubstr(c.err));
        EXPECT_EQ(ran.out, "");
    }
}

// show and list give each line as stored, a key twice in two cases too, mask
// every key a driver reads a password from, and say which lines they pass over.
TEST_F(ToolTest, ShowAndListGiveEveryStoredLineOrSayItIsSkipped) {
    ASSERT_EQ(Ombral({"register-drivers"}).exitCode, 0);  // makes the configuration
    testsupport::WriteFile(UserFile(),
                           "[Shop]\nDriver=shop\nDescription=a\x1b[2Jb\nPWD=s3cret\npwd=second\nPassword=third\n"
                           "[Evil\x1b[31m]\nDriver=evil\n");
    const std::string skippedValue = "ombral: skipped " + UserFile() +
                                     " line 3 (line holds a control character): Description=a\\x1b[2Jb\n";
    const std::string skippedHeader = "ombral: skipped " + UserFile() +
                                      " line 7 (line holds a control character): [Evil\\x1b[31m]\n";
    const struct {
        std::vector<std::string> arguments;
        std::string out;
    } cases[] = {
        {{"show", "--name", "Shop", "--show-password"}, "Driver=shop\nPWD=s3cret\npwd=second\nPassword=third\n"},
        {{"show", "--name", "Shop"}, "Driver=shop\nPWD=********\npwd=********\nPassword=********\n"},
        {{"list"}, "Shop\t\n"},
    };
    for (const auto& c : cases) {
        const auto ran = Ombral(c.arguments);
        EXPECT_EQ(ran.exitCode, 0) << ran.err;
        EXPECT_EQ(ran.out, c.out);
        EXPECT_THAT(ran.err, HasSubstr(skippedValue));
        EXPECT_THAT(ran.err, HasSubstr(skippedHeader));
    }
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
    ASSERT_EQ(Ombral({"register-drivers"}).exitCode, 0);
    auto result = Ombral({"drivers"});
    ASSERT_EQ(result.exitCode, 0);
    for (const auto& driver : testsupport::kCatalogueDrivers) EXPECT_THAT(result.out, HasSubstr(driver));
    EXPECT_THAT(result.out, HasSubstr("FIL=Paradox 5.X"));
    EXPECT_THAT(result.out, HasSubstr("Driver=" + odbcsetup::FindSetupLibrary()));
}

// Files the process may read but not write: a change is refused naming the
// file, the files keep their bytes, and a data source still exists for the user.
TEST_F(ToolTest, ReadOnlyConfigurationRefusesWithoutDamage) {
    ASSERT_EQ(Ombral({"add", "--system", "--name", "Kept"}).exitCode, 0);
    const auto asOther = AsOwnerWithoutPrivileges();
    for (const auto& path : {SystemFile(), UserFile(), DriverFile()}) ::chmod(path.c_str(), 0444);
    for (const auto& path : {folder_.Path(), Path("user")}) ::chmod(path.c_str(), 0555);
    const auto before = testsupport::ReadFile(SystemFile());
    auto added = Ombral({"add", "--system", "--name", "Fresh"}, asOther);
    EXPECT_EQ(added.exitCode, 1);
    EXPECT_THAT(added.err, HasSubstr("cannot change " + SystemFile() + ": this user may not write it"));
    auto exists = Ombral({"exists", "--system", "--name", "Kept"}, asOther);
    EXPECT_EQ(exists.exitCode, 0) << exists.err;
    EXPECT_THAT(exists.out, HasSubstr("system data source 'Kept' exists, but this user cannot change it"));
    EXPECT_EQ(Ombral({"exists", "--system", "--name", "Absent"}, asOther).exitCode, 1);
    auto mdw = Ombral({"register-mdw", "--system", "--name", "Kept", "--file", "w.mdw"}, asOther);
    EXPECT_EQ(mdw.exitCode, 1);
    EXPECT_THAT(mdw.err, HasSubstr("may not write"));
    EXPECT_EQ(testsupport::ReadFile(SystemFile()), before);
    ::chmod(folder_.Path().c_str(), 0755);
    ::chmod(Path("user").c_str(), 0755);
}

}  // namespace
