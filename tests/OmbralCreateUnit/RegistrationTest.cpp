// TOmbralCreator in the property grid once the package's Register procedures
// have run: its palette entry, its three editors and the standard ones.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <Ombralcompreg/Ombralcompreg.h>
#include <platform/host/design/DesignIntf.h>

using namespace host;
using namespace OmbralCreateUnit;
using testing::ElementsAre;

namespace {

struct RegisteredAs {
    const char* name;
    std::function<void()> registers;
};

class RegistrationTest : public ::testing::TestWithParam<RegisteredAs> {
protected:
    void SetUp() override {
        UnregisterDesignTime();
        GetParam().registers();
    }
    void TearDown() override { UnregisterDesignTime(); }
};

// What the grid shows for a property: its editor's class, value text and attribute bits.
struct Shown {
    std::string editor, value;
    std::uint32_t attributes;
    friend bool operator==(const Shown&, const Shown&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Shown& s) {
        return os << s.editor << " '" << s.value << "' 0x" << std::hex << s.attributes;
    }
};

Shown ShownAs(const TPropertyGrid& grid, std::string_view property) {
    TPropertyEditor* editor = grid.Find(property);
    if (!editor) return {"(not shown)", "", 0};
    return {String(editor->ClassType()->Name), TPropertyGrid::ValueText(*editor), editor->GetAttributes().Bits()};
}

TEST_P(RegistrationTest, PutsOneTOmbralCreatorOnTheOlvexPage) {
    EXPECT_THAT(Palette(), ElementsAre(TPaletteEntry{"OLVEX", TypeInfo<TOmbralCreator>()}));
    EXPECT_EQ(FindClass("TOmbralCreator"), TypeInfo<TOmbralCreator>());
}

TEST_P(RegistrationTest, OneComponentShowsTheThreeEditorsAndTheStandardOnes) {
    TOmbralCreator creator(nullptr);
    creator.SetDatabaseDir("C:\\Data\\");
    creator.SetNetFilePath("C:\\Net\\");
    TPropertyGrid grid({&creator});
    const std::pair<const char*, Shown> expected[] = {
        {"About", {"TAboutProperty", "(about)", 0x4C}},
        {"DatabaseDir", {"TDBPathProperty", "C:\\Data", 0x04}},
        {"NetFilePath", {"TNetFilePathProperty", "C:\\Net\\", 0x04}},
        {"Action", {"TEnumProperty", "ADD_SYS_DSN", 0xA9}},
        {"optUserCommitSync", {"TEnumProperty", "False", 0xA9}},
        {"optThreads", {"TIntegerProperty", "3", 0x88}},
        {"DSNNameOrAlias", {"TStringProperty", "NewOmbral", 0x88}},
        {"Password", {"TStringProperty", "", 0x88}},
        {"Name", {"TComponentNameProperty", "", 0x00}},
    };
    for (const auto& [property, shown] : expected) EXPECT_EQ(ShownAs(grid, property), shown) << property;
    EXPECT_EQ(grid.Properties().size(), 20u);
    // The About entry can only be opened; the paths can also be typed.
    EXPECT_THROW(grid.SetValue("About", "x"), EDesignError);
    grid.SetValue("DatabaseDir", "D:\\Tables\\");
    EXPECT_EQ(creator.GetDatabaseDir(), "D:\\Tables");
}

TEST_P(RegistrationTest, SeveralComponentsShowAboutButNotThePaths) {
    TOmbralCreator a(nullptr), b(nullptr), c(nullptr);
    a.SetDatabaseDir("C:\\Data");
    b.SetDatabaseDir("C:\\Data");
    TPropertyGrid grid({&a, &b, &c});
    EXPECT_EQ(ShownAs(grid, "About"), (Shown{"TAboutProperty", "(about)", 0x4C}));
    for (const char* hidden : {"DatabaseDir", "NetFilePath", "Name"}) EXPECT_EQ(grid.Find(hidden), nullptr) << hidden;
    EXPECT_EQ(ShownAs(grid, "UserID").value, "admin");
    EXPECT_EQ(grid.Properties().size(), 17u);
}

INSTANTIATE_TEST_SUITE_P(
    , RegistrationTest,
    testing::Values(RegisteredAs{"OmbralCreateUnit", [] { OmbralCreateUnit::Register(); }},
                    RegisteredAs{"Ombralcompreg", [] { Ombralcompreg::Register(); }},
                    RegisteredAs{"BothAsTheHostLoadsThePackage",
                                 [] {
                                     Ombralcompreg::Register();
                                     OmbralCreateUnit::Register();
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
