#include <platform/host/ui/Forms.h>

#include <utility>

#include <platform/host/rtl/FormStream.h>
#include <platform/host/rtl/Resources.h>
#include <platform/host/ui/UiBackend.h>

namespace host {

namespace {

constexpr std::string_view kBorderStyleNames[] = {"bsNone",       "bsSingle", "bsSizeable",
                                                  "bsDialog",     "bsToolWindow", "bsSizeToolWin"};
constexpr std::string_view kPositionNames[] = {"poDesigned",      "poDefault",       "poDefaultPosOnly",
                                               "poDefaultSizeOnly", "poScreenCenter", "poDesktopCenter",
                                               "poMainFormCenter", "poOwnerFormCenter"};

// A form stores its client size, not its outer one.
std::span<const TPropInfo> FormProperties() {
    static const std::vector<TPropInfo> table = PublishedProperties<TComponent>({
        Field<&TCustomForm::Left>("Left"),
        Field<&TCustomForm::Top>("Top"),
        Field<&TCustomForm::BorderStyle>("BorderStyle", bsSizeable),
        CaptionProperty(),
        Field<&TCustomForm::ClientHeight>("ClientHeight"),
        Field<&TCustomForm::ClientWidth>("ClientWidth"),
        Field<&TCustomForm::Color>("Color"),
        FontProperty(),
        Field<&TCustomForm::OldCreateOrder>("OldCreateOrder"),
        Field<&TCustomForm::Position>("Position", poDesigned),
        Field<&TCustomForm::PixelsPerInch>("PixelsPerInch"),
        Field<&TCustomForm::TextHeight>("TextHeight"),
    });
    return table;
}

String& PendingSnapshot() {
    static String path;
    return path;
}

TButton* FindDefaultButton(const TWinControl& parent) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        auto* button = dynamic_cast<TButton*>(parent.Controls(i));
        if (button && button->Default) return button;
        if (auto* inner = dynamic_cast<const TWinControl*>(parent.Controls(i)))
            if (TButton* found = FindDefaultButton(*inner)) return found;
    }
    return nullptr;
}

}  // namespace

void SetModalSnapshot(const String& path) { PendingSnapshot() = path; }

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {}

TCustomForm::~TCustomForm() { PlatformUiBackend().FormDestroyed(*this); }

TModalResult TCustomForm::ShowModal() {
    if (modal_) throw Exception("the form " + String(ClassType()->Name) + " is already shown modally");
    struct ModalRun {
        bool& modal;
        explicit ModalRun(bool& flag) : modal(flag) { modal = true; }
        ~ModalRun() { modal = false; }
    } run(modal_);
    ModalResult = mrNone;
    PlatformUiBackend().RunModal(*this, std::exchange(PendingSnapshot(), String()));
    return ModalResult;
}

void TCustomForm::Close() {
    if (modal_) ModalResult = mrCancel;
}

HWND TCustomForm::Handle() { return PlatformUiBackend().FormHandle(*this); }

TButton* TCustomForm::DefaultButton() const { return FindDefaultButton(*this); }

void TCustomForm::InitInheritedComponent(const TTypeInfo* formClass) {
    const String className(formClass->Name);
    const String resource = UpperCase(className);
    const auto data = FindResourceData(resource);
    if (!data) throw EResNotFound("form resource " + resource + " of class " + className + " not found");
    try {
        ReadRootComponent(IsBinaryForm(*data) ? ReadBinaryForm(*data) : ReadTextForm(*data), *this);
    } catch (const EReadError& error) {
        throw EReadError("form resource " + resource + " of class " + className + " cannot be read: " +
                         error.Message());
    }
}

const TTypeInfo* TCustomForm::ClassType() const { return TypeInfo<TCustomForm>(); }
const TTypeInfo* TForm::ClassType() const { return TypeInfo<TForm>(); }
const TTypeInfo* TApplication::ClassType() const { return TypeInfo<TApplication>(); }

void TApplication::ProcessMessages() { PlatformProcessMessages(); }

String TApplication::Title() const { return title_ ? *title_ : PlatformApplicationTitle(); }

namespace {
TApplication theApplication;
}

TApplication* const Application = &theApplication;

template <>
const TTypeInfo* TypeInfo<TFormBorderStyle>() {
    static const TTypeInfo info = EnumerationType("TFormBorderStyle", kBorderStyleNames);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TPosition>() {
    static const TTypeInfo info = EnumerationType("TPosition", kPositionNames);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TCustomForm>() {
    static const TTypeInfo info = ClassTypeInfo<TCustomForm, TWinControl>("TCustomForm", FormProperties);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TForm>() {
    static const TTypeInfo info = ClassTypeInfo<TForm, TCustomForm>("TForm");
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TApplication>() {
    static const TTypeInfo info = ClassTypeInfo<TApplication, TComponent>("TApplication");
    return &info;
}

}  // namespace host
