// The design interface: which editor a property gets, what the standard
// editors show and accept, the palette, and what the property grid shows.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <tuple>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/design/DesignIntf.h>

#include "platform/FormTestClasses.h"

using namespace host;
using OmbralCreateUnit::TOmbralCreator;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

template <int N>
class TTestEditor : public TStringProperty {
public:
    static const TTypeInfo* Record() {
        static const String name = "TTestEditor" + std::to_string(N);
        static const TTypeInfo info = ClassTypeInfo<TTestEditor, TStringProperty>(name);
        return &info;
    }
    const TTypeInfo* ClassType() const override { return Record(); }
};

class DesignTest : public ::testing::Test {
protected:
    void SetUp() override { UnregisterDesignTime(); }
    void TearDown() override { UnregisterDesignTime(); }

    static std::string EditorOf(const TObject& object, std::string_view property) {
        return String(GetEditorClass(object.ClassType(), FindPropInfo(object, property))->Name);
    }
    static std::unique_ptr<TPropertyEditor> EditorFor(std::vector<TPersistent*> objects, std::string_view property) {
        std::vector<TInstProp> list;
        for (TPersistent* object : objects) list.push_back({object, &FindPropInfo(*object, property)});
        return CreateEditor(GetEditorClass(objects.front()->ClassType(), *list.front().PropInfo), list);
    }
    static std::vector<String> Values(TPropertyEditor& editor) {
        std::vector<String> values;
        editor.GetValues([&](const String& v) { values.push_back(v); });
        return values;
    }
    static std::vector<String> Names(const TPropertyGrid& grid) {
        std::vector<String> names;
        for (const auto& editor : grid.Properties()) names.push_back(editor->GetName());
        return names;
    }
};

// The vtable slot of a virtual member function, or -1 for a non-virtual one.
// Under the Itanium C++ ABI (gcc, mingw-w64) a pointer to a virtual member
// holds 1 + the slot's byte offset, one to a non-virtual member the function's
// address, which is even.
template <typename Member>
std::ptrdiff_t SlotOf(Member member) {
    static_assert(sizeof(Member) == 2 * sizeof(void*));
    std::uintptr_t word = 0;
    std::memcpy(&word, &member, sizeof word);
    return (word & 1) ? static_cast<std::ptrdiff_t>((word - 1) / sizeof(void*)) : -1;
}

// Packages built against a release call the editors through these slots.
TEST_F(DesignTest, EditorOperationsTakeTheSlotsOfTheRelease) {
    const std::map<int, std::vector<std::string>> orders = {
        {4, {"Activate", "AllEqual", "AutoFill", "Edit", "GetAttributes", "GetEditLimit", "GetName", "GetProperties",
             "GetValue", "GetValues", "Initialize", "SetValue"}},
        {5, {"Create", "Activate", "AllEqual", "AutoFill", "Edit", "GetAttributes", "GetEditLimit", "GetName",
             "GetProperties", "GetValue", "GetValues", "Initialize", "SetValue"}},
        {6, {"Initialize", "SetPropEntry", "Create", "Activate", "AllEqual", "AutoFill", "Edit", "GetAttributes",
             "GetEditLimit", "GetName", "GetProperties", "GetPropInfo", "GetValue", "GetValues", "SetValue"}},
    };
#define OMBRAL_SLOT(Operation) {SlotOf(&TPropertyEditor::Operation), #Operation}
    const std::pair<std::ptrdiff_t, std::string> operations[] = {
#if OMBRAL_FRAMEWORK_RELEASE >= 6
        OMBRAL_SLOT(SetPropEntry),
#endif
        OMBRAL_SLOT(Create),        OMBRAL_SLOT(Activate),      OMBRAL_SLOT(AllEqual),     OMBRAL_SLOT(AutoFill),
        OMBRAL_SLOT(Edit),          OMBRAL_SLOT(GetAttributes), OMBRAL_SLOT(GetEditLimit), OMBRAL_SLOT(GetName),
        OMBRAL_SLOT(GetProperties), OMBRAL_SLOT(GetPropInfo),   OMBRAL_SLOT(GetValue),     OMBRAL_SLOT(GetValues),
        OMBRAL_SLOT(Initialize),    OMBRAL_SLOT(SetValue),
    };
#undef OMBRAL_SLOT
    std::map<std::ptrdiff_t, std::string> bySlot;
    for (const auto& [slot, name] : operations) {
        if (slot < 0) continue;
        EXPECT_TRUE(bySlot.emplace(slot, name).second) << name << " shares slot " << slot;
    }
    // The editor's own slots follow TObject's without a gap.
    std::ptrdiff_t expected = SlotOf(&TObject::ClassType) + 1;
    std::vector<std::string> names;
    for (const auto& [slot, name] : bySlot) {
        EXPECT_EQ(slot, expected++) << name;
        names.push_back(name);
    }
    EXPECT_EQ(names, orders.at(kFrameworkRelease));
}

