// ombral design: the property inspector over a saved form, scripted line by line.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/FormStream.h>

#include "DesignCommands.h"
#include "support/Files.h"
#include "support/Person.h"

using OmbralCreateUnit::TOmbralCreator;
using testing::HasSubstr;

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

class DesignCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::UnregisterDesignTime();
        path_ = folder_.Path() + "/Form1.dfm";
        testsupport::WriteFile(path_, host::WriteComponentText(*MakeForm()));
    }
    void TearDown() override { host::UnregisterDesignTime(); }

    // Form1 holds OmbralCreator1 and OmbralCreator2, whose UserID is guest.
    static std::unique_ptr<host::TComponent> MakeForm() {
        auto form = std::make_unique<host::TComponent>(nullptr);
        form->Name = "Form1";
        (new TOmbralCreator(form.get()))->Name = "OmbralCreator1";
        auto* second = new TOmbralCreator(form.get());
        second->Name = "OmbralCreator2";
        second->SetUserID("guest");
        return form;
    }

    Outcome Design(const std::string& commands, const std::vector<std::string>& select = {}) {
        std::istringstream in(commands);
        std::ostringstream out, err;
        const int status = ombraltool::RunDesign(path_, select, in, out, err);
        return {status, out.str(), err.str()};
    }

    std::unique_ptr<host::TComponent> Reread() const {
        return std::unique_ptr<host::TComponent>(host::ReadComponentForm(testsupport::ReadFile(path_), nullptr));
    }

    testsupport::TemporaryFolder folder_;
    std::string path_;
};

constexpr const char* kBothListed =
    "About\t(about)\t...\n"
    "Action\tADD_SYS_DSN\n"
    "DSNNameOrAlias\tNewOmbral\n"
    "DSNUserDescription\tNew Ombral Description\n"
    "optCollateSequence\tASCII\n"
    "optDSNReadOnly\tFalse\n"
    "optExclusive\tFalse\n"
    "optImplitCommitSync\t\n"
    "optNetVersion\tNetVersion3x\n"
    "optPageTimeout\t5\n"
    "optParadoxVersion\tParadox5x\n"
    "optSafeTransactions\t0\n"
    "optThreads\t3\n"
    "optUserCommitSync\tFalse\n"
    "Password\t\n"
    "Tag\t0\n"
    "UserID\t\n";

TEST_F(DesignCommandTest, ScriptedSessions) {
    const struct {
        const char* commands;
        std::vector<std::string> select;
        int status;
        std::string out;
        std::vector<std::string> errors;  // one line each, in order
    } sessions[] = {
        {"list\nquit\nlist\n", {}, 0, "Name\tForm1\nTag\t0\n", {}},
        {"\nselect OmbralCreator1, ombralcreator2\nlist", {}, 0, kBothListed, {}},
        {"list", {"OmbralCreator1,OmbralCreator2"}, 0, kBothListed, {}},
        {"palette\n", {}, 0, "OLVEX\tTOmbralCreator\n", {}},
        {"select OmbralCreator2\nset optThreads 7\nset DatabaseDir C:\\Data\\\nset Password \nset optExclusive true\n"
         "select Form1,OmbralCreator2\nlist\n",
         {},
         0,
         "Tag\t0\n",
         {}},
        {"set Tag x\nset Nothing 1\nfrobnicate\nedit\nset About y\nselect Form1,Missing\nlist\nselect OmbralCreator1\n"
         "set Name OmbralCreator2\nset Name 9lives\n",
         {},
         1,
         "Name\tForm1\nTag\t0\n",
         {"'x' is not an integer", "no property 'Nothing' is shown", "unknown command 'frobnicate'",
          "missing property name", "no property 'About'", "no component named 'Missing'",
          "'OmbralCreator2' already exists", "'9lives' is not a valid component name"}},
        {"select OmbralCreator1\nset About y\nselect\n", {}, 1, "", {"'About' is read-only", "missing component names"}},
    };
    for (const auto& s : sessions) {
        SCOPED_TRACE(s.commands);
        const Outcome outcome = Design(s.commands, s.select);
        EXPECT_EQ(outcome.status, s.status);
        EXPECT_EQ(outcome.out, s.out);
        std::istringstream lines(outcome.err);
        std::string line;
        for (const std::string& error : s.errors) {
            ASSERT_TRUE(std::getline(lines, line)) << "missing: " << error;
            EXPECT_THAT(line, HasSubstr(error));
        }
        EXPECT_FALSE(std::getline(lines, line)) << "more: " << line;
    }
}

