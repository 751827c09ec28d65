// The console dialogs and the shell of the headless backend.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include <HeadlessUi.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <pOlvexAbout/pOlvexAbout.h>
#include <platform/host/design/DesignIntf.h>
#include <platform/host/ui/Forms.h>
#include <platform/host/ui/Dialogs.h>
#include <platform/host/ui/ShellApi.h>

#include "../../support/Person.h"

namespace {

struct ShellRecorder {
    std::vector<std::string> opened;
    ShellRecorder() {
        headless::SetShellOpener([this](const std::string& address) { opened.push_back(address); });
    }
    ~ShellRecorder() { headless::SetShellOpener({}); }
};

TEST(HeadlessForm, AddressClickedTwiceOpensTwiceAndStaysOpen) {
    ShellRecorder shell;
    testsupport::Person person;
    person.WillClickThenEnter({"lblURL", "lblURL"});
    pOlvexAbout::TOlvexAboutForm form(nullptr);
    form.SetLabels("C", "1", "A", "(c)", "https://ombral.example.org/creator");
    form.ShowModal();  // a click that ended the run would leave the second one unread
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"https://ombral.example.org/creator",
                                                      "https://ombral.example.org/creator"}));
}

// Only an address opens; a text xdg-open would take for an option is refused as a missing file.
TEST(HeadlessShell, OpensAnAddressAndNothingThatReadsAsAnOption) {
    const struct {
        const char* operation;
        const char* file;
        bool opens;
    } cases[] = {{"open", "https://ombral.example.org/creator", true}, {"open", "-e", false},
                 {"open", "--help", false},                             {"open", "", false},
                 {"edit", "https://ombral.example.org/creator", false}};
    for (const auto& c : cases) {
        ShellRecorder shell;
        const auto result =
            reinterpret_cast<std::intptr_t>(host::ShellExecuteA(nullptr, c.operation, c.file, "", "", 1));
        EXPECT_EQ(result > 32, c.opens) << c.operation << ' ' << c.file;
        EXPECT_EQ(shell.opened, c.opens ? std::vector<std::string>{c.file} : std::vector<std::string>{}) << c.file;
    }
}

// What a handler raises leaves ShowModal and the editor, which has freed its form.
TEST(HeadlessForm, TheAboutEditorFreesItsFormWhenTheRunRaises) {
    host::UnregisterDesignTime();
    OmbralCreateUnit::Register();
    headless::SetShellOpener([](const std::string&) { throw host::Exception("no browser"); });
    OmbralCreateUnit::TOmbralCreator creator(nullptr);
    host::TPropertyGrid grid({&creator});
    const int owned = host::Application->ComponentCount();
    testsupport::Person person;
    person.WillClickThenEnter({"lblURL"});
    EXPECT_THROW(grid.Edit("About"), host::Exception);
    EXPECT_EQ(host::Application->ComponentCount(), owned);
    headless::SetShellOpener({});
    host::UnregisterDesignTime();
}

TEST(HeadlessOpenDialog, CancelsAndEnforcesExistence) {
    const auto dir = std::filesystem::temp_directory_path() / "ombral-open-dialog";
    std::filesystem::create_directories(dir);
    const auto file = dir / "db.mdw";
    std::ofstream(file) << "x";

    // One line each: a name the dialog refuses fails it, and what follows
    // is left for whoever reads next.
    const struct {
        std::vector<std::string> Answers;  // empty string: an empty line; none left: end of input
        host::TOpenOptions Options;
        bool Chosen;
        const char* Refusal;  // what the failure says
    } cases[] = {
        {{""}, {}, false, nullptr},
        {{}, {}, false, nullptr},
        {{(dir / "missing.mdw").string(), file.string()}, {host::ofFileMustExist}, false, "The file does not exist"},
        {{(dir / "no-dir" / "x.mdw").string(), ""}, {host::ofPathMustExist}, false, "The folder does not exist"},
        {{(dir / "new.mdw").string()}, {host::ofPathMustExist}, true, nullptr},
    };
    for (const auto& c : cases) {
        testsupport::Person person;
        for (const auto& answer : c.Answers)
            answer.empty() ? person.WillCancelOpen() : person.WillOpen(answer);
        host::TOpenDialog dialog(nullptr);
        dialog.FileName = "start.mdw";
        dialog.Filter = "Workgroup (*.mdw)|*.mdw";
        dialog.Options = c.Options;
        if (c.Refusal) {
            try {
                dialog.Execute();
                ADD_FAILURE() << c.Answers[0] << " taken";
            } catch (const host::Exception& error) {
                EXPECT_THAT(error.what(), testing::HasSubstr(c.Refusal));
            }
        } else {
            EXPECT_EQ(dialog.Execute(), c.Chosen);
        }
        EXPECT_EQ(dialog.FileName, c.Chosen ? c.Answers.back() : "start.mdw");
        const auto seen = person.OpenDialogs();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].FileName, "start.mdw");
        EXPECT_EQ(seen[0].Filter, "Workgroup (*.mdw)|*.mdw");
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