TEST_F(DesignTest, AttributeSetHasTheReleasesWidthAndTheHostsBitOrder) {
    EXPECT_EQ(sizeof(TPropertyAttributes), kFrameworkRelease == 4 ? 1u : 2u);
    const struct {
        TPropertyAttributes set;
        std::uint32_t bits;
    } cases[] = {
        {{paDialog, paMultiSelect, paReadOnly}, 0x4C},
        {{paValueList, paRevertable}, 0x81},
        {{paSubProperties, paAutoUpdate, paSortList}, 0x32},
#if OMBRAL_FRAMEWORK_RELEASE >= 5
        {{paFullWidthName}, 0x100},  // above the first byte
#endif
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.set.Bits(), c.bits);
        EXPECT_EQ(TPropertyAttributes::FromBits(c.bits), c.set);
    }
}

#if OMBRAL_FRAMEWORK_RELEASE >= 6
TEST_F(DesignTest, SetPropEntryRepointsOneEntryAndRefusesAnyOther) {
    TOmbralCreator first(nullptr), second(nullptr);
    second.SetUserID("second");
    auto editor = EditorFor({&first}, "UserID");
    const TPropInfo* prop = &FindPropInfo(first, "UserID");
    editor->SetPropEntry(0, &second, prop);
    EXPECT_EQ(editor->GetValue(), "second");
    const std::tuple<int, TPersistent*, const TPropInfo*> refused[] = {
        {1, &first, prop}, {-1, &first, prop}, {0, nullptr, prop}, {0, &first, nullptr}};
    for (const auto& [index, instance, info] : refused)
        EXPECT_THROW(editor->SetPropEntry(index, instance, info), EDesignError);
    EXPECT_EQ(editor->GetComponent(0), &second);
}
#endif

TEST_F(DesignTest, EveryPropertyWithoutABindingGetsTheStandardEditorOfItsKind) {
    TOmbralCreator creator(nullptr);
    formtest::TTestLabel label(nullptr);
    const std::vector<String> actions{"ADD_DSN",        "CONFIG_DSN",     "REMOVE_DSN",        "ADD_SYS_DSN",
                                      "CONFIG_SYS_DSN", "REMOVE_SYS_DSN", "REMOVE_DEFAULT_DSN"};
    const struct {
        TPersistent* object;
        const char* property;
        const char* editor;
        const char* value;
        std::vector<String> values;
    } cases[] = {
        {&creator, "Action", "TEnumProperty", "ADD_SYS_DSN", actions},
        {&creator, "optExclusive", "TEnumProperty", "False", {"False", "True"}},
        {&creator, "optCollateSequence", "TEnumProperty", "ASCII",
         {"ASCII", "International", "NorwegianDanish", "SwedishFinnish"}},
        {&creator, "optPageTimeout", "TIntegerProperty", "5", {}},
        {&creator, "Tag", "TIntegerProperty", "0", {}},
        {&creator, "UserID", "TStringProperty", "admin", {}},
        {&creator, "DatabaseDir", "TStringProperty", "", {}},
        {&creator, "Name", "TComponentNameProperty", "", {}},
        {&creator, "About", "TClassProperty", "(TAboutProperty)", {}},
        {&label, "Font", "TClassProperty", "(TFont)", {}},
        {&label, "OnClick", "TMethodProperty", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.property);
        auto editor = EditorFor({c.object}, c.property);
        EXPECT_EQ(editor->ClassType()->Name, c.editor);
        EXPECT_EQ(editor->GetValue(), c.value);
        EXPECT_EQ(Values(*editor), c.values);
        EXPECT_EQ(editor->GetAttributes().Contains(paValueList), !c.values.empty());
    }
}

