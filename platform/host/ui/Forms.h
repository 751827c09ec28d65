#pragma once
// Forms and the application object.

#include <cstdint>
#include <optional>

#include <platform/host/rtl/Classes.h>
#include <platform/host/rtl/Types.h>
#include <platform/host/ui/Controls.h>
#include <platform/host/ui/ShellApi.h>
#include <platform/host/ui/StdCtrls.h>

namespace host {

enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition : std::uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};

// A window of the application. Its controls are its children (and, when it
// was read from a resource, components it owns). Width and Height follow
// the client size; the client size is what is stored.
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    const TTypeInfo* ClassType() const override;

    TFormBorderStyle BorderStyle = bsSizeable;
    TPosition Position = poDesigned;
    Integer ClientWidth = 0, ClientHeight = 0;
    TColor Color = clBtnFace;
    Boolean OldCreateOrder = false;
    Integer PixelsPerInch = 96;
    Integer TextHeight = 13;

    // Set by a button's click or by Close during a modal run; a non-zero
    // value ends the run.
    TModalResult ModalResult = 0;

    // Shows the form and runs it until ModalResult is set; returns it.
    TModalResult ShowModal();
    // In a modal run: ends it with mrCancel.
    void Close();
    bool Modal() const { return modal_; }

    // The form's window; on POSIX an opaque value that stays the same for
    // the form's life.
    HWND Handle();

    // The control that Enter presses, or null.
    TButton* DefaultButton() const;

protected:
    // Reads the form resource named after the class, in capitals, into this
    // form: its properties, its children, and the published fields named
    // after them. EResNotFound when there is none, EReadError naming the
    // class when it cannot be read. A derived form calls it in its
    // constructor's body, once its own fields exist.
    void InitInheritedComponent(const TTypeInfo* formClass);

private:
    bool modal_ = false;
};

// A form of the application. A class derived from it is built from its form
// resource as it is constructed; TForm itself is a blank form.
class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
    const TTypeInfo* ClassType() const override;
};

// The host's application object: it owns the forms made with it as owner.
class TApplication : public TComponent {
public:
    TApplication() : TComponent(nullptr) {}
    const TTypeInfo* ClassType() const override;

    // Handles the window messages that are pending, then returns.
    void ProcessMessages();

    // Shown as the caption of message boxes; the program's name unless set.
    String Title() const;
    void SetTitle(const String& title) { title_ = title; }

private:
    std::optional<String> title_;
};

extern TApplication* const Application;

// What the platform's user interface supplies.
void PlatformProcessMessages();
String PlatformApplicationTitle();

template <>
const TTypeInfo* TypeInfo<TFormBorderStyle>();
template <>
const TTypeInfo* TypeInfo<TPosition>();
template <>
const TTypeInfo* TypeInfo<TCustomForm>();
template <>
const TTypeInfo* TypeInfo<TForm>();
template <>
const TTypeInfo* TypeInfo<TApplication>();

}  // namespace host
