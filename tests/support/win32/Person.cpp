// A person at the real windows: a thread of its own finds the open-file
// dialog or the form window as it opens, reads it, and types, clicks or
// presses keys by sending the windows their messages, while the test's
// thread waits in the dialog's or the form's modal loop.

#include "support/Person.h"

#include <Win32Api.h>
#include <Win32Ui.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include <platform/host/ui/Forms.h>

namespace testsupport {

namespace {

using namespace std::chrono_literals;

constexpr int kFileNameBox = 0x47C;  // cmb13: the name box of the explorer-style dialog
constexpr int kFileTypeBox = 0x470;  // cmb1: the file types

struct Step {
    enum Kind { Open, CancelOpen, ClickThenEnter, CancelForm } kind;
    std::string fileName;
    std::vector<std::string> controls;
};

// What the open-file dialog was handed, recorded as the call passes our seam.
std::mutex requestMutex;
std::optional<OpenDialogSeen> lastRequest;
win32ui::GetOpenFileNameFunction realOpenFileName = nullptr;

BOOL WINAPI WatchedOpenFileName(LPOPENFILENAMEA parameters) {
    OpenDialogSeen seen{parameters->lpstrFile ? parameters->lpstrFile : "", "",
                        (parameters->Flags & OFN_PATHMUSTEXIST) != 0, (parameters->Flags & OFN_FILEMUSTEXIST) != 0};
    for (const char* entry = parameters->lpstrFilter; entry && *entry; entry += std::strlen(entry) + 1)
        seen.Filter += std::string(entry) + "|";
    {
        std::lock_guard lock(requestMutex);
        lastRequest = seen;
    }
    return realOpenFileName(parameters);
}

std::string TextOf(HWND window) {
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND VisibleOpenDialog() {
    HWND dialog = FindWindowA("#32770", nullptr);
    for (; dialog; dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr))
        if (IsWindowVisible(dialog) && GetDlgItem(dialog, kFileNameBox) && GetDlgItem(dialog, kFileTypeBox))
            return dialog;
    return nullptr;
}

BOOL CALLBACK FindForm(HWND window, LPARAM found) {
    if (!IsWindowVisible(window) || !win32ui::FormOfWindow(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND VisibleForm() {
    HWND found = nullptr;
    EnumWindows(&FindForm, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The message box an open-file dialog shows when it refuses a name: a box
// that the dialog owns.
HWND Refusal(HWND dialog) {
    for (HWND box = FindWindowA("#32770", nullptr); box; box = FindWindowExA(nullptr, box, "#32770", nullptr))
        if (GetWindow(box, GW_OWNER) == dialog && IsWindowVisible(box)) return box;
    return nullptr;
}

void WaitUntilGone(HWND window) {
    for (int i = 0; i < 500 && IsWindow(window) && IsWindowVisible(window); ++i) std::this_thread::sleep_for(10ms);
}

// A press and release of the left button at a point of the form's client
// area, sent to the window under it (the form itself, or a button).
void ClickAt(HWND form, POINT point) {
    HWND target = ChildWindowFromPointEx(form, point, CWP_SKIPINVISIBLE);
    if (!target) target = form;
    MapWindowPoints(form, target, &point, 1);
    const LPARAM at = MAKELPARAM(point.x, point.y);
    SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(target, WM_LBUTTONUP, 0, at);
}

// Whether the form's modal run goes on after what was sent to it: once its
// thread has taken a message again, the window is hidden if the run ended.
bool StillRunning(HWND form) {
    for (int i = 0; i < 200 && IsWindowVisible(form); ++i) {
        DWORD_PTR ignored;
        if (SendMessageTimeoutA(form, WM_NULL, 0, 0, SMTO_NORMAL, 50, &ignored)) break;
    }
    return IsWindowVisible(form);
}

void PressEnter(HWND form) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
    HWND focus = info.hwndFocus ? info.hwndFocus : form;
    // Posted, as a key press is: the form's loop sees it before any window does.
    PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

FormSeen Read(const host::TCustomForm& form) {
    FormSeen seen{form.GetCaption(), {}};
    for (int i = 0; i < form.ControlCount(); ++i) {
        const host::TControl& c = *form.Controls(i);
        seen.Controls.push_back({c.Name, c.Left, c.Top, c.Width, c.Height, c.GetCaption()});
    }
    return seen;
}

}  // namespace

struct Person::Script {
    std::mutex mutex;
    std::deque<Step> steps;
    std::vector<OpenDialogSeen> openDialogs;
    std::vector<FormSeen> forms;
    std::atomic<bool> stop{false};
    std::thread thread;

    std::optional<Step> NextStep() {
        std::lock_guard lock(mutex);
        if (steps.empty()) return std::nullopt;
        Step step = steps.front();
        steps.pop_front();
        return step;
    }

    void AnswerOpenDialog(HWND dialog) {
        OpenDialogSeen seen;
        {
            std::lock_guard lock(requestMutex);
            seen = lastRequest.value_or(OpenDialogSeen{TextOf(GetDlgItem(dialog, kFileNameBox)), ""});
        }
        const std::optional<Step> step = NextStep();
        {
            std::lock_guard lock(mutex);
            openDialogs.push_back(seen);
        }
        if (step && step->kind == Step::Open) {
            SetDlgItemTextA(dialog, kFileNameBox, step->fileName.c_str());
            // Posted: a refusal box would hold a sent message until it is answered.
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 100 && IsWindowVisible(dialog) && !Refusal(dialog); ++i)
                std::this_thread::sleep_for(20ms);
        }
        // Refused (no such file) or not wanted: the dialog is cancelled.
        if (HWND refusal = Refusal(dialog)) {
            PostMessageA(refusal, WM_COMMAND, IDOK, 0);
            WaitUntilGone(refusal);
        }
        if (IsWindowVisible(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        WaitUntilGone(dialog);
    }

    void AnswerForm(HWND window) {
        // The form's thread waits in its loop: it changes the form only in
        // answer to what is sent here, and frees it only once the run ended.
        const FormSeen seen = Read(*win32ui::FormOfWindow(window));
        const std::optional<Step> step = NextStep();
        {
            std::lock_guard lock(mutex);
            forms.push_back(seen);
        }
        if (!step || step->kind != Step::ClickThenEnter) {
            PostMessageA(window, WM_CLOSE, 0, 0);
        } else {
            for (const auto& name : step->controls) {
                auto control = std::find_if(seen.Controls.begin(), seen.Controls.end(),
                                            [&](const ControlSeen& c) { return c.Name == name; });
                if (control == seen.Controls.end() || !StillRunning(window)) continue;
                ClickAt(window, {control->Left + control->Width / 2, control->Top + control->Height / 2});
            }
            if (StillRunning(window)) PressEnter(window);
        }
        WaitUntilGone(window);
    }

    void Watch() {
        while (!stop) {
            if (HWND dialog = VisibleOpenDialog())
                AnswerOpenDialog(dialog);
            else if (HWND form = VisibleForm())
                AnswerForm(form);
            else
                std::this_thread::sleep_for(20ms);
        }
    }
};

Person::Person() : script_(std::make_unique<Script>()) {
    realOpenFileName = std::exchange(win32ui::OpenFileName, &WatchedOpenFileName);
    script_->thread = std::thread([script = script_.get()] { script->Watch(); });
}

Person::~Person() {
    OpenDialogs();
    win32ui::OpenFileName = realOpenFileName;
}

void Person::WillOpen(const std::string& fileName) {
    std::lock_guard lock(script_->mutex);
    script_->steps.push_back({Step::Open, fileName, {}});
}

void Person::WillCancelOpen() {
    std::lock_guard lock(script_->mutex);
    script_->steps.push_back({Step::CancelOpen, {}, {}});
}

void Person::WillClickThenEnter(const std::vector<std::string>& controlNames) {
    std::lock_guard lock(script_->mutex);
    script_->steps.push_back({Step::ClickThenEnter, {}, controlNames});
}

void Person::WillCancelForm() {
    std::lock_guard lock(script_->mutex);
    script_->steps.push_back({Step::CancelForm, {}, {}});
}

std::vector<OpenDialogSeen> Person::OpenDialogs() {
    script_->stop = true;
    if (script_->thread.joinable()) script_->thread.join();
    std::lock_guard lock(script_->mutex);
    return script_->openDialogs;
}

std::vector<FormSeen> Person::Forms() {
    OpenDialogs();
    std::lock_guard lock(script_->mutex);
    return script_->forms;
}

}  // namespace testsupport
