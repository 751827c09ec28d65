#include <pOlvexAbout/pOlvexAbout.h>

#include <platform/host/ui/ShellApi.h>

namespace pOlvexAbout {

using host::TLabel;

TOlvexAboutForm* OlvexAboutForm = nullptr;

namespace {

// Centres the label over the span [left, left + width); div truncates toward zero.
void CentreOver(TLabel& label, host::Integer left, host::Integer width) { label.Left = left + (width - label.Width) / 2; }

void SetCentred(TLabel& label, const String& caption, const TLabel& over) {
    label.SetCaption(caption);
    CentreOver(label, over.Left, over.Width);
}

}  // namespace

TOlvexAboutForm::TOlvexAboutForm(host::TComponent* AOwner) : host::TForm(AOwner) {
    InitInheritedComponent(host::TypeInfo<TOlvexAboutForm>());
}

void TOlvexAboutForm::SetLabels(const String& AComponent, const String& AVersion, const String& AAuthor,
                                const String& ACopyright, const String& AURL) {
    SetCaption("About " + AComponent + " v" + AVersion);
    lblComponent->SetCaption(AComponent);
    CentreOver(*lblComponent, bvlSepBar->Left, bvlSepBar->Width);
    SetCentred(*lblVersion, "v" + AVersion, *lblComponent);
    SetCentred(*lblAuthor, "by " + AAuthor, *lblComponent);
    SetCentred(*lblCopyRight, ACopyright, *lblComponent);
    SetCentred(*lblURL, AURL, *lblComponent);
}

void TOlvexAboutForm::btnOKClick(host::TObject*) { Close(); }

void TOlvexAboutForm::lblURLClick(host::TObject*) {
    const String address = lblURL->GetCaption();
    host::ShellExecuteA(Handle(), "open", address.c_str(), "", "", host::SW_SHOWNORMAL);
}

const host::TTypeInfo* TOlvexAboutForm::ClassType() const { return host::TypeInfo<TOlvexAboutForm>(); }

namespace {

using host::PublishedField;
using host::PublishedMethod;

constexpr host::TPublishedField kAboutFields[] = {
    PublishedField<&TOlvexAboutForm::lblVersion>("lblVersion"),
    PublishedField<&TOlvexAboutForm::lblAuthor>("lblAuthor"),
    PublishedField<&TOlvexAboutForm::lblURL>("lblURL"),
    PublishedField<&TOlvexAboutForm::btnOK>("btnOK"),
    PublishedField<&TOlvexAboutForm::bvlSepBar>("bvlSepBar"),
    PublishedField<&TOlvexAboutForm::lblComponent>("lblComponent"),
    PublishedField<&TOlvexAboutForm::lblCopyRight>("lblCopyRight"),
};
constexpr host::TPublishedMethod kAboutMethods[] = {
    PublishedMethod<&TOlvexAboutForm::btnOKClick>("btnOKClick"),
    PublishedMethod<&TOlvexAboutForm::lblURLClick>("lblURLClick"),
};

}  // namespace

constinit const host::TTypeInfo TOlvexAboutFormType =
    host::ClassTypeInfo<TOlvexAboutForm, host::TForm>("TOlvexAboutForm", nullptr, kAboutMethods, kAboutFields);
constinit const host::TTypeInfo* const TOlvexAboutFormClass = &TOlvexAboutFormType;

void initialization() {}
void Finalization() {}

}  // namespace pOlvexAbout

namespace host {

template <>
const TTypeInfo* TypeInfo<pOlvexAbout::TOlvexAboutForm>() { return &pOlvexAbout::TOlvexAboutFormType; }

}  // namespace host
