// The editor base class and the host's standard editors.

#include <algorithm>
#include <charconv>

#include <platform/host/design/DesignIntf.h>

namespace host {

template <>
const TTypeInfo* TypeInfo<TPropertyEditor>() {
    static const TTypeInfo info = ClassTypeInfo<TPropertyEditor, TObject>("TPropertyEditor");
    return &info;
}

#define OMBRAL_EDITOR_RECORD(Class, Base)                                       \
    template <>                                                                 \
    const TTypeInfo* TypeInfo<Class>() {                                        \
        static const TTypeInfo info = ClassTypeInfo<Class, Base>(#Class);       \
        return &info;                                                           \
    }                                                                           \
    const TTypeInfo* Class::ClassType() const { return TypeInfo<Class>(); }

OMBRAL_EDITOR_RECORD(TOrdinalProperty, TPropertyEditor)
OMBRAL_EDITOR_RECORD(TIntegerProperty, TOrdinalProperty)
OMBRAL_EDITOR_RECORD(TEnumProperty, TOrdinalProperty)
OMBRAL_EDITOR_RECORD(TSetProperty, TOrdinalProperty)
OMBRAL_EDITOR_RECORD(TStringProperty, TPropertyEditor)
OMBRAL_EDITOR_RECORD(TComponentNameProperty, TStringProperty)
OMBRAL_EDITOR_RECORD(TClassProperty, TPropertyEditor)
OMBRAL_EDITOR_RECORD(TMethodProperty, TPropertyEditor)
#undef OMBRAL_EDITOR_RECORD

const TTypeInfo* TPropertyEditor::ClassType() const { return TypeInfo<TPropertyEditor>(); }

namespace {

String Quoted(std::string_view text) { return String(1, '\'').append(text).append(1, '\''); }

template <typename Names>
String Joined(const Names& names, std::string_view separator) {
    String joined;
    for (std::string_view name : names) joined.append(joined.empty() ? "" : separator).append(name);
    return joined;
}

// The member of the enumeration named so (without regard to case), or -1.
std::int64_t MemberNamed(const TTypeInfo* enumType, std::string_view name) {
    const auto& members = enumType->Members;
    const auto found = std::find_if(members.begin(), members.end(), [&](std::string_view m) { return SameText(m, name); });
    return found == members.end() ? -1 : found - members.begin();
}

// True when every selected object gives the same value.
template <typename Read>
bool Same(const std::vector<TInstProp>& list, Read read) {
    return std::all_of(list.begin(), list.end(), [&](const TInstProp& p) { return read(p) == read(list.front()); });
}

[[noreturn]] void ThrowBadValue(const String& value, const TTypeInfo* type, const String& expected) {
    throw EPropertyError(Quoted(value) + " is not " + expected + " (type " + String(type->Name) + ")");
}

}  // namespace

void TPropertyEditor::Create(std::vector<TInstProp> PropList) {
    if (PropList.empty()) throw EDesignError("a property editor needs at least one selected object");
    propList_ = std::move(PropList);
}

#if OMBRAL_FRAMEWORK_RELEASE >= 6
// Every later read goes through the entry without a check: a null one would crash there.
void TPropertyEditor::SetPropEntry(int Index, TPersistent* Instance, const TPropInfo* PropInfo) {
    if (Index < 0 || Index >= PropCount())
        throw EDesignError("property entry " + IntToStr(Index) + " is outside the editor's " +
                           IntToStr(PropCount()) + " selected objects");
    if (!Instance || !PropInfo) throw EDesignError("a property entry needs an object and a property");
    propList_[static_cast<std::size_t>(Index)] = {Instance, PropInfo};
}
#endif

const TPropInfo& TPropertyEditor::GetPropInfo() const { return *propList_.at(0).PropInfo; }

// An editor that reads its value from the first object alone compares the
// value text an editor of its class shows for each object on its own.
bool TPropertyEditor::AllEqual() {
    const String first = GetValue();
    return std::all_of(propList_.begin() + 1, propList_.end(),
                       [&](const TInstProp& p) { return CreateEditor(ClassType(), {p})->GetValue() == first; });
}

void TPropertyEditor::Edit() {
    if (!GetAttributes().Contains(paValueList)) return;
    std::vector<String> values;
    GetValues([&](const String& value) { values.push_back(value); });
    if (values.empty()) return;
    const auto current = std::find(values.begin(), values.end(), GetValue());
    SetValue(current == values.end() || current + 1 == values.end() ? values.front() : *(current + 1));
}

TPropertyAttributes TPropertyEditor::GetAttributes() { return {paMultiSelect, paRevertable}; }

String TPropertyEditor::GetName() { return String(GetPropInfo().Name); }

void TPropertyEditor::GetProperties(const TGetPropEditProc&) {}

String TPropertyEditor::GetValue() { return "(unknown)"; }

void TPropertyEditor::GetValues(const TGetStrProc&) {}

void TPropertyEditor::SetValue(const String&) {}

String TPropertyEditor::GetStrValue() const { return GetStrProp(*propList_.front().Instance, GetPropInfo()); }

void TPropertyEditor::SetStrValue(const String& Value) {
    for (const auto& [instance, prop] : propList_) SetStrProp(*instance, *prop, Value);
}

std::int64_t TPropertyEditor::GetOrdValue() const { return GetOrdProp(*propList_.front().Instance, GetPropInfo()); }

void TPropertyEditor::SetOrdValue(std::int64_t Value) {
    for (const auto& [instance, prop] : propList_) SetOrdProp(*instance, *prop, Value);
}

bool TOrdinalProperty::AllEqual() {
    return Same(PropList(), [](const TInstProp& p) { return GetOrdProp(*p.Instance, *p.PropInfo); });
}

String TIntegerProperty::GetValue() { return IntToStr(static_cast<Integer>(GetOrdValue())); }

void TIntegerProperty::SetValue(const String& Value) {
    const String text = Trim(Value);
    std::int64_t number = 0;
    const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        ThrowBadValue(Value, GetPropType(), "an integer");
    SetOrdValue(number);
}

TPropertyAttributes TEnumProperty::GetAttributes() { return {paMultiSelect, paValueList, paSortList, paRevertable}; }

String TEnumProperty::GetValue() {
    const std::int64_t ordinal = GetOrdValue();
    const String name = GetEnumName(GetPropType(), ordinal);
    return name.empty() ? std::to_string(ordinal) : name;
}

void TEnumProperty::GetValues(const TGetStrProc& Proc) {
    for (std::string_view member : GetPropType()->Members) Proc(String(member));
}

void TEnumProperty::SetValue(const String& Value) {
    const std::int64_t ordinal = MemberNamed(GetPropType(), Trim(Value));
    if (ordinal < 0) ThrowBadValue(Value, GetPropType(), "one of " + Joined(GetPropType()->Members, ", "));
    SetOrdValue(ordinal);
}

String TSetProperty::GetValue() {
    const auto& members = GetPropType()->Element->Members;
    const std::int64_t bits = GetOrdValue();
    std::vector<std::string_view> in;
    for (std::size_t i = 0; i < members.size(); ++i)
        if ((bits >> i) & 1) in.push_back(members[i]);
    return "[" + Joined(in, ",") + "]";
}

void TSetProperty::SetValue(const String& Value) {
    const TTypeInfo* element = GetPropType()->Element;
    const String text = Trim(Value);
    if (text.size() < 2 || text.front() != '[' || text.back() != ']')
        ThrowBadValue(Value, GetPropType(), "a set written as [member,member]");
    std::int64_t bits = 0;
    std::string_view rest = std::string_view(text).substr(1, text.size() - 2);
    while (!Trim(rest).empty()) {
        const std::size_t comma = std::min(rest.find(','), rest.size());
        const std::int64_t ordinal = MemberNamed(element, Trim(rest.substr(0, comma)));
        if (ordinal < 0) ThrowBadValue(Value, GetPropType(), "a set of " + Joined(element->Members, ", "));
        bits |= std::int64_t{1} << ordinal;
        rest.remove_prefix(std::min(comma + 1, rest.size()));
    }
    SetOrdValue(bits);
}

bool TStringProperty::AllEqual() {
    return Same(PropList(), [](const TInstProp& p) { return GetStrProp(*p.Instance, *p.PropInfo); });
}

String TStringProperty::GetValue() { return GetStrValue(); }

void TStringProperty::SetValue(const String& Value) { SetStrValue(Value); }

TPropertyAttributes TComponentNameProperty::GetAttributes() { return {}; }

void TComponentNameProperty::SetValue(const String& Value) {
    // A saved form names its records by the component names: another value
    // would save a form that cannot be read back.
    if (!IsValidIdent(Value)) throw EPropertyError(Quoted(Value) + " is not a valid component name");
    auto* component = dynamic_cast<TComponent*>(GetComponent(0));
    if (const TComponent* owner = component ? component->Owner() : nullptr)
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (owner->Components(i) != component && SameText(owner->Components(i)->Name, Value))
                throw EPropertyError("a component named " + Quoted(Value) + " already exists");
    SetStrValue(Value);
}

bool TClassProperty::AllEqual() {
    return Same(PropList(), [](const TInstProp& p) { return GetObjectProp(*p.Instance, *p.PropInfo); });
}

TPropertyAttributes TClassProperty::GetAttributes() { return {paMultiSelect, paSubProperties, paReadOnly}; }

void TClassProperty::GetProperties(const TGetPropEditProc& Proc) {
    std::vector<TPersistent*> objects;
    for (const auto& [instance, prop] : PropList()) {
        auto* object = dynamic_cast<TPersistent*>(GetObjectProp(*instance, *prop));
        if (!object) return;
        objects.push_back(object);
    }
    for (auto& editor : GetComponentProperties(objects)) Proc(std::move(editor));
}

String TClassProperty::GetValue() { return "(" + String(GetPropType()->Name) + ")"; }

namespace {

String MethodName(const TInstProp& p) {
    const TMethod method = GetMethodProp(*p.Instance, *p.PropInfo);
    return method ? String(method.Code->Name) : String();
}

}  // namespace

bool TMethodProperty::AllEqual() { return Same(PropList(), MethodName); }

TPropertyAttributes TMethodProperty::GetAttributes() { return {paMultiSelect, paReadOnly}; }

String TMethodProperty::GetValue() { return MethodName(PropList().front()); }

}  // namespace host
