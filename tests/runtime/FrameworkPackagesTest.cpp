// An error of the form reader (release 6: in rtl60.bpl), caught and raised
// again by the form being built (vcl60.bpl), passes an editor that the
// property grid runs (designide60.bpl) and is caught here by type; the form is
// freed on the way. In releases 4 and 5 the three are one framework package.
#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/Classes.h>
#include <platform/host/rtl/Resources.h>
#include <platform/host/ui/Forms.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace {

int formsAlive = 0;

// Counts the forms whose members were built and not yet destroyed: a
// constructor that raises still destroys its members.
struct AliveMark {
    AliveMark() { ++formsAlive; }
    AliveMark(const AliveMark&) = delete;
    AliveMark& operator=(const AliveMark&) = delete;
    ~AliveMark() { --formsAlive; }
};

class TProbeForm : public host::TForm {
public:
    explicit TProbeForm(host::TComponent* AOwner);
    const host::TTypeInfo* ClassType() const override;

private:
    AliveMark mark_;
};

// Builds its form, as the About editor does, over the host's application.
class TProbeFormProperty : public host::TStringProperty {
public:
    const host::TTypeInfo* ClassType() const override;
    void Edit() override { std::make_unique<TProbeForm>(host::Application); }
};

class TProbeComponent : public host::TComponent {
public:
    using host::TComponent::TComponent;
    const host::TTypeInfo* ClassType() const override;
    host::String Shown;
};

std::span<const host::TPropInfo> ProbeProperties() {
    static const auto table = host::PublishedProperties<host::TComponent>({host::Field<&TProbeComponent::Shown>("Shown")});
    return table;
}

}  // namespace

namespace host {

template <>
const TTypeInfo* TypeInfo<TProbeForm>() {
    static const TTypeInfo info = ClassTypeInfo<TProbeForm, TForm>("TProbeForm");
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TProbeFormProperty>() {
    static const TTypeInfo info = ClassTypeInfo<TProbeFormProperty, TStringProperty>("TProbeFormProperty");
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TProbeComponent>() {
    static const TTypeInfo info = ClassTypeInfo<TProbeComponent, TComponent>("TProbeComponent", ProbeProperties);
    return &info;
}

}  // namespace host

namespace {

TProbeForm::TProbeForm(host::TComponent* AOwner) : host::TForm(AOwner) {
    InitInheritedComponent(host::TypeInfo<TProbeForm>());
}
const host::TTypeInfo* TProbeForm::ClassType() const { return host::TypeInfo<TProbeForm>(); }
const host::TTypeInfo* TProbeFormProperty::ClassType() const { return host::TypeInfo<TProbeFormProperty>(); }
const host::TTypeInfo* TProbeComponent::ClassType() const { return host::TypeInfo<TProbeComponent>(); }

const std::string notCaught = "<not caught as this type>";

// What a catch clause for E sees of the error that editing Shown raises.
template <class E> std::string CaughtAs(host::TPropertyGrid& grid) {
    try {
        grid.Edit("Shown");
    } catch (const E& error) {
        return error.what();
    } catch (...) {
        return notCaught;
    }
    return "<nothing raised>";
}

struct Case {
    const char* name;
    std::optional<std::string> resource;  // none: the form has no resource
    std::function<std::string(host::TPropertyGrid&)> catchIt;
    std::string inMessage;  // empty: not caught at all
};

// In this order: once a resource is registered, there is one.
const Case cases[] = {
    {"no resource as EResNotFound", std::nullopt, CaughtAs<host::EResNotFound>, "TPROBEFORM"},
    {"damaged binary stream as EReadError", std::string("TPF0\x0bTProbeForm", 15), CaughtAs<host::EReadError>,
     "TPROBEFORM of class TProbeForm cannot be read"},
    {"damaged binary stream as std::exception", std::string("TPF0\x0bTProbeForm", 15), CaughtAs<std::exception>,
     "cannot be read"},
    {"unknown property as EFilerError", "object ProbeForm: TProbeForm\n  Bogus = 1\nend\n",
     CaughtAs<host::EFilerError>, "Bogus"},
    {"unknown property is no EResNotFound", "object ProbeForm: TProbeForm\n  Bogus = 1\nend\n",
     CaughtAs<host::EResNotFound>, ""},
};

TEST(FrameworkPackages, ErrorBuildingAFormReachesTheEditorsCallerByType) {
    host::RegisterPropertyEditor(host::TypeInfo<host::String>(), host::TypeInfo<TProbeComponent>(), "Shown",
                                 host::TypeInfo<TProbeFormProperty>());
    TProbeComponent component(nullptr);
    host::TPropertyGrid grid({&component});
    const int owned = host::Application->ComponentCount();
    for (const Case& c : cases) {
        if (c.resource) host::RegisterResource("TPROBEFORM", *c.resource);
        const std::string caught = c.catchIt(grid);
        if (c.inMessage.empty()) {
            EXPECT_EQ(caught, notCaught) << c.name;
        } else {
            EXPECT_NE(caught.find(c.inMessage), std::string::npos) << c.name << ": " << caught;
        }
        EXPECT_EQ(formsAlive, 0) << c.name << ": the form was not freed";
        EXPECT_EQ(host::Application->ComponentCount(), owned) << c.name << ": the application still owns it";
    }
    host::UnregisterDesignTime();
}

}  // namespace
