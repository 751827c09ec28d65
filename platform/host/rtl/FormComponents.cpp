// Components to records and back, by nothing but their published-property tables.

#include <map>
#include <memory>

#include <platform/host/rtl/FormStream.h>

namespace host {

namespace {

constexpr std::size_t kMaxPropertyPath = 255;  // a property name is a short string

// A component that publishes no Left or Top keeps its place on the form
// designer under those names, 16 bits each.
struct DesignPosition {
    const char* Name;
    unsigned Shift;
};
constexpr DesignPosition kDesignPositions[] = {{"Left", 0}, {"Top", 16}};

const DesignPosition* FindDesignPosition(const TComponent& component, std::string_view name) {
    for (const auto& position : kDesignPositions)
        if (SameText(name, position.Name) && !GetPropInfo(component, position.Name)) return &position;
    return nullptr;
}

String Quoted(std::string_view text) {
    String quoted(1, '\'');  // appended piece by piece: GCC 12 at -O3 misreads "'" + text + "'"
    return quoted.append(text).append(1, '\'');
}

const char* KindName(TFormValueKind kind) {
    static constexpr const char* kNames[] = {"null",       "a list",     "an integer",     "a number",
                                             "a string",   "an identifier", "False",       "True",
                                             "binary data", "a set",     "nil",            "a collection",
                                             "a number",   "a currency", "a date",         "a string",
                                             "a string"};
    return kNames[kind];
}

// A string is left out when empty, except where a new object of the class
// holds a non-empty one there: reading would otherwise bring that back in
// place of the empty string that was saved. The writer asks a new instance of
// each component class, made once per write.
class ComponentWriter {
public:
    TFormObject Write(const TComponent& component) {
        if (!component.Name.empty() && !IsValidIdent(component.Name))
            throw EWriteError("component name " + Quoted(component.Name) + " is not an identifier");
        TFormObject object;
        object.ClassName = String(component.ClassType()->Name);
        object.Name = component.Name;
        WriteProperties(component, Fresh(component.ClassType()), "", object.Properties);
        for (const auto& position : kDesignPositions)
            if (const std::uint32_t at = component.DesignInfo >> position.Shift & 0xFFFF;
                at && FindDesignPosition(component, position.Name))
                object.Properties.push_back({position.Name, {.Kind = fvInteger, .Int = at}});
        for (int i = 0; i < component.ComponentCount(); ++i) object.Children.push_back(Write(*component.Components(i)));
        return object;
    }

private:
    const TObject* Fresh(const TTypeInfo* type) {
        auto& fresh = fresh_[type];
        if (!fresh && type->Create) fresh.reset(type->Create(nullptr));
        return fresh.get();
    }

    // fresh: the same object in a new instance, when there is one.
    void WriteProperties(const TObject& instance, const TObject* fresh, const String& prefix,
                         std::vector<TFormProperty>& out) {
        for (const auto& prop : GetPropList(instance.ClassType()))
            if (prop.Stored && (!prop.IsStored || prop.IsStored(instance)))
                WriteProperty(instance, fresh, prop, prefix + String(prop.Name), out);
    }

    void WriteProperty(const TObject& instance, const TObject* fresh, const TPropInfo& prop, const String& name,
                       std::vector<TFormProperty>& out) {
        switch (prop.PropType->Kind) {
            case tkInteger:
            case tkEnumeration:
            case tkSet: {
                const std::int64_t value = GetOrdProp(instance, prop);
                if (prop.Default != value) out.push_back({name, OrdinalValue(prop, name, value)});
                return;
            }
            case tkLString:
                if (String text = GetStrProp(instance, prop); !text.empty() || StartsFilled(fresh, prop))
                    out.push_back({name, {.Kind = fvString, .Text = std::move(text)}});
                return;
            case tkClass:
                // A class with a record but no definition yet publishes nothing a form
                // could carry, and its value is no object to look into: left out as nil is.
                if (!prop.PropType->Upcast) return;
                // A nested object's properties go flat into its owner's list, under dotted names.
                if (const TObject* nested = GetObjectProp(instance, prop)) {
                    if (name.size() >= kMaxPropertyPath)
                        throw EWriteError("property path " + Quoted(name.substr(0, 64)) + "... is too long");
                    WriteProperties(*nested, FreshNested(fresh, prop, *nested), name + ".", out);
                }
                return;
            case tkMethod:
                if (const TMethod event = GetMethodProp(instance, prop))
                    out.push_back({name, {.Kind = fvIdent, .Text = String(event.Code->Name)}});
                return;
        }
    }

