// The Win32 user interface backend: real windows over user32 and gdi32, the
// common open-file dialog, shell32, and the module's RCDATA resources.

#include <Win32Api.h>
#include <Win32Ui.h>
#include <cderr.h>

#include <algorithm>
#include <map>
#include <memory>

#include "FormWindow.h"
#include "Win32Gdi.h"

#include <platform/host/rtl/Resources.h>
#include <platform/host/ui/Dialogs.h>
#include <platform/host/ui/Forms.h>
#include <platform/host/ui/UiBackend.h>

namespace {

class Win32Backend final : public host::TUiBackend {
public:
    host::TTextExtent MeasureText(const host::String& text, const host::TFont& font) override {
        if (!measuring_) measuring_ = CreateCompatibleDC(nullptr);
        const win32ui::GdiObject gdiFont = win32ui::CreateFontOf(font);
        const win32ui::Selection selected(measuring_, gdiFont.Get());
        SIZE size{};
        GetTextExtentPoint32A(measuring_, text.data(), static_cast<int>(text.size()), &size);
        TEXTMETRICA metrics{};
        GetTextMetricsA(measuring_, &metrics);
        return {size.cx, metrics.tmHeight};
    }

    void RunModal(host::TCustomForm& form, const host::String& snapshotPath) override {
        WindowOf(form).RunModal(snapshotPath);
    }

    host::HWND FormHandle(host::TCustomForm& form) override { return WindowOf(form).Handle(); }

    void FormDestroyed(host::TCustomForm& form) override { windows_.erase(&form); }

    bool ExecuteOpenDialog(host::TOpenDialog& dialog) override {
        win32ui::OpenFileRequest request = win32ui::OpenFileRequestOf(dialog);
        OPENFILENAMEA parameters{};
        parameters.lStructSize = sizeof parameters;
        parameters.hwndOwner = GetActiveWindow();
        parameters.lpstrFilter = request.filter.empty() ? nullptr : request.filter.c_str();
        parameters.nFilterIndex = 1;
        parameters.lpstrFile = request.file.data();
        parameters.nMaxFile = static_cast<DWORD>(request.file.size());
        parameters.Flags = request.flags;
        if (!win32ui::OpenFileName(&parameters)) {
            // An initial name the dialog refuses (a folder ending in a
            // delimiter, a character no file name holds) fails it before it
            // shows: the person gets it again with no name, not a cancel.
            if (win32ui::OpenFileNameError() != FNERR_INVALIDFILENAME || request.file[0] == '\0') return false;
            std::fill(request.file.begin(), request.file.end(), '\0');
            if (!win32ui::OpenFileName(&parameters)) return false;
        }
        dialog.FileName = request.file.c_str();
        return true;
    }

private:
    win32ui::FormWindow& WindowOf(host::TCustomForm& form) {
        auto& window = windows_[&form];
        if (!window) window = std::make_unique<win32ui::FormWindow>(form);
        return *window;
    }

    HDC measuring_ = nullptr;
    std::map<const host::TCustomForm*, std::unique_ptr<win32ui::FormWindow>> windows_;
};

}  // namespace

namespace win32ui {

host::TCustomForm* FormOfWindow(HWND window) { return FormWindow::FormOf(window); }

}  // namespace win32ui

namespace host {

TUiBackend& PlatformUiBackend() {
    // Never destroyed: forms may outlive the static objects.
    static auto* backend = new Win32Backend;
    return *backend;
}

}  // namespace host
