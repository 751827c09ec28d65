#pragma once
// The About box of the package's components: names the component and its
// version, the author and the copyright holder, and opens a web address.

#include <platform/host/rtl/Types.h>
#include <platform/host/ui/ExtCtrls.h>
#include <platform/host/ui/Forms.h>
#include <platform/host/ui/StdCtrls.h>

namespace pOlvexAbout {

using host::String;

class TOlvexAboutForm : public host::TForm {
public:
    // Built from the form resource TOLVEXABOUTFORM.
    explicit TOlvexAboutForm(host::TComponent* AOwner);
    const host::TTypeInfo* ClassType() const override;

    // Fills in the texts and centres the labels over the separator line.
    void SetLabels(const String& AComponent, const String& AVersion, const String& AAuthor,
                   const String& ACopyright, const String& AURL);

    // Published fields, bound by name as the form is read.
    host::TLabel* lblVersion = nullptr;
    host::TLabel* lblAuthor = nullptr;
    host::TLabel* lblURL = nullptr;
    host::TButton* btnOK = nullptr;
    host::TBevel* bvlSepBar = nullptr;
    host::TLabel* lblComponent = nullptr;
    host::TLabel* lblCopyRight = nullptr;

    // Published methods, bound by name from the form resource.
    void btnOKClick(host::TObject* Sender);
    void lblURLClick(host::TObject* Sender);
};

// Declared for the package's export list; nothing assigns or reads it.
extern TOlvexAboutForm* OlvexAboutForm;

// The form's type record and class reference, constant data that the package
// exports; host::TypeInfo<TOlvexAboutForm>() gives the same record.
extern const host::TTypeInfo TOlvexAboutFormType;
extern const host::TTypeInfo* const TOlvexAboutFormClass;

// The module's initialisation and finalisation, run from the package's
// module table; neither has work.
void initialization();
void Finalization();

}  // namespace pOlvexAbout

namespace host {
template <>
const TTypeInfo* TypeInfo<pOlvexAbout::TOlvexAboutForm>();
}  // namespace host
