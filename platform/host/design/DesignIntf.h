#pragma once
// The design interface: property editors, the bindings that choose an editor
// for a property, the component palette, and the property grid that shows a
// selection of components through their editors.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include <platform/host/rtl/Classes.h>
#include <platform/host/rtl/Release.h>
#include <platform/host/rtl/TypInfo.h>

namespace host {

enum TPropertyAttribute : std::uint8_t {
    paValueList,
    paSubProperties,
    paDialog,
    paMultiSelect,
    paAutoUpdate,
    paSortList,
    paReadOnly,
    paRevertable,
#if OMBRAL_FRAMEWORK_RELEASE >= 5
    paFullWidthName,
#endif
};
// Stored in one byte by release 4, in two from release 5 on; the bits of the
// members up to paRevertable are the same in every release.
using TPropertyAttributeBits = std::conditional_t<(kFrameworkRelease >= 5), std::uint16_t, std::uint8_t>;
using TPropertyAttributes = TSet<TPropertyAttribute, TPropertyAttributeBits>;

class TPropertyEditor;
using TGetStrProc = std::function<void(const String&)>;
using TGetPropEditProc = std::function<void(std::unique_ptr<TPropertyEditor>)>;

// One selected object and its entry for the edited property: objects of
// different classes reach a property of the same name through their own entry.
struct TInstProp {
    TPersistent* Instance;
    const TPropInfo* PropInfo;
};

// The base of property editors. An editor edits one property on a selection
// of one or more objects.
class TPropertyEditor : public TObject {
public:
    const TTypeInfo* ClassType() const override;

    // The virtual operations, declared in the release's slot order. The
    // host's virtual constructor Create cannot be a C++ constructor: it is
    // this initialiser, which CreateEditor calls on every editor object right
    // after making it from its class record, and then Initialize. Release 4
    // gives it no slot.
#if OMBRAL_FRAMEWORK_RELEASE >= 6
    virtual void Initialize() {}
    // Replaces the selected object and property entry at Index.
    virtual void SetPropEntry(int Index, TPersistent* Instance, const TPropInfo* PropInfo);
#endif
#if OMBRAL_FRAMEWORK_RELEASE >= 5
    virtual
#endif
    void Create(std::vector<TInstProp> PropList);
    virtual void Activate() {}
    virtual bool AllEqual();
    virtual bool AutoFill() { return true; }
    // Without a dialog of its own: a property with a value list steps to its next value.
    virtual void Edit();
    virtual TPropertyAttributes GetAttributes();
    virtual Integer GetEditLimit() { return 255; }
    virtual String GetName();
    virtual void GetProperties(const TGetPropEditProc& Proc);
#if OMBRAL_FRAMEWORK_RELEASE >= 6
    virtual
#endif
    const TPropInfo& GetPropInfo() const;
    virtual String GetValue();
    virtual void GetValues(const TGetStrProc& Proc);
#if OMBRAL_FRAMEWORK_RELEASE < 6
    virtual void Initialize() {}
#endif
    virtual void SetValue(const String& Value);