    static bool StartsFilled(const TObject* fresh, const TPropInfo& prop) {
        return fresh && !GetStrProp(*fresh, prop).empty();
    }

    static const TObject* FreshNested(const TObject* fresh, const TPropInfo& prop, const TObject& nested) {
        const TObject* freshNested = fresh ? GetObjectProp(*fresh, prop) : nullptr;
        return freshNested && freshNested->ClassType() == nested.ClassType() ? freshNested : nullptr;
    }

    static TFormValue OrdinalValue(const TPropInfo& prop, const String& name, std::int64_t value) {
        const TTypeInfo* type = prop.PropType;
        if (type->Kind == tkInteger) {
            if (String ident; IntToIdent(type->Idents, static_cast<Integer>(value), ident))
                return {.Kind = fvIdent, .Text = std::move(ident)};
            return {.Kind = fvInteger, .Int = value};
        }
        if (type == TypeInfo<Boolean>() && (value == 0 || value == 1)) return {.Kind = value ? fvTrue : fvFalse};
        if (type->Kind == tkEnumeration) return {.Kind = fvIdent, .Text = MemberName(type, name, value)};
        TFormValue set{.Kind = fvSet};
        for (std::int64_t bit = 0; bit < 32; ++bit)
            if (value >> bit & 1) set.Names.push_back(MemberName(type->Element, name, bit));
        return set;
    }

    static String MemberName(const TTypeInfo* type, const String& name, std::int64_t ordinal) {
        String member = GetEnumName(type, ordinal);
        if (member.empty())
            throw EWriteError("property " + Quoted(name) + " holds " + std::to_string(ordinal) +
                              ", which is no member of " + String(type->Name));
        return member;
    }

    std::map<const TTypeInfo*, std::unique_ptr<TComponent>> fresh_;
};

class ComponentReader {
public:
    TComponent* Read(const TFormObject& form, TComponent* owner) {
        std::unique_ptr<TComponent> root(Create(form, owner));
        root_ = root.get();
        Fill(*root, form);
        FinishLoading();
        return root.release();
    }

    void ReadInto(const TFormObject& form, TComponent& root) {
        if (form.Flags & ffInherited)
            throw EReadError(Quoted(form.Name) + " is an inherited record, and there is no ancestor form here");
        if (form.ClassName != root.ClassType()->Name)
            throw EReadError("the form holds a " + Quoted(form.ClassName) + ", not a " +
                             Quoted(String(root.ClassType()->Name)));
        root_ = &root;
        root.Name = form.Name;
        SetLoading(root, true);
        loaded_.push_back(&root);
        const int before = root.ComponentCount();
        try {
            Fill(root, form);
        } catch (...) {
            for (const TPublishedField* field : bound_) field->Set(root, nullptr);
            while (root.ComponentCount() > before) delete root.Components(root.ComponentCount() - 1);
            SetLoading(root, false);
            throw;
        }
        FinishLoading();
    }

private:
    [[noreturn]] static void Fail(const TComponent& component, const String& what) {
        const String who = component.Name.empty() ? "a " + String(component.ClassType()->Name)
                                                  : String(component.Name);
        throw EReadError(who + ": " + what);
    }

