// The Win32 user interface under Wine: real form windows, the real open-file
// dialog, the shell call, the snapshot and the embedded form resource.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Win32Api.h>
#include <Win32Ui.h>
#include <cderr.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <thread>

#include "support/Files.h"
#include "support/Person.h"

#include <pOlvexAbout/pOlvexAbout.h>
#include <platform/host/rtl/Resources.h>
#include <platform/host/ui/Dialogs.h>
#include <platform/host/ui/ExtCtrls.h>
#include <platform/host/ui/Forms.h>
#include <platform/host/ui/StdCtrls.h>
#include <platform/host/ui/UiBackend.h>
#include <platform/win32/PngWriter.h>

using namespace std::chrono_literals;

namespace {

// Runs look on the first form window that shows, from a thread of its own,
// then closes the window.
class WhenShown {
public:
    explicit WhenShown(std::function<void(HWND)> look)
        : thread_([this, look = std::move(look)] {
              for (int i = 0; i < 1000 && !stop_; ++i, std::this_thread::sleep_for(10ms)) {
                  HWND window = FindWindowA("OmbralForm", nullptr);
                  if (!window || !IsWindowVisible(window)) continue;
                  look(window);
                  PostMessageA(window, WM_CLOSE, 0, 0);
                  return;
              }
          }) {}
    ~WhenShown() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The About form from the resource the build embeds.
pOlvexAbout::TOlvexAboutForm& AboutForm() {
    auto* form = new pOlvexAbout::TOlvexAboutForm(host::Application);
    form->SetLabels("TOmbralCreator", "1.1.0", "Ombral Software", "Copyright (c) 2026 Ombral Software",
                    "https://ombral.example.org/creator");
    return *form;
}

struct Form {
    std::unique_ptr<host::TForm> form = std::make_unique<host::TForm>(nullptr);

