// Components written by their property tables and read back through them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include <platform/host/rtl/FormStream.h>

#include "platform/FormTestClasses.h"

using namespace formtest;
using namespace host;
using testing::HasSubstr;

namespace {

class ComponentStream : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClasses();
        TTestLabel::loadedSoFar = 0;
    }
    // A form with two labels, the second one changed from its defaults.
    static std::unique_ptr<TTestForm> MakeForm() {
        auto form = std::make_unique<TTestForm>(nullptr);
        form->Name = "Form1";
        (new TTestLabel(form.get()))->Name = "lblPlain";
        auto* label = new TTestLabel(form.get());
        label->Name = "lblLink";
        label->Tag = 7;
        label->Caption = "Click";
        label->Visible = false;
        label->GetFont()->Style = {fsUnderline, fsBold};
        label->GetFont()->Height = -13;
        label->OnClick = {form.get(), FindMethod(form->ClassType(), "Clicked")};
        return form;
    }
};

constexpr const char* kFormText =
    "object Form1: TTestForm\n"
    "  object lblPlain: TTestLabel\n"
    "    Font.Name = 'Arial'\n"
    "    Font.Height = -11\n"
    "  end\n"
    "  object lblLink: TTestLabel\n"
    "    Tag = 7\n"
    "    Caption = 'Click'\n"
    "    Font.Name = 'Arial'\n"
    "    Font.Height = -13\n"
    "    Font.Style = [fsBold, fsUnderline]\n"
    "    Visible = False\n"
    "    OnClick = Clicked\n"
    "  end\n"
    "end\n";

// Declared order, base first; defaults, empty strings and unbound events left
// out; nested objects under dotted names; sets in ordinal order.
TEST_F(ComponentStream, WriterGoesByThePropertyTable) {
    EXPECT_EQ(WriteComponentText(*MakeForm()), kFormText);
}

TEST_F(ComponentStream, ReaderRestoresOwnersPropertiesAndEvents) {
    for (const String& data : {String(kFormText), ObjectTextToBinary(kFormText)}) {
        TComponent owner(nullptr);
        auto* form = dynamic_cast<TTestForm*>(ReadComponentForm(data, &owner));
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->Owner(), &owner);
        ASSERT_EQ(form->ComponentCount(), 2);
        auto* link = dynamic_cast<TTestLabel*>(form->Components(1));
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->Name, "lblLink");
        EXPECT_EQ(link->Tag, 7);
        EXPECT_FALSE(link->Visible);
        EXPECT_EQ(link->GetFont()->Style, (TFontStyles{fsBold, fsUnderline}));
        EXPECT_EQ(link->GetFont()->Height, -13);
        ASSERT_TRUE(link->OnClick);
        link->OnClick(link);
        EXPECT_EQ(form->lastSender, link);
        EXPECT_EQ(WriteComponentText(*form), kFormText);
    }
}

// A string property holds ANSI text, whichever string form the stream used.
// A string property takes Unicode text only where the code page holds every
// character of it: '?' in place of one would make a folder or a password
// silently another.
TEST_F(ComponentStream, UnicodeStringValuesBecomeAnsiTextOrAreRefused) {
    const struct {
        TFormValue Value;
        const char* Caption;  // else the refusal
    } cases[] = {
        {{.Kind = fvUtf8String, .Text = "\xC2\xA9 2026 \xE2\x82\xAC"}, "\xA9 2026 \x80"},
        {{.Kind = fvWideString, .Wide = u"caf\u00e9"}, "caf\xE9"},
        {{.Kind = fvUtf8String, .Text = "/srv/\xCE\xA9"}, "a character that the code page (Windows-1252) cannot hold"},
        {{.Kind = fvUtf8String, .Text = "caf\xFF x"}, "a string that is not UTF-8"},
        {{.Kind = fvUtf8String, .Text = "\xC0\xAF"}, "a string that is not UTF-8"},  // overlong '/'
        {{.Kind = fvWideString, .Wide = u"caf\u00e9 \U0001F600"},
         "a character that the code page (Windows-1252) cannot hold"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Caption);
        TFormObject form = ReadTextForm("object Form1: TTestForm\n  object lbl: TTestLabel\n  end\nend\n");
        form.Children[0].Properties.push_back({"Caption", c.Value});
        try {
            std::unique_ptr<TComponent> read(ReadComponentForm(WriteBinaryForm(form), nullptr));
            EXPECT_EQ(dynamic_cast<TTestLabel*>(read->Components(0))->Caption, c.Caption);
        } catch (const EReadError& error) {
            EXPECT_THAT(error.Message(), HasSubstr("property 'Caption' holds " + String(c.Caption)));
        }
    }
    // A UTF-8 text form is refused where its bytes are not UTF-8.
    const String text = "object lbl: TTestLabel\n  Caption = 'caf\xE9 x'\nend\n";
    EXPECT_THROW(
        try { ReadTextForm(text, TTextCharset::Utf8); } catch (const EReadError& error) {
            EXPECT_THAT(error.Message(), HasSubstr("line 2: property 'Caption' holds a string that is not UTF-8"));
            throw;
        },
        EReadError);
}

TEST_F(ComponentStream, LoadedRunsOnceOnEachComponentAfterAllAreRead) {
    std::unique_ptr<TComponent> form(ReadComponentForm(kFormText, nullptr));
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* label = dynamic_cast<TTestLabel*>(form->Components(i));
        EXPECT_EQ(label->loadedCalls, 1);
        EXPECT_EQ(label->loadedBefore, i);
        EXPECT_EQ(label->captionWhenLoaded, label->Caption);
        EXPECT_EQ(label->lastCaptionWhenLoaded, "Click");  // the last label was complete already
    }
}

TEST_F(ComponentStream, ValuesThatCannotBeSavedAreWriteErrors) {
    auto form = MakeForm();
    form->Name = "two words";
    EXPECT_THROW(WriteComponent(*form), EWriteError);
    form = MakeForm();
    dynamic_cast<TTestLabel*>(form->Components(0))->GetFont()->Style = TFontStyles::FromBits(1u << 9);
    EXPECT_THROW(WriteComponent(*form), EWriteError);
}

}  // namespace
