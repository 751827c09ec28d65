#pragma once
// Labels and buttons.

#include <platform/host/ui/Controls.h>

namespace host {

// Text on a form. With AutoSize (the default) it takes the size of its
// caption, accelerators stripped, in its font the moment either changes; an
// empty caption measures as one blank. While a form is read the stored size
// stands.
class TLabel : public TControl {
public:
    explicit TLabel(TComponent* AOwner);
    const TTypeInfo* ClassType() const override;

    Boolean GetAutoSize() const { return autoSize_; }
    void SetAutoSize(Boolean value);
    Boolean Transparent = false;

protected:
    void TextChanged() override;

private:
    void AdjustBounds();
    Boolean autoSize_ = true;
};

// A push button. Clicking it hands its ModalResult to the form before
// OnClick runs; the Default button is the one Enter presses, the Cancel
// button the one Escape presses.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    const TTypeInfo* ClassType() const override;
    void Click() override;

    Boolean Cancel = false;
    Boolean Default = false;
    TModalResult ModalResult = 0;
};

template <>
const TTypeInfo* TypeInfo<TLabel>();
template <>
const TTypeInfo* TypeInfo<TButton>();

}  // namespace host