TEST_F(DesignCommandTest, SetChangesEverySelectedComponentAndSaveKeepsTheEncoding) {
    for (const bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "text");
        if (binary) testsupport::WriteFile(path_, host::WriteComponentBinary(*MakeForm()));
        std::filesystem::permissions(path_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                                std::filesystem::perms::group_read);
        const Outcome outcome = Design("select OmbralCreator1,OmbralCreator2\nset UserID shop\nset optThreads 9\n"
                                       "select OmbralCreator2\nset DatabaseDir C:\\Shop\\\nsave\n");
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out, "saved " + path_ + "\n");
        EXPECT_EQ(host::IsBinaryForm(testsupport::ReadFile(path_)), binary);
        const auto form = Reread();
        auto& first = dynamic_cast<TOmbralCreator&>(*form->Components(0));
        auto& second = dynamic_cast<TOmbralCreator&>(*form->Components(1));
        EXPECT_EQ(first.GetUserID(), "shop");
        EXPECT_EQ(second.GetUserID(), "shop");
        EXPECT_EQ(first.optThreads, 9);
        EXPECT_EQ(first.GetDatabaseDir(), "");
        EXPECT_EQ(second.GetDatabaseDir(), "C:\\Shop");
#ifndef _WIN32
        EXPECT_EQ(std::filesystem::status(path_).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                      std::filesystem::perms::group_read);
#endif
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}), 1);  // no temporary left
    }
}

TEST_F(DesignCommandTest, EditRunsThePropertysEditorWithAPersonAtItsDialog) {
    const std::string table = (std::filesystem::path(folder_.Path()) / "CUSTOMER.DB").string();
    testsupport::WriteFile(table, "x");
    testsupport::Person person;
    person.WillOpen(table);
    person.WillClickThenEnter();
    const Outcome outcome = Design("select OmbralCreator1\nedit DatabaseDir\nedit About\nsave\n");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(person.OpenDialogs().size(), 1u);
    ASSERT_EQ(person.Forms().size(), 1u);
    EXPECT_EQ(person.Forms()[0].Caption, "About TOmbralCreator v1.1.0");
    const auto form = Reread();
    const std::string folder = dynamic_cast<TOmbralCreator&>(*form->Components(0)).GetDatabaseDir();
    EXPECT_TRUE(std::filesystem::equivalent(folder, std::filesystem::path(table).parent_path())) << folder;
}

TEST_F(DesignCommandTest, WithoutSaveTheFileStaysAsItWas) {
    const std::string before = testsupport::ReadFile(path_);
    EXPECT_EQ(Design("set Tag 4\n").status, 0);
    EXPECT_EQ(testsupport::ReadFile(path_), before);
}

TEST_F(DesignCommandTest, AFormThatCannotBeInspectedFailsWithItsReason) {
    const struct {
        const char* content;  // null: no file
        std::vector<std::string> select;
        const char* why;
    } cases[] = {
        {nullptr, {}, "cannot read"},
        {"object Form1: TComponent\n  Bogus = 1\nend\n", {}, "Bogus"},
        {"object Form1: TNoSuchClass\nend\n", {}, "TNoSuchClass"},
        {"TPF0\x0a", {}, ""},
        {nullptr, {"OmbralCreator3"}, "no component named 'OmbralCreator3'"},
        {nullptr, {"OmbralCreator1,"}, "no component named ''"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.content) testsupport::WriteFile(path_, c.content);
        else if (c.select.empty()) std::filesystem::remove(path_);
        else testsupport::WriteFile(path_, host::WriteComponentText(*MakeForm()));
        const Outcome outcome = Design("list\n", c.select);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_THAT(outcome.err, HasSubstr(path_));
        EXPECT_THAT(outcome.err, HasSubstr(c.why));
    }
}

}  // namespace
