#include "FormWindow.h"

#include <algorithm>
#include <cstring>

#include "PngWriter.h"

#include <platform/host/rtl/SysUtils.h>
#include <platform/host/ui/ExtCtrls.h>
#include <platform/host/ui/StdCtrls.h>

namespace win32ui {

namespace {

constexpr char kWindowClass[] = "OmbralForm";
constexpr int kFirstButtonId = 100;

struct FrameStyle {
    DWORD style;
    DWORD exStyle;
};

FrameStyle FrameOf(host::TFormBorderStyle border) {
    constexpr DWORD kCommon = WS_CLIPCHILDREN;
    switch (border) {
        case host::bsNone: return {kCommon | WS_POPUP, 0};
        case host::bsSingle: return {kCommon | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0};
        case host::bsDialog:
            return {kCommon | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                    WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE};
        case host::bsToolWindow: return {kCommon | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW};
        case host::bsSizeToolWin: return {kCommon | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOOLWINDOW};
        default: return {kCommon | WS_OVERLAPPEDWINDOW, 0};
    }
}

// Where the window's top-left corner goes for the form's Position.
POINT PlaceOf(const host::TCustomForm& form, SIZE window) {
    switch (form.Position) {
        case host::poScreenCenter:
        case host::poDesktopCenter:
        case host::poMainFormCenter:
        case host::poOwnerFormCenter:
            // The application has no main window to centre on: all centre on the screen.
            return {(GetSystemMetrics(SM_CXSCREEN) - window.cx) / 2, (GetSystemMetrics(SM_CYSCREEN) - window.cy) / 2};
        case host::poDefault:
        case host::poDefaultPosOnly: return {CW_USEDEFAULT, CW_USEDEFAULT};
        default: return {form.Left, form.Top};
    }
}

void RegisterWindowClass(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ThisModule();
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassA(&windowClass);
    }();
    if (!atom) throw host::Exception("Cannot register the form window class (error " + std::to_string(GetLastError()) + ")");
}

RECT BoundsOf(const host::TControl& control) {
    return {control.Left, control.Top, control.Left + control.Width, control.Top + control.Height};
}

// The host's bevel as DrawEdge draws it: a lowered box is the sunken
// single line, a frame or a line the etched pair of lines.
void DrawBevel(HDC dc, const host::TBevel& bevel) {
    static const struct {
        host::TBevelShape shape;
        UINT lowered, raised, sides;
    } shapes[] = {{host::bsBox, BDR_SUNKENOUTER, BDR_RAISEDINNER, BF_RECT},
                  {host::bsFrame, EDGE_ETCHED, EDGE_BUMP, BF_RECT},
                  {host::bsTopLine, EDGE_ETCHED, EDGE_BUMP, BF_TOP},
                  {host::bsBottomLine, EDGE_ETCHED, EDGE_BUMP, BF_BOTTOM},
                  {host::bsLeftLine, EDGE_ETCHED, EDGE_BUMP, BF_LEFT},
                  {host::bsRightLine, EDGE_ETCHED, EDGE_BUMP, BF_RIGHT}};
    for (const auto& entry : shapes) {
        if (entry.shape != bevel.Shape) continue;
        RECT bounds = BoundsOf(bevel);
        DrawEdge(dc, &bounds, bevel.Style == host::bsRaised ? entry.raised : entry.lowered, entry.sides);
    }
}

void DrawLabel(HDC dc, const host::TLabel& label) {
    const GdiObject font = CreateFontOf(*label.GetFont());
    const Selection selected(dc, font.Get());
    SetTextColor(dc, ColorRef(label.GetFont()->GetColor()));
    SetBkMode(dc, TRANSPARENT);
    RECT bounds = BoundsOf(label);
    const host::String caption = label.GetCaption();
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &bounds, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

struct DisabledWindows {
    HWND modal;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableWindow(HWND window, LPARAM data) {
    auto& disabled = *reinterpret_cast<DisabledWindows*>(data);
    if (window != disabled.modal && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        disabled.windows.push_back(window);
    }
    return TRUE;
}

// The other visible windows of this thread, disabled while a form is modal.
std::vector<HWND> DisableOtherWindows(HWND modal) {
    DisabledWindows disabled{modal, {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableWindow, reinterpret_cast<LPARAM>(&disabled));
    return disabled.windows;
}

}  // namespace

FormWindow::FormWindow(host::TCustomForm& form) : form_(form) {
    RegisterWindowClass(&FormWindow::Procedure);
    const FrameStyle frame = FrameOf(form.BorderStyle);
    window_ = CreateWindowExA(frame.exStyle, kWindowClass, form.GetCaption().c_str(), frame.style, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, ThisModule(), nullptr);
    if (!window_)
        throw host::Exception("Cannot create the window of form " + form.Name + " (error " +
                              std::to_string(GetLastError()) + ")");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

FormWindow::~FormWindow() {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

host::TCustomForm* FormWindow::FormOf(HWND window) {
    char className[sizeof kWindowClass + 1] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, kWindowClass) != 0) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return nullptr;
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? &self->form_ : nullptr;
}

// The frame, caption, size and place the form asks for now.
void FormWindow::Layout() {
    const FrameStyle frame = FrameOf(form_.BorderStyle);
    SetWindowLongPtrA(window_, GWL_STYLE, static_cast<LONG_PTR>(frame.style));
    SetWindowLongPtrA(window_, GWL_EXSTYLE, static_cast<LONG_PTR>(frame.exStyle));
    SetWindowTextA(window_, form_.GetCaption().c_str());
    RECT bounds{0, 0, form_.ClientWidth, form_.ClientHeight};
    AdjustWindowRectEx(&bounds, frame.style, FALSE, frame.exStyle);
    const SIZE size{bounds.right - bounds.left, bounds.bottom - bounds.top};
    POINT place = PlaceOf(form_, size);
    if (place.x == CW_USEDEFAULT) place = {0, 0};
    SetWindowPos(window_, nullptr, place.x, place.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The form's buttons as BUTTON windows, made afresh for each run so that
// they show the captions, fonts and places the form has now.
void FormWindow::MakeButtons() {
    for (HWND button : buttonWindows_) DestroyWindow(button);
    buttons_.clear();
    buttonWindows_.clear();
    buttonFonts_.clear();
    for (int i = 0; i < form_.ControlCount(); ++i)
        if (auto* button = dynamic_cast<host::TButton*>(form_.Controls(i))) buttons_.push_back(button);
    std::stable_sort(buttons_.begin(), buttons_.end(),
                     [](const host::TButton* a, const host::TButton* b) { return a->TabOrder < b->TabOrder; });
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const host::TButton& button = *buttons_[i];
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (button.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND window = CreateWindowExA(0, "BUTTON", button.GetCaption().c_str(), style, button.Left, button.Top,
                                      button.Width, button.Height, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + i)),
                                      ThisModule(), nullptr);
        buttonFonts_.push_back(CreateFontOf(*button.GetFont()));
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFonts_.back().Get()), FALSE);
        buttonWindows_.push_back(window);
    }
}

void FormWindow::RunModal(const host::String& snapshotPath) {
    Layout();
    MakeButtons();
    failure_ = nullptr;
    const std::vector<HWND> disabled = DisableOtherWindows(window_);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetFocus(buttonWindows_.empty() ? window_ : buttonWindows_.front());
    UpdateWindow(window_);
    struct Restore {
        const std::vector<HWND>& disabled;
        HWND window;
        ~Restore() {
            for (HWND other : disabled) EnableWindow(other, TRUE);
            ShowWindow(window, SW_HIDE);
        }
    } restore{disabled, window_};

    // Painted, buttons too, before any input can end the run.
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (!snapshotPath.empty()) Snapshot(snapshotPath);
    MSG message;
    while (form_.ModalResult == host::mrNone && !failure_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // Left for the application's own loop to end on.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) break;
        if (!IsDialogMessageA(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void FormWindow::Snapshot(const host::String& path) {
    RECT client;
    GetClientRect(window_, &client);
    RgbImage image{client.right, client.bottom, {}};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    HDC windowDc = GetDC(window_);
    HDC memory = CreateCompatibleDC(windowDc);
    void* bits = nullptr;
    const GdiObject bitmap(CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bool copied = false;
    if (bitmap.Get()) {
        const Selection selected(memory, bitmap.Get());
        copied = BitBlt(memory, 0, 0, image.width, image.height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
    }
    DeleteDC(memory);
    ReleaseDC(window_, windowDc);
    if (!copied) throw host::Exception("Cannot capture the window of form " + form_.Name);

    // DIB rows are padded to four bytes, and blue comes first.
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
    image.rgb.reserve(static_cast<std::size_t>(image.width) * image.height * 3);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* bgr = pixels + y * stride + x * 3;
            image.rgb.insert(image.rgb.end(), {bgr[2], bgr[1], bgr[0]});
        }
    if (!WritePng(path, image)) throw host::Exception("Cannot write the picture of form " + form_.Name + " to " + path);
}

host::TControl* FormWindow::DrawnControlAt(POINT point) const {
    for (int i = form_.ControlCount() - 1; i >= 0; --i) {
        host::TControl* control = form_.Controls(i);
        const RECT bounds = BoundsOf(*control);
        if (!dynamic_cast<host::TWinControl*>(control) && PtInRect(&bounds, point)) return control;
    }
    return nullptr;
}

void FormWindow::Paint(HDC dc) {
    for (int i = 0; i < form_.ControlCount(); ++i) {
        const host::TControl* control = form_.Controls(i);
        if (auto* label = dynamic_cast<const host::TLabel*>(control)) DrawLabel(dc, *label);
        if (auto* bevel = dynamic_cast<const host::TBevel*>(control)) DrawBevel(dc, *bevel);
    }
}

void FormWindow::Pressed(int id) {
    const auto index = static_cast<std::size_t>(id - kFirstButtonId);
    if (id >= kFirstButtonId && index < buttons_.size()) {
        buttons_[index]->Click();
        return;
    }
    if (id == IDCANCEL) {  // Escape presses the Cancel button, if there is one
        auto cancel = std::find_if(buttons_.begin(), buttons_.end(), [](auto* b) { return b->Cancel; });
        if (cancel != buttons_.end()) (*cancel)->Click();
    }
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    // No exception may unwind through the system's frames: it waits for the modal loop.
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        self->failure_ = std::current_exception();
        return 0;
    }
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            const GdiObject brush(CreateSolidBrush(ColorRef(form_.Color)));
            FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(brush.Get()));
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            Paint(dc);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == window_ && LOWORD(lParam) == HTCLIENT) {
                POINT at;
                GetCursorPos(&at);
                ScreenToClient(window_, &at);
                const host::TControl* control = DrawnControlAt(at);
                const host::TCursor cursor = control && control->Cursor != host::crDefault ? control->Cursor
                                                                                        : form_.Cursor;
                SetCursor(CursorOf(cursor == host::crDefault ? host::crArrow : cursor));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            mouseDown_ = DrawnControlAt(point);
            if (mouseDown_) SetCapture(window_);
            return 0;
        case WM_LBUTTONUP: {
            host::TControl* pressed = std::exchange(mouseDown_, nullptr);
            if (GetCapture() == window_) ReleaseCapture();
            // A click is a press and a release on the same control.
            if (pressed && pressed == DrawnControlAt(point)) pressed->Click();
            return 0;
        }
        case DM_GETDEFID:
            for (std::size_t i = 0; i < buttons_.size(); ++i)
                if (buttons_[i]->Default) return MAKELRESULT(kFirstButtonId + i, DC_HASDEFID);
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) Pressed(LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            form_.Close();
            return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace win32ui
