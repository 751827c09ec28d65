// Damaged and mistaken saved forms: each is a clear EReadError, and nothing
// that the reader made is left behind.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/rtl/FormStream.h>

#include "platform/FormTestClasses.h"

using namespace host;
using testing::HasSubstr;

namespace {

String Creator(const String& properties) {
    return "object OmbralCreator1: TOmbralCreator\n" + properties + "end\n";
}

String Replaced(String data, std::string_view what, std::string_view with) {
    return data.replace(data.find(what), what.size(), with);
}

// Records nested `levels` deep, in the binary form.
String NestedRecords(int levels) {
    String record;
    for (int i = 0; i < levels; ++i) record = "\x0ATComponent" + String(2, '\0') + record + String(1, '\0');
    return "TPF0" + record;
}

// A creator whose Tag is a list of half a million one-digit integers: two
// bytes each on disk, two hundred in memory.
String ManyTinyIntegers(bool binary) {
    constexpr std::size_t kCount = 500000;
    String items;
    for (std::size_t i = 0; i < kCount; ++i) items += binary ? String("\x02\x01", 2) : String("1 ");
    if (!binary) return Creator("  Tag = (" + items + ")\n");
    return Replaced(ObjectTextToBinary(Creator("  Tag = 1\n")), "\x03Tag\x02\x01",
                    "\x03Tag\x01" + items + String(1, '\0'));
}

TEST(DamagedForms, EachIsAReadErrorNamingWhatIsWrong) {
    RegisterClass(TypeInfo<OmbralCreateUnit::TOmbralCreator>());
    RegisterClass(TypeInfo<TComponent>());
    formtest::RegisterTestClasses();
    const String shop = ObjectTextToBinary(Creator("  DSNNameOrAlias = 'Shop'\n"));
    const String longName = ObjectTextToBinary(Creator("  DSNNameOrAlias = '" + String(300, 'x') + "'\n"));
    const struct {
        const char* what;
        String data;
        const char* says;
    } cases[] = {
        {"bad signature", Replaced(shop, "TPF0", "TPF1"), "bad signature"},
        {"truncated stream", shop.substr(0, shop.size() - 2), "truncated stream"},
        {"unknown value tag", Replaced(shop, "\x06\x04Shop", "\x63\x04Shop"), "unknown value tag 99"},
        {"short length past the end", Replaced(shop, "\x06\x04Shop", "\x06\xC8Shop"), "runs past the end"},
        {"long length past the end", Replaced(longName, "\x0C\x2C\x01", "\x0C\xFF\xFF\xFF\x7F"),
         "runs past the end"},
        {"records nested too deep", NestedRecords(65), "nesting deeper than 64"},
        {"lists nested too deep", Creator("  Tag = " + String(65, '(') + String(65, ')') + "\n"),
         "nesting deeper than 64"},
        {"unknown class", "object Shop: TNoSuchClass\nend\n", "unknown class 'TNoSuchClass'"},
        {"class that is no component", "object Font1: TFont\nend\n", "is not a component class"},
        {"inherited record", "inherited OmbralCreator1: TOmbralCreator\nend\n", "inherited"},
        {"unknown property", Creator("  optImplicitCommitSync = 'Yes'\n"), "unknown property 'optImplicitCommitSync'"},
        {"integer for an enumeration", Creator("  Action = 0\n"), "cannot take an integer"},
        {"integer for a string", Creator("  DSNNameOrAlias = 5\n"), "cannot take an integer"},
        {"string for an integer", Creator("  optPageTimeout = '5'\n"), "cannot take a string"},
        {"identifier for a Boolean", Creator("  optExclusive = Yes\n"), "'Yes' is not a member of Boolean"},
        {"no member of the enumeration", Creator("  Action = ADD_DNS\n"),
         "'ADD_DNS' is not a member of TDSNExecuteAction"},
        {"integer outside Integer", Creator("  optThreads = 3000000000\n"), "outside Integer"},
        {"dotted name through a string", Creator("  Password.Length = 3\n"), "holds no object"},
        {"no member of the set", "object L: TTestLabel\n  Font.Style = [fsBlink]\nend\n",
         "'fsBlink' is not a member of TFontStyle"},
        {"event naming no method", "object F: TTestForm\n  object L: TTestLabel\n    OnClick = Nowhere\n  end\nend\n",
         "'Nowhere' is not a published method of TTestForm"},
        {"second child damaged", "object F: TComponent\n  object A: TOmbralCreator\n  end\n  object B: TOmbralCreator\n"
                                 "    Tag = True\n  end\nend\n",
         "B: property 'Tag' is of type Integer and cannot take True"},
        {"class name as long as a prefix byte", "object " + String(240, 'T') + "\nend\n",
         "a class name longer than 239 characters"},
        {"text cut short", Creator("  Tag = 1\n").substr(0, 50), "the text ends too soon"},
        {"unterminated string", Creator("  UserID = 'admin\n"), "unterminated string"},
        {"text after the root", Creator("") + "object\n", "text after the root's 'end'"},
        {"stray character", Creator("  Tag = 1;\n"), "unexpected character"},
        {"binary list too long for memory", ManyTinyIntegers(true), "would take more than 69 MiB of memory to read"},
        {"text list too long for memory", ManyTinyIntegers(false), "would take more than 69 MiB of memory to read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TComponent owner(nullptr);
        try {
            const TFormObject form = c.data.starts_with("TPF") ? ReadBinaryForm(c.data) : ReadTextForm(c.data);
            delete ReadComponent(form, &owner);
            ADD_FAILURE() << "read without complaint";
        } catch (const EReadError& error) {
            EXPECT_THAT(error.Message(), HasSubstr(c.says));
        }
        EXPECT_EQ(owner.ComponentCount(), 0);
    }
}

TEST(DamagedForms, EveryCutOfABinaryStreamIsAReadError) {
    const String text = "object A: TA\n  Caption = 'x'\n  Items = (\n    1\n    [a])\n  Data = {00}\n"
                        "  Columns = <\n    item [1]\n      W = 1.5\n    end>\n  object B: TB\n  end\nend\n";
    const String binary = ObjectTextToBinary(text);
    for (std::size_t size = 0; size < binary.size(); ++size)
        EXPECT_THROW(ReadBinaryForm(binary.substr(0, size)), EReadError) << size;
}

}  // namespace
