#pragma once
// MessageDlg: the host's modal message box.

#include <cstdint>
#include <initializer_list>

#include <platform/host/rtl/Types.h>

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

using TModalResult = Integer;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                              mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

// Shows the box modally and returns the button pressed.
TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);

// What the platform's user interface does with a message box.
TModalResult PlatformShowMessage(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);

}  // namespace host