TEST_F(DesignTest, StandardEditorsSetWhatTheyCanReadBackAndRefuseTheRest) {
    const struct {
        const char* property;
        const char* input;
        const char* shown;  // null: refused, and the value stays
        const char* why = "";
    } cases[] = {
        {"optPageTimeout", " -7 ", "-7"},
        {"optPageTimeout", "+12", "12"},
        {"optPageTimeout", "2147483647", "2147483647"},
        {"optPageTimeout", "2147483648", nullptr, "outside Integer"},
        {"optPageTimeout", "4x", nullptr, "'4x' is not an integer"},
        {"optPageTimeout", "", nullptr, "is not an integer"},
        {"optExclusive", "true", "True"},
        {"optExclusive", "yes", nullptr, "one of False, True"},
        {"Action", "config_sys_dsn", "CONFIG_SYS_DSN"},
        {"Action", "7", nullptr, "one of ADD_DSN"},
        {"UserID", "", ""},
        {"Name", "OmbralCreator2", "OmbralCreator2"},
        {"Name", "2nd", nullptr, "not a valid component name"},
        {"Name", "Sibling", nullptr, "'Sibling' already exists"},
        {"Name", "sibling", nullptr, "already exists"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.property) + " = '" + c.input + "'");
        TComponent owner(nullptr);
        auto* creator = new TOmbralCreator(&owner);
        creator->Name = "OmbralCreator1";
        (new TOmbralCreator(&owner))->Name = "Sibling";
        auto editor = EditorFor({creator}, c.property);
        const String before = editor->GetValue();
        if (c.shown) {
            editor->SetValue(c.input);
            EXPECT_EQ(editor->GetValue(), c.shown);
        } else {
            try {
                editor->SetValue(c.input);
                ADD_FAILURE() << "accepted";
            } catch (const EPropertyError& e) {
                EXPECT_THAT(e.what(), HasSubstr(c.why));
            }
            EXPECT_EQ(editor->GetValue(), before);
        }
    }
}

TEST_F(DesignTest, SetsAreEditedAsSubPropertiesOfTheirObject) {
    formtest::TTestLabel label(nullptr);
    auto font = EditorFor({&label}, "Font");
    std::vector<std::unique_ptr<TPropertyEditor>> subs;
    font->GetProperties([&](std::unique_ptr<TPropertyEditor> e) { subs.push_back(std::move(e)); });
    ASSERT_EQ(subs.size(), 3u);
    TPropertyEditor& style = *subs[2];
    EXPECT_EQ(style.GetName(), "Style");
    style.SetValue(" [fsUnderline, fsbold] ");
    EXPECT_EQ(style.GetValue(), "[fsBold,fsUnderline]");
    EXPECT_EQ(label.GetFont()->Style, (formtest::TFontStyles{formtest::fsBold, formtest::fsUnderline}));
    style.SetValue("[]");
    EXPECT_EQ(style.GetValue(), "[]");
    for (const char* bad : {"fsBold", "[fsBold", "[fsHeavy]", "[,fsBold]"})
        EXPECT_THROW(style.SetValue(bad), EPropertyError) << bad;
}

TEST_F(DesignTest, EditWithoutADialogStepsThroughTheValueList) {
    TOmbralCreator creator(nullptr);
    auto editor = EditorFor({&creator}, "optNetVersion");
    for (const char* expected : {"NetVersion4x", "NetVersion5x", "NetVersion3x"}) {
        editor->Edit();
        EXPECT_EQ(editor->GetValue(), expected);
    }
    auto text = EditorFor({&creator}, "UserID");
    text->Edit();
    EXPECT_EQ(creator.GetUserID(), "admin");
}

