// The About form as its resource builds it, SetLabels' centring, and the form
// at work with a person in front of it.

#include <gtest/gtest.h>

#include <memory>

#include <pOlvexAbout/pOlvexAbout.h>
#include <platform/host/rtl/Resources.h>
#include <platform/host/ui/ExtCtrls.h>
#include <platform/host/ui/Forms.h>

#include "../../support/Person.h"

namespace {

using pOlvexAbout::TOlvexAboutForm;

std::unique_ptr<TOlvexAboutForm> MakeForm() { return std::make_unique<TOlvexAboutForm>(nullptr); }

TEST(AboutForm, ResourceHoldsTheLayout) {
    const auto form = MakeForm();
    EXPECT_EQ(form->Name, "OlvexAboutForm");
    EXPECT_EQ(form->BorderStyle, host::bsDialog);
    EXPECT_EQ(form->Position, host::poScreenCenter);
    EXPECT_EQ(form->ClientWidth, 332);
    EXPECT_EQ(form->ClientHeight, 250);
    EXPECT_EQ(form->Color, host::clBtnFace);
    EXPECT_EQ(form->GetFont()->GetName(), "MS Sans Serif");
    EXPECT_EQ(form->GetFont()->GetHeight(), -11);
    EXPECT_EQ(form->GetFont()->GetCharset(), host::DEFAULT_CHARSET);

    const struct {
        host::TControl* Control;
        int Left, Top, Width, Height;
    } layout[] = {{form->lblVersion, 119, 53, 92, 22},  {form->lblAuthor, 131, 101, 68, 16},
                  {form->lblURL, 96, 168, 138, 16},     {form->bvlSepBar, 47, 192, 237, 2},
                  {form->lblComponent, 87, 25, 3, 13},  {form->lblCopyRight, 60, 136, 204, 14},
                  {form->btnOK, 207, 200, 75, 25}};
    ASSERT_EQ(form->ControlCount(), 7);
    for (int i = 0; i < 7; ++i) {
        const auto& want = layout[i];
        ASSERT_EQ(form->Controls(i), want.Control) << i;  // creation order, fields bound
        EXPECT_EQ(want.Control->Left, want.Left) << want.Control->Name;
        EXPECT_EQ(want.Control->Top, want.Top) << want.Control->Name;
        EXPECT_EQ(want.Control->Width, want.Width) << want.Control->Name;
        EXPECT_EQ(want.Control->Height, want.Height) << want.Control->Name;
    }
    EXPECT_EQ(form->lblURL->Cursor, host::crHandPoint);
    EXPECT_EQ(form->lblURL->GetFont()->GetColor(), host::clBlue);
    EXPECT_TRUE(form->lblURL->GetFont()->GetStyle().Contains(host::fsUnderline));
    EXPECT_EQ(form->lblVersion->GetFont()->GetName(), "Arial");
    EXPECT_EQ(form->lblVersion->GetFont()->GetHeight(), -19);
    EXPECT_EQ(form->lblComponent->GetFont()->GetName(), "MS Sans Serif");
    EXPECT_TRUE(form->btnOK->Default);
    EXPECT_EQ(form->btnOK->ModalResult, host::mrOk);
    EXPECT_EQ(form->bvlSepBar->Shape, host::bsBox);
    EXPECT_TRUE(form->lblURL->OnClick);
    EXPECT_TRUE(form->btnOK->OnClick);
}

TEST(AboutForm, SetLabelsCentresOnTheComponentName) {
    const auto form = MakeForm();
    form->SetLabels("TOmbralCreator", "1.1.0", "Ombral Software", "Copyright (c) 2026 Ombral Software",
                    "https://ombral.example.org/creator");
    EXPECT_EQ(form->GetCaption(), "About TOmbralCreator v1.1.0");
    EXPECT_EQ(form->lblComponent->Width, 80);
    EXPECT_EQ(form->lblComponent->Left, 47 + (237 - 80) / 2);  // 125: 157 halved down
    const int left = form->lblComponent->Left;
    EXPECT_EQ(form->lblVersion->Left, left + (80 - 53) / 2);       // 27 halved: 13
    EXPECT_EQ(form->lblAuthor->Left, left + (80 - 115) / 2);       // -35 halved toward zero: -17
    EXPECT_EQ(form->lblCopyRight->Left, left + (80 - 176) / 2);
    EXPECT_EQ(form->lblURL->Left, left + (80 - 199) / 2);          // -119: -59, not -60
    EXPECT_EQ(form->lblURL->Top, 168);
}

TEST(AboutForm, SetLabelsEdgeArguments) {
    const auto form = MakeForm();
    form->SetLabels("", "", "", "", "");
    EXPECT_EQ(form->GetCaption(), "About  v");
    EXPECT_EQ(form->lblVersion->GetCaption(), "v");
    EXPECT_EQ(form->lblAuthor->GetCaption(), "by ");

    const std::string wide(60, 'W');  // wider than the separator line
    form->SetLabels(wide, "1", "A&&B", "&Copyright", "x");
    EXPECT_LT(form->lblComponent->Left, 47);
    EXPECT_EQ(form->lblComponent->Left, 47 + (237 - form->lblComponent->Width) / 2);
    // The labels take the texts as captions: "&&" shows one '&', a single one marks the next letter.
    const host::TAcceleratedText author = host::StripAccelerators(form->lblAuthor->GetCaption());
    EXPECT_EQ(author.Text, "by A&B");
    EXPECT_TRUE(author.Underlined.empty());
    const host::TAcceleratedText copyright = host::StripAccelerators(form->lblCopyRight->GetCaption());
    EXPECT_EQ(copyright.Text, "Copyright");
    EXPECT_EQ(copyright.Underlined, std::vector<std::size_t>{0});

    // A text meant as it is keeps every '&' it has, and marks nothing.
    for (const std::string text : {"A&B", "&", "&&x&", "Copyright \xA9 2026 Ombral Software"}) {
        const host::TAcceleratedText shown = host::StripAccelerators(host::WithoutAccelerators(text));
        EXPECT_EQ(shown.Text, text);
        EXPECT_TRUE(shown.Underlined.empty()) << text;
    }
}

TEST(AboutForm, MissingOrDamagedResourceNamesTheClass) {
    const auto stored = host::FindResourceData("TOLVEXABOUTFORM");
    ASSERT_TRUE(stored);
    const std::string saved(*stored);
    const std::string damaged = saved.substr(0, saved.size() / 2);
    host::RegisterResource("TOLVEXABOUTFORM", damaged);
    try {
        MakeForm();
        ADD_FAILURE() << "a damaged resource was read";
    } catch (const host::EReadError& error) {
        EXPECT_NE(error.Message().find("TOlvexAboutForm"), std::string::npos) << error.Message();
    }
    host::RegisterResource("TOLVEXABOUTFORM", saved);
    EXPECT_NO_THROW(MakeForm());
}

TEST(AboutForm, EnterClosesThroughOk) {
    testsupport::Person person;
    person.WillClickThenEnter();
    const auto form = MakeForm();
    form->SetLabels("TOmbralCreator", "1.1.0", "Ombral Software", "Copyright", "https://ombral.example.org/");
    // OK's handler calls Close, which ends a modal run with mrCancel, as the host's does.
    EXPECT_EQ(form->ShowModal(), host::mrCancel);
    const auto forms = person.Forms();
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0].Caption, "About TOmbralCreator v1.1.0");
    ASSERT_EQ(forms[0].Controls.size(), 7u);
    EXPECT_EQ(forms[0].Controls[6].Name, "btnOK");
    EXPECT_EQ(forms[0].Controls[6].Caption, "OK");
    EXPECT_EQ(forms[0].Controls[4].Width, 80);
}

TEST(AboutForm, CancelledFormReturnsCancel) {
    testsupport::Person person;
    person.WillCancelForm();
    const auto form = MakeForm();
    EXPECT_EQ(form->ShowModal(), host::mrCancel);
}

}  // namespace