    void FinishLoading() {
        for (TComponent* component : loaded_) SetLoading(*component, false);
        for (TComponent* component : loaded_) component->Loaded();
    }

    TComponent* Create(const TFormObject& form, TComponent* owner) {
        if (form.Flags & ffInherited)
            throw EReadError(Quoted(form.Name) + " is an inherited record, and there is no ancestor form here");
        const TTypeInfo* type = FindClass(form.ClassName);
        if (!type && root_) type = FindFieldClass(root_->ClassType(), form.ClassName);
        if (!type) throw EReadError("unknown class " + Quoted(form.ClassName) + " (not registered)");
        if (!type->Create) throw EReadError("class " + Quoted(form.ClassName) + " is not a component class");
        TComponent* component = type->Create(owner);
        component->Name = form.Name;
        SetLoading(*component, true);
        loaded_.push_back(component);
        return component;
    }

    // The component's properties, then its children, which it owns and holds.
    void Fill(TComponent& component, const TFormObject& form) {
        for (const auto& property : form.Properties) SetProperty(component, property);
        for (const auto& child : form.Children) {
            TComponent* made = Create(child, &component);
            made->SetParentComponent(&component);
            BindField(*made);
            Fill(*made, child);
        }
    }

    // The root's published field of the component's name, when it has one.
    void BindField(TComponent& component) {
        const TPublishedField* field = FindField(root_->ClassType(), component.Name);
        if (!field) return;
        if (!InheritsFrom(component.ClassType(), field->FieldType()))
            Fail(component, "is a " + String(component.ClassType()->Name) + ", but field " + Quoted(component.Name) +
                                " of " + String(root_->ClassType()->Name) + " holds a " +
                                String(field->FieldType()->Name));
        field->Set(*root_, &component);
        bound_.push_back(field);
    }

    static void SetDesignPosition(TComponent& component, const DesignPosition& position, const TFormValue& value) {
        if (value.Kind != fvInteger || value.Int < -0x8000 || value.Int > 0xFFFF)
            Fail(component, "its design position " + Quoted(position.Name) + " is no integer of 16 bits");
        component.DesignInfo = (component.DesignInfo & ~(0xFFFFu << position.Shift)) |
                               static_cast<std::uint32_t>(value.Int & 0xFFFF) << position.Shift;
    }

    // A dotted name reaches through the nested objects to the last part's property.
    void SetProperty(TComponent& component, const TFormProperty& property) {
        if (const DesignPosition* position = FindDesignPosition(component, property.Name))
            return SetDesignPosition(component, *position, property.Value);
        TObject* target = &component;
        std::string_view path = property.Name;
        for (std::size_t dot; (dot = path.find('.')) != std::string_view::npos; path.remove_prefix(dot + 1)) {
            const TPropInfo& prop = Published(component, *target, property.Name, path.substr(0, dot));
            if (prop.PropType->Kind != tkClass)
                Fail(component, "property " + Quoted(prop.Name) + " in " + Quoted(property.Name) +
                                    " holds no object");
            target = GetObjectProp(*target, prop);
            if (!target)
                Fail(component, "property " + Quoted(prop.Name) + " in " + Quoted(property.Name) + " is nil");
        }
        const TPropInfo& prop = Published(component, *target, property.Name, path);
        try {
            Assign(*target, prop, property.Value);
        } catch (const EPropertyError& error) {
            Fail(component, error.Message());
        }
    }

    const TPropInfo& Published(const TComponent& component, const TObject& target, const String& fullName,
                               std::string_view part) {
        if (const TPropInfo* prop = GetPropInfo(target, part)) return *prop;
        Fail(component, "unknown property " + Quoted(fullName) + ": " + String(target.ClassType()->Name) +
                            " publishes no " + Quoted(part));
    }

