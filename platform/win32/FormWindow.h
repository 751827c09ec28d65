#pragma once
// A form as a real top-level window. Labels and bevels are drawn by the form
// itself, as the host's graphic controls are; buttons are BUTTON windows.

#include <exception>
#include <vector>

#include <Win32Api.h>

#include "Win32Gdi.h"

#include <platform/host/ui/Forms.h>

namespace win32ui {

class FormWindow {
public:
    explicit FormWindow(host::TCustomForm& form);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Handle() const { return window_; }

    // Shows the window as the form now is and dispatches messages until the
    // form's ModalResult is set or the program is asked to quit; then hides
    // it. An exception of a click handler ends the run and is rethrown here.
    // With a snapshot path, the client area is written there as a PNG once
    // it has been painted, before any input is handled.
    void RunModal(const host::String& snapshotPath);

    // The form whose window this is, or null for any other window.
    static host::TCustomForm* FormOf(HWND window);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void Layout();
    void MakeButtons();
    void Paint(HDC dc);
    host::TControl* DrawnControlAt(POINT point) const;
    void Pressed(int id);
    void Snapshot(const host::String& path);

    host::TCustomForm& form_;
    HWND window_ = nullptr;
    std::vector<host::TButton*> buttons_;  // child window id kFirstButtonId + index
    std::vector<HWND> buttonWindows_;
    std::vector<GdiObject> buttonFonts_;
    host::TControl* mouseDown_ = nullptr;
    std::exception_ptr failure_;
};

}  // namespace win32ui
