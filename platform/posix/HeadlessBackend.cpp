// The headless user interface backend: dialogs and forms on the console.

#include <iostream>

#include <HeadlessUi.h>
#include <platform/host/rtl/Resources.h>
#include <platform/host/ui/Dialogs.h>
#include <platform/host/ui/Forms.h>
#include <platform/host/ui/UiBackend.h>

namespace {

class HeadlessBackend final : public host::TUiBackend {
public:
    host::TTextExtent MeasureText(const host::String& text, const host::TFont& font) override {
        const host::Integer size = font.GetHeight() < 0 ? -font.GetHeight() : font.GetHeight();
        return {static_cast<host::Integer>(text.size()) * size / 2, size + size / 8};
    }
    void RunModal(host::TCustomForm& form, const host::String&) override { form.ModalResult = host::mrCancel; }
    host::HWND FormHandle(host::TCustomForm& form) override { return &form; }
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
    static auto* backend = new HeadlessBackend;  // outlives the forms the application frees at exit
    return *backend;
}

std::optional<std::string_view> PlatformResourceData(std::string_view) { return std::nullopt; }

}  // namespace host
