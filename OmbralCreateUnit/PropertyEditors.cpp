// The design-time half of the module: the three property editors of
// TOmbralCreator and the registration that binds them.

#include <memory>
#include <string_view>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <OmbralCreateUnit/Publisher.h>
#include <pOlvexAbout/pOlvexAbout.h>
#include <platform/host/rtl/SysUtils.h>
#include <platform/host/ui/Dialogs.h>
#include <platform/host/ui/Forms.h>

namespace OmbralCreateUnit {

namespace {

// What the About box shows, as it is shown; each goes to the form's labels,
// which read '&' as an accelerator marker, through WithoutAccelerators.
constexpr std::string_view kComponentName = "TOmbralCreator";
constexpr std::string_view kVersion = "1.1.0";
constexpr std::string_view kAddress = "https://ombral.example.org/creator";

constexpr std::string_view kDatabaseFilter = "Paradox Databases (*.db)|*.db|Any File (*.*)|*.*|";
constexpr std::string_view kNetFileFilter = "Paradox NET File (*.net)|*.net|Any File (*.*)|*.*|";

// A folder as ExtractFilePath gives it ends in the platform's delimiter (or
// in a drive colon, which stays). The folder is stored without it, except
// where it is the whole folder: the root of a POSIX file system stays "/",
// which dropping it would turn into no folder at all.
bool EndsInDelimiter(const String& folder) {
    return folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/');
}

// An open-file dialog, not run yet, showing the property's text and refusing
// a folder or file that does not exist.
std::unique_ptr<host::TOpenDialog> PathDialog(host::TStringProperty& editor, std::string_view filter) {
    auto dialog = std::make_unique<host::TOpenDialog>(nullptr);
    dialog->FileName = editor.GetValue();
    dialog->Filter = String(filter);
    dialog->Options.Include(host::ofPathMustExist);
    dialog->Options.Include(host::ofFileMustExist);
    return dialog;
}

}  // namespace

constinit const host::TTypeInfo TAboutPropertyType =
    host::ClassTypeInfo<TAboutProperty, host::TPropertyEditor>("TAboutProperty");
constinit const host::TTypeInfo TDBPathPropertyType =
    host::ClassTypeInfo<TDBPathProperty, host::TStringProperty>("TDBPathProperty");
constinit const host::TTypeInfo TNetFilePathPropertyType =
    host::ClassTypeInfo<TNetFilePathProperty, host::TStringProperty>("TNetFilePathProperty");
constinit const host::TTypeInfo* const TAboutPropertyClass = &TAboutPropertyType;
constinit const host::TTypeInfo* const TDBPathPropertyClass = &TDBPathPropertyType;
constinit const host::TTypeInfo* const TNetFilePathPropertyClass = &TNetFilePathPropertyType;

const host::TTypeInfo* TAboutProperty::ClassType() const { return host::TypeInfo<TAboutProperty>(); }

host::TPropertyAttributes TAboutProperty::GetAttributes() {
    return {host::paDialog, host::paMultiSelect, host::paReadOnly};
}

String TAboutProperty::GetValue() { return "(about)"; }

void TAboutProperty::Edit() {
    const auto form = std::make_unique<pOlvexAbout::TOlvexAboutForm>(host::Application);
    using host::WithoutAccelerators;
    form->SetLabels(WithoutAccelerators(kComponentName), WithoutAccelerators(kVersion), WithoutAccelerators(kPublisher),
                    WithoutAccelerators(kCopyrightLine), WithoutAccelerators(kAddress));
    form->ShowModal();
}

const host::TTypeInfo* TDBPathProperty::ClassType() const { return host::TypeInfo<TDBPathProperty>(); }

host::TPropertyAttributes TDBPathProperty::GetAttributes() { return {host::paDialog}; }

// A cancelled dialog leaves the folder as it was, as it does NetFilePath's:
// clearing it would lose what the developer had set, for nothing.
void TDBPathProperty::Edit() {
    const auto dialog = PathDialog(*this, kDatabaseFilter);
    if (!dialog->Execute()) return;
    String folder = host::ExtractFilePath(dialog->FileName);
    if (EndsInDelimiter(folder)) folder.pop_back();
    SetValue(folder);
}

const host::TTypeInfo* TNetFilePathProperty::ClassType() const { return host::TypeInfo<TNetFilePathProperty>(); }

host::TPropertyAttributes TNetFilePathProperty::GetAttributes() { return {host::paDialog}; }

void TNetFilePathProperty::Edit() {
    const auto dialog = PathDialog(*this, kNetFileFilter);
    if (dialog->Execute()) SetValue(host::ExtractFilePath(dialog->FileName));
}

void Register() {
    using host::TypeInfo;
    host::RegisterPropertyEditor(TypeInfo<TAboutProperty>(), TypeInfo<TOmbralCreator>(), "About",
                                 TypeInfo<TAboutProperty>());
    host::RegisterPropertyEditor(TypeInfo<String>(), TypeInfo<TOmbralCreator>(), "DatabaseDir",
                                 TypeInfo<TDBPathProperty>());
    host::RegisterPropertyEditor(TypeInfo<String>(), TypeInfo<TOmbralCreator>(), "NetFilePath",
                                 TypeInfo<TNetFilePathProperty>());
    host::RegisterComponents("OLVEX", {TypeInfo<TOmbralCreator>()});
}

}  // namespace OmbralCreateUnit
