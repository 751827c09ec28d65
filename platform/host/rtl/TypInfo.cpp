#include <platform/host/rtl/TypInfo.h>

#include <array>

namespace host {

namespace {

constexpr std::array<std::string_view, 2> kBooleanMembers{"False", "True"};

String Quoted(std::string_view text) {
    String quoted(1, '\'');  // appended piece by piece: GCC 12 at -O3 misreads "'" + text + "'"
    return quoted.append(text).append(1, '\'');
}

// The accessors of the wanted kind, or EPropertyError naming the property's type.
[[noreturn]] void ThrowWrongKind(const TPropInfo& prop, const char* wanted) {
    throw EPropertyError("property " + Quoted(prop.Name) + " is of type " + String(prop.PropType->Name) + ", not " +
                         wanted);
}

template <typename A>
const A& AccessOf(const TPropInfo& prop, const char* wanted) {
    if (const A* access = std::get_if<A>(&prop.Accessors)) return *access;
    ThrowWrongKind(prop, wanted);
}

void RequireKind(const TPropInfo& prop, TTypeKind kind, const char* wanted) {
    if (prop.PropType->Kind != kind) ThrowWrongKind(prop, wanted);
}

bool InRange(const TTypeInfo* type, std::int64_t value) {
    switch (type->Kind) {
        case tkInteger:
            return value >= type->MinValue && value <= type->MaxValue;
        case tkEnumeration:
            return value >= 0 && value < static_cast<std::int64_t>(type->Members.size());
        case tkSet:
            return value >= 0 && value < (std::int64_t{1} << type->Element->Members.size());
        default:
            return false;
    }
}

}  // namespace

template <>
const TTypeInfo* TypeInfo<Integer>() {
    static const TTypeInfo info{tkInteger, "Integer"};
    return &info;
}

template <>
const TTypeInfo* TypeInfo<Boolean>() {
    static const TTypeInfo info = EnumerationType("Boolean", kBooleanMembers);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<String>() {
    static const TTypeInfo info{tkLString, "String"};
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TMethod>() {
    static const TTypeInfo info{tkMethod, "TNotifyEvent"};
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TObject>() {
    static const TTypeInfo info{.Kind = tkClass, .Name = "TObject"};
    return &info;
}

const TTypeInfo* TObject::ClassType() const { return TypeInfo<TObject>(); }

TTypeInfo IntegerType(std::string_view name, std::int64_t minValue, std::int64_t maxValue,
                      std::span<const TIdentMapEntry> idents) {
    return TTypeInfo{.Kind = tkInteger, .Name = name, .Idents = idents, .MinValue = minValue, .MaxValue = maxValue};
}

bool IdentToInt(std::span<const TIdentMapEntry> idents, std::string_view name, Integer& value) {
    for (const auto& entry : idents)
        if (entry.Name == name) return value = entry.Value, true;
    return false;
}

bool IntToIdent(std::span<const TIdentMapEntry> idents, Integer value, String& name) {
    for (const auto& entry : idents)
        if (entry.Value == value) return name = String(entry.Name), true;
    return false;
}

bool InheritsFrom(const TTypeInfo* classType, const TTypeInfo* ancestor) {
    for (; classType; classType = classType->Parent())
        if (classType == ancestor) return true;
    return false;
}

const TPublishedMethod* FindMethod(const TTypeInfo* classType, std::string_view name) {
    for (; classType; classType = classType->Parent())
        for (const auto& method : classType->Methods)
            if (method.Name == name) return &method;
    return nullptr;
}

const TPublishedField* FindField(const TTypeInfo* classType, std::string_view name) {
    for (; classType; classType = classType->Parent())
        for (const auto& field : classType->Fields)
            if (field.Name == name) return &field;
    return nullptr;
}

std::span<const TPropInfo> GetPropList(const TTypeInfo* classType) {
    while (classType && !classType->Properties) classType = classType->Parent();
    return classType ? classType->Properties() : std::span<const TPropInfo>{};
}

const TPropInfo* GetPropInfo(const TTypeInfo* classType, std::string_view name) {
    for (const auto& prop : GetPropList(classType))
        if (prop.Name == name) return &prop;
    return nullptr;
}

const TPropInfo* GetPropInfo(const TObject& instance, std::string_view name) {
    return GetPropInfo(instance.ClassType(), name);
}

bool IsPublishedProp(const TObject& instance, std::string_view name) { return GetPropInfo(instance, name); }

const TPropInfo& FindPropInfo(const TObject& instance, std::string_view name) {
    if (const TPropInfo* prop = GetPropInfo(instance, name)) return *prop;
    throw EPropertyError(String(instance.ClassType()->Name) + " has no published property " + Quoted(name));
}

int GetEnumValue(const TTypeInfo* enumType, std::string_view name) {
    for (std::size_t i = 0; i < enumType->Members.size(); ++i)
        if (enumType->Members[i] == name) return static_cast<int>(i);
    return -1;
}

String GetEnumName(const TTypeInfo* enumType, std::int64_t ordinal) {
    if (ordinal < 0 || ordinal >= static_cast<std::int64_t>(enumType->Members.size())) return {};
    return String(enumType->Members[static_cast<std::size_t>(ordinal)]);
}

std::int64_t GetOrdProp(const TObject& instance, const TPropInfo& prop) {
    return AccessOf<TOrdinalAccess>(prop, "an ordinal").Get(instance);
}

void SetOrdProp(TObject& instance, const TPropInfo& prop, std::int64_t value) {
    const auto& access = AccessOf<TOrdinalAccess>(prop, "an ordinal");
    if (!InRange(prop.PropType, value))
        throw EPropertyError(std::to_string(value) + " is outside " + String(prop.PropType->Name) +
                             " (property " + Quoted(prop.Name) + ")");
    access.Set(instance, value);
}

String GetEnumProp(const TObject& instance, const TPropInfo& prop) {
    RequireKind(prop, tkEnumeration, "an enumeration");
    const std::int64_t ordinal = GetOrdProp(instance, prop);
    String name = GetEnumName(prop.PropType, ordinal);
    if (name.empty())
        throw EPropertyError("property " + Quoted(prop.Name) + " holds " + std::to_string(ordinal) +
                             ", which is no member of " + String(prop.PropType->Name));
    return name;
}

void SetEnumProp(TObject& instance, const TPropInfo& prop, std::string_view member) {
    RequireKind(prop, tkEnumeration, "an enumeration");
    const int ordinal = GetEnumValue(prop.PropType, member);
    if (ordinal < 0) throw EPropertyError(Quoted(member) + " is not a member of " + String(prop.PropType->Name));
    SetOrdProp(instance, prop, ordinal);
}

String GetStrProp(const TObject& instance, const TPropInfo& prop) {
    return AccessOf<TStringAccess>(prop, "a String").Get(instance);
}

void SetStrProp(TObject& instance, const TPropInfo& prop, const String& value) {
    AccessOf<TStringAccess>(prop, "a String").Set(instance, value);
}

TObject* GetObjectProp(const TObject& instance, const TPropInfo& prop) {
    return AccessOf<TClassAccess>(prop, "a class").Get(instance);
}

void SetObjectProp(TObject& instance, const TPropInfo& prop, TObject* value) {
    const auto& access = AccessOf<TClassAccess>(prop, "a class");
    if (value && !InheritsFrom(value->ClassType(), prop.PropType))
        throw EPropertyError("a " + String(value->ClassType()->Name) + " is not a " + String(prop.PropType->Name) +
                             " (property " + Quoted(prop.Name) + ")");
    access.Set(instance, value);
}

TMethod GetMethodProp(const TObject& instance, const TPropInfo& prop) {
    return AccessOf<TMethodAccess>(prop, "an event").Get(instance);
}

void SetMethodProp(TObject& instance, const TPropInfo& prop, const TMethod& value) {
    AccessOf<TMethodAccess>(prop, "an event").Set(instance, value);
}

namespace typinfo_detail {

void ThrowNoClass(const TTypeInfo* classType) {
    throw EPropertyError("class " + String(classType->Name) + " has a type record but no definition yet");
}

}  // namespace typinfo_detail

}  // namespace host
