#include <platform/host/ui/StdCtrls.h>

#include <platform/host/ui/Forms.h>
#include <platform/host/ui/UiBackend.h>

namespace host {

namespace {

std::span<const TPropInfo> LabelProperties() {
    static const std::vector<TPropInfo> table = PublishedProperties<TControl>({
        Property<&TLabel::GetAutoSize, &TLabel::SetAutoSize>("AutoSize", true),
        CaptionProperty(),
        FontProperty(),
        ParentFontProperty(),
        Field<&TLabel::Transparent>("Transparent", false),
        OnClickProperty(),
    });
    return table;
}

std::span<const TPropInfo> ButtonProperties() {
    static const std::vector<TPropInfo> table = PublishedProperties<TWinControl>({
        Field<&TButton::Cancel>("Cancel", false),
        CaptionProperty(),
        Field<&TButton::Default>("Default", false),
        FontProperty(),
        Field<&TButton::ModalResult>("ModalResult", 0),
        ParentFontProperty(),
        Field<&TButton::TabOrder>("TabOrder", -1),
        OnClickProperty(),
    });
    return table;
}

}  // namespace

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner) {
    Width = 65;
    Height = 17;
}

void TLabel::SetAutoSize(Boolean value) {
    autoSize_ = value;
    TextChanged();
}

void TLabel::TextChanged() {
    if (autoSize_ && !IsLoading()) AdjustBounds();
}

// As one line; a caption with nothing to draw measures as a blank, so the
// label keeps a height and stays clickable.
void TLabel::AdjustBounds() {
    String text = StripAccelerators(GetCaption()).Text;
    if (text.empty()) text.push_back(' ');
    const TTextExtent extent = PlatformUiBackend().MeasureText(text, *GetFont());
    Width = extent.Width;
    Height = extent.Height;
}

const TTypeInfo* TLabel::ClassType() const { return TypeInfo<TLabel>(); }

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    Width = 75;
    Height = 25;
}

void TButton::Click() {
    if (TCustomForm* form = ParentForm()) form->ModalResult = ModalResult;
    TWinControl::Click();
}

const TTypeInfo* TButton::ClassType() const { return TypeInfo<TButton>(); }

template <>
const TTypeInfo* TypeInfo<TLabel>() {
    static const TTypeInfo info = ClassTypeInfo<TLabel, TControl>("TLabel", LabelProperties);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TButton>() {
    static const TTypeInfo info = ClassTypeInfo<TButton, TWinControl>("TButton", ButtonProperties);
    return &info;
}

}  // namespace host
