// The two encodings of a form stream and the conversion between them.

#include <gtest/gtest.h>


#include <platform/host/rtl/FormStream.h>

#include "support/FormFixtures.h"

using namespace host;
using testsupport::FormFixture;

namespace {

String Bytes(std::initializer_list<int> bytes) {
    String out;
    for (int b : bytes) out.push_back(static_cast<char>(b));
    return out;
}

String Short(std::string_view text) { return static_cast<char>(text.size()) + String(text); }

TEST(FormStream, BinaryAndTextEncodingsMatchTheFormat) {
    const String longText(300, 'x');
    const String text =
        "object Button1: TButton\n"
        "  Tag = -128\n"
        "  Left = 300\n"
        "  Width = -40000\n"
        "  Big = 5000000000\n"
        "  Default = True\n"
        "  Visible = False\n"
        "  Cursor = crHandPoint\n"
        "  OnClick = btnOKClick\n"
        "  Font.Style = [fsBold, fsUnderline]\n"
        "  Anchors = []\n"
        "  Caption = 'It'#39's'#13#10'OK'#31' x'\n"
        "  Hint = ''\n"
        "  inherited Panel1: TPanel [2]\n"
        "  end\n"
        "end\n";
    const String binary = "TPF0" + Short("TButton") + Short("Button1") +                      //
                          Short("Tag") + Bytes({2, 0x80}) +                                  // int8
                          Short("Left") + Bytes({3, 0x2C, 0x01}) +                           // int16
                          Short("Width") + Bytes({4, 0xC0, 0x63, 0xFF, 0xFF}) +              // int32
                          Short("Big") + Bytes({19, 0x00, 0xF2, 0x05, 0x2A, 1, 0, 0, 0}) +  // int64
                          Short("Default") + Bytes({9}) + Short("Visible") + Bytes({8}) +
                          Short("Cursor") + Bytes({7}) + Short("crHandPoint") +  //
                          Short("OnClick") + Bytes({7}) + Short("btnOKClick") +  //
                          Short("Font.Style") + Bytes({11}) + Short("fsBold") + Short("fsUnderline") + Bytes({0}) +
                          Short("Anchors") + Bytes({11, 0}) +  //
                          Short("Caption") + Bytes({6}) + Short("It's\r\nOK\x1f x") + Short("Hint") + Bytes({6, 0}) +
                          Bytes({0}) +                                                         // end of properties
                          Bytes({0xF3, 2, 2}) + Short("TPanel") + Short("Panel1") + Bytes({0, 0}) +  // the child
                          Bytes({0});                                                          // end of children
    EXPECT_EQ(ObjectTextToBinary(text), binary);
    EXPECT_EQ(ObjectBinaryToText(binary), text);

    TFormObject withLongString = ReadTextForm("object A: TA end");
    withLongString.Properties.push_back({"Caption", {.Kind = fvString, .Text = longText}});
    const String written = WriteBinaryForm(withLongString);
    EXPECT_EQ(written.substr(4 + 3 + 2 + 8, 5), Bytes({12, 0x2C, 0x01, 0, 0}));  // long string, 4-byte length
    EXPECT_EQ(ReadBinaryForm(written).Properties.at(0).Value.Text, longText);
}

// Binary to text to binary, and text to binary to text, give back the same bytes.
TEST(FormStream, FormsRoundTripByteForByte) {
    for (const char* name : {"OlvexAboutForm.txt", "AllValueKinds.txt"}) {
        const String text = FormFixture(name);
        ASSERT_FALSE(text.empty()) << name;
        const String binary = ObjectTextToBinary(text);
        EXPECT_TRUE(IsBinaryForm(binary));
        EXPECT_EQ(ObjectBinaryToText(binary), text) << name;
        EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(binary)), binary) << name;
    }
}

