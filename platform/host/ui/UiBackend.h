#pragma once
// What a platform supplies to the user-interface classes. The POSIX backend
// (platform/posix) is headless: it measures with the fonts Wine draws with,
// runs dialogs on the console and draws pictures with cairo. The Win32
// backend (platform/win32) makes real windows and dialogs.

#include <platform/host/rtl/Types.h>
#include <platform/host/ui/Controls.h>
#include <platform/host/ui/Graphics.h>
#include <platform/host/ui/ShellApi.h>

namespace host {

class TCustomForm;
class TOpenDialog;

struct TTextExtent {
    Integer Width = 0;   // the sum of the characters' advances, as the system lays out one line
    Integer Height = 0;  // the font's line height (tmHeight)
    friend bool operator==(const TTextExtent&, const TTextExtent&) = default;
};

class TUiBackend {
public:
    virtual ~TUiBackend() = default;

    // One line of text, accelerators already stripped, in the font.
    virtual TTextExtent MeasureText(const String& text, const TFont& font) = 0;

    // Shows the form and handles its input until its ModalResult is set
    // (a control's Click sets it, or Close); then hides it. With a snapshot
    // path, the form's client area is written there as a PNG once it shows.
    virtual void RunModal(TCustomForm& form, const String& snapshotPath) = 0;

    // The form's window; made on first use where windows are real.
    virtual HWND FormHandle(TCustomForm& form) = 0;
    // The form is going away: its window, if it has one, goes too.
    virtual void FormDestroyed(TCustomForm& form) = 0;

    // Runs the open-file dialog over the dialog's FileName, Filter and
    // Options; true with the chosen file's full name in FileName, false
    // (FileName untouched) when cancelled.
    virtual bool ExecuteOpenDialog(TOpenDialog& dialog) = 0;
};

// The platform's backend, for the life of the program.
TUiBackend& PlatformUiBackend();

// The next ShowModal writes the form's client area as a PNG file at path,
// once the form is shown; an empty path cancels the request.
void SetModalSnapshot(const String& path);

}  // namespace host