    template <typename C>
    C* Add(const char* name, int left, int top, int width, int height) {
        auto* control = new C(form.get());
        control->Name = name;
        control->SetParent(form.get());
        control->Left = left;
        control->Top = top;
        control->Width = width;
        control->Height = height;
        return control;
    }
};

// The widths POSIX measures too (tests/platform/ui/WineFontMetrics.md):
// labels take them from GDI the moment their caption is set.
TEST(Win32Labels, TakeTheWidthsAndHeightsOfTheirFonts) {
    const struct {
        const char* caption;
        const char* face;
        int height, width, lineHeight;
    } cases[] = {{"TOmbralCreator", "MS Sans Serif", -11, 80, 12},
                 {"TOmbralCreator", "Arial", -19, 139, 21},
                 {"v1.1.0", "Arial", -19, 53, 21},
                 {"by Ombral Software", "Arial", -13, 115, 15},
                 {"Copyright \xA9 2026 Ombral Software", "Arial", -11, 170, 12},
                 {"https://ombral.example.org/creator", "Arial", -13, 199, 15},
                 {"&OK", "Arial", -13, 19, 15},
                 {"a&&b", "Arial", -19, 35, 21},
                 {"", "Arial", -13, 4, 15}};  // measured as one blank
    for (const auto& c : cases) {
        Form f;
        auto* label = f.Add<host::TLabel>("lbl", 0, 0, 1, 1);
        host::TFont font;
        font.SetName(c.face);
        font.SetHeight(c.height);
        font.SetCharset(static_cast<host::TFontCharset>(std::string_view(c.face) == "Arial" ? ANSI_CHARSET : DEFAULT_CHARSET));
        label->SetParentFont(false);
        label->SetFont(&font);
        label->SetCaption(c.caption);
        EXPECT_EQ(label->Width, c.width) << c.caption << " in " << c.face << " " << c.height;
        EXPECT_EQ(label->Height, c.lineHeight) << c.caption << " in " << c.face << " " << c.height;
    }
}

TEST(Win32FormWindow, HasTheClientSizeAndPlaceTheFormAsks) {
    const struct {
        host::TPosition position;
        int left, top, width, height;
    } cases[] = {{host::poScreenCenter, 402, 258, 332, 250},
                 {host::poScreenCenter, -5000, 9000, 331, 99},
                 {host::poDesigned, 40, 30, 200, 120}};
    for (const auto& c : cases) {
        Form f;
        f.form->BorderStyle = host::bsDialog;
        f.form->Position = c.position;
        f.form->Left = c.left;
        f.form->Top = c.top;
        f.form->ClientWidth = c.width;
        f.form->ClientHeight = c.height;
        RECT client{}, frame{};
        LONG style = 0, exStyle = 0;
        {
            WhenShown shown([&](HWND window) {
                GetClientRect(window, &client);
                GetWindowRect(window, &frame);
                style = GetWindowLongA(window, GWL_STYLE);
                exStyle = GetWindowLongA(window, GWL_EXSTYLE);
            });
            EXPECT_EQ(f.form->ShowModal(), host::mrCancel);
        }
        EXPECT_EQ(client.right, c.width);
        EXPECT_EQ(client.bottom, c.height);
        const SIZE outer{frame.right - frame.left, frame.bottom - frame.top};
        const POINT expected = c.position == host::poDesigned
                                   ? POINT{c.left, c.top}
                                   : POINT{(GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2,
                                           (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2};
        EXPECT_EQ(frame.left, expected.x) << c.width;
        EXPECT_EQ(frame.top, expected.y) << c.height;
        // A dialog frame: a caption and system menu, neither resizable nor minimizable.
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU);
        EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    }
}

TEST(Win32FormWindow, EnterPressesTheDefaultButtonOnly) {
    for (const bool isDefault : {true, false}) {
        Form f;
        f.form->ClientWidth = 200;
        f.form->ClientHeight = 100;
        auto* button = f.Add<host::TButton>("btnOK", 100, 60, 75, 25);
        button->SetCaption("OK");
        button->Default = isDefault;
        button->ModalResult = host::mrOk;
        LONG style = 0;
        testsupport::Person person;
        person.WillClickThenEnter();
        {
            // Without a default button Enter does nothing; the form is closed after a while.
            WhenShown closeLater([&](HWND window) {
                style = GetWindowLongA(GetWindow(window, GW_CHILD), GWL_STYLE);
                std::this_thread::sleep_for(500ms);
            });
            EXPECT_EQ(f.form->ShowModal(), isDefault ? host::mrOk : host::mrCancel) << isDefault;
        }
        EXPECT_EQ(style & BS_TYPEMASK, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        EXPECT_EQ(person.Forms().size(), 1u);
    }
}

TEST(Win32FormWindow, ShowsTheHandOverALabelThatAsksForIt) {
    Form f;
    f.form->Position = host::poScreenCenter;
    f.form->ClientWidth = 300;
    f.form->ClientHeight = 100;
    auto* hand = f.Add<host::TLabel>("lblURL", 10, 10, 100, 16);
    hand->Cursor = host::crHandPoint;
    f.Add<host::TLabel>("lblPlain", 10, 50, 100, 16);
    HCURSOR overHand = nullptr, overPlain = nullptr;
    // Sharing the form thread's input state, this thread sees the cursor it set.
    auto cursorAt = [](HWND window, POINT point) {
        AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(window, nullptr), TRUE);
        ClientToScreen(window, &point);
        SetCursorPos(point.x, point.y);
        SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    {
        // A window shown on a busy machine may still be moving to the centre,
        // so each reading is taken again, for up to 2 s, until it is the one expected.
        auto settled = [&](HWND window, POINT point, HCURSOR expected) {
            HCURSOR seen = nullptr;
            for (int tries = 0; tries < 20 && seen != expected; ++tries) {
                if (tries) Sleep(100);
                seen = cursorAt(window, point);
            }
            return seen;
        };
        WhenShown shown([&](HWND window) {
            overHand = settled(window, {hand->Left + 5, hand->Top + 5}, LoadCursorA(nullptr, IDC_HAND));
            overPlain = settled(window, {15, 55}, LoadCursorA(nullptr, IDC_ARROW));
        });
        f.form->ShowModal();
    }
    EXPECT_EQ(overHand, LoadCursorA(nullptr, IDC_HAND));
    EXPECT_EQ(overPlain, LoadCursorA(nullptr, IDC_ARROW));
}

TEST(Win32FormWindow, AHandlersExceptionEndsTheRunAndLeavesShowModal) {
    Form f;
    f.form->ClientWidth = 200;
    f.form->ClientHeight = 100;
    auto* label = f.Add<host::TLabel>("lblThrows", 10, 10, 100, 20);
    label->SetCaption("throws");
    static const host::TPublishedMethod throws{
        "Throws", [](host::TObject&, host::TObject*) { throw std::runtime_error("from the click"); }};
    label->OnClick = {f.form.get(), &throws};
    testsupport::Person person;
    person.WillClickThenEnter({"lblThrows"});
    EXPECT_THROW(f.form->ShowModal(), std::runtime_error);
    EXPECT_FALSE(IsWindowVisible(static_cast<HWND>(f.form->Handle())));
}

// The About box over the real shell seam: the owner window, "open", the
// label's text, two empty strings (not null) and SW_SHOWNORMAL, each click.
struct ShellCall {
    HWND owner;
    std::string operation, file;
    const char *parameters, *directory;
    int show;
};
std::vector<ShellCall> shellCalls;

HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                             INT show) {
    shellCalls.push_back({owner, operation, file, parameters, directory, show});
    return reinterpret_cast<HINSTANCE>(42);
}

TEST(Win32AboutForm, TheAddressOpensOnEveryClickAndEnterCloses) {
    shellCalls.clear();
    const auto real = std::exchange(win32ui::ShellOpen, &RecordShell);
    std::unique_ptr<pOlvexAbout::TOlvexAboutForm> owned(&AboutForm());
    auto& form = *owned;
    testsupport::Person person;
    person.WillClickThenEnter({"lblURL", "lblURL"});
    form.ShowModal();
    win32ui::ShellOpen = real;
    ASSERT_EQ(shellCalls.size(), 2u);
    for (const auto& call : shellCalls) {
        EXPECT_EQ(call.owner, static_cast<HWND>(form.Handle()));
        EXPECT_EQ(call.operation, "open");
        EXPECT_EQ(call.file, "https://ombral.example.org/creator");
        ASSERT_TRUE(call.parameters && call.directory);
        EXPECT_STREQ(call.parameters, "");
        EXPECT_STREQ(call.directory, "");
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
    }
    ASSERT_EQ(person.Forms().size(), 1u);
    EXPECT_EQ(person.Forms()[0].Caption, "About TOmbralCreator v1.1.0");
}

TEST(Win32OpenDialog, HandsTheFilterTextAndOptionsToTheSystem) {
    const struct {
        const char* filter;
        std::string expected;
    } filters[] = {{"Paradox Databases (*.db)|*.db|Any File (*.*)|*.*|",
                    std::string("Paradox Databases (*.db)\0*.db\0Any File (*.*)\0*.*\0\0", 50)},
                   {"Text|*.txt", std::string("Text\0*.txt\0\0", 12)},
                   {"", ""}};
    for (const auto& f : filters) {
        host::TOpenDialog dialog(nullptr);
        dialog.Filter = f.filter;
        EXPECT_EQ(win32ui::OpenFileRequestOf(dialog).filter, f.expected) << f.filter;
    }
    for (const std::string& text : {std::string("C:\\Data\\Tables"), std::string(), std::string(40000, 'x')}) {
        host::TOpenDialog dialog(nullptr);
        dialog.FileName = text;
        const auto request = win32ui::OpenFileRequestOf(dialog);
        EXPECT_STREQ(request.file.c_str(), text.c_str());
        EXPECT_GE(request.file.size(), std::max<std::size_t>(text.size() + 1, MAX_PATH));
    }
    host::TOpenDialog dialog(nullptr);
    EXPECT_EQ(win32ui::OpenFileRequestOf(dialog).flags, DWORD{OFN_HIDEREADONLY | OFN_ENABLESIZING});
    dialog.Options.Include(host::ofPathMustExist);
    dialog.Options.Include(host::ofFileMustExist);
    EXPECT_EQ(win32ui::OpenFileRequestOf(dialog).flags,
              DWORD{OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST});
}

// A dialog that refuses the name it is given fails before it shows: it is
// shown again with no name. A cancel, or a refusal of no name, is final.
std::vector<std::string> namesShown;
DWORD dialogError = 0;
BOOL WINAPI RefuseNamedThenPick(LPOPENFILENAMEA parameters) {
    namesShown.push_back(parameters->lpstrFile);
    if (*parameters->lpstrFile) {
        dialogError = FNERR_INVALIDFILENAME;
        return FALSE;
    }
    std::strcpy(parameters->lpstrFile, "C:\\Data\\CUSTOMER.DB");
    return TRUE;
}
BOOL WINAPI Cancel(LPOPENFILENAMEA parameters) {
    namesShown.push_back(parameters->lpstrFile);
    dialogError = 0;
    return FALSE;
}
DWORD WINAPI LastDialogError() { return dialogError; }

TEST(Win32OpenDialog, ANameTheDialogRefusesOpensItEmptyNotCancelled) {
    const auto realOpen = win32ui::OpenFileName;
    const auto realError = std::exchange(win32ui::OpenFileNameError, &LastDialogError);
    const struct {
        win32ui::GetOpenFileNameFunction dialog;
        const char* name;
        bool chosen;
        std::vector<std::string> shown;
    } cases[] = {{&RefuseNamedThenPick, "<no|file>", true, {"<no|file>", ""}},
                 {&RefuseNamedThenPick, "", true, {""}},
                 {&Cancel, "C:\\Data", false, {"C:\\Data"}}};
    for (const auto& c : cases) {
        namesShown.clear();
        win32ui::OpenFileName = c.dialog;
        host::TOpenDialog dialog(nullptr);
        dialog.FileName = c.name;
        EXPECT_EQ(dialog.Execute(), c.chosen) << c.name;
        EXPECT_EQ(dialog.FileName, c.chosen ? "C:\\Data\\CUSTOMER.DB" : c.name);
        EXPECT_EQ(namesShown, c.shown) << c.name;
    }
    win32ui::OpenFileName = realOpen;
    win32ui::OpenFileNameError = realError;
}

TEST(Win32OpenDialog, ThePersonPicksOrCancelsInTheRealDialog) {
    host::TOpenDialog dialog(nullptr);
    dialog.Filter = "Any File (*.*)|*.*|";
    dialog.Options.Include(host::ofFileMustExist);
    testsupport::Person person;
    person.WillOpen("C:\\windows\\win.ini");
    person.WillCancelOpen();
    person.WillOpen("C:\\windows\\no such file.ini");
    dialog.FileName = "C:\\Data\\Tables";
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, "C:\\windows\\win.ini");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, "C:\\windows\\win.ini");
    EXPECT_FALSE(dialog.Execute());  // refused by the dialog, then cancelled
    const auto seen = person.OpenDialogs();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].FileName, "C:\\Data\\Tables");
    EXPECT_EQ(seen[0].Filter, "Any File (*.*)|*.*|");
    EXPECT_EQ(seen[1].FileName, "C:\\windows\\win.ini");
}

