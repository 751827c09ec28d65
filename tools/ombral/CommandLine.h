#pragma once
// The tool's command line: a command and its options, checked against what
// the command accepts.

#include <map>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ombraltool {

// A command line the tool cannot run; exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandSpec {
    std::string name;
    std::string usage;
    // Views of the literals that name them: the table is made at every start.
    std::set<std::string_view> flags;   // options without a value, e.g. "--system"
    std::set<std::string_view> values;  // options taking a value, e.g. "--name"
    std::vector<std::string> positionals = {};  // what the words that are no options stand for, e.g. "FILE"
};

class ParsedCommand {
public:
    const CommandSpec* spec = nullptr;
    std::optional<std::string> configDir;
    bool help = false;
    std::vector<std::string> arguments;  // the positional words, as many as the command names

    bool Has(const std::string& option) const { return flags_.count(option) || values_.count(option); }
    std::optional<std::string> Value(const std::string& option) const;
    std::string Required(const std::string& option) const;  // UsageError when absent
    std::optional<int> Integer(const std::string& option) const;  // UsageError when not a 32-bit integer

    // UsageError for an option given twice: which one was meant is anyone's guess.
    void AddFlag(const std::string& option);
    void AddValue(const std::string& option, const std::string& value);

private:
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
};

// The whole of `text` as a 32-bit integer, or nothing.
std::optional<int> ParseInteger(std::string_view text);

// Parses argv against the commands; UsageError names what is wrong. An empty
// command (plain --help) leaves spec null.
// --config is an option only where `withConfig` is set.
ParsedCommand ParseCommandLine(const std::vector<std::string>& arguments, std::span<const CommandSpec> commands,
                               bool withConfig);

}  // namespace ombraltool
