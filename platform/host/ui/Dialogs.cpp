#include <platform/host/ui/Dialogs.h>

namespace host {

TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx) {
    return PlatformShowMessage(Msg, DlgType, Buttons, HelpCtx);
}

}  // namespace host
