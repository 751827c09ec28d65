// A message-only window whose messages run the handlers posted to it, so a
// test sees what Application->ProcessMessages dispatches.

#include "support/Messages.h"

#include <Win32Api.h>

#include <deque>

namespace testsupport {

namespace {

std::deque<std::function<void()>>& Handlers() {
    static std::deque<std::function<void()>> handlers;
    return handlers;
}

LRESULT CALLBACK HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP) return DefWindowProcA(window, message, wParam, lParam);
    auto handler = std::move(Handlers().front());
    Handlers().pop_front();
    handler();
    return 0;
}

HWND MessageWindow() {
    static HWND window = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = HandleMessage;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "OmbralTestMessages";
        RegisterClassA(&windowClass);
        return CreateWindowA("OmbralTestMessages", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    }();
    return window;
}

}  // namespace

void PostPendingMessage(std::function<void()> handler) {
    Handlers().push_back(std::move(handler));
    PostMessageA(MessageWindow(), WM_APP, 0, 0);
}

}  // namespace testsupport
