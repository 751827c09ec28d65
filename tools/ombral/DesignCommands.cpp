#include "DesignCommands.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>

#include <OmbralCreateUnit/Attributes.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <Ombralcompreg/Ombralcompreg.h>
#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/FormStream.h>
#include <platform/host/rtl/SysUtils.h>
#include <PlatformConsole.h>
#include <platform/host/ui/UiBackend.h>

#include "OpenForm.h"
#include "Shown.h"

namespace ombraltool {

namespace {

using host::String;
using OmbralCreateUnit::ListedValue;

constexpr int kOk = 0, kFailed = 1;

constexpr std::string_view kInspectorHelp =
    "list [--show-password] the properties shown: name, value (the password masked unless\n"
    "                      asked for), and ... where a dialog edits it\n"
    "set PROP VALUE        sets the property on every selected component (no VALUE: empty)\n"
    "edit PROP             runs the property's editor (the About box, the open-file dialog)\n"
    "select NAME[,NAME...] inspects these components together\n"
    "components            every component of the form: name, class, and whether it can be edited\n"
    "palette               the component palette: page and class\n"
    "save [FILE]           writes the form back to its file, as it was written (or to a new FILE)\n"
    "help                  this list\n"
    "quit                  ends the inspector, as the end of input does\n";

// The host calls the Register procedure of each of the package's modules that
// has one, Ombralcompreg's first. The tool edits plain components too, the
// root of the forms it saves.
void RegisterPackage() {
    host::RegisterClass(host::TypeInfo<host::TComponent>());
    Ombralcompreg::Register();
    OmbralCreateUnit::Register();
}


std::vector<std::string> SplitNames(const std::vector<std::string>& lists) {
    std::vector<std::string> names;
    for (const std::string& list : lists) {
        std::stringstream parts(list);
        for (std::string name; std::getline(parts, name, ',');) names.push_back(host::Trim(name));
        if (!list.empty() && list.back() == ',') names.emplace_back();
    }
    return names;
}

// A stored value on one line, as a UTF-8 text form writes it.
std::string StoredValue(const host::TFormProperty& property) {
    const std::string text = host::WriteTextProperty(property, 0, host::TTextCharset::Utf8);
    std::string value;
    for (std::size_t i = text.find(" = ") + 3; i < text.size(); ++i) {
        if (text[i] != '\n') {
            value.push_back(text[i]);
            continue;
        }
        if (!value.empty() && value.back() != ' ' && value.back() != '(' && value.back() != '{') value += ' ';
        while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
    }
    return value;
}

String FromTerminal(const std::string& utf8) {
    if (auto ansi = host::ExactUtf8ToAnsi(utf8)) return *ansi;
    throw host::Exception("'" + host::EscapeForTerminal(utf8) +
                          "' holds a character that the system code page (Windows-1252) lacks");
}

class Inspector {
public:
    Inspector(OpenForm& form, std::ostream& out) : form_(form), out_(out) {}

    void Select(const std::vector<std::string>& lists) {
        const std::vector<std::string> names = SplitNames(lists);
        std::vector<OpenForm::Record*> selection;
        for (const std::string& name : names) {
            OpenForm::Record* record = name.empty() ? nullptr : Find(name);
            if (!record) throw host::Exception("the form has no component named '" + ShownFormText(name) + "'");
            if (std::find(selection.begin(), selection.end(), record) == selection.end()) selection.push_back(record);
        }
        if (selection.empty()) selection.push_back(&form_.Records().front());
        const auto unknown = std::find_if(selection.begin(), selection.end(), [](auto* r) { return !r->component; });
        if (unknown != selection.end() && selection.size() > 1)
            throw host::Exception(Describe(**unknown) + ": select it alone to see what the form stores for it");
        std::vector<host::TPersistent*> components;
        for (auto* record : selection) components.push_back(record->component.get());
        grid_ = unknown == selection.end() ? std::make_unique<host::TPropertyGrid>(components) : nullptr;
        selected_ = std::move(selection);
    }