// The image data of a PNG of stored deflate blocks, as EncodePng writes it.
std::string StoredPixels(const std::string& png, int& width, int& height) {
    std::string zlib;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const auto length = static_cast<std::size_t>(static_cast<unsigned char>(png[at]) << 24 |
                                                     static_cast<unsigned char>(png[at + 1]) << 16 |
                                                     static_cast<unsigned char>(png[at + 2]) << 8 |
                                                     static_cast<unsigned char>(png[at + 3]));
        const std::string type = png.substr(at + 4, 4);
        const std::string data = png.substr(at + 8, length);
        const auto crc = win32ui::Crc32(reinterpret_cast<const std::uint8_t*>(png.data() + at + 4), length + 4);
        EXPECT_EQ(png.substr(at + 8 + length, 4),
                  std::string({char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)}));
        if (type == "IHDR") {
            width = static_cast<unsigned char>(data[2]) << 8 | static_cast<unsigned char>(data[3]);
            height = static_cast<unsigned char>(data[6]) << 8 | static_cast<unsigned char>(data[7]);
        }
        if (type == "IDAT") zlib += data;
        at += 12 + length;
    }
    std::string raw;
    bool last = false;
    for (std::size_t at = 2; !last && at + 5 <= zlib.size();) {
        last = zlib[at] & 1;
        const std::size_t size = static_cast<unsigned char>(zlib[at + 1]) | static_cast<unsigned char>(zlib[at + 2]) << 8;
        raw += zlib.substr(at + 5, size);
        at += 5 + size;
    }
    EXPECT_TRUE(last);
    const auto adler = win32ui::Adler32(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
    EXPECT_EQ(zlib.substr(zlib.size() - 4),
              std::string({char(adler >> 24), char(adler >> 16), char(adler >> 8), char(adler)}));
    return raw;
}

