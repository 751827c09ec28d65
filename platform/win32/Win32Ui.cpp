// Message boxes and the message loop over user32.

#include <Win32Api.h>

#include <platform/host/ui/Dialogs.h>
#include <platform/host/ui/Forms.h>

namespace {

UINT IconOf(host::TMsgDlgType type) {
    switch (type) {
        case host::mtWarning: return MB_ICONWARNING;
        case host::mtError: return MB_ICONERROR;
        case host::mtInformation: return MB_ICONINFORMATION;
        case host::mtConfirmation: return MB_ICONQUESTION;
        default: return 0;
    }
}

// The nearest button set the system box offers.
UINT ButtonsOf(host::TMsgDlgButtons buttons) {
    using host::mbAbort, host::mbCancel, host::mbNo, host::mbOK, host::mbRetry, host::mbYes;
    if (buttons.Contains(mbYes) && buttons.Contains(mbNo))
        return buttons.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    if (buttons.Contains(mbAbort)) return MB_ABORTRETRYIGNORE;
    if (buttons.Contains(mbRetry)) return MB_RETRYCANCEL;
    if (buttons.Contains(mbOK) && buttons.Contains(mbCancel)) return MB_OKCANCEL;
    return MB_OK;
}

}  // namespace

namespace host {

TModalResult PlatformShowMessage(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer) {
    // The box's IDOK .. IDNO are the host's modal results.
    return MessageBoxA(GetActiveWindow(), Msg.c_str(), Application->Title().c_str(),
                       IconOf(DlgType) | ButtonsOf(Buttons) | MB_TASKMODAL);
}

void PlatformProcessMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the application's own loop to end on.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

String PlatformApplicationTitle() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    String title(path, length);
    title.erase(0, title.find_last_of("\\/") + 1);
    return title.substr(0, title.rfind('.'));
}

}  // namespace host
