#pragma once
// Type records and published-property tables. A class's table is the one
// place that says which properties it has, how each is reached and what its
// default is; the form writer, the form reader and the property grid all go by
// it, by name, at run time.

#include <climits>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include <platform/host/rtl/SysUtils.h>
#include <platform/host/rtl/Types.h>

namespace host {

class TObject;
class TComponent;
struct TPropInfo;
struct TPublishedMethod;
struct TPublishedField;

// An integer value that streams by name (clBtnFace, ANSI_CHARSET, crHandPoint).
struct TIdentMapEntry {
    Integer Value;
    std::string_view Name;
};

enum TTypeKind : std::uint8_t { tkInteger, tkEnumeration, tkSet, tkLString, tkClass, tkMethod };

struct TTypeInfo {
    TTypeKind Kind;
    std::string_view Name;
    std::span<const std::string_view> Members = {};  // enumeration: member names by ordinal
    const TTypeInfo* Element = nullptr;         // set: the enumeration of its members
    // Class: the base class's record and the published properties, base
    // class first, both reached through functions so that a record is
    // constant data even when its base class lives in another module, and
    // records of classes naming each other need no order. A class without
    // properties of its own has the base class's.
    const TTypeInfo* (*ParentType)() = nullptr;
    std::span<const TPropInfo> (*Properties)() = nullptr;
    std::span<const TPublishedMethod> Methods = {};  // class: its own published methods
    TComponent* (*Create)(TComponent* AOwner) = nullptr;  // a component class the reader can make
    TObject* (*NewObject)() = nullptr;  // a class of objects made without an owner (property editors)
    // Class: between a pointer to the class and TObject*. Absent for a class
    // that has a record but no definition yet, of which no object can exist.
    TObject* (*Upcast)(void* object) = nullptr;
    void* (*Downcast)(TObject* object) = nullptr;  // null when the object is not of the class
    std::span<const TPublishedField> Fields = {};  // class: its own published fields
    std::span<const TIdentMapEntry> Idents = {};    // integer: the values that have a name
    std::int64_t MinValue = INT32_MIN, MaxValue = INT32_MAX;  // integer: its range