    // False once the command ends the inspector; what fails raises.
    bool Run(std::string line) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos) return true;
        const std::size_t end = line.find(' ', start);
        const std::string command = line.substr(start, end - start);
        std::string rest = end == std::string::npos ? "" : line.substr(end + 1);
        if (command == "quit") return Nothing(command, rest), false;
        const auto found = Commands().find(command);
        if (found == Commands().end())
            throw host::Exception("unknown command '" + ShownFormText(command) + "' (help lists them)");
        (this->*found->second)(rest);
        return true;
    }

private:
    using Handler = void (Inspector::*)(const std::string& rest);

    static const std::map<std::string, Handler, std::less<>>& Commands() {
        static const std::map<std::string, Handler, std::less<>> commands{
            {"list", &Inspector::List},       {"set", &Inspector::Set},         {"edit", &Inspector::Edit},
            {"select", &Inspector::Pick},     {"palette", &Inspector::Palette}, {"save", &Inspector::Save},
            {"components", &Inspector::Components}, {"help", &Inspector::Help}};
        return commands;
    }

    // A command that takes no arguments refuses any, rather than guess what they meant.
    static void Nothing(const std::string& command, const std::string& rest) {
        if (rest.find_first_not_of(' ') != std::string::npos)
            throw host::Exception(command + " takes no arguments, not '" + ShownFormText(rest) + "'");
    }
    // The first word, and what follows it after one blank.
    static std::pair<std::string, std::string> Word(const std::string& rest, const char* usage) {
        const std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string::npos) throw host::Exception(std::string("missing ") + usage);
        const std::size_t end = rest.find(' ', start);
        return {rest.substr(start, end - start), end == std::string::npos ? "" : rest.substr(end + 1)};
    }

    OpenForm::Record* Find(std::string_view name) {
        for (auto& record : form_.Records())
            if (host::SameText(record.stored->Name, name)) return &record;
        return nullptr;
    }
    static std::string Describe(const OpenForm::Record& record) {
        return "'" + ShownFormText(record.stored->Name) + "' is a " + ShownFormText(record.stored->ClassName) +
               ", a class the inspector does not know";
    }
    // The selection's property grid; a component of an unknown class is shown as stored alone.
    host::TPropertyGrid& Grid() {
        if (!grid_) throw host::Exception(Describe(*selected_.front()) + ": its properties are read-only here");
        return *grid_;
    }

    // As show and a dry run do, the password is masked unless asked for.
    void List(const std::string& rest) {
        const std::string option = host::Trim(rest);
        if (!option.empty() && option != "--show-password")
            throw host::Exception("list takes --show-password or nothing, not '" + ShownFormText(option) + "'");
        const bool reveal = !option.empty();
        if (!grid_) {
            for (const auto& property : selected_.front()->stored->Properties)
                out_ << ShownFormText(property.Name) << '\t'
                     << host::EscapeForTerminal(ListedValue(property.Name, StoredValue(property), reveal))
                     << "\tread-only\n";
            return;
        }
        for (const auto& editor : grid_->Properties()) {
            const String value = host::TPropertyGrid::ValueText(*editor);
            out_ << ShownFormText(editor->GetName()) << '\t'
                 << ShownFormText(ListedValue(editor->GetName(), value, reveal));
            if (editor->GetAttributes().Contains(host::paDialog)) out_ << "\t...";
            out_ << '\n';
        }
    }
    void Set(const std::string& rest) {
        const auto [property, value] = Word(rest, "property name: set PROP VALUE");
        host::TPropertyGrid& grid = Grid();
        const String text = FromTerminal(value);
        // The form's records are named apart, whatever class they are of.
        if (host::SameText(property, "Name"))
            if (const OpenForm::Record* other = Find(text); other && other != selected_.front())
                throw host::Exception("a component named '" + ShownFormText(text) + "' already exists");
        grid.SetValue(FromTerminal(property), text);
    }
    void Edit(const std::string& rest) {
        const auto [property, more] = Word(rest, "property name: edit PROP");
        Nothing("edit " + property, more);
        Grid().Edit(FromTerminal(property));
    }
    void Pick(const std::string& rest) {
        if (rest.find_first_not_of(' ') == std::string::npos)
            throw host::Exception("missing component names: select NAME[,NAME...]");
        Select({FromTerminal(rest)});  // blanks may follow the commas
    }
    void Components(const std::string& rest) {
        Nothing("components", rest);
        for (const auto& record : form_.Records())
            out_ << ShownFormText(record.stored->Name) << '\t' << ShownFormText(record.stored->ClassName) << '\t'
                 << (record.component ? "editable" : "read-only") << '\n';
    }
    void Palette(const std::string& rest) {
        Nothing("palette", rest);
        for (const auto& entry : host::Palette()) out_ << entry.Page << '\t' << entry.ComponentClass->Name << '\n';
    }
    // Another file than the form's own is made new, never written over. Its
    // name is typed in UTF-8, and goes to the system as its file functions
    // take it.
    void Save(const std::string& rest) {
        const std::size_t start = rest.find_first_not_of(' ');
        const std::string typed = start == std::string::npos ? "" : rest.substr(start);
        const auto file = platform::TextFromTerminal(typed);
        if (!file)
            throw host::Exception("the file name '" + host::EscapeForTerminal(typed) +
                                  "' is no UTF-8 or holds a character that the code page lacks");
        std::error_code error;
        if (file->empty() || std::filesystem::equivalent(*file, form_.Path(), error)) {
            form_.Save();
            out_ << "saved " << Shown(form_.Path()) << '\n';
        } else {
            form_.SaveAs(*file);
            out_ << "saved " << Shown(*file) << '\n';
        }
    }
    void Help(const std::string& rest) {
        Nothing("help", rest);
        out_ << kInspectorHelp;
    }

    OpenForm& form_;
    std::ostream& out_;
    std::vector<OpenForm::Record*> selected_;
    std::unique_ptr<host::TPropertyGrid> grid_;
};

}  // namespace

