// The headless user interface backend: dialogs and forms on the console,
// measurement with the fonts Wine draws with.

#include <filesystem>
#include <iostream>
#include <sstream>

#include <EmbeddedResources.h>
#include <FontMetrics.h>
#include <HeadlessUi.h>
#include <Snapshot.h>
#include <platform/host/rtl/Resources.h>
#include <platform/host/rtl/SysUtils.h>
#include <platform/host/ui/Dialogs.h>
#include <platform/host/ui/Forms.h>
#include <platform/host/ui/UiBackend.h>

namespace headless {

namespace {

struct Console {
    std::istream* in = &std::cin;
    std::ostream* out = &std::cout;
};

Console& TheConsole() {
    static Console console;
    return console;
}

// What the terminal shows of a text: UTF-8, no control character raw.
std::string Shown(const host::String& text) { return host::EscapeForTerminal(host::AnsiToUtf8(text)); }

// One line of the console, without the carriage return a terminal may send.
bool ReadLine(std::string& line) {
    if (!std::getline(*TheConsole().in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void ListControls(const host::TWinControl& parent, std::ostream& out) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        const host::TControl& control = *parent.Controls(i);
        out << control.Name << '\t' << control.Left << '\t' << control.Top << '\t' << control.Width << '\t'
            << control.Height << '\t' << Shown(control.GetCaption()) << '\n';
        if (const auto* inner = dynamic_cast<const host::TWinControl*>(&control)) ListControls(*inner, out);
    }
}

host::TControl* FindControl(const host::TWinControl& parent, const std::string& name) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        host::TControl* control = parent.Controls(i);
        if (control->Name == name) return control;
        if (const auto* inner = dynamic_cast<const host::TWinControl*>(control))
            if (host::TControl* found = FindControl(*inner, name)) return found;
    }
    return nullptr;
}

// One line at a modal form: its words in turn, each a control's name to
// click, kEnter (pressing the default button) or kEscape; an empty line is
// Enter. What follows the word that ends the run is dropped. The first word
// that names no control stops the run and is given back.
std::string Answer(host::TCustomForm& form, const std::string& line) {
    std::istringstream words(line.empty() ? std::string(kEnter) : line);
    for (std::string word; form.ModalResult == host::mrNone && words >> word;) {
        if (word == kEnter) {
            if (host::TButton* button = form.DefaultButton())
                button->Click();
            else
                form.ModalResult = host::mrOk;
        } else if (word == kEscape) {
            form.ModalResult = host::mrCancel;
        } else if (host::TControl* control = FindControl(form, word)) {
            control->Click();
        } else {
            return word;
        }
    }
    return {};
}

// Why the name cannot be taken, or empty when it can.
std::string Refusal(const host::TOpenDialog& dialog, const std::filesystem::path& file) {
    std::error_code error;
    if (dialog.Options.Contains(host::ofPathMustExist) && !std::filesystem::is_directory(file.parent_path(), error))
        return "The folder does not exist: " + file.parent_path().string();
    if (dialog.Options.Contains(host::ofFileMustExist) && !std::filesystem::is_regular_file(file, error))
        return "The file does not exist: " + file.string();
    return {};
}

class HeadlessBackend final : public host::TUiBackend {
public:
    host::TTextExtent MeasureText(const host::String& text, const host::TFont& font) override {
        return MeasureLine(text, font);
    }

    // The form takes one line: what it leaves open is cancelled, so that
    // the lines after it stay with whoever reads them next.
    void RunModal(host::TCustomForm& form, const host::String& snapshotPath) override {
        std::ostream& out = *TheConsole().out;
        out << Shown(form.GetCaption()) << '\n';
        ListControls(form, out);
        if (!snapshotPath.empty()) DrawSnapshot(form, snapshotPath);
        out << kModalPrompt << std::flush;
        std::string line;
        const std::string unknown = ReadLine(line) ? Answer(form, line) : std::string();
        if (form.ModalResult == host::mrNone) form.ModalResult = host::mrCancel;
        if (!unknown.empty())
            throw host::Exception("the form '" + Shown(form.GetCaption()) + "' has no control named '" +
                                  host::EscapeForTerminal(unknown) + "'");
    }

    host::HWND FormHandle(host::TCustomForm& form) override { return &form; }
    void FormDestroyed(host::TCustomForm&) override {}

    // One line: a name the dialog refuses fails it, as a cancel would not.
    bool ExecuteOpenDialog(host::TOpenDialog& dialog) override {
        std::ostream& out = *TheConsole().out;
        out << kOpenHeading << Shown(dialog.Filter) << '\n';
        const bool folderMustExist = dialog.Options.Contains(host::ofPathMustExist);
        const bool fileMustExist = dialog.Options.Contains(host::ofFileMustExist);
        if (folderMustExist || fileMustExist)
            out << kMustExistHeading << (folderMustExist ? kMustExistFolder : "")
                << (folderMustExist && fileMustExist ? " " : "") << (fileMustExist ? kMustExistFile : "") << '\n';
        out << kFileNamePrompt << host::EscapeForTerminal(dialog.FileName) << "]: " << std::flush;
        std::string line;
        if (!ReadLine(line) || line.empty()) return false;
        std::error_code error;
        const std::filesystem::path file = std::filesystem::absolute(line, error);
        if (error) throw host::Exception("not a file name: " + host::EscapeForTerminal(line));
        if (const std::string refusal = Refusal(dialog, file); !refusal.empty())
            throw host::Exception(host::EscapeForTerminal(refusal));
        dialog.FileName = file.string();
        return true;
    }
};

}  // namespace

void SetConsole(std::istream& in, std::ostream& out) { TheConsole() = {&in, &out}; }
void ResetConsole() { TheConsole() = {}; }

}  // namespace headless

namespace host {

TUiBackend& PlatformUiBackend() {
    static auto* backend = new headless::HeadlessBackend;  // outlives the forms the application frees at exit
    return *backend;
}

std::optional<std::string_view> PlatformResourceData(std::string_view name) {
    return headless::FindEmbeddedResource(name);
}

}  // namespace host