    const TTypeInfo* Parent() const { return ParentType ? ParentType() : nullptr; }
};

// An integer type's record: its range and named values.
TTypeInfo IntegerType(std::string_view name, std::int64_t minValue, std::int64_t maxValue,
                      std::span<const TIdentMapEntry> idents = {});
// Name <-> value through an integer type's named values; false where there is none.
bool IdentToInt(std::span<const TIdentMapEntry> idents, std::string_view name, Integer& value);
bool IntToIdent(std::span<const TIdentMapEntry> idents, Integer value, String& name);

// The record of T; specialised for every type that has one.
template <typename T>
const TTypeInfo* TypeInfo();
template <>
const TTypeInfo* TypeInfo<Integer>();
template <>
const TTypeInfo* TypeInfo<Boolean>();  // the enumeration False, True
template <>
const TTypeInfo* TypeInfo<String>();

// An enumeration's record; the members must outlive it.
constexpr TTypeInfo EnumerationType(std::string_view name, std::span<const std::string_view> members) {
    return TTypeInfo{.Kind = tkEnumeration, .Name = name, .Members = members};
}

// Bad use of a property through the generic access: not published, of another
// kind, or a value outside its type.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

// The root of every class with a type record.
class TObject {
public:
    virtual ~TObject() = default;
    // The record of the object's own class.
    virtual const TTypeInfo* ClassType() const;
};
template <>
const TTypeInfo* TypeInfo<TObject>();

bool InheritsFrom(const TTypeInfo* classType, const TTypeInfo* ancestor);

// A published method: what an event binding in a saved form names.
struct TPublishedMethod {
    std::string_view Name;
    void (*Code)(TObject& Self, TObject* Sender);
};

// An event: a published method bound to the object that has it.
struct TMethod {
    TObject* Data = nullptr;
    const TPublishedMethod* Code = nullptr;
    explicit operator bool() const { return Code != nullptr; }
    void operator()(TObject* Sender) const { Code->Code(*Data, Sender); }
};
using TNotifyEvent = TMethod;
template <>
const TTypeInfo* TypeInfo<TMethod>();  // TNotifyEvent

// Searches the class and then its ancestors.
const TPublishedMethod* FindMethod(const TTypeInfo* classType, std::string_view name);

template <auto M>
constexpr TPublishedMethod PublishedMethod(std::string_view name);

// A published field: a component pointer of the class that the form reader
// sets to the component read under that name.
struct TPublishedField {
    std::string_view Name;
    const TTypeInfo* (*FieldType)();
    void (*Set)(TObject& Self, TObject* Component);  // Component already checked to be of FieldType
};

// Searches the class and then its ancestors.
const TPublishedField* FindField(const TTypeInfo* classType, std::string_view name);

template <auto F>
constexpr TPublishedField PublishedField(std::string_view name);

// How a property's value is reached: typed by the kind of value.
struct TOrdinalAccess {  // Integer, enumeration (Boolean too) and set (as its bits)
    std::int64_t (*Get)(const TObject&);
    void (*Set)(TObject&, std::int64_t);
};
struct TStringAccess {
    String (*Get)(const TObject&);
    void (*Set)(TObject&, const String&);
};
struct TClassAccess {
    TObject* (*Get)(const TObject&);
    void (*Set)(TObject&, TObject*);
};
struct TMethodAccess {
    TMethod (*Get)(const TObject&);
    void (*Set)(TObject&, const TMethod&);
};

enum TPropAccess : std::uint8_t { paField, paOperations };  // straight to the field, or GetX / SetX

struct TPropInfo {
    std::string_view Name;
    const TTypeInfo* PropType;
    TPropAccess Access;
    std::optional<std::int64_t> Default;  // ordinal (set: its bits); none for strings and classes
    bool Stored = true;                   // false: the writer never writes it
    std::variant<TOrdinalAccess, TStringAccess, TClassAccess, TMethodAccess> Accessors;
    bool (*IsStored)(const TObject&) = nullptr;  // when set: whether the writer writes it for this object
};

// Table entries. F is a data member, G and S the get and set operations; a
// default may be given to ordinal properties only.
template <auto F>
TPropInfo Field(std::string_view name);
template <auto F, typename D>
TPropInfo Field(std::string_view name, D defaultValue);
template <auto G, auto S>
TPropInfo Property(std::string_view name);
template <auto G, auto S, typename D>
TPropInfo Property(std::string_view name, D defaultValue);

// Lookup: null when the class does not publish the name. Names match exactly.
std::span<const TPropInfo> GetPropList(const TTypeInfo* classType);
const TPropInfo* GetPropInfo(const TTypeInfo* classType, std::string_view name);
const TPropInfo* GetPropInfo(const TObject& instance, std::string_view name);
bool IsPublishedProp(const TObject& instance, std::string_view name);
// EPropertyError when the class does not publish the name.
const TPropInfo& FindPropInfo(const TObject& instance, std::string_view name);

// Enumeration members: -1 for a name that is no member, the empty string for
// an ordinal outside the type.
int GetEnumValue(const TTypeInfo* enumType, std::string_view name);
String GetEnumName(const TTypeInfo* enumType, std::int64_t ordinal);

// Generic access. Each raises EPropertyError for a property of another kind
// and, when setting, for a value outside the property's type.
std::int64_t GetOrdProp(const TObject& instance, const TPropInfo& prop);
void SetOrdProp(TObject& instance, const TPropInfo& prop, std::int64_t value);
String GetEnumProp(const TObject& instance, const TPropInfo& prop);
void SetEnumProp(TObject& instance, const TPropInfo& prop, std::string_view member);
String GetStrProp(const TObject& instance, const TPropInfo& prop);
void SetStrProp(TObject& instance, const TPropInfo& prop, const String& value);
TObject* GetObjectProp(const TObject& instance, const TPropInfo& prop);
void SetObjectProp(TObject& instance, const TPropInfo& prop, TObject* value);
TMethod GetMethodProp(const TObject& instance, const TPropInfo& prop);
void SetMethodProp(TObject& instance, const TPropInfo& prop, const TMethod& value);

// The same by name.
inline std::int64_t GetOrdProp(const TObject& o, std::string_view n) { return GetOrdProp(o, FindPropInfo(o, n)); }
inline void SetOrdProp(TObject& o, std::string_view n, std::int64_t v) { SetOrdProp(o, FindPropInfo(o, n), v); }
inline String GetEnumProp(const TObject& o, std::string_view n) { return GetEnumProp(o, FindPropInfo(o, n)); }
inline void SetEnumProp(TObject& o, std::string_view n, std::string_view v) { SetEnumProp(o, FindPropInfo(o, n), v); }
inline String GetStrProp(const TObject& o, std::string_view n) { return GetStrProp(o, FindPropInfo(o, n)); }
inline void SetStrProp(TObject& o, std::string_view n, const String& v) { SetStrProp(o, FindPropInfo(o, n), v); }
inline TObject* GetObjectProp(const TObject& o, std::string_view n) { return GetObjectProp(o, FindPropInfo(o, n)); }
inline void SetObjectProp(TObject& o, std::string_view n, TObject* v) { SetObjectProp(o, FindPropInfo(o, n), v); }
inline TMethod GetMethodProp(const TObject& o, std::string_view n) { return GetMethodProp(o, FindPropInfo(o, n)); }
inline void SetMethodProp(TObject& o, std::string_view n, const TMethod& v) { SetMethodProp(o, FindPropInfo(o, n), v); }

// ---------------------------------------------------------------------------
// How the table entries are made from member pointers.

namespace typinfo_detail {

template <typename T>
struct IsSet : std::false_type {};
template <typename E, typename B>
struct IsSet<TSet<E, B>> : std::true_type {};

template <typename M>
struct MemberOf;
template <typename C, typename T>
struct MemberOf<T C::*> {
    using Class = C;
    using Type = T;
};
template <typename C, typename T>
struct MemberOf<T (C::*)() const> {
    using Class = C;
    using Type = std::remove_cvref_t<T>;
};

template <auto F>
struct FieldAccess {
    using Class = typename MemberOf<decltype(F)>::Class;
    using Type = typename MemberOf<decltype(F)>::Type;
    static Type Read(const TObject& o) { return static_cast<const Class&>(o).*F; }
    static void Write(TObject& o, Type v) { static_cast<Class&>(o).*F = std::move(v); }
};

template <auto G, auto S>
struct OperationAccess {
    using Class = typename MemberOf<decltype(G)>::Class;
    using Type = typename MemberOf<decltype(G)>::Type;
    static Type Read(const TObject& o) { return (static_cast<const Class&>(o).*G)(); }
    static void Write(TObject& o, Type v) { (static_cast<Class&>(o).*S)(std::move(v)); }
};

// The record of a property of type T: a class pointer has its class's record.
template <typename T>
const TTypeInfo* PropTypeOf() {
    if constexpr (std::is_pointer_v<T>) return TypeInfo<std::remove_cv_t<std::remove_pointer_t<T>>>();
    else return TypeInfo<T>();
}

template <typename T>
constexpr bool kOrdinal = std::is_integral_v<T> || std::is_enum_v<T> || IsSet<T>::value;

template <typename T>
std::int64_t ToOrdinal(T value) {
    if constexpr (IsSet<T>::value) return value.Bits();
    else return static_cast<std::int64_t>(value);
}

template <typename T>
T FromOrdinal(std::int64_t value) {
    if constexpr (IsSet<T>::value) return T::FromBits(static_cast<std::uint32_t>(value));
    else return static_cast<T>(value);
}

[[noreturn]] void ThrowNoClass(const TTypeInfo* classType);

// A class pointer passes through void*, so that a property may be of a class
// that is only declared here; its record does the conversion. A pointer to a
// class without a definition was made by a cast and points at no such object.
template <typename T>
TObject* Upcast(T* object) {
    if (!object) return nullptr;
    const TTypeInfo* type = PropTypeOf<T*>();
    if (!type->Upcast) ThrowNoClass(type);
    return type->Upcast(object);
}

template <typename T>
T* Downcast(TObject* object) {
    if (!object) return nullptr;
    const TTypeInfo* type = PropTypeOf<T*>();
    if (!type->Downcast) ThrowNoClass(type);
    return static_cast<T*>(type->Downcast(object));
}

template <typename A>
auto MakeAccessors() {
    using T = typename A::Type;
    if constexpr (std::is_same_v<T, String>) {
        return TStringAccess{[](const TObject& o) { return A::Read(o); },
                             [](TObject& o, const String& v) { A::Write(o, v); }};
    } else if constexpr (std::is_same_v<T, TMethod>) {
        return TMethodAccess{[](const TObject& o) { return A::Read(o); },
                             [](TObject& o, const TMethod& v) { A::Write(o, v); }};
    } else if constexpr (std::is_pointer_v<T>) {
        using Pointee = std::remove_pointer_t<T>;
        return TClassAccess{[](const TObject& o) { return Upcast<Pointee>(A::Read(o)); },
                            [](TObject& o, TObject* v) { A::Write(o, Downcast<Pointee>(v)); }};
    } else {
        static_assert(kOrdinal<T>, "a published property is ordinal, a set, a string, a class or an event");
        return TOrdinalAccess{[](const TObject& o) { return ToOrdinal(A::Read(o)); },
                              [](TObject& o, std::int64_t v) { A::Write(o, FromOrdinal<T>(v)); }};
    }
}

template <typename A>
TPropInfo MakeProp(std::string_view name, TPropAccess access, std::optional<std::int64_t> defaultValue) {
    return TPropInfo{name, PropTypeOf<typename A::Type>(), access, defaultValue, true, MakeAccessors<A>()};
}

template <typename A, typename D>
std::int64_t DefaultOf(D value) {
    static_assert(kOrdinal<typename A::Type>, "only ordinal and set properties declare a default");
    return ToOrdinal<typename A::Type>(value);
}

}  // namespace typinfo_detail

template <auto F>
TPropInfo Field(std::string_view name) {
    return typinfo_detail::MakeProp<typinfo_detail::FieldAccess<F>>(name, paField, std::nullopt);
}

template <auto F, typename D>
TPropInfo Field(std::string_view name, D defaultValue) {
    using A = typinfo_detail::FieldAccess<F>;
    return typinfo_detail::MakeProp<A>(name, paField, typinfo_detail::DefaultOf<A>(defaultValue));
}

template <auto G, auto S>
TPropInfo Property(std::string_view name) {
    return typinfo_detail::MakeProp<typinfo_detail::OperationAccess<G, S>>(name, paOperations, std::nullopt);
}

template <auto G, auto S, typename D>
TPropInfo Property(std::string_view name, D defaultValue) {
    using A = typinfo_detail::OperationAccess<G, S>;
    return typinfo_detail::MakeProp<A>(name, paOperations, typinfo_detail::DefaultOf<A>(defaultValue));
}

template <auto F>
constexpr TPublishedField PublishedField(std::string_view name) {
    using C = typename typinfo_detail::MemberOf<decltype(F)>::Class;
    using T = std::remove_pointer_t<typename typinfo_detail::MemberOf<decltype(F)>::Type>;
    return {name, [] { return TypeInfo<T>(); },
            [](TObject& self, TObject* component) {
                static_cast<C&>(self).*F = static_cast<T*>(TypeInfo<T>()->Downcast(component));
            }};
}

template <auto M>
constexpr TPublishedMethod PublishedMethod(std::string_view name) {
    using C = typename typinfo_detail::MemberOf<decltype(M)>::Class;
    return {name, [](TObject& self, TObject* sender) { (static_cast<C&>(self).*M)(sender); }};
}

}  // namespace host