int RunAbout(const std::optional<std::string>& pngPath) {
    try {
        RegisterPackage();
        if (pngPath) host::SetModalSnapshot(*pngPath);
        host::EditNewComponentProperty(host::TypeInfo<OmbralCreateUnit::TOmbralCreator>(), "About");
        return kOk;
    } catch (const std::exception& error) {
        std::cerr << "ombral: " << host::EscapeForTerminal(error.what()) << "\n";
        return kFailed;
    }
}

int RunDesign(const std::string& formPath, const std::vector<std::string>& select, std::istream& in,
              std::ostream& out, std::ostream& err) {
    std::unique_ptr<OpenForm> form;
    std::unique_ptr<Inspector> inspector;
    try {
        RegisterPackage();
        form = std::make_unique<OpenForm>(formPath);
        inspector = std::make_unique<Inspector>(*form, out);
        inspector->Select(select);
    } catch (const std::exception& error) {
        err << "ombral: " << Shown(formPath) << ": " << host::EscapeForTerminal(error.what()) << "\n";
        return kFailed;
    }
    const bool interactive = &in == &std::cin && platform::StandardInputIsTerminal();
    bool failed = false;
    for (std::string line;;) {
        if (interactive) out << "> " << std::flush;
        if (!std::getline(in, line)) break;
        try {
            if (!inspector->Run(line)) break;
        } catch (const std::exception& error) {
            err << "ombral: " << host::EscapeForTerminal(error.what()) << "\n";
            failed = true;
        }
    }
    return failed && !interactive ? kFailed : kOk;
}

}  // namespace ombraltool
