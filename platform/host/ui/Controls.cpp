#include <platform/host/ui/Controls.h>

#include <algorithm>

#include <platform/host/ui/Forms.h>

namespace host {

namespace {

constexpr TIdentMapEntry kCursors[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},   {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
};

std::span<const TPropInfo> ControlProperties() {
    static const std::vector<TPropInfo> table = PublishedProperties<TComponent>({
        Field<&TControl::Left>("Left"),
        Field<&TControl::Top>("Top"),
        Field<&TControl::Width>("Width"),
        Field<&TControl::Height>("Height"),
        Field<&TControl::Cursor>("Cursor", crDefault),
    });
    return table;
}

}  // namespace

bool IdentToCursor(std::string_view name, Integer& cursor) { return IdentToInt(kCursors, name, cursor); }
bool CursorToIdent(Integer cursor, String& name) { return IntToIdent(kCursors, cursor, name); }

TAcceleratedText StripAccelerators(const String& caption) {
    TAcceleratedText result;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            result.Text += caption[i];
        } else if (i + 1 < caption.size()) {
            if (caption[i + 1] != '&') result.Underlined.push_back(result.Text.size());
            result.Text += caption[++i];
        }
    }
    return result;
}

String WithoutAccelerators(std::string_view text) {
    String caption;
    for (const char c : text) {
        if (c == '&') caption += '&';
        caption += c;
    }
    return caption;
}

TPropInfo CaptionProperty() { return Property<&TControl::GetCaption, &TControl::SetCaption>("Caption"); }

TPropInfo FontProperty() {
    TPropInfo font = Property<&TControl::GetFont, &TControl::SetFont>("Font");
    font.IsStored = [](const TObject& control) { return !static_cast<const TControl&>(control).GetParentFont(); };
    return font;
}

TPropInfo ParentFontProperty() {
    return Property<&TControl::GetParentFont, &TControl::SetParentFont>("ParentFont", true);
}

TPropInfo OnClickProperty() { return Field<&TControl::OnClick>("OnClick"); }

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this] { FontChanged(); };
}

TControl::~TControl() { SetParent(nullptr); }

// Even an unchanged caption is taken as a change: a label read from a form
// keeps its stored size until its caption is set, and is measured then.
void TControl::SetCaption(const String& value) {
    caption_ = value;
    TextChanged();
}

void TControl::SetFont(TFont* value) {
    if (value) font_->Assign(*value);
}

void TControl::SetParentFont(Boolean value) {
    parentFont_ = value;
    ParentFontChanged();
}

void TControl::FontChanged() {
    if (!followingParent_) parentFont_ = false;
    TextChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    followingParent_ = true;
    font_->Assign(*parent_->GetFont());
    followingParent_ = false;
}

void TControl::SetParent(TWinControl* value) {
    if (value == parent_) return;
    if (parent_) std::erase(parent_->controls_, this);
    parent_ = value;
    if (parent_) parent_->controls_.push_back(this);
    ParentFontChanged();
}

TCustomForm* TControl::ParentForm() const {
    for (TWinControl* parent = parent_; parent; parent = parent->GetParent())
        if (auto* form = dynamic_cast<TCustomForm*>(parent)) return form;
    return nullptr;
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* value) { SetParent(dynamic_cast<TWinControl*>(value)); }

const TTypeInfo* TControl::ClassType() const { return TypeInfo<TControl>(); }

TWinControl::~TWinControl() {
    for (TControl* control : controls_) control->parent_ = nullptr;
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* control : controls_) control->ParentFontChanged();
}

const TTypeInfo* TWinControl::ClassType() const { return TypeInfo<TWinControl>(); }

template <>
const TTypeInfo* TypeInfo<TCursor>() {
    static const TTypeInfo info = IntegerType("TCursor", INT16_MIN, INT16_MAX, kCursors);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TControl>() {
    static const TTypeInfo info = ClassTypeInfo<TControl, TComponent>("TControl", ControlProperties);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TWinControl>() {
    static const TTypeInfo info = ClassTypeInfo<TWinControl, TControl>("TWinControl");
    return &info;
}

}  // namespace host
