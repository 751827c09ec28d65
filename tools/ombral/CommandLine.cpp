#include "CommandLine.h"

#include <charconv>

namespace ombraltool {

std::optional<std::string> ParsedCommand::Value(const std::string& option) const {
    auto found = values_.find(option);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::string ParsedCommand::Required(const std::string& option) const {
    auto value = Value(option);
    if (!value) throw UsageError(spec->name + " needs " + option);
    return *value;
}

std::optional<int> ParseInteger(std::string_view text) {
    int number = 0;
    auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || stop != text.data() + text.size() || text.empty()) return std::nullopt;
    return number;
}

std::optional<int> ParsedCommand::Integer(const std::string& option) const {
    auto text = Value(option);
    if (!text) return std::nullopt;
    auto number = ParseInteger(*text);
    if (!number)
        throw UsageError(option + " takes a whole number from -2147483648 to 2147483647, not '" + *text + "'");
    return number;
}

void ParsedCommand::AddFlag(const std::string& option) {
    if (!flags_.insert(option).second) throw UsageError(option + " is given twice");
}

void ParsedCommand::AddValue(const std::string& option, const std::string& value) {
    if (!values_.emplace(option, value).second) throw UsageError(option + " is given twice");
}

namespace {

const CommandSpec* FindCommand(const std::string& name, std::span<const CommandSpec> commands) {
    for (const auto& command : commands)
        if (command.name == name) return &command;
    return nullptr;
}

}  // namespace

ParsedCommand ParseCommandLine(const std::vector<std::string>& arguments, std::span<const CommandSpec> commands,
                               bool withConfig) {
    ParsedCommand parsed;
    std::size_t i = 0;
    for (; i < arguments.size() && !parsed.spec; ++i) {
        const std::string& word = arguments[i];
        if (word == "--help" || word == "-h") {
            parsed.help = true;
        } else if (withConfig && (word == "--config" || word.rfind("--config=", 0) == 0)) {
            if (word == "--config" && i + 1 >= arguments.size()) throw UsageError("--config needs a folder");
            if (parsed.configDir) throw UsageError("--config is given twice");
            parsed.configDir = word == "--config" ? arguments[++i] : word.substr(9);
            if (parsed.configDir->empty()) throw UsageError("--config needs a folder, not an empty name");
        } else if (!(parsed.spec = FindCommand(word, commands))) {
            throw UsageError(word.rfind("--", 0) == 0 ? "unknown option '" + word + "'"
                                                      : "unknown command '" + word + "'");
        }
    }
    for (; i < arguments.size(); ++i) {
        std::string word = arguments[i];
        std::optional<std::string> inlineValue;
        if (auto equals = word.find('='); word.rfind("--", 0) == 0 && equals != std::string::npos) {
            inlineValue = word.substr(equals + 1);
            word.resize(equals);
        }
        if (word == "--help" || word == "-h") {
            parsed.help = true;
        } else if (parsed.spec->flags.count(word) && !inlineValue) {
            parsed.AddFlag(word);
        } else if (parsed.spec->values.count(word)) {
            if (!inlineValue && i + 1 >= arguments.size()) throw UsageError(word + " needs a value");
            parsed.AddValue(word, inlineValue ? *inlineValue : arguments[++i]);
        } else if (word.rfind("--", 0) != 0 && parsed.arguments.size() < parsed.spec->positionals.size()) {
            parsed.arguments.push_back(word);
        } else {
            throw UsageError(parsed.spec->name + " does not take '" + arguments[i] + "'");
        }
    }
    if (parsed.spec && !parsed.help && parsed.arguments.size() < parsed.spec->positionals.size())
        throw UsageError(parsed.spec->name + " needs " + parsed.spec->positionals[parsed.arguments.size()]);
    return parsed;
}

}  // namespace ombraltool