TEST(Win32Png, ChecksumsAndStoredBlocksReadBack) {
    EXPECT_EQ(win32ui::Crc32(reinterpret_cast<const std::uint8_t*>("123456789"), 9), 0xCBF43926u);
    EXPECT_EQ(win32ui::Adler32(reinterpret_cast<const std::uint8_t*>("Wikipedia"), 9), 0x11E60398u);
    // Large enough for several stored blocks.
    win32ui::RgbImage image{300, 250, {}};
    for (int i = 0; i < 300 * 250 * 3; ++i) image.rgb.push_back(static_cast<std::uint8_t>(i * 7));
    int width = 0, height = 0;
    const std::string raw = StoredPixels(win32ui::EncodePng(image), width, height);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 250);
    ASSERT_EQ(raw.size(), 250u * (1 + 300 * 3));
    EXPECT_EQ(raw.substr(1, 900), std::string(image.rgb.begin(), image.rgb.begin() + 900));
    EXPECT_EQ(raw[901], '\0');
    EXPECT_THROW(win32ui::EncodePng({2, 2, {1, 2, 3}}), std::invalid_argument);
}

TEST(Win32Snapshot, WritesTheFormsClientAreaAsItShows) {
    testsupport::TemporaryFolder folder;
    const std::string path = folder.Path() + "\\about.png";
    std::unique_ptr<pOlvexAbout::TOlvexAboutForm> owned(&AboutForm());
    auto& form = *owned;
    testsupport::Person person;
    person.WillClickThenEnter();
    host::SetModalSnapshot(path);
    form.ShowModal();
    int width = 0, height = 0;
    const std::string raw = StoredPixels(testsupport::ReadFile(path), width, height);
    ASSERT_EQ(width, 332);
    ASSERT_EQ(height, 250);
    auto pixel = [&](int x, int y) {
        const char* p = raw.data() + y * (1 + 332 * 3) + 1 + x * 3;
        return RGB(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1]),
                   static_cast<unsigned char>(p[2]));
    };
    EXPECT_EQ(pixel(2, 2), GetSysColor(COLOR_BTNFACE));
    // The address is drawn in blue and underlined along its width.
    const host::TLabel& url = *form.lblURL;
    int blue = 0;
    for (int x = url.Left; x < url.Left + url.Width; ++x)
        for (int y = url.Top; y < url.Top + url.Height; ++y) blue += pixel(x, y) == RGB(0, 0, 255);
    EXPECT_GT(blue, url.Width);
    // The bevel's top line is the shadow colour, its bottom one the highlight.
    const host::TBevel& bevel = *form.bvlSepBar;
    EXPECT_EQ(pixel(bevel.Left + 10, bevel.Top), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixel(bevel.Left + 10, bevel.Top + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST(Win32Resources, AreTheModulesNeutralRcdata) {
    const auto neutral = host::PlatformResourceData("NEUTRALFORM");
    ASSERT_TRUE(neutral);
    EXPECT_EQ(*neutral, std::string_view("ab\0c", 4));
    EXPECT_FALSE(host::PlatformResourceData("NOSUCHFORM"));
    EXPECT_FALSE(host::PlatformResourceData(std::string_view("NEUTRALFORM\0X", 13)));
}

}  // namespace