TEST(FormStream, ValuesKeepTheirKindsAndExactValues) {
    const TFormObject form = ReadBinaryForm(ObjectTextToBinary(FormFixture("AllValueKinds.txt")));
    auto value = [&](std::string_view name) {
        for (const auto& p : form.Properties)
            if (p.Name == name) return p.Value;
        ADD_FAILURE() << name;
        return TFormValue{};
    };
    EXPECT_EQ(value("Price").Kind, fvCurrency);
    EXPECT_EQ(value("Price").Int, 123400);
    EXPECT_EQ(value("Debt").Int, -5000);
    EXPECT_EQ(value("Scale").Kind, fvSingle);
    EXPECT_EQ(value("Ratio").Real, 1.5L);
    EXPECT_EQ(value("Wide").Wide, u"Gr\u00fc\u00dfe \u20ac");
    EXPECT_EQ(value("Quote").Text, "It's\r\ndone");
    EXPECT_EQ(value("Picture.Data").Text.size(), 33u);
    EXPECT_EQ(value("Columns").Collection.at(1).Order, 3);
    EXPECT_EQ(value("Void").Kind, fvNull);
    const TFormObject& frame = form.Children.at(0);
    EXPECT_EQ(frame.Flags, ffInline | ffChildPos);
    EXPECT_EQ(frame.Children.at(0).Name, "");
    EXPECT_EQ(frame.Children.at(0).Properties.at(1).Value.Int, INT64_MIN);
}

TEST(FormStream, TextReaderTakesAnySpacingAndBothApostropheForms) {
    const String loose =
        "object\tForm1 :TForm1\r\n"
        "Caption='It''s'  +\n\n   ' done' Tag=\n-7 Font.Style=[ fsBold ,fsItalic ]\n"
        "Data={ 0a Ff }  Items=('a''b' #65'c')\n"
        "end";
    EXPECT_EQ(WriteTextForm(ReadTextForm(loose)),
              "object Form1: TForm1\n"
              "  Caption = 'It'#39's done'\n"
              "  Tag = -7\n"
              "  Font.Style = [fsBold, fsItalic]\n"
              "  Data = {\n"
              "    0AFF}\n"
              "  Items = (\n"
              "    'a'#39'b'\n"
              "    'Ac')\n"
              "end\n");
}

// A word that is a keyword elsewhere is a property name where '=' follows it.
TEST(FormStream, KeywordsCanNameProperties) {
    const String text = "object A: TA\n  end = 1\n  object = 2\n  item = 3\nend\n";
    EXPECT_EQ(WriteTextForm(ReadTextForm(text)), text);
}

// In text the characters count, not their encoding: a UTF-8 value is written
// as its characters, so one that fits in bytes reads back as a plain string.
TEST(FormStream, UTF8AndWideStringsBecomePlainStringsInText) {
    TFormObject form = ReadTextForm("object A: TA end");
    form.Properties.push_back({"Utf8", {.Kind = fvUtf8String, .Text = "\xC2\xA9 x"}});
    form.Properties.push_back({"Latin", {.Kind = fvWideString, .Wide = u"caf\u00e9"}});
    form.Properties.push_back({"Euro", {.Kind = fvUtf8String, .Text = "\xE2\x82\xAC"}});
    const std::string text = WriteTextForm(form);
    EXPECT_NE(text.find("Utf8 = #169' x'"), std::string::npos) << text;
    const TFormObject back = ReadTextForm(text);
    EXPECT_EQ(back.Properties[0].Value.Kind, fvString);
    EXPECT_EQ(back.Properties[0].Value.Text, "\xA9 x");
    EXPECT_EQ(back.Properties[2].Value.Kind, fvWideString);
    EXPECT_EQ(back.Properties[2].Value.Wide, u"\u20AC");
    EXPECT_EQ(back.Properties[1].Value.Kind, fvString);
    EXPECT_EQ(back.Properties[1].Value.Text, "caf\xE9");
}

TEST(FormStream, ValuesTheTextCannotHoldAreWriteErrors) {
    TFormObject form = ReadTextForm("object A: TA end");
    for (long double number : {std::numeric_limits<long double>::infinity(),
                               std::numeric_limits<long double>::denorm_min() * 3}) {
        form.Properties = {{"Ratio", {.Kind = fvExtended, .Real = number}}};
        EXPECT_THROW(WriteTextForm(form), EWriteError);
    }
    form.Properties[0] = {String(256, 'N'), {.Kind = fvInteger}};
    EXPECT_THROW(WriteBinaryForm(form), EWriteError);
}

}  // namespace
