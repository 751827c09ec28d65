#include <platform/host/rtl/Classes.h>

#include <algorithm>
#include <map>

namespace host {

namespace {

std::span<const TPropInfo> ComponentProperties() {
    static const std::vector<TPropInfo> table = [] {
        TPropInfo name = Field<&TComponent::Name>("Name");
        name.Stored = false;  // the record's own name carries it
        return PublishedProperties<TPersistent>({name, Field<&TComponent::Tag>("Tag", 0)});
    }();
    return table;
}

std::map<String, const TTypeInfo*, std::less<>>& Registry() {
    static std::map<String, const TTypeInfo*, std::less<>> classes;
    return classes;
}

}  // namespace

template <>
const TTypeInfo* TypeInfo<TPersistent>() {
    static const TTypeInfo info = ClassTypeInfo<TPersistent, TObject>("TPersistent");
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TComponent>() {
    static const TTypeInfo info = ClassTypeInfo<TComponent, TPersistent>("TComponent", ComponentProperties);
    return &info;
}

const TTypeInfo* TPersistent::ClassType() const { return TypeInfo<TPersistent>(); }

const TTypeInfo* TComponent::ClassType() const { return TypeInfo<TComponent>(); }

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    // Owned components are destroyed last-in first-out; each removes itself
    // from this list as it goes.
    while (!components_.empty()) delete components_.back();
    if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* component : components_)
        if (component->Name == name) return component;
    return nullptr;
}

namespace {

TComponentState With(TComponentState state, TComponentStateFlag flag, bool on) {
    return TComponentState::FromBits(on ? state.Bits() | 1u << flag : state.Bits() & ~(1u << flag));
}

}  // namespace

void TComponent::SetDesigning(bool value) {
    state_ = With(state_, csDesigning, value);
}

void SetLoading(TComponent& component, bool loading) { component.state_ = With(component.state_, csLoading, loading); }

void TComponent::InsertComponent(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
    component->owner_ = nullptr;
}

void RegisterClass(const TTypeInfo* classType) {
    if (classType->Kind != tkClass) throw EFilerError(String(classType->Name) + " is not a class");
    auto [entry, added] = Registry().emplace(String(classType->Name), classType);
    if (!added && entry->second != classType)
        throw EFilerError("a class named " + String(classType->Name) + " is registered already");
}

void UnRegisterClass(const TTypeInfo* classType) {
    auto found = Registry().find(classType->Name);
    if (found != Registry().end() && found->second == classType) Registry().erase(found);
}

const TTypeInfo* FindClass(std::string_view name) {
    auto found = Registry().find(name);
    return found == Registry().end() ? nullptr : found->second;
}

const TTypeInfo* FindFieldClass(const TTypeInfo* classType, std::string_view name) {
    for (; classType; classType = classType->Parent())
        for (const auto& field : classType->Fields)
            if (field.FieldType()->Name == name) return field.FieldType();
    return nullptr;
}

}  // namespace host