TEST_F(DesignTest, TheMostSpecificBindingWinsAndALaterOneOfTheSameKey) {
    formtest::TTestLabel label(nullptr);
    TOmbralCreator creator(nullptr);
    const auto* any = TTestEditor<1>::Record();
    const auto* components = TTestEditor<2>::Record();
    const auto* labels = TTestEditor<3>::Record();
    const auto* caption = TTestEditor<4>::Record();
    const auto* later = TTestEditor<5>::Record();

    RegisterPropertyEditor(TypeInfo<String>(), TypeInfo<formtest::TTestLabel>(), "Caption", caption);
    RegisterPropertyEditor(TypeInfo<String>(), TypeInfo<formtest::TTestLabel>(), "", labels);
    RegisterPropertyEditor(TypeInfo<String>(), TypeInfo<TComponent>(), "", components);
    RegisterPropertyEditor(TypeInfo<String>(), nullptr, "", any);
    EXPECT_EQ(EditorOf(label, "Caption"), "TTestEditor4");
    EXPECT_EQ(EditorOf(creator, "UserID"), "TTestEditor2");
    EXPECT_EQ(EditorOf(creator, "Name"), "TComponentNameProperty");  // the host's, naming the property
    EXPECT_EQ(EditorOf(label, "Font"), "TClassProperty");
    EXPECT_EQ(EditorOf(*label.GetFont(), "Name"), "TTestEditor1");  // a TFont is no TComponent

    RegisterPropertyEditor(TypeInfo<String>(), TypeInfo<formtest::TTestLabel>(), "CAPTION", later);
    EXPECT_EQ(EditorOf(label, "Caption"), "TTestEditor5");

    // A class-typed binding reaches properties of derived classes too.
    RegisterPropertyEditor(TypeInfo<TPersistent>(), nullptr, "", any);
    EXPECT_EQ(EditorOf(label, "Font"), "TTestEditor1");

    UnregisterDesignTime();
    EXPECT_EQ(EditorOf(label, "Caption"), "TStringProperty");
    EXPECT_EQ(EditorOf(creator, "Name"), "TComponentNameProperty");
}

TEST_F(DesignTest, RefusesRecordsThatAreNotWhatTheRegistrationNeeds) {
    const auto* editor = TTestEditor<1>::Record();
    EXPECT_THROW(RegisterPropertyEditor(nullptr, nullptr, "", editor), EDesignError);
    EXPECT_THROW(RegisterPropertyEditor(TypeInfo<String>(), TypeInfo<Integer>(), "", editor), EDesignError);
    EXPECT_THROW(RegisterPropertyEditor(TypeInfo<String>(), nullptr, "", TypeInfo<TComponent>()), EDesignError);
    EXPECT_THROW(RegisterPropertyEditor(TypeInfo<String>(), nullptr, "", nullptr), EDesignError);
    EXPECT_THROW(RegisterComponents("X", {TypeInfo<formtest::TFont>()}), EDesignError);
    EXPECT_THROW(RegisterComponents("X", {TypeInfo<TOmbralCreator>(), nullptr}), EDesignError);
    EXPECT_THROW(CreateEditor(TypeInfo<formtest::TFont>(), {}), EDesignError);
    EXPECT_THROW(CreateEditor(editor, {}), EDesignError);  // an editor needs a selection
    EXPECT_TRUE(Palette().empty());  // nothing of a refused call is kept
}

TEST_F(DesignTest, PaletteKeepsOneEntryPerClassAndPage) {
    const auto* creator = TypeInfo<TOmbralCreator>();
    const auto* label = TypeInfo<formtest::TTestLabel>();
    RegisterComponents("OLVEX", {creator});
    RegisterComponents("Samples", {label, creator});
    RegisterComponents("OLVEX", {creator});
    EXPECT_THAT(Palette(), ElementsAre(TPaletteEntry{"OLVEX", creator}, TPaletteEntry{"Samples", label},
                                       TPaletteEntry{"Samples", creator}));
    EXPECT_EQ(FindClass("TTestLabel"), label);  // what stands on the palette can be read from a form
}

