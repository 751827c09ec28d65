// TOmbralCreator in a saved form: what is written, and what reading gives back.

#include <gtest/gtest.h>

#include <memory>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/rtl/FormStream.h>
#include <platform/host/design/DesignIntf.h>

using namespace OmbralCreateUnit;
using namespace host;

namespace {

class SavedForm : public ::testing::Test {
protected:
    void SetUp() override { RegisterClass(TypeInfo<TOmbralCreator>()); }

    static std::unique_ptr<TOmbralCreator> Read(const String& data) {
        std::unique_ptr<TComponent> read(ReadComponentForm(data, nullptr));
        auto* creator = dynamic_cast<TOmbralCreator*>(read.get());
        EXPECT_NE(creator, nullptr);
        read.release();
        return std::unique_ptr<TOmbralCreator>(creator);
    }

    // Every published property's value, as text, in declared order.
    static std::vector<String> Values(const TOmbralCreator& creator) {
        std::vector<String> values;
        for (const auto& prop : GetPropList(creator.ClassType())) {
            if (prop.PropType->Kind == tkLString) values.push_back(GetStrProp(creator, prop));
            else if (prop.PropType->Kind == tkClass) values.push_back(GetObjectProp(creator, prop) ? "object" : "nil");
            else values.push_back(std::to_string(GetOrdProp(creator, prop)));
        }
        return values;
    }
};

TEST_F(SavedForm, NewComponentSavesItsNameAndThreeStringsOnly) {
    TOmbralCreator creator(nullptr);
    creator.Name = "OmbralCreator1";
    const String text =
        "object OmbralCreator1: TOmbralCreator\n"
        "  DSNNameOrAlias = 'NewOmbral'\n"
        "  DSNUserDescription = 'New Ombral Description'\n"
        "  UserID = 'admin'\n"
        "end\n";
    EXPECT_EQ(WriteComponentText(creator), text);
    EXPECT_EQ(WriteComponentBinary(creator), ObjectTextToBinary(text));
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(WriteComponentBinary(creator))), WriteComponentBinary(creator));
    EXPECT_EQ(Values(*Read(text)), Values(creator));
}

// Each ordinal property is written exactly while it differs from its default.
TEST_F(SavedForm, OrdinalsAreWrittenOnlyAwayFromTheirDefaults) {
    const struct {
        const char* property;
        std::int64_t changed;
        const char* line;
    } cases[] = {
        {"Tag", 1, "Tag = 1"},
        {"Action", ADD_DSN, "Action = ADD_DSN"},
        {"optNetVersion", NetVersion5x, "optNetVersion = NetVersion5x"},
        {"optParadoxVersion", Paradox3x, "optParadoxVersion = Paradox3x"},
        {"optCollateSequence", International, "optCollateSequence = International"},
        {"optPageTimeout", 0, "optPageTimeout = 0"},
        {"optExclusive", 1, "optExclusive = True"},
        {"optDSNReadOnly", 1, "optDSNReadOnly = True"},
        {"optSafeTransactions", -1, "optSafeTransactions = -1"},
        {"optThreads", 300, "optThreads = 300"},
        {"optUserCommitSync", 1, "optUserCommitSync = True"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.property);
        TOmbralCreator creator(nullptr);
        const String untouched = WriteComponentText(creator);
        EXPECT_EQ(untouched.find(String(c.property) + " ="), String::npos);
        SetOrdProp(creator, c.property, c.changed);
        const String text = WriteComponentText(creator);
        EXPECT_NE(text.find("  " + String(c.line) + "\n"), String::npos) << text;
        EXPECT_EQ(GetOrdProp(*Read(text), c.property), c.changed);
        EXPECT_EQ(GetOrdProp(*Read(untouched), c.property), GetOrdProp(TOmbralCreator(nullptr), c.property));
    }
}

TEST_F(SavedForm, AllPropertiesRoundTripInBothEncodings) {
    TOmbralCreator creator(nullptr);
    creator.Name = "Changed";
    creator.Tag = -5;
    creator.SetAction(REMOVE_DEFAULT_DSN);
    creator.SetDSNNameOrAlias("");  // empty strings are left out and read back empty
    creator.SetDSNUserDescription(String(200, 'd') + "'\r\n");
    creator.SetDatabaseDir("C:\\Data");
    creator.SetUserID(String("nul\0byte", 8));
    creator.Password = "p'w";
    creator.SetNetFilePath("\\\\server\\net\\");
    creator.optNetVersion = NetVersion4x;
    creator.optParadoxVersion = Paradox4x;
    creator.optImplitCommitSync = "Yes";
    creator.SetCollateSequence(NorwegianDanish);
    creator.optPageTimeout = INT32_MAX;
    creator.optExclusive = creator.optDSNReadOnly = creator.optUserCommitSync = true;
    creator.optSafeTransactions = INT32_MIN;
    creator.optThreads = 0;
    for (const String& data : {WriteComponentBinary(creator), WriteComponentText(creator)})
        EXPECT_EQ(Values(*Read(data)), Values(creator));
    const String binary = WriteComponentBinary(creator);
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(binary)), binary);
}

// Left out, they would read back as the initial "NewOmbral" and "admin".
TEST_F(SavedForm, ClearedStringsThatStartFilledAreSavedEmpty) {
    TOmbralCreator creator(nullptr);
    creator.SetDSNNameOrAlias("");
    creator.SetUserID("");
    EXPECT_EQ(WriteComponentText(creator),
              "object TOmbralCreator\n"
              "  DSNNameOrAlias = ''\n"
              "  DSNUserDescription = 'New Ombral Description'\n"
              "  UserID = ''\n"
              "end\n");
    const auto back = Read(WriteComponentBinary(creator));
    EXPECT_EQ(back->GetDSNNameOrAlias(), "");
    EXPECT_EQ(back->GetUserID(), "");
}

// The reader writes each property through its setter.
TEST_F(SavedForm, SavedDatabaseDirPassesItsSetterAgain) {
    const auto creator = Read(
        "object OmbralCreator1: TOmbralCreator\n  DatabaseDir = 'C:\\Data\\'\n  NetFilePath = 'C:\\Net\\'\nend\n");
    EXPECT_EQ(creator->GetDatabaseDir(), "C:\\Data");
    EXPECT_EQ(creator->GetNetFilePath(), "C:\\Net\\");
}

TEST_F(SavedForm, ValueMadeByACastIsAWriteError) {
    TOmbralCreator creator(nullptr);
    creator.optNetVersion = static_cast<TNetVersion>(200);
    EXPECT_THROW(WriteComponent(creator), EWriteError);
}

// About set in code holds an editor object, which publishes nothing a form
// could carry: the form is the same as with About empty, and reads back nil.
TEST_F(SavedForm, AboutSetInCodeIsLeftOut) {
    TOmbralCreator creator(nullptr);
    creator.Name = "OmbralCreator1";
    const String text = WriteComponentText(creator);
    const String binary = WriteComponentBinary(creator);
    auto editor = host::CreateEditor(host::TypeInfo<TAboutProperty>(), {{&creator, GetPropInfo(creator, "About")}});
    creator.About = static_cast<TAboutProperty*>(editor.get());
    EXPECT_EQ(WriteComponentText(creator), text);
    EXPECT_EQ(WriteComponentBinary(creator), binary);
    EXPECT_EQ(GetObjectProp(creator, "About"), editor.get());
    EXPECT_EQ(Read(binary)->About, nullptr);
}

}  // namespace