    // Raises EPropertyError for a value the property cannot take.
    void Assign(TObject& target, const TPropInfo& prop, const TFormValue& value) {
        const TTypeKind kind = prop.PropType->Kind;
        if (kind == tkInteger && value.Kind == fvInteger) return SetOrdProp(target, prop, value.Int);
        if (kind == tkInteger && value.Kind == fvIdent) return SetOrdProp(target, prop, NamedValue(prop, value.Text));
        if (kind == tkEnumeration && (value.Kind == fvIdent || value.Kind == fvTrue || value.Kind == fvFalse)) {
            const String member = value.Kind == fvIdent ? value.Text : value.Kind == fvTrue ? "True" : "False";
            return SetEnumProp(target, prop, member);
        }
        if (kind == tkSet && value.Kind == fvSet) return SetOrdProp(target, prop, SetBits(prop, value));
        if (kind == tkLString && value.Kind == fvString) return SetStrProp(target, prop, value.Text);
        if (kind == tkLString && (value.Kind == fvUtf8String || value.Kind == fvWideString))
            return SetStrProp(target, prop, InCodePage(prop, value));
        if (kind == tkClass && value.Kind == fvNil) return SetObjectProp(target, prop, nullptr);
        if (kind == tkMethod && value.Kind == fvNil) return SetMethodProp(target, prop, {});
        if (kind == tkMethod && value.Kind == fvIdent) return SetMethodProp(target, prop, Method(value.Text));
        throw EPropertyError("property " + Quoted(prop.Name) + " is of type " + String(prop.PropType->Name) +
                             " and cannot take " + KindName(value.Kind));
    }

    // A string property holds the code page's text: a character it lacks
    // would become '?', and a path or a password would silently be another.
    static String InCodePage(const TPropInfo& prop, const TFormValue& value) {
        if (value.Kind == fvUtf8String && !IsUtf8(value.Text))
            throw EPropertyError("property " + Quoted(prop.Name) + " holds a string that is not UTF-8");
        auto text = value.Kind == fvUtf8String ? ExactUtf8ToAnsi(value.Text) : ExactWideToAnsi(value.Wide);
        if (!text)
            throw EPropertyError("property " + Quoted(prop.Name) +
                                 " holds a character that the code page (Windows-1252) cannot hold");
        return std::move(*text);
    }

    static Integer NamedValue(const TPropInfo& prop, const String& name) {
        Integer number = 0;
        if (!IdentToInt(prop.PropType->Idents, name, number))
            throw EPropertyError(Quoted(name) + " is not a named value of " + String(prop.PropType->Name) +
                                 " (property " + Quoted(prop.Name) + ")");
        return number;
    }

    static std::int64_t SetBits(const TPropInfo& prop, const TFormValue& value) {
        std::int64_t bits = 0;
        for (const auto& name : value.Names) {
            const int ordinal = GetEnumValue(prop.PropType->Element, name);
            if (ordinal < 0)
                throw EPropertyError(Quoted(name) + " is not a member of " + String(prop.PropType->Element->Name) +
                                     " (property " + Quoted(prop.Name) + ")");
            bits |= std::int64_t{1} << ordinal;
        }
        return bits;
    }

    // Events are bound to the published methods of the root being read.
    TMethod Method(const String& name) const {
        const TPublishedMethod* method = FindMethod(root_->ClassType(), name);
        if (!method)
            throw EPropertyError(Quoted(name) + " is not a published method of " +
                                 String(root_->ClassType()->Name));
        return {root_, method};
    }

    TComponent* root_ = nullptr;
    std::vector<TComponent*> loaded_;
    std::vector<const TPublishedField*> bound_;
};

}  // namespace

TFormObject WriteComponent(const TComponent& root) { return ComponentWriter().Write(root); }

TComponent* ReadComponent(const TFormObject& root, TComponent* AOwner) {
    return ComponentReader().Read(root, AOwner);
}

void ReadRootComponent(const TFormObject& form, TComponent& root) { ComponentReader().ReadInto(form, root); }

}  // namespace host
