// ombral design: the property inspector over a saved form, scripted line by line.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/FormFile.h>
#include <platform/host/rtl/FormStream.h>

#include "DesignCommands.h"
#include "support/Files.h"
#include "support/FormFixtures.h"
#include "support/Person.h"

using OmbralCreateUnit::TOmbralCreator;
using testing::HasSubstr;
using testing::Not;

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

// As show and a dry run do, list masks a password unless asked for it, in a
// component it edits and in one it only shows as stored.
TEST_F(DesignCommandTest, ListMasksThePasswordUnlessAsked) {
    const struct {
        const char* form;  // null: Form1
        const char* select;
        const char* masked;
        const char* revealed;
    } cases[] = {
        {nullptr, "OmbralCreator2\nset Password s3cret", "Password\t********\n", "Password\ts3cret\n"},
        {"object Form1: TComponent\n  object Db: TDatabase\n    Password = 's3cret'\n  end\nend\n", "Db",
         "Password\t********\tread-only\n", "Password\t's3cret'\tread-only\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.select);
        if (c.form) testsupport::WriteFile(path_, c.form);
        const Outcome outcome =
            Design("select " + std::string(c.select) + "\nlist\nlist  --show-password \nlist --all\n");
        EXPECT_EQ(outcome.status, 1);
        const std::size_t masked = outcome.out.find(c.masked), revealed = outcome.out.find(c.revealed);
        EXPECT_NE(masked, std::string::npos) << outcome.out;
        EXPECT_NE(revealed, std::string::npos) << outcome.out;
        EXPECT_LT(masked, revealed);
        EXPECT_EQ(outcome.out.find("s3cret"), outcome.out.rfind("s3cret"));
        EXPECT_THAT(outcome.err, HasSubstr("list takes --show-password or nothing, not '--all'"));
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
        {"object Form1: TComponent\n  object C1: TOmbralCreator\n    optImplicitCommitSync = ''\n  end\nend\n", {},
         "unknown property 'optImplicitCommitSync'"},
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

// Standard input that runs a step before handing out a line: what another
// program does to the form while the inspector has it open.
class ScriptedInput : public std::streambuf {
public:
    struct Line {
        std::string text;
        std::function<void()> before = {};
    };
    explicit ScriptedInput(std::vector<Line> lines) : lines_(std::move(lines)) {}

protected:
    int_type underflow() override {
        if (next_ >= lines_.size()) return traits_type::eof();
        if (lines_[next_].before) lines_[next_].before();
        current_ = lines_[next_++].text + "\n";
        setg(current_.data(), current_.data(), current_.data() + current_.size());
        return traits_type::to_int_type(current_[0]);
    }

private:
    std::vector<Line> lines_;
    std::size_t next_ = 0;
    std::string current_;
};

// The data module as the host saves it in binary, behind its resource header.
std::string BinaryFile(const std::string& text) {
    const host::TFormObject form = host::ReadTextForm(text);
    const std::string stream = host::WriteBinaryForm(form);
    return host::FormResourceHeader(form.ClassName, stream.size()) + stream;
}

class FormFileInspectorTest : public DesignCommandTest {
protected:
    Outcome Session(std::vector<ScriptedInput::Line> lines) {
        ScriptedInput script(std::move(lines));
        std::istream in(&script);
        std::ostringstream out, err;
        const int status = ombraltool::RunDesign(path_, {}, in, out, err);
        return {status, out.str(), err.str()};
    }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

TEST_F(FormFileInspectorTest, OpensAnyFormTheHostWritesAndSavesWhatChangedAlone) {
    const std::string shop = testsupport::FormFixture("ShopData.dfm");
    testsupport::WriteFile(path_, shop);
    const Outcome outcome = Design(
        "components\nselect ShopDatabase\nlist\nset AliasName Other\nselect ShopCreator, ArchiveCreator\n"
        "set optThreads 4\nsave\n");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out,
              "ShopData\tTShopData\tread-only\nShopDatabase\tTDatabase\tread-only\nOrdersQuery\tTQuery\tread-only\n"
              "OrdersSource\tTDataSource\tread-only\nShopCreator\tTOmbralCreator\teditable\n"
              "ArchiveCreator\tTOmbralCreator\teditable\n"
              "AliasName\t'ShopOdbc'\tread-only\nDatabaseName\t'Shop'\tread-only\nLoginPrompt\tFalse\tread-only\n"
              "Params.Strings\t('USER NAME=admin' 'ODBC DSN=Shop')\tread-only\nSessionName\t'Default'\tread-only\n"
              "Left\t40\tread-only\nTop\t16\tread-only\n"
              "saved " + path_ + "\n");
    EXPECT_THAT(outcome.err, HasSubstr("'ShopDatabase' is a TDatabase, a class the inspector does not know"));
    // One line more in each creator, after the properties declared before it; all else byte for byte.
    std::vector<std::string> expected;
    for (const std::string& line : Lines(shop)) {
        expected.push_back(line);
        if (line == "    optDSNReadOnly = True\r" || line == "    optCollateSequence = International\r")
            expected.push_back("    optThreads = 4\r");
    }
    EXPECT_EQ(Lines(testsupport::ReadFile(path_)), expected);

    // In an inherited form, a creator the form adds is whole; an inherited one holds only what differs.
    testsupport::WriteFile(path_, testsupport::FormFixture("OrderForm.dfm"));
    const Outcome inherited = Design("components\n");
    EXPECT_THAT(inherited.out, HasSubstr("BaseCreator\tTOmbralCreator\tread-only\n"));
    EXPECT_THAT(inherited.out, HasSubstr("edtStreet\tTEdit\tread-only\n"));
    EXPECT_THAT(inherited.out, HasSubstr("OrderCreator\tTOmbralCreator\teditable\n"));

    testsupport::WriteFile(path_, BinaryFile(shop));
    ASSERT_EQ(Design("select ArchiveCreator\nset optThreads 4\nsave\n").status, 0);
    const host::TFormDocument saved(testsupport::ReadFile(path_));
    EXPECT_EQ(saved.Layout().Kind, host::TFormFileKind::BinaryResource);
    EXPECT_EQ(saved.Root().Children.at(4).Properties.at(5).Name, "optThreads");
}

// What another program, another inspector or the person's own input does to
// a session: each is refused with its reason, or kept as it was.
TEST_F(FormFileInspectorTest, SaveWritesTheFileItOpenedOrNothing) {
    namespace fs = std::filesystem;
    const std::string other = folder_.Path() + "/Other.dfm", copy = folder_.Path() + "/Copy.dfm";
    const auto rewrite = [&](const std::string& content) { std::ofstream(path_, std::ios::binary) << content; };
    const struct {
        const char* label;
        std::vector<ScriptedInput::Line> lines;
        const char* says;  // on standard error; empty: nothing
        std::function<void()> check;
    } cases[] = {
#ifndef _WIN32
        {"a link planted since it was read",
         {{"set UserID shop"},
          {"save",
           [&] {
               testsupport::WriteFile(other, "not a form");
               fs::rename(path_, path_ + ".old");
               fs::create_symlink(other, path_);
           }}},
         "was replaced since it was read",
         [&] { EXPECT_EQ(testsupport::ReadFile(other), "not a form"); }},
#endif
        {"changed by another program",
         {{"set UserID shop"}, {"save", [&] { rewrite(host::WriteComponentText(*MakeForm()) + " "); }}},
         "was changed since it was read",
         [&] { EXPECT_THAT(testsupport::ReadFile(path_), Not(HasSubstr("shop"))); }},
        {"another inspector saved first",
         {{"set UserID shop"},
          {"save", [&] { ASSERT_EQ(Design("select OmbralCreator1\nset UserID other\nsave\n").status, 0); }}},
         "was replaced since it was read",
         [&] { EXPECT_THAT(testsupport::ReadFile(path_), HasSubstr("'other'")); }},
        {"saved twice in one session",
         {{"set UserID shop"}, {"save"}, {"set UserID shop2"}, {"save"}},
         "",
         [&] { EXPECT_THAT(testsupport::ReadFile(path_), HasSubstr("'shop2'")); }},
        {"a read-only form",
         {{"set UserID shop", [&] { fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read); }},
          {"save"}},
         "is read-only: not saved",
         [&] { EXPECT_THAT(testsupport::ReadFile(path_), Not(HasSubstr("shop"))); }},
        {"save FILE makes FILE and leaves the form",
         {{"set UserID shop"}, {"save " + copy}},
         "",
         [&] {
             EXPECT_THAT(testsupport::ReadFile(copy), HasSubstr("'shop'"));
             EXPECT_THAT(testsupport::ReadFile(path_), Not(HasSubstr("shop")));
         }},
        {"save FILE over a file there already",
         {{"set UserID shop", [&] { testsupport::WriteFile(copy, "mine"); }}, {"save " + copy}},
         "exists already: not overwritten",
         [&] { EXPECT_EQ(testsupport::ReadFile(copy), "mine"); }},
        {"a form past 16 MiB",
         {{"set UserID " + std::string(17u << 20, 'x')}, {"save"}},
         "more than the 16 MiB a form file may hold",
         [&] { EXPECT_THAT(testsupport::ReadFile(path_), Not(HasSubstr("xxxx"))); }},
        {"text from the terminal in UTF-8, and a carriage return",
         {{"set UserID caf\u00e9\r"}, {"set DSNNameOrAlias \u65e5\u672c"}, {"save\r"}},
         "holds a character that the system code page (Windows-1252) lacks",
         [&] { EXPECT_THAT(testsupport::ReadFile(path_), HasSubstr("UserID = 'caf\xE9'\n")); }},
        {"arguments where the command takes none",
         {{"edit About now"}, {"list all"}, {"quit please"}, {"save"}},
         "edit About takes no arguments, not 'now'",
         [&] {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::error_code ignored;  // Windows removes no read-only file
        fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write, ignored);
        fs::remove(copy);
        fs::remove(path_ + ".old");
        fs::remove(path_);
        testsupport::WriteFile(path_, host::WriteComponentText(*MakeForm()));
        std::vector<ScriptedInput::Line> lines{{"select OmbralCreator1"}};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        const Outcome outcome = Session(lines);
        if (*c.says) {
            EXPECT_EQ(outcome.status, 1);
            EXPECT_THAT(outcome.err, HasSubstr(c.says));
        } else {
            EXPECT_EQ(outcome.status, 0) << outcome.err;
        }
        c.check();
        const std::set<std::string> known{"Form1.dfm", "Form1.dfm.old", "Other.dfm", "Copy.dfm"};
        for (const auto& entry : fs::directory_iterator(folder_.Path()))
            EXPECT_TRUE(known.count(entry.path().filename().string())) << entry.path() << " left behind";
    }
}

}  // namespace
