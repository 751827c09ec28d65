// The person at the console: the script is the console's input, and what the
// dialogs and forms showed is read back from its output.

#include <algorithm>
#include <sstream>

#include <HeadlessUi.h>

#include "../Person.h"

namespace testsupport {

namespace {

// Takes a prompt off the front of the line; with the file-name prompt, the
// name it showed goes to shown.
bool TakePrompt(std::string& line, std::string* shown) {
    if (line.starts_with(headless::kModalPrompt)) {
        line.erase(0, std::string_view(headless::kModalPrompt).size());
        return true;
    }
    if (!line.starts_with(headless::kFileNamePrompt)) return false;
    const auto end = line.find("]: ");
    if (end == std::string::npos) return false;
    if (shown) *shown = line.substr(std::string_view(headless::kFileNamePrompt).size(),
                                    end - std::string_view(headless::kFileNamePrompt).size());
    line.erase(0, end + 3);
    return true;
}

ControlSeen ParseControl(const std::string& line) {
    std::istringstream fields(line);
    ControlSeen control;
    std::string field;
    std::getline(fields, control.Name, '\t');
    int* numbers[] = {&control.Left, &control.Top, &control.Width, &control.Height};
    for (int* number : numbers) {
        std::getline(fields, field, '\t');
        *number = std::stoi(field);
    }
    std::getline(fields, control.Caption);
    return control;
}

}  // namespace

struct Person::Script {
    std::stringstream in, out;
    bool watching = true;
    std::vector<OpenDialogSeen> dialogs;
    std::vector<FormSeen> forms;

    void Parse() {
        if (!watching) return;
        watching = false;
        headless::ResetConsole();
        std::string line;
        bool inDialog = false;
        while (std::getline(out, line)) {
            while (TakePrompt(line, inDialog && dialogs.back().FileName.empty() ? &dialogs.back().FileName : nullptr)) {
            }
            if (line.empty()) continue;
            if (line.starts_with(headless::kOpenHeading)) {
                dialogs.push_back({"", line.substr(std::string_view(headless::kOpenHeading).size())});
                inDialog = true;
            } else if (inDialog && line.starts_with(headless::kMustExistHeading)) {
                dialogs.back().PathMustExist = line.find(headless::kMustExistFolder) != std::string::npos;
                dialogs.back().FileMustExist = line.find(headless::kMustExistFile) != std::string::npos;
            } else if (std::count(line.begin(), line.end(), '\t') == 5 && !forms.empty()) {
                forms.back().Controls.push_back(ParseControl(line));
            } else if (!inDialog || line.find('\t') == std::string::npos) {
                forms.push_back({line, {}});
                inDialog = false;
            }
        }
    }
};

Person::Person() : script_(std::make_unique<Script>()) { headless::SetConsole(script_->in, script_->out); }

Person::~Person() {
    if (script_->watching) headless::ResetConsole();
}

void Person::WillOpen(const std::string& fileName) { script_->in << fileName << '\n'; }
void Person::WillCancelOpen() { script_->in << '\n'; }

void Person::WillClickThenEnter(const std::vector<std::string>& controlNames) {
    for (const auto& name : controlNames) script_->in << name << ' ';
    script_->in << headless::kEnter << '\n';
}

void Person::WillCancelForm() { script_->in << headless::kEscape << '\n'; }

std::vector<OpenDialogSeen> Person::OpenDialogs() {
    script_->Parse();
    return script_->dialogs;
}

std::vector<FormSeen> Person::Forms() {
    script_->Parse();
    return script_->forms;
}

}  // namespace testsupport
