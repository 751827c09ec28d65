// The editor bindings, the palette and the property grid.

#include <platform/host/design/DesignIntf.h>

#include <algorithm>
#include <tuple>

namespace host {

namespace {

struct TBinding {
    const TTypeInfo* PropertyType;
    const TTypeInfo* ComponentClass;
    String PropertyName;
    const TTypeInfo* EditorClass;

    bool SameKey(const TBinding& other) const {
        return PropertyType == other.PropertyType && ComponentClass == other.ComponentClass &&
               SameText(PropertyName, other.PropertyName);
    }
};

// The host's own bindings, there before any package registers its editors.
std::vector<TBinding> HostBindings() {
    return {{TypeInfo<String>(), TypeInfo<TComponent>(), "Name", TypeInfo<TComponentNameProperty>()}};
}

struct TDesignRegistry {
    std::vector<TBinding> bindings = HostBindings();
    std::vector<TPaletteEntry> palette;
};

TDesignRegistry& Registry() {
    static TDesignRegistry registry;
    return registry;
}

bool IsClass(const TTypeInfo* type) { return type && type->Kind == tkClass; }

int Depth(const TTypeInfo* classType) {
    int depth = -1;
    for (; classType; classType = classType->Parent()) ++depth;
    return depth;
}

bool TypeMatches(const TTypeInfo* bound, const TTypeInfo* propType) {
    return bound == propType || (IsClass(bound) && IsClass(propType) && InheritsFrom(propType, bound));
}

bool Matches(const TBinding& b, const TTypeInfo* componentClass, const TPropInfo& prop) {
    return TypeMatches(b.PropertyType, prop.PropType) &&
           (!b.ComponentClass || InheritsFrom(componentClass, b.ComponentClass)) &&
           (b.PropertyName.empty() || SameText(b.PropertyName, prop.Name));
}

// Larger is more specific.
auto Specificity(const TBinding& b) {
    return std::tuple(!b.PropertyName.empty(), Depth(b.ComponentClass), Depth(IsClass(b.PropertyType) ? b.PropertyType : nullptr));
}

const TTypeInfo* StandardEditor(const TTypeInfo* propType) {
    switch (propType->Kind) {
        case tkInteger: return TypeInfo<TIntegerProperty>();
        case tkEnumeration: return TypeInfo<TEnumProperty>();
        case tkSet: return TypeInfo<TSetProperty>();
        case tkLString: return TypeInfo<TStringProperty>();
        case tkClass: return TypeInfo<TClassProperty>();
        case tkMethod: return TypeInfo<TMethodProperty>();
    }
    return TypeInfo<TPropertyEditor>();
}

String NameOf(const TTypeInfo* type) { return type ? String(type->Name) : String("(none)"); }

}  // namespace

void RegisterPropertyEditor(const TTypeInfo* PropertyType, const TTypeInfo* ComponentClass,
                            const String& PropertyName, const TTypeInfo* EditorClass) {
    if (!PropertyType) throw EDesignError("an editor binding needs a property type");
    if (ComponentClass && !IsClass(ComponentClass))
        throw EDesignError(NameOf(ComponentClass) + " is not a class, so no property editor can be bound to it");
    if (!IsClass(EditorClass) || !InheritsFrom(EditorClass, TypeInfo<TPropertyEditor>()) || !EditorClass->NewObject)
        throw EDesignError(NameOf(EditorClass) + " is not a property editor class");
    const TBinding binding{PropertyType, ComponentClass, PropertyName, EditorClass};
    auto& bindings = Registry().bindings;
    const auto same = std::find_if(bindings.begin(), bindings.end(), [&](const TBinding& b) { return b.SameKey(binding); });
    if (same == bindings.end()) bindings.push_back(binding);
    else same->EditorClass = EditorClass;
}

void RegisterComponents(const String& Page, std::span<const TTypeInfo* const> ComponentClasses) {
    for (const TTypeInfo* type : ComponentClasses)
        if (!IsClass(type) || !InheritsFrom(type, TypeInfo<TComponent>()) || !type->Create)
            throw EDesignError(NameOf(type) + " is not a component class that can be put on the palette");
    auto& palette = Registry().palette;
    for (const TTypeInfo* type : ComponentClasses) {
        RegisterClass(type);
        const TPaletteEntry entry{Page, type};
        if (std::find(palette.begin(), palette.end(), entry) == palette.end()) palette.push_back(entry);
    }
}

std::vector<TPaletteEntry> Palette() { return Registry().palette; }

void UnregisterDesignTime() {
    for (const TPaletteEntry& entry : Registry().palette) UnRegisterClass(entry.ComponentClass);
    Registry() = TDesignRegistry{};
}

const TTypeInfo* GetEditorClass(const TTypeInfo* ComponentClass, const TPropInfo& Prop) {
    const TBinding* best = nullptr;
    for (const TBinding& b : Registry().bindings)  // on a tie the later binding wins
        if (Matches(b, ComponentClass, Prop) && (!best || Specificity(b) >= Specificity(*best))) best = &b;
    return best ? best->EditorClass : StandardEditor(Prop.PropType);
}

std::unique_ptr<TPropertyEditor> CreateEditor(const TTypeInfo* EditorClass, std::vector<TInstProp> PropList) {
    if (!IsClass(EditorClass) || !EditorClass->NewObject)
        throw EDesignError(NameOf(EditorClass) + " is not a property editor class");
    std::unique_ptr<TObject> object(EditorClass->NewObject());
    std::unique_ptr<TPropertyEditor> editor(dynamic_cast<TPropertyEditor*>(object.get()));
    if (!editor) throw EDesignError(NameOf(EditorClass) + " is not a property editor class");
    object.release();
    editor->Create(std::move(PropList));
    editor->Initialize();
    return editor;
}

std::vector<std::unique_ptr<TPropertyEditor>> GetComponentProperties(std::span<TPersistent* const> Selection) {
    std::vector<std::unique_ptr<TPropertyEditor>> editors;
    if (Selection.empty()) return editors;
    for (const TPropInfo& prop : GetPropList(Selection.front()->ClassType())) {
        const TTypeInfo* editorClass = GetEditorClass(Selection.front()->ClassType(), prop);
        std::vector<TInstProp> list;
        for (TPersistent* object : Selection) {
            const TPropInfo* own = GetPropInfo(*object, prop.Name);
            if (!own || own->PropType != prop.PropType || GetEditorClass(object->ClassType(), *own) != editorClass)
                break;
            list.push_back({object, own});
        }
        if (list.size() != Selection.size()) continue;
        auto editor = CreateEditor(editorClass, std::move(list));
        if (Selection.size() == 1 || editor->GetAttributes().Contains(paMultiSelect)) editors.push_back(std::move(editor));
    }
    return editors;
}

TPropertyGrid::TPropertyGrid(std::vector<TPersistent*> Selection)
    : selection_(std::move(Selection)), editors_(GetComponentProperties(selection_)) {
    std::stable_sort(editors_.begin(), editors_.end(),
                     [](const auto& a, const auto& b) { return CompareText(a->GetName(), b->GetName()) < 0; });
}

TPropertyEditor* TPropertyGrid::Find(std::string_view Name) const {
    for (const auto& editor : editors_)
        if (SameText(editor->GetName(), Name)) return editor.get();
    return nullptr;
}

TPropertyEditor& TPropertyGrid::Shown(std::string_view Name) const {
    if (TPropertyEditor* editor = Find(Name)) return *editor;
    throw EDesignError("no property '" + String(Name) + "' is shown for this selection");
}

String TPropertyGrid::ValueText(TPropertyEditor& Editor) {
    return Editor.PropCount() > 1 && !Editor.AllEqual() ? String() : Editor.GetValue();
}

void TPropertyGrid::SetValue(std::string_view Name, const String& Value) {
    TPropertyEditor& editor = Shown(Name);
    if (editor.GetAttributes().Contains(paReadOnly))
        throw EDesignError("property '" + editor.GetName() + "' is read-only; it can only be edited");
    editor.SetValue(Value);
}

void TPropertyGrid::Edit(std::string_view Name) { Shown(Name).Edit(); }

}  // namespace host