    int PropCount() const { return static_cast<int>(propList_.size()); }
    TPersistent* GetComponent(int Index) const { return propList_.at(static_cast<std::size_t>(Index)).Instance; }
    const TTypeInfo* GetPropType() const { return GetPropInfo().PropType; }

protected:
    // Read from the first selected object, written to every one.
    String GetStrValue() const;
    void SetStrValue(const String& Value);
    std::int64_t GetOrdValue() const;
    void SetOrdValue(std::int64_t Value);
    const std::vector<TInstProp>& PropList() const { return propList_; }

private:
    std::vector<TInstProp> propList_;
};

// The host's standard editors, one for each kind of property.
class TOrdinalProperty : public TPropertyEditor {
public:
    const TTypeInfo* ClassType() const override;
    bool AllEqual() override;
    Integer GetEditLimit() override { return 63; }
};

class TIntegerProperty : public TOrdinalProperty {
public:
    const TTypeInfo* ClassType() const override;
    String GetValue() override;
    void SetValue(const String& Value) override;
};

// Enumerations, Boolean among them: the member names are the value list.
class TEnumProperty : public TOrdinalProperty {
public:
    const TTypeInfo* ClassType() const override;
    TPropertyAttributes GetAttributes() override;
    String GetValue() override;
    void GetValues(const TGetStrProc& Proc) override;
    void SetValue(const String& Value) override;
};

// Sets as text: [member,member].
class TSetProperty : public TOrdinalProperty {
public:
    const TTypeInfo* ClassType() const override;
    String GetValue() override;
    void SetValue(const String& Value) override;
};

class TStringProperty : public TPropertyEditor {
public:
    const TTypeInfo* ClassType() const override;
    bool AllEqual() override;
    String GetValue() override;
    void SetValue(const String& Value) override;
};

// A component's Name: an identifier, unique among the components of its owner.
class TComponentNameProperty : public TStringProperty {
public:
    const TTypeInfo* ClassType() const override;
    TPropertyAttributes GetAttributes() override;
    Integer GetEditLimit() override { return 63; }
    void SetValue(const String& Value) override;
};

// An object: shown by its type's name, edited through its own properties.
class TClassProperty : public TPropertyEditor {
public:
    const TTypeInfo* ClassType() const override;
    bool AllEqual() override;
    TPropertyAttributes GetAttributes() override;
    void GetProperties(const TGetPropEditProc& Proc) override;
    String GetValue() override;
};

// An event: shown by the name of the method it is bound to.
class TMethodProperty : public TPropertyEditor {
public:
    const TTypeInfo* ClassType() const override;
    bool AllEqual() override;
    TPropertyAttributes GetAttributes() override;
    String GetValue() override;
};

template <>
const TTypeInfo* TypeInfo<TPropertyEditor>();
template <>
const TTypeInfo* TypeInfo<TOrdinalProperty>();
template <>
const TTypeInfo* TypeInfo<TIntegerProperty>();
template <>
const TTypeInfo* TypeInfo<TEnumProperty>();
template <>
const TTypeInfo* TypeInfo<TSetProperty>();
template <>
const TTypeInfo* TypeInfo<TStringProperty>();
template <>
const TTypeInfo* TypeInfo<TComponentNameProperty>();
template <>
const TTypeInfo* TypeInfo<TClassProperty>();
template <>
const TTypeInfo* TypeInfo<TMethodProperty>();

// A registration the design interface refuses: a record that is not of the kind asked for.
class EDesignError : public Exception {
public:
    using Exception::Exception;
};

// From now on a property of PropertyType (for a class type: or of a class
// derived from it), on an object of ComponentClass or a descendant (null: of
// any class), named PropertyName (compared without regard to case; empty: of
// any name) is edited by an object of EditorClass, the record of a class
// derived from TPropertyEditor. The most specific binding wins: one naming
// the property before one that does not, then the nearer component class,
// then the nearer property type. Registering the same type, class and name
// again replaces the editor class, so the later registration wins.
void RegisterPropertyEditor(const TTypeInfo* PropertyType, const TTypeInfo* ComponentClass,
                            const String& PropertyName, const TTypeInfo* EditorClass);

struct TPaletteEntry {
    String Page;
    const TTypeInfo* ComponentClass;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

// Puts the component classes on the palette page, in order, and makes them
// known to the form reader. A class put again on the page where it stands
// stays one entry.
void RegisterComponents(const String& Page, std::span<const TTypeInfo* const> ComponentClasses);
inline void RegisterComponents(const String& Page, std::initializer_list<const TTypeInfo*> ComponentClasses) {
    RegisterComponents(Page, std::span<const TTypeInfo* const>(ComponentClasses.begin(), ComponentClasses.size()));
}

// The palette in the order its entries were first registered.
std::vector<TPaletteEntry> Palette();

struct TEditorBinding {
    const TTypeInfo* PropertyType;
    const TTypeInfo* ComponentClass;  // null: any class
    String PropertyName;              // empty: any name
    const TTypeInfo* EditorClass;
};

// The bindings that were registered, in the order they were first made,
// without the host's own.
std::vector<TEditorBinding> EditorBindings();

// Forgets every editor binding and palette entry that was registered, and the
// palette's classes to the form reader, as the host does when it unloads its
// packages: nothing may point into a module that is gone. Its own bindings stay.
void UnregisterDesignTime();

// The class of the editor for the property on an object of ComponentClass:
// the best registered binding, else the host's standard editor of its kind.
const TTypeInfo* GetEditorClass(const TTypeInfo* ComponentClass, const TPropInfo& Prop);

// An object of EditorClass, created over the list and initialised.
std::unique_ptr<TPropertyEditor> CreateEditor(const TTypeInfo* EditorClass, std::vector<TInstProp> PropList);

// One editor for each property that every selected object publishes with the
// same type and the same editor class; with several selected, only those whose
// editor carries paMultiSelect. In the first object's declared order.
std::vector<std::unique_ptr<TPropertyEditor>> GetComponentProperties(std::span<TPersistent* const> Selection);

// Runs the editor of the property on a new component of ComponentClass, as
// the property grid does when the property's button is pressed. The component
// is made through its class record and named as a form designer names the
// first of its class (TOmbralCreator: OmbralCreator1). EDesignError when the
// class cannot be made or the grid does not show the property; whatever the
// editor raises passes on, after the component is freed.
void EditNewComponentProperty(const TTypeInfo* ComponentClass, std::string_view PropertyName);

// The property inspector's model: the properties of a selection, sorted by
// name, each with its value text and attributes, set and edited through its
// editor.
class TPropertyGrid {
public:
    explicit TPropertyGrid(std::vector<TPersistent*> Selection);

    const std::vector<TPersistent*>& Selection() const { return selection_; }
    const std::vector<std::unique_ptr<TPropertyEditor>>& Properties() const { return editors_; }
    // The shown property of that name (without regard to case), or null.
    TPropertyEditor* Find(std::string_view Name) const;

    // With several selected, the common value when all are equal, else empty.
    static String ValueText(TPropertyEditor& Editor);

    // EDesignError when the grid does not show the property or it is read-only;
    // whatever the editor raises passes on.
    void SetValue(std::string_view Name, const String& Value);
    void Edit(std::string_view Name);

private:
    TPropertyEditor& Shown(std::string_view Name) const;

    std::vector<TPersistent*> selection_;
    std::vector<std::unique_ptr<TPropertyEditor>> editors_;
};

}  // namespace host
