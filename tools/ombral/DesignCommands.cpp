#include "DesignCommands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <Ombralcompreg/Ombralcompreg.h>
#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/FormStream.h>
#include <platform/host/rtl/SysUtils.h>
#include <PlatformConsole.h>
#include <platform/host/ui/UiBackend.h>

namespace ombraltool {

namespace {

namespace fs = std::filesystem;

constexpr int kOk = 0, kFailed = 1;

constexpr std::string_view kInspectorHelp =
    "list                  the properties shown: name, value, and ... where a dialog edits it\n"
    "set PROP VALUE        sets the property on every selected component (no VALUE: empty)\n"
    "edit PROP             runs the property's editor (the About box, the open-file dialog)\n"
    "select NAME[,NAME...] inspects these components together\n"
    "palette               the component palette: page and class\n"
    "save                  writes the form back to its file, in the encoding it was read in\n"
    "help                  this list\n"
    "quit                  ends the inspector, as the end of input does\n";

// The host calls the Register procedure of each of the package's modules that
// has one, Ombralcompreg's first.
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

host::TComponent* FindComponent(host::TComponent& root, std::string_view name) {
    if (host::SameText(root.Name, name)) return &root;
    for (int i = 0; i < root.ComponentCount(); ++i)
        if (host::TComponent* found = FindComponent(*root.Components(i), name)) return found;
    return nullptr;
}

std::vector<host::TPersistent*> Selected(host::TComponent& root, const std::vector<std::string>& lists) {
    const std::vector<std::string> names = SplitNames(lists);
    if (names.empty()) return {&root};
    std::vector<host::TPersistent*> selection;
    for (const std::string& name : names) {
        host::TComponent* component = name.empty() ? nullptr : FindComponent(root, name);
        if (!component) throw host::Exception("the form has no component named '" + name + "'");
        if (std::find(selection.begin(), selection.end(), component) == selection.end()) selection.push_back(component);
    }
    return selection;
}

// Replaces the file by way of a new one beside it, so that a failed write
// leaves the old form whole. The file keeps its mode; a new one is the owner's
// alone, since a form holds its components' passwords as plain text.
void ReplaceFile(const fs::path& named, const std::string& content) {
    const fs::path path = fs::exists(named) ? fs::canonical(named) : named;  // through a link, to its file
    const auto status = fs::status(path);
    const fs::perms mode = fs::exists(status) ? status.permissions() : fs::perms::owner_read | fs::perms::owner_write;
    std::random_device random;
    fs::path temporary;
    do temporary = path.parent_path() / ("." + path.filename().string() + "." + std::to_string(random()) + ".tmp");
    while (fs::exists(fs::symlink_status(temporary)));
    try {
        std::ofstream file(temporary, std::ios::binary);
        fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write);
        file << content;
        file.close();
        if (!file) throw host::Exception("cannot write " + temporary.string());
        fs::permissions(temporary, mode);
        fs::rename(temporary, path);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
}

class Inspector {
public:
    Inspector(std::string path, std::unique_ptr<host::TComponent> root, bool binary, std::ostream& out)
        : path_(std::move(path)), root_(std::move(root)), binary_(binary), out_(out) {}

    void Select(const std::vector<std::string>& names) {
        grid_ = std::make_unique<host::TPropertyGrid>(Selected(*root_, names));
    }

    // False once the command ends the inspector; what fails raises.
    bool Run(const std::string& line) {
        std::istringstream words(line);
        std::string command, property;
        words >> command;
        if (command.empty()) return true;
        if (command == "quit") return false;
        const auto found = Commands().find(command);
        if (found == Commands().end()) throw host::Exception("unknown command '" + command + "' (help lists them)");
        words >> property;
        std::string value;
        std::getline(words, value);
        if (!value.empty() && value.front() == ' ') value.erase(0, 1);
        (this->*found->second)(property, value);
        return true;
    }

private:
    using Handler = void (Inspector::*)(const std::string& property, const std::string& value);

