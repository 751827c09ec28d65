// The open-file dialog over comdlg32.

#include <Win32Ui.h>

#include <algorithm>

#include <platform/host/ui/Dialogs.h>

namespace win32ui {

GetOpenFileNameFunction OpenFileName = &GetOpenFileNameA;
DialogErrorFunction OpenFileNameError = &CommDlgExtendedError;

namespace {

DWORD FlagsOf(host::TOpenOptions options) {
    using namespace host;
    static const struct {
        TOpenOption option;
        DWORD flag;
    } flags[] = {{ofReadOnly, OFN_READONLY},
                 {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
                 {ofHideReadOnly, OFN_HIDEREADONLY},
                 {ofNoChangeDir, OFN_NOCHANGEDIR},
                 {ofShowHelp, OFN_SHOWHELP},
                 {ofNoValidate, OFN_NOVALIDATE},
                 {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
                 {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
                 {ofPathMustExist, OFN_PATHMUSTEXIST},
                 {ofFileMustExist, OFN_FILEMUSTEXIST},
                 {ofCreatePrompt, OFN_CREATEPROMPT},
                 {ofShareAware, OFN_SHAREAWARE},
                 {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
                 {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
                 {ofNoNetworkButton, OFN_NONETWORKBUTTON},
                 {ofNoLongNames, OFN_NOLONGNAMES},
                 {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
                 {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
                 {ofEnableSizing, OFN_ENABLESIZING}};
    DWORD result = 0;
    for (const auto& entry : flags)
        if ((options.Bits() >> entry.option) & 1u) result |= entry.flag;
    return result;
}

// Room for the longest path Windows takes, or for the text given if longer.
constexpr std::size_t kFileBuffer = 32768;

}  // namespace

OpenFileRequest OpenFileRequestOf(const host::TOpenDialog& dialog) {
    OpenFileRequest request;
    request.filter = dialog.Filter;
    std::replace(request.filter.begin(), request.filter.end(), '|', '\0');
    // An empty filter is no filter; otherwise the list ends in an empty string.
    if (!request.filter.empty()) request.filter.append(request.filter.back() == '\0' ? 1 : 2, '\0');
    request.file = dialog.FileName;
    request.file.resize(std::max(kFileBuffer, dialog.FileName.size() + 1), '\0');
    request.flags = FlagsOf(dialog.Options);
    return request;
}

}  // namespace win32ui
