#pragma once
// MessageDlg: the host's modal message box.

#include <cstdint>
#include <initializer_list>

#include <platform/host/rtl/Classes.h>
#include <platform/host/rtl/Types.h>
#include <platform/host/ui/StdCtrls.h>

namespace host {

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : std::uint8_t { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

// A set of buttons, as the host's TMsgDlgButtons.
class TMsgDlgButtons {
public:
    TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (auto b : buttons) bits_ |= 1u << b;
    }
    bool Contains(TMsgDlgBtn b) const { return (bits_ >> b) & 1u; }
    std::uint32_t Bits() const { return bits_; }

private:
    std::uint32_t bits_ = 0;
};

// Shows the box modally and returns the button pressed.
TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);

// What the platform's user interface does with a message box.
TModalResult PlatformShowMessage(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);

enum TOpenOption : std::uint8_t {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;

// The open-file dialog. Filter is "description|pattern|description|pattern"
// (a trailing '|' allowed); FileName is shown in the name box when the
// dialog opens and holds the chosen file's full name after a confirmed run.
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}
    const TTypeInfo* ClassType() const override;

    String FileName;
    String Filter;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};

    // Runs the dialog modally: true when a file was confirmed.
    bool Execute();
};

template <>
const TTypeInfo* TypeInfo<TOpenOption>();
template <>
const TTypeInfo* TypeInfo<TOpenOptions>();
template <>
const TTypeInfo* TypeInfo<TOpenDialog>();

}  // namespace host