TEST_F(DesignTest, GridShowsOneComponentsPublishedPropertiesSortedByName) {
    TOmbralCreator creator(nullptr);
    TPropertyGrid grid({&creator});
    EXPECT_THAT(Names(grid),
                ElementsAre("About", "Action", "DatabaseDir", "DSNNameOrAlias", "DSNUserDescription", "Name",
                            "NetFilePath", "optCollateSequence", "optDSNReadOnly", "optExclusive",
                            "optImplitCommitSync", "optNetVersion", "optPageTimeout", "optParadoxVersion",
                            "optSafeTransactions", "optThreads", "optUserCommitSync", "Password", "Tag", "UserID"));
    grid.SetValue("dsnnameoralias", "Shop");
    EXPECT_EQ(creator.GetDSNNameOrAlias(), "Shop");
    EXPECT_THROW(grid.SetValue("About", "x"), EDesignError);  // the class editor is read-only
    EXPECT_THROW(grid.SetValue("Implicit", "x"), EDesignError);
    EXPECT_EQ(grid.Find("optImplicitCommitSync"), nullptr);
}

TEST_F(DesignTest, GridOverSeveralShowsWhatAllHaveWithTheCommonValue) {
    TOmbralCreator a(nullptr), b(nullptr);
    formtest::TTestLabel label(nullptr);
    b.SetUserID("guest");
    TPropertyGrid both({&a, &b});
    EXPECT_EQ(both.Find("Name"), nullptr);  // its editor is for one component at a time
    ASSERT_NE(both.Find("UserID"), nullptr);
    EXPECT_EQ(TPropertyGrid::ValueText(*both.Find("UserID")), "");
    EXPECT_EQ(TPropertyGrid::ValueText(*both.Find("optThreads")), "3");
    both.SetValue("UserID", "admin2");
    EXPECT_EQ(TPropertyGrid::ValueText(*both.Find("UserID")), "admin2");
    EXPECT_EQ(a.GetUserID(), "admin2");
    EXPECT_EQ(b.GetUserID(), "admin2");

    TPropertyGrid mixed({&a, &label});
    EXPECT_THAT(Names(mixed), ElementsAre("Tag"));
    EXPECT_TRUE(TPropertyGrid({}).Properties().empty());
}

}  // namespace

// A host forgets a package's registrations before it unloads the package; a
// later load may bring the same classes under new records.
TEST_F(DesignTest, BindingsAreListedWithoutTheHostsAndAReloadedClassRegistersAgain) {
    const auto* creator = TypeInfo<TOmbralCreator>();
    RegisterComponents("OLVEX", {creator});
    RegisterPropertyEditor(TypeInfo<String>(), creator, "DatabaseDir", TTestEditor<1>::Record());
    RegisterPropertyEditor(TypeInfo<String>(), nullptr, "", TTestEditor<2>::Record());
    const auto bindings = EditorBindings();
    ASSERT_EQ(bindings.size(), 2u);
    EXPECT_EQ(std::make_tuple(bindings[0].ComponentClass, bindings[0].PropertyName, bindings[0].EditorClass),
              std::make_tuple(creator, String("DatabaseDir"), TTestEditor<1>::Record()));

    UnregisterDesignTime();
    EXPECT_TRUE(EditorBindings().empty());
    const TTypeInfo reloaded = *creator;
    RegisterComponents("OLVEX", {&reloaded});
    EXPECT_EQ(FindClass("TOmbralCreator"), &reloaded);
    UnregisterDesignTime();
    RegisterClass(creator);  // later cases in this process may read forms that hold one
}

TEST_F(DesignTest, EditNewComponentPropertyMakesTheComponentThroughItsRecord) {
    EXPECT_THAT([] { EditNewComponentProperty(TypeInfo<formtest::TFont>(), "Name"); },
                testing::ThrowsMessage<EDesignError>(HasSubstr("not a component class")));
    EXPECT_THAT([] { EditNewComponentProperty(TypeInfo<TOmbralCreator>(), "NoSuchProperty"); },
                testing::ThrowsMessage<EDesignError>(HasSubstr("no property 'NoSuchProperty'")));
}
