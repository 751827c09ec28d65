#pragma once
// TPersistent and TComponent, the type records of classes, the class registry
// that the form reader makes components from, and the filer's exceptions.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <span>
#include <type_traits>
#include <vector>

#include <platform/host/rtl/SysUtils.h>
#include <platform/host/rtl/TypInfo.h>
#include <platform/host/rtl/Types.h>

namespace host {

// The base of every class with published properties.
class TPersistent : public TObject {
public:
    const TTypeInfo* ClassType() const override;
};

enum TComponentStateFlag : std::uint8_t { csLoading, csReading, csDesigning, csDestroying };
using TComponentState = TSet<TComponentStateFlag>;

// The base of every component. An owner destroys the components it owns.
// Publishes Name (carried by the saved form's record, not as a property) and Tag.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const TTypeInfo* ClassType() const override;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }

    String Name;
    Integer Tag = 0;
    // Where the form designer shows a component that is no control: Left in
    // the low 16 bits, Top in the high. Forms carry it as Left and Top.
    std::uint32_t DesignInfo = 0;

    // The component of that name among those it owns, or null.
    TComponent* FindComponent(std::string_view name) const;

    // csLoading while the form reader fills it.
    TComponentState ComponentState() const { return state_; }
    bool IsLoading() const { return (state_.Bits() >> csLoading) & 1u; }
    void SetDesigning(bool value);

    // Called by the form reader once all components of the form are read
    // (csLoading is over by then).
    virtual void Loaded() {}

    // The component that holds this one on a form (a control's parent
    // window), told apart from its owner; the form reader sets it to the
    // component of the enclosing record.
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent*) {}

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    friend void SetLoading(TComponent& component, bool loading);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    TComponentState state_;
};

// For the form reader: the component is being read (csLoading).
void SetLoading(TComponent& component, bool loading);

template <>
const TTypeInfo* TypeInfo<TPersistent>();
template <>
const TTypeInfo* TypeInfo<TComponent>();

// The record of class C, derived from Base. A class without a table of its
// own publishes what Base publishes; a component class that can be made from
// its owner gets the factory the form reader uses, any other class that can be
// made from nothing the factory a class reference makes objects with.
template <typename C, typename Base>
constexpr TTypeInfo ClassTypeInfo(std::string_view name, std::span<const TPropInfo> (*properties)() = nullptr,
                                  std::span<const TPublishedMethod> methods = {},
                                  std::span<const TPublishedField> fields = {}) {
    static_assert(std::is_base_of_v<Base, C> && std::is_base_of_v<TObject, Base>);
    TTypeInfo info{.Kind = tkClass,
                   .Name = name,
                   .ParentType = &TypeInfo<Base>,
                   .Properties = properties,
                   .Methods = methods,
                   .Upcast = [](void* object) -> TObject* { return static_cast<C*>(object); },
                   .Downcast = [](TObject* object) -> void* { return dynamic_cast<C*>(object); },
                   .Fields = fields};
    if constexpr (std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*>)
        info.Create = [](TComponent* owner) -> TComponent* { return new C(owner); };
    else if constexpr (!std::is_base_of_v<TComponent, C> && !std::is_abstract_v<C> &&
                       std::is_default_constructible_v<C>)
        info.NewObject = []() -> TObject* { return new C; };
    return info;
}

// A class's table: Base's published properties, then its own in declared order.
template <typename Base>
std::vector<TPropInfo> PublishedProperties(std::initializer_list<TPropInfo> own) {
    const auto inherited = GetPropList(TypeInfo<Base>());
    std::vector<TPropInfo> all(inherited.begin(), inherited.end());
    all.insert(all.end(), own.begin(), own.end());
    return all;
}

class EFilerError : public Exception {
public:
    using Exception::Exception;
};
// A saved form that cannot be read: damaged, or naming what this program lacks.
class EReadError : public EFilerError {
public:
    using EFilerError::EFilerError;
};
// A component that cannot be saved as it is.
class EWriteError : public EFilerError {
public:
    using EFilerError::EFilerError;
};

// Makes a class known to the form reader by its name. Registering the same
// class again counts once; another class of the same name is an EFilerError.
void RegisterClass(const TTypeInfo* classType);
// Forgets the class, as when the module that holds it is unloaded; a class
// not registered is left alone.
void UnRegisterClass(const TTypeInfo* classType);
// The registered class of that name, or null.
const TTypeInfo* FindClass(std::string_view name);
// The class of that name among the types of the published fields of a
// class and its ancestors, or null: a form's own controls need no registering.
const TTypeInfo* FindFieldClass(const TTypeInfo* classType, std::string_view name);

}  // namespace host
