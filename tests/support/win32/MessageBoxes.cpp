// Finds the application's boxes by their caption, reads their text and
// presses OK, on a thread of its own while the test's thread waits in the box.

#include "support/MessageBoxes.h"

#include <Win32Api.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include <platform/host/ui/Forms.h>

namespace testsupport {

namespace {

// The box's icon is a static control of its own; the system's icons are
// shared handles, so the one it shows tells the box's type.
std::string Kind(HWND box) {
    constexpr int kIconControl = 0x0440;
    auto icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, kIconControl, STM_GETICON, 0, 0));
    const struct {
        LPCSTR id;
        const char* kind;
    } kinds[] = {{IDI_HAND, "Error: "}, {IDI_EXCLAMATION, "Warning: "}, {IDI_ASTERISK, "Information: "},
                 {IDI_QUESTION, "Confirmation: "}};
    for (const auto& k : kinds)
        if (icon && icon == LoadIconA(nullptr, k.id)) return k.kind;
    return "";
}

}  // namespace

struct MessageBoxes::Watch {
    std::string caption = host::Application->Title();
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<std::string> shown;
    std::thread thread;

    void Answer() {
        while (!stop) {
            if (HWND box = FindWindowA("#32770", caption.c_str()); box && IsWindowVisible(box)) {
                char text[1024] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                {
                    std::lock_guard lock(mutex);
                    shown.push_back(Kind(box) + text);
                }
                SendMessageA(box, WM_COMMAND, IDOK, 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
};

MessageBoxes::MessageBoxes() : watch_(std::make_unique<Watch>()) {
    watch_->thread = std::thread([watch = watch_.get()] { watch->Answer(); });
}

MessageBoxes::~MessageBoxes() { Shown(); }

std::vector<std::string> MessageBoxes::Shown() {
    watch_->stop = true;
    if (watch_->thread.joinable()) watch_->thread.join();
    std::lock_guard lock(watch_->mutex);
    return watch_->shown;
}

}  // namespace testsupport
