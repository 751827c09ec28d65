// The path editors and the About entry at work, with a person at the
// open-file dialog and the About box: the real windows on Win32, the console
// on POSIX.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/design/DesignIntf.h>
#include <platform/host/ui/Forms.h>

#include "support/Files.h"
#include "support/Person.h"

using namespace host;
using OmbralCreateUnit::TOmbralCreator;

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr char kDelimiter = '\\';
#else
constexpr char kDelimiter = '/';
#endif

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnregisterDesignTime();
        OmbralCreateUnit::Register();
#ifdef _WIN32
        tables_ = "C:\\Data\\Tables";  // the test prefix's own drive
#else
        tables_ = folder_.Path() + "/Data/Tables";
#endif
        fs::create_directories(tables_);
        for (const char* file : {"CUSTOMER.DB", "PDOXUSRS.NET", "notes.txt"}) testsupport::WriteFile(In(file), "x");
    }
    void TearDown() override {
        UnregisterDesignTime();
#ifdef _WIN32
        fs::current_path("C:\\");  // the dialog made the last folder current, as it does without ofNoChangeDir
        fs::remove_all("C:\\Data");
#endif
    }

    std::string In(const std::string& file) const { return tables_ + kDelimiter + file; }

    testsupport::TemporaryFolder folder_;
    std::string tables_;
};

struct PathCase {
    const char* Property;
    std::string Before;                // the property's text as the dialog opens
    std::optional<std::string> Pick;   // none: the person cancels
    std::string After;
};

TEST_F(EditorTest, PathEditorsTakeTheFolderOfThePickedFile) {
    const std::string slash(1, kDelimiter);
    const PathCase cases[] = {
        {"DatabaseDir", "", In("CUSTOMER.DB"), tables_},
        {"NetFilePath", "", In("PDOXUSRS.NET"), tables_ + slash},
        {"DatabaseDir", "C:\\Old", In("notes.txt"), tables_},  // a file shown under "Any File (*.*)"
        {"NetFilePath", tables_ + slash, In("notes.txt"), tables_ + slash},
        {"DatabaseDir", tables_, std::nullopt, tables_},                  // a cancel keeps the folder
        {"NetFilePath", tables_ + slash, std::nullopt, tables_ + slash},  // as it keeps the net file's
    };
    for (const auto& c : cases) {
        TOmbralCreator creator(nullptr);
        TPropertyGrid grid({&creator});
        grid.SetValue(c.Property, c.Before);
        const String shownBefore = TPropertyGrid::ValueText(*grid.Find(c.Property));
        testsupport::Person person;
        c.Pick ? person.WillOpen(*c.Pick) : person.WillCancelOpen();
        grid.Edit(c.Property);
        EXPECT_EQ(TPropertyGrid::ValueText(*grid.Find(c.Property)), c.After) << c.Property << ' ' << c.Before;
        const auto seen = person.OpenDialogs();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].FileName, shownBefore) << "the box shows the current text, folder or empty";
        EXPECT_EQ(seen[0].Filter, std::string(c.Property) == "DatabaseDir"
                                      ? "Paradox Databases (*.db)|*.db|Any File (*.*)|*.*|"
                                      : "Paradox NET File (*.net)|*.net|Any File (*.*)|*.*|");
        EXPECT_TRUE(seen[0].PathMustExist && seen[0].FileMustExist) << "a confirmed name is an existing file";
    }
}

#ifndef _WIN32
// The person types a file that does not exist: the dialog refuses it, and the
// property keeps its value.
TEST_F(EditorTest, AFileThatDoesNotExistIsRefusedByTheDialog) {
    for (const char* property : {"DatabaseDir", "NetFilePath"}) {
        TOmbralCreator creator(nullptr);
        TPropertyGrid grid({&creator});
        grid.SetValue(property, "kept");
        testsupport::Person person;
        person.WillOpen(In("MISSING.DB"));
        EXPECT_THROW(grid.Edit(property), host::Exception) << property;
        EXPECT_EQ(TPropertyGrid::ValueText(*grid.Find(property)), "kept") << property;
    }
}
#endif

// A file in the root: on Win32 the drive alone ("C:" and "C:\"); a POSIX
// root stays "/" in both, which dropping the delimiter would make no folder.
TEST_F(EditorTest, AFileInTheRootGivesTheRootFolder) {
#ifdef _WIN32
    const std::string file = "C:\\ombral-root.db", database = "C:", net = "C:\\";
    testsupport::WriteFile(file, "x");
#else
    std::string file;
    for (const auto& entry : fs::directory_iterator("/"))
        if (entry.is_regular_file()) file = entry.path().string();
    if (file.empty()) GTEST_SKIP() << "no file in / to pick";
    const std::string database = "/", net = "/";
#endif
    for (const auto& [property, folder] : {std::pair{"DatabaseDir", database}, std::pair{"NetFilePath", net}}) {
        TOmbralCreator creator(nullptr);
        TPropertyGrid grid({&creator});
        testsupport::Person person;
        person.WillOpen(file);
        grid.Edit(property);
        EXPECT_EQ(TPropertyGrid::ValueText(*grid.Find(property)), folder) << property;
    }
#ifdef _WIN32
    fs::remove(file);
#endif
}

// For one component or several, the About entry opens the box, which Enter
// closes; the box is the Application's only while it shows.
TEST_F(EditorTest, AboutOpensTheBoxForOneOrSeveralComponents) {
    TOmbralCreator a(nullptr), b(nullptr);
    for (const std::vector<TPersistent*>& selection : {std::vector<TPersistent*>{&a}, {&a, &b}}) {
        TPropertyGrid grid(selection);
        EXPECT_EQ(TPropertyGrid::ValueText(*grid.Find("About")), "(about)");
        const int owned = Application->ComponentCount();
        testsupport::Person person;
        person.WillClickThenEnter();
        grid.Edit("About");
        EXPECT_EQ(Application->ComponentCount(), owned);
        const auto forms = person.Forms();
        ASSERT_EQ(forms.size(), 1u);
        EXPECT_EQ(forms[0].Caption, "About TOmbralCreator v1.1.0");
        ASSERT_EQ(forms[0].Controls.size(), 7u);
        EXPECT_EQ(forms[0].Controls[1].Caption, "by Ombral Software");
        EXPECT_EQ(forms[0].Controls[2].Caption, "https://ombral.example.org/creator");
    }
}

}  // namespace