    static const std::map<std::string, Handler, std::less<>>& Commands() {
        static const std::map<std::string, Handler, std::less<>> commands{
            {"list", &Inspector::List},   {"set", &Inspector::Set},         {"edit", &Inspector::Edit},
            {"select", &Inspector::Pick}, {"palette", &Inspector::Palette}, {"save", &Inspector::Save},
            {"help", &Inspector::Help}};
        return commands;
    }

    static void Require(bool given, const char* what) {
        if (!given) throw host::Exception(std::string("missing ") + what);
    }

    void List(const std::string&, const std::string&) {
        for (const auto& editor : grid_->Properties()) {
            out_ << host::EscapeControls(editor->GetName()) << '\t'
                 << host::EscapeControls(host::TPropertyGrid::ValueText(*editor));
            if (editor->GetAttributes().Contains(host::paDialog)) out_ << "\t...";
            out_ << '\n';
        }
    }
    void Set(const std::string& property, const std::string& value) {
        Require(!property.empty(), "property name: set PROP VALUE");
        grid_->SetValue(property, value);
    }
    void Edit(const std::string& property, const std::string&) {
        Require(!property.empty(), "property name: edit PROP");
        grid_->Edit(property);
    }
    void Pick(const std::string& first, const std::string& rest) {
        Require(!first.empty(), "component names: select NAME[,NAME...]");
        Select({rest.empty() ? first : first + " " + rest});  // blanks may follow the commas
    }
    void Palette(const std::string&, const std::string&) {
        for (const auto& entry : host::Palette()) out_ << entry.Page << '\t' << entry.ComponentClass->Name << '\n';
    }
    void Save(const std::string&, const std::string&) {
        ReplaceFile(path_, binary_ ? host::WriteComponentBinary(*root_) : host::WriteComponentText(*root_));
        out_ << "saved " << host::EscapeControls(path_) << '\n';
    }
    void Help(const std::string&, const std::string&) { out_ << kInspectorHelp; }

    std::string path_;
    std::unique_ptr<host::TComponent> root_;
    bool binary_;
    std::ostream& out_;
    std::unique_ptr<host::TPropertyGrid> grid_;
};

}  // namespace

std::string ReadSavedForm(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error) throw std::runtime_error("cannot read " + path + ": " + error.message());
    if (!fs::is_regular_file(status)) throw std::runtime_error(path + " is not a regular file");
    const auto tooLarge = [&] { return std::runtime_error(path + " is larger than 16 MiB, more than any saved form"); };
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) throw std::runtime_error("cannot read " + path + ": " + error.message());
    if (size > kMaxFormBytes) throw tooLarge();
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::string content(static_cast<std::size_t>(size) + 1, '\0');  // one more tells whether it grew
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) throw std::runtime_error("cannot read " + path);
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > size) throw std::runtime_error(path + " changed while it was read");
    return content;
}

int RunAbout(const std::optional<std::string>& pngPath) {
    try {
        RegisterPackage();
        if (pngPath) host::SetModalSnapshot(*pngPath);
        host::EditNewComponentProperty(host::TypeInfo<OmbralCreateUnit::TOmbralCreator>(), "About");
        return kOk;
    } catch (const std::exception& error) {
        std::cerr << "ombral: " << host::EscapeControls(error.what()) << "\n";
        return kFailed;
    }
}

int RunDesign(const std::string& formPath, const std::vector<std::string>& select, std::istream& in,
              std::ostream& out, std::ostream& err) {
    std::unique_ptr<Inspector> inspector;
    try {
        RegisterPackage();
        const std::string content = ReadSavedForm(formPath);
        std::unique_ptr<host::TComponent> root(host::ReadComponentForm(content, nullptr));
        inspector = std::make_unique<Inspector>(formPath, std::move(root), host::IsBinaryForm(content), out);
        inspector->Select(select);
    } catch (const std::exception& error) {
        err << "ombral: " << host::EscapeControls(formPath + ": " + error.what()) << "\n";
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
            err << "ombral: " << host::EscapeControls(error.what()) << "\n";
            failed = true;
        }
    }
    return failed && !interactive ? kFailed : kOk;
}

}  // namespace ombraltool
