// ombral: adds, reconfigures and removes Paradox data sources through
// TOmbralCreator, and looks drivers and data sources up through the package's
// routines.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <OmbralCreateUnit/Attributes.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <PlatformConsole.h>

#include <platform/host/rtl/FormStream.h>
#include <platform/host/rtl/InstallerStandIn.h>
#include <platform/host/rtl/Registry.h>
#include <platform/odbc/DataSourceNames.h>
#include <platform/odbc/DriverRegistration.h>
#include <platform/odbc/InstallerMessages.h>
#include <platform/odbc/ToolAccess.h>

#include <tools/common/ToolFiles.h>

#include "CommandLine.h"
#include "DesignCommands.h"
#include "OpenForm.h"
#include "Shown.h"

namespace {

using namespace OmbralCreateUnit;
using ombraltool::CommandSpec;
using ombraltool::ParsedCommand;
using ombraltool::Shown;
using odbcpaths::DataSourceKey;
using ombraltool::UsageError;

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

const std::set<std::string_view> kPropertyOptions{
    "--name",      "--description",  "--dir",     "--user",             "--password",
    "--net-dir",   "--collate",      "--net-style", "--page-timeout",   "--safe-transactions",
    "--threads",   "--implicit-commit-sync"};
const std::set<std::string_view> kPropertyFlags{"--system", "--read-only", "--exclusive", "--user-commit-sync",
                                           "--password-stdin"};
// configure keeps what it is not given, so a stored option needs a way back off.
const std::set<std::string_view> kNegatedFlags{"--no-read-only", "--no-exclusive", "--no-user-commit-sync"};

const char* const kDryRunUsage =
    "\nWith --dry-run nothing is changed: it fails where the change would, else shows the\n"
    "request, the driver and the attribute list that would reach SQLConfigDataSource, one\n"
    "pair a line, the password masked.";

const char* const kPropertyUsage =
    " [--system] --name NAME [--description TEXT] [--dir DIR]\n"
    "       [--user NAME] [--password-stdin | --password TEXT] [--net-dir DIR]\n"
    "       [--collate ASCII|International|NorwegianDanish|SwedishFinnish]\n"
    "       [--net-style 3.x|4.x|5.x] [--page-timeout N] [--read-only] [--exclusive]\n"
    "       [--safe-transactions N] [--threads N] [--user-commit-sync] [--implicit-commit-sync TEXT]\n";

// Where the platform has private configurations, every command can run in one.
std::string Prefix() { return odbcsetup::HasPrivateConfigurations() ? "ombral [--config DIR] " : "ombral "; }

std::string ActionChoices() {
    std::string choices;
    for (auto name : host::TypeInfo<TDSNExecuteAction>()->Members) (choices += choices.empty() ? "" : "|") += name;
    return choices;
}

std::set<std::string_view> With(std::set<std::string_view> options, const std::set<std::string_view>& more) {
    options.insert(more.begin(), more.end());
    return options;
}

// An array, made in place: a vector would copy each command from its initialiser.
std::span<const CommandSpec> Commands() {
    static const CommandSpec commands[]{
        {"add", Prefix() + "add [--dry-run]" + kPropertyUsage +
                    "Adds a user (or with --system a system) Paradox data source; options not given keep\n"
                    "the component's initial values. --password-stdin reads the password from the first\n"
                    "line of standard input, out of sight of other users' process lists." + kDryRunUsage,
         With(kPropertyFlags, {"--dry-run"}), kPropertyOptions},
        {"configure", Prefix() + "configure [--dry-run]" + kPropertyUsage +
                          "       [--no-read-only] [--no-exclusive] [--no-user-commit-sync]\n"
                          "Reconfigures a data source: options not given keep the data source's stored\n"
                          "values; --no-... turns a stored option off." + kDryRunUsage,
         With(With(kPropertyFlags, kNegatedFlags), {"--dry-run"}), kPropertyOptions},
        {"remove", Prefix() + "remove [--dry-run] [--system] --name NAME | remove [--dry-run] --default\n"
                   "Removes a user, system (--system) or the default (--default, no --name) data source." +
                       kDryRunUsage,
         {"--system", "--default", "--dry-run"}, {"--name"}},
        {"exists", Prefix() + "exists [--system] --name NAME\n"
                   "Exits 0 when the data source exists (saying so when this user cannot change it),\n"
                   "1 when not or when its file cannot be read.",
         {"--system"}, {"--name"}},
        {"register-mdw", Prefix() + "register-mdw [--system] --name NAME --file PATH\n"
                         "Records the workgroup database file of an existing data source.",
         {"--system"}, {"--name", "--file"}},
        {"drivers", Prefix() + "drivers\n"
                    "Lists the driver catalogue, each row with what the installer records of it.",
         {}, {}},
        {"list", Prefix() + "list [--system]\n"
                 "Lists the user (or system) data sources.",
         {"--system"}, {}},
        {"show", Prefix() + "show [--system] --name NAME [--show-password]\n"
                 "Shows every attribute the data source stores, key=value a line in the order stored;\n"
                 "the password (PWD, Password) masked unless --show-password. Lines of the file that\n"
                 "it cannot read are named on standard error, as list names them.",
         {"--system", "--show-password"}, {"--name"}},
        {"register-drivers", Prefix() + "register-drivers [--setup PATH] [--force]\n"
                             "Registers the six catalogue drivers against the stand-in setup library (by\n"
                             "default the one beside this program), for a system that lacks them. The library\n"
                             "must load and export ConfigDSN. A driver registered already to another library\n"
                             "is refused unless --force is given.",
         {"--force"}, {"--setup"}},
        {"save", Prefix() + "save FILE [--action " + ActionChoices() + "]" + kPropertyUsage +
                     "Writes a text saved form holding one TOmbralCreator set from the options; its\n"
                     "action is --action, else adding a user (--system: system) data source. A new\n"
                     "file is readable by its owner alone: it holds the password.",
         kPropertyFlags, With(kPropertyOptions, {"--action"}), {"FILE"}},
        {"run", Prefix() + "run FILE [--component NAME] [--dry-run]\n"
                "Reads a form or data module file as the host writes it (text or binary, at most\n"
                "16 MiB) and runs Execute on each TOmbralCreator it holds, in the order the file\n"
                "holds them, with a line each saying what it did; one failing does not stop the\n"
                "others, and the exit status is 1 when any failed. --component runs the one named." +
                    kDryRunUsage,
         {"--dry-run"}, {"--component"}, {"FILE"}},
        {"about", std::string(ombraltool::kAboutUsage), {}, {"--png"}},
        {"design", std::string(ombraltool::kDesignUsage), {}, {"--select"}, {"FORM"}},
    };
    return commands;
}

void PrintOverview(std::ostream& out) {
    out << "Usage:\n";
    for (const auto& command : Commands()) out << "  " << command.usage.substr(0, command.usage.find('\n')) << "\n";
    if (odbcsetup::HasPrivateConfigurations())
        out << "--config DIR uses a private ODBC configuration in DIR, which must belong to you and\n"
               "be writable by no one else; a command that changes it first makes what is missing\n"
               "of it, though never DIR's parent folder.\n";
    out << "'ombral COMMAND --help' tells more. Exit 0 on success, 1 on failure, 2 on a usage error.\n";
}

// What the installer said about its last refusal.
std::string InstallerReason() {
    std::string reason;
    for (const auto& message : odbcsetup::InstallerMessages()) reason += (reason.empty() ? "" : "; ") + message;
    return reason.empty() ? "the ODBC installer refused the request" : reason;
}


int Fail(const std::string& why) {
    std::cerr << "ombral: " << Shown(why) << "\n";
    return kFailed;
}

// A request the tool refuses before it reaches the installer; exit code 1.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

const char* Scope(bool system) { return system ? "system" : "user"; }

void CheckName(const std::string& name) {
    if (auto problem = odbcsetup::NameProblem(name)) throw Refusal(*problem);
}

// A file that cannot be read must not pass for one without data sources.
void CheckReadable(bool system) {
    if (auto problem = odbcsetup::ReadProblem(system)) throw Refusal(*problem);
}

// The first line of standard input, without its line break (LF or CRLF);
// typed at a terminal, it is not shown.
std::string PasswordFromInput() {
    const odbcsetup::HiddenTyping hidden;
    std::string line;
    if (!std::getline(std::cin, line) && line.empty())
        throw Refusal("--password-stdin found no line on standard input");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (auto text = platform::TextFromTerminal(line)) return *text;
    throw Refusal("the password on standard input is no UTF-8 or holds a character that the code page lacks");
}

std::optional<std::string> Password(const ParsedCommand& command) {
    if (command.Has("--password-stdin") && command.Has("--password"))
        throw UsageError("--password-stdin and --password exclude each other");
    if (command.Has("--password-stdin")) return PasswordFromInput();
    return command.Value("--password");
}

template <typename Enum>
void SetChoice(const ParsedCommand& command, const std::string& option, std::span<const std::string_view> names,
               void (*apply)(TOmbralCreator&, Enum), TOmbralCreator& creator) {
    auto value = command.Value(option);
    if (!value) return;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (*value == names[i]) return apply(creator, static_cast<Enum>(i));
    std::string choices;
    for (auto name : names) (choices += choices.empty() ? "" : "|") += name;
    throw UsageError(option + " takes " + choices + ", not '" + *value + "'");
}

// A flag sets its option, its --no- form clears it, neither leaves it alone.
void SetSwitch(const ParsedCommand& command, const std::string& flag, Boolean& option) {
    const bool on = command.Has(flag), off = command.Has("--no-" + flag.substr(2));
    if (on && off) throw UsageError(flag + " and --no-" + flag.substr(2) + " exclude each other");
    if (on || off) option = on;
}

void ApplyProperties(const ParsedCommand& command, TOmbralCreator& creator) {
    creator.SetDSNNameOrAlias(command.Required("--name"));
    if (auto v = command.Value("--description")) creator.SetDSNUserDescription(*v);
    if (auto v = command.Value("--dir")) creator.SetDatabaseDir(*v);
    if (auto v = command.Value("--user")) creator.SetUserID(*v);
    if (auto v = Password(command)) creator.Password = *v;
    if (auto v = command.Value("--net-dir")) creator.SetNetFilePath(*v);
    if (auto v = command.Value("--implicit-commit-sync")) creator.optImplitCommitSync = *v;
    SetChoice<TCollatingSequence>(command, "--collate", host::TypeInfo<TCollatingSequence>()->Members,
                                  [](TOmbralCreator& c, TCollatingSequence v) { c.SetCollateSequence(v); }, creator);
    static const String netStyleTexts[] = {GetNetVersion(NetVersion3x), GetNetVersion(NetVersion4x),
                                           GetNetVersion(NetVersion5x)};
    static const std::string_view netStyles[] = {netStyleTexts[0], netStyleTexts[1], netStyleTexts[2]};
    SetChoice<TNetVersion>(command, "--net-style", netStyles,
                           [](TOmbralCreator& c, TNetVersion v) { c.optNetVersion = v; }, creator);
    if (auto v = command.Integer("--page-timeout")) creator.optPageTimeout = *v;
    if (auto v = command.Integer("--safe-transactions")) creator.optSafeTransactions = *v;
    if (auto v = command.Integer("--threads")) creator.optThreads = *v;
    SetSwitch(command, "--read-only", creator.optDSNReadOnly);
    SetSwitch(command, "--exclusive", creator.optExclusive);
    SetSwitch(command, "--user-commit-sync", creator.optUserCommitSync);
}

// The option that sets each stored attribute, for the messages that point to it.
constexpr std::pair<std::string_view, std::string_view> kAttributeOptions[] = {
    {"Description", "--description"},
    {"DefaultDir", "--dir"},
    {"ParadoxUserName", "--user"},
    {"PWD", "--password"},
    {"ParadoxNetPath", "--net-dir"},
    {"ImplicitCommitSync", "--implicit-commit-sync"},
    {"CollatingSequence", "--collate"},
    {"ParadoxNetStyle", "--net-style"},
    {"PageTimeout", "--page-timeout"},
    {"ReadOnly", "--read-only"},
    {"Exclusive", "--exclusive"},
    {"SafeTransactions", "--safe-transactions"},
    {"Threads", "--threads"},
    {"UserCommitSync", "--user-commit-sync"},
};

std::string OptionFor(std::string_view key) {
    for (const auto& [attribute, option] : kAttributeOptions)
        if (attribute == key) return std::string(option);
    return {};
}


host::TRegistry& DataSources(host::TRegistry& registry, bool system) {
    registry.SetRootKey(system ? host::HKEY_LOCAL_MACHINE : host::HKEY_CURRENT_USER);
    return registry;
}

bool Gives(const ParsedCommand& command, const std::string& option) {
    return command.Has(option) || command.Has("--no-" + option.substr(2)) ||
           (option == "--password" && command.Has("--password-stdin"));
}

// The data source's key, open to read; a Refusal when it does not exist.
void OpenDataSource(host::TRegistry& registry, const std::string& name, bool system) {
    CheckReadable(system);
    if (!DataSources(registry, system).OpenKeyReadOnly(DataSourceKey(name)))
        throw Refusal(std::string("the ") + Scope(system) + " data source '" + name + "' does not exist");
}

// No driver manager opens a data source that names no driver: it is what an
// add stopped halfway leaves, or a hand edit. Configure refuses it, add
// replaces it.
bool NamesNoDriver(host::TRegistry& registry) { return registry.ReadString("Driver").empty(); }

std::string IncompleteText(const std::string& name, bool system) {
    return std::string("the ") + Scope(system) + " data source '" + name +
           "' is incomplete: it names no Driver; 'ombral add' replaces it";
}

// A blank name would open the key of all the scope's data sources.
bool IsIncomplete(const std::string& name, bool system) {
    host::TRegistry registry;
    return !name.empty() && DataSources(registry, system).OpenKeyReadOnly(DataSourceKey(name)) &&
           NamesNoDriver(registry);
}

void OpenCompleteDataSource(host::TRegistry& registry, const std::string& name, bool system) {
    OpenDataSource(registry, name, system);
    if (NamesNoDriver(registry)) throw Refusal(IncompleteText(name, system));
}

// The component set from what the data source holds now for each attribute
// the command does not give, since the component sends every attribute and
// configure must keep the others. An empty number or option keeps the initial
// value; text is taken as it is. A value that maps to no property is refused.
void LoadStoredValues(TOmbralCreator& creator, const ParsedCommand& command, bool system) {
    const std::string name = command.Required("--name");
    host::TRegistry registry;
    OpenCompleteDataSource(registry, name, system);
    for (const auto& attribute : DataSourceAttributes()) {
        const std::string key(attribute.Key), option = OptionFor(attribute.Key);
        if (Gives(command, option)) continue;
        const std::string value = registry.ReadString(key);
        if (attribute.Restore(creator, value) || value.empty()) continue;
        throw Refusal("the data source '" + name + "' holds " + key + " = '" + value + "', which is no value of " +
                      option + "; give " + option + " to replace it");
    }
}

std::string DoneText(TDSNExecuteAction action, const std::string& name) {
    static const char* const texts[] = {
        "added user data source",   "reconfigured user data source",   "removed user data source",
        "added system data source", "reconfigured system data source", "removed system data source"};
    if (action == REMOVE_DEFAULT_DSN) return "removed the default data source";
    return texts[action] + (" '" + Shown(name) + "'");
}

std::string ParadoxDriver() {
    String fileType;
    return OmbralCodeUnit::GetDSNTypeString(GetDSNDatabaseFromEnumType(DB_PARADOX), fileType);
}

// The drivers' file that cannot be read must not pass for one without drivers.
void CheckDriversReadable() {
    if (auto problem = odbcsetup::DriversReadProblem()) throw Refusal(*problem);
}

// A dry run in a private configuration not made yet stands for a change that
// would first make it and register the catalogue drivers.
bool configurationPending = false;

// An add or a change needs the driver that the installer hands the request to.
void CheckDriverInstalled() {
    if (configurationPending) return;
    CheckDriversReadable();
    const std::string driver = ParadoxDriver();
    if (OmbralCodeUnit::GetODBCInfo(driver).Driver.Length() > 0) return;
    throw Refusal("the driver '" + driver + "' is not installed; register the stand-in one with 'ombral " +
                  (odbcsetup::HasPrivateConfigurations() ? "register-drivers', or work in a private configuration "
                                                           "with 'ombral --config DIR ...'"
                                                         : "register-drivers'"));
}

bool IsSystem(TDSNExecuteAction action) {
    return action == ADD_SYS_DSN || action == CONFIG_SYS_DSN || action == REMOVE_SYS_DSN;
}

const char* RequestName(int request) {
    static const char* const names[] = {"ODBC_ADD_DSN",        "ODBC_CONFIG_DSN",     "ODBC_REMOVE_DSN",
                                        "ODBC_ADD_SYS_DSN",    "ODBC_CONFIG_SYS_DSN", "ODBC_REMOVE_SYS_DSN",
                                        "ODBC_REMOVE_DEFAULT_DSN"};
    return request >= 1 && request <= 7 ? names[request - 1] : "an unknown request";
}

// What a dry run would have sent: the request, the driver and each pair of
// the attribute list on a line of its own, the password masked.
std::string DescribeRequest(int request, const String& driver, std::string_view attributes) {
    std::string text = "  request " + std::to_string(request) + " (" + RequestName(request) + ")\n  driver " +
                       Shown(driver) + "\n";
    for (std::size_t at = 0; at < attributes.size() && attributes[at] != '\0';) {
        const std::size_t end = attributes.find('\0', at);
        const std::string_view pair = attributes.substr(at, end - at);
        const std::size_t equals = pair.find('=');  // every pair the creator sends has one
        const String key(pair.substr(0, equals));
        text += "  " + Shown(key + "=" + ListedValue(key, String(pair.substr(equals + 1)), false)) + "\n";
        at = end + 1;
    }
    return text;
}

// What came of running a creator: whether it did what it was set to, and a
// line saying what, or why not; for a dry run what would have been sent.
struct Outcome {
    bool done;
    std::string text;
    std::string request = {};
};

// What the installer would refuse, or the creator refuse without a word of
// why, is said before either is asked, and so a dry run fails as the request
// itself would: a change or removal of a data source that does not exist, a
// value that the attribute list cannot carry.
void CheckRequest(const TOmbralCreator& creator, TDSNExecuteAction action, bool adding) {
    const bool system = IsSystem(action);
    const bool removing = action == REMOVE_DSN || action == REMOVE_SYS_DSN || action == REMOVE_DEFAULT_DSN;
    if (!adding) {
        const bool byDefault = action == REMOVE_DEFAULT_DSN;
        const std::string name = byDefault ? odbcsetup::kDefaultDataSource : creator.GetDSNNameOrAlias();
        host::TRegistry registry;
        if (removing) OpenDataSource(registry, name, system);
        else OpenCompleteDataSource(registry, name, system);
    }
    if (removing) return;
    CheckDriverInstalled();
    for (const auto& attribute : DataSourceAttributes())
        if (attribute.Text(creator).find('\0') != String::npos)
            throw Refusal(std::string(attribute.Property) +
                          " holds a NUL character, which would end it early in the attribute list");
}

// An incomplete data source makes way for an add, which the component would
// otherwise refuse as one that exists.
void RemoveIncomplete(const std::string& name, bool system) {
    if (!IsIncomplete(name, system)) return;
    using namespace OmbralCodeUnit;
    if (!RemoveDSN(system ? kRemoveSysDSN : kRemoveDSN, GetDSNDatabaseFromEnumType(DB_PARADOX), name))
        throw Refusal(InstallerReason());
}

// Runs Execute as the creator's properties say; `load` first sets it from
// what is stored. A dry run hands the installer's call to a stand-in that
// shows it and takes no lock.
Outcome ExecuteCreator(TOmbralCreator& creator, bool dryRun, const std::function<void(TOmbralCreator&)>& load = {}) {
    const TDSNExecuteAction action = creator.GetAction();
    const std::string name = creator.GetDSNNameOrAlias();
    const bool adding = action == ADD_DSN || action == ADD_SYS_DSN, system = IsSystem(action);
    if (action != REMOVE_DEFAULT_DSN) CheckName(name);
    CheckReadable(system);
    // Said before the lock, whose file this user may not be able to make.
    if (!configurationPending)
        if (auto problem = odbcsetup::ChangeProblem(system)) throw Refusal(*problem);
    // Each tool finds the data source as the one before it left it: of
    // several adding one name only one finds it absent, and a configure
    // keeps what the last change stored.
    std::optional<odbcsetup::ScopeLock> lock;
    if (!dryRun) lock.emplace(system);
    if (load) load(creator);
    CheckRequest(creator, action, adding);
    if (adding && !dryRun) RemoveIncomplete(name, system);
    const bool existed = OmbralCodeUnit::FindDSN(name, GetDSNActionFromEnumType(action));
    std::string request;
    if (dryRun)
        host::SetInstallerStandIn([&](int code, const String& driver, std::string_view attributes) {
            request = DescribeRequest(code, driver, attributes);
            return true;
        });
    bool done = false;
    try {
        done = creator.Execute();
    } catch (...) {
        host::SetInstallerStandIn({});
        throw;
    }
    host::SetInstallerStandIn({});
    if (done) return {true, (dryRun ? "would have " : "") + DoneText(action, name), request};
    if (adding && name.empty()) return {false, "the data source has no name"};
    if (adding && existed) return {false, "the data source '" + name + "' exists already"};
    return {false, InstallerReason()};
}

// One command's creator: its outcome said as add, configure and remove say it.
int Report(const Outcome& outcome) {
    if (!outcome.done) return Fail(outcome.text);
    std::cout << outcome.text << "\n" << outcome.request;
    return kOk;
}

int RunCreator(const ParsedCommand& command, TDSNExecuteAction action) {
    TOmbralCreator creator(nullptr);
    if (command.spec->name == "remove") creator.SetDSNNameOrAlias(command.Value("--name").value_or(""));
    else ApplyProperties(command, creator);
    creator.SetAction(action);
    std::function<void(TOmbralCreator&)> load;
    if (action == CONFIG_DSN || action == CONFIG_SYS_DSN)
        load = [&](TOmbralCreator& c) { LoadStoredValues(c, command, action == CONFIG_SYS_DSN); };
    return Report(ExecuteCreator(creator, command.Has("--dry-run"), load));
}

int Add(const ParsedCommand& c) { return RunCreator(c, c.Has("--system") ? ADD_SYS_DSN : ADD_DSN); }

int Configure(const ParsedCommand& c) { return RunCreator(c, c.Has("--system") ? CONFIG_SYS_DSN : CONFIG_DSN); }

int Remove(const ParsedCommand& c) {
    if (c.Has("--default")) {
        if (c.Has("--system") || c.Has("--name"))
            throw UsageError("remove --default takes neither --system nor --name: it removes the default data source");
        return RunCreator(c, REMOVE_DEFAULT_DSN);
    }
    c.Required("--name");
    return RunCreator(c, c.Has("--system") ? REMOVE_SYS_DSN : REMOVE_DSN);
}

int Save(const ParsedCommand& c) {
    if (c.Has("--action") && c.Has("--system")) throw UsageError("save takes --action or --system, not both");
    TOmbralCreator creator(nullptr);
    creator.Name = "OmbralCreator1";
    ApplyProperties(c, creator);
    creator.SetAction(c.Has("--system") ? ADD_SYS_DSN : ADD_DSN);
    if (auto action = c.Value("--action")) {
        const int ordinal = host::GetEnumValue(host::TypeInfo<TDSNExecuteAction>(), *action);
        if (ordinal < 0) throw UsageError("--action takes " + ActionChoices() + ", not '" + *action + "'");
        creator.SetAction(static_cast<TDSNExecuteAction>(ordinal));
    }
    const std::string& path = c.arguments[0];
    odbcsetup::CreateOwnerOnlyFile(path, host::WriteComponentText(creator));
    std::cout << "saved " << creator.Name << " to " << Shown(path) << "\n";
    return kOk;
}

// Each creator of the form in stream order, or the one --component names.
// An inherited creator holds only what differs from its ancestor's, so it
// runs from the ancestor's form, not from this one.
std::vector<std::pair<std::string, TOmbralCreator*>> CreatorsToRun(ombraltool::OpenForm& form,
                                                                  const std::optional<std::string>& only) {
    std::vector<std::pair<std::string, TOmbralCreator*>> creators;
    std::string held, inherited;
    for (auto& record : form.Records()) {
        const std::string& name = record.stored->Name;
        const bool chosen = !only || host::SameText(*only, name);
        if (auto* creator = dynamic_cast<TOmbralCreator*>(record.component.get())) {
            (held += held.empty() ? "" : ", ") += name;
            if (chosen) creators.emplace_back(name, creator);
        } else if (chosen && host::SameText(record.stored->ClassName, "TOmbralCreator")) {
            (inherited += inherited.empty() ? "" : ", ") += name;
        }
    }
    if (!creators.empty()) return creators;
    const std::string none = only ? "no TOmbralCreator named '" + *only + "'" : std::string("no TOmbralCreator");
    if (!inherited.empty())
        throw Refusal(form.Path() + " holds " + none + " that runs on its own: " + inherited +
                      " inherited, holding only what differs from the ancestor form's; run that form");
    if (held.empty()) throw Refusal(form.Path() + " holds no TOmbralCreator");
    throw Refusal(form.Path() + " holds " + none + "; it holds " + held);
}

int RunSaved(const ParsedCommand& c) {
    host::RegisterClass(host::TypeInfo<TOmbralCreator>());
    std::unique_ptr<ombraltool::OpenForm> form;
    try {
        form = std::make_unique<ombraltool::OpenForm>(c.arguments[0]);
    } catch (const host::EReadError& error) {
        return Fail(c.arguments[0] + ": " + error.what());
    }
    int status = kOk;
    for (const auto& [name, creator] : CreatorsToRun(*form, c.Value("--component"))) {
        Outcome outcome{false, ""};
        try {
            outcome = ExecuteCreator(*creator, c.Has("--dry-run"));
        } catch (const std::exception& error) {
            outcome.text = error.what();
        }
        if (outcome.done) {
            std::cout << Shown(name) << ": " << outcome.text << "\n" << outcome.request << std::flush;
        } else {
            std::cerr << "ombral: " << Shown(name + ": " + outcome.text) << "\n";
            status = kFailed;
        }
    }
    return status;
}

// FindDSN finds only what it could change; a data source this user may only
// read exists all the same.
int Exists(const ParsedCommand& c) {
    const std::string name = c.Required("--name");
    const bool system = c.Has("--system");
    CheckName(name);
    CheckReadable(system);
    if (IsIncomplete(name, system)) return Fail(IncompleteText(name, system));
    const std::string what = std::string(Scope(system)) + " data source '" + Shown(name) + "'";
    if (OmbralCodeUnit::FindDSN(name, GetDSNActionFromEnumType(system ? ADD_SYS_DSN : ADD_DSN))) {
        std::cout << what << " exists\n";
        return kOk;
    }
    host::TRegistry registry;
    if (DataSources(registry, system).OpenKeyReadOnly(DataSourceKey(name))) {
        const auto why = odbcsetup::ChangeProblem(system);
        std::cout << what << " exists, but this user cannot change it"
                  << (why ? " (" + Shown(*why) + ")" : std::string()) << "\n";
        return kOk;
    }
    std::cout << what << " does not exist\n";
    return kFailed;
}

// Lines of the scope's file that unixODBC may read but this tool's reader
// passes over (a control character, a damaged header) are said rather than
// left out in silence.
void SayUnreadLines(bool system) {
    for (const auto& line : odbcsetup::UnreadLines(system)) std::cerr << "ombral: " << Shown("skipped " + line) << "\n";
}

// Every stored attribute, as odbcinst -q -s -n and Get-OdbcDsn show them.
int Show(const ParsedCommand& c) {
    const std::string name = c.Required("--name");
    const bool system = c.Has("--system");
    CheckName(name);
    host::TRegistry registry;
    OpenDataSource(registry, name, system);
    std::vector<std::pair<String, String>> values;
    registry.GetValues(values);
    for (const auto& [key, value] : values)
        std::cout << Shown(key) << "=" << Shown(ListedValue(key, value, c.Has("--show-password"))) << "\n";
    SayUnreadLines(system);
    return NamesNoDriver(registry) ? Fail(IncompleteText(name, system)) : kOk;
}

int RegisterMdw(const ParsedCommand& c) {
    const std::string name = c.Required("--name"), file = c.Required("--file");
    const bool system = c.Has("--system");
    if (file.empty()) return Fail("--file must not be empty");
    CheckName(name);
    if (auto problem = odbcsetup::ChangeProblem(system)) return Fail(*problem);
    const bool done = system ? OmbralCodeUnit::RegisterSystemMDW(name, file) : OmbralCodeUnit::RegisterMDW(name, file);
    if (!done) return Fail(std::string("there is no ") + Scope(system) + " data source '" + name + "' that can be changed");
    std::cout << "recorded workgroup file for " << Scope(system) << " data source '" << Shown(name) << "'\n";
    return kOk;
}

std::vector<std::string> CatalogueDrivers() {
    std::vector<std::string> drivers;
    for (Integer index = 1;; ++index) {
        String fileType;
        String driver = OmbralCodeUnit::GetDSNTypeString(index, fileType);
        if (driver.empty()) return drivers;
        drivers.push_back(driver);
    }
}

int Drivers(const ParsedCommand&) {
    CheckDriversReadable();
    Integer index = 1;
    for (const auto& driver : CatalogueDrivers()) {
        String fileType;
        OmbralCodeUnit::GetDSNTypeString(index, fileType);
        const auto info = OmbralCodeUnit::GetODBCInfo(driver);
        std::cout << index++ << "  " << driver << "  FIL=" << fileType << "\n";
        if (info.Driver.Length() + info.DriverODBCVer.Length() + info.DSN.Length() + info.FileExtns.Length() +
                info.UID.Length() ==
            0) {
            std::cout << "   (not installed)\n";
            continue;
        }
        // The values are from a file anyone with access may write.
        std::cout << "   Driver=" << Shown(info.Driver.view()) << "  DriverODBCVer=" << Shown(info.DriverODBCVer.view())
                  << "  DSN=" << Shown(info.DSN.view()) << "  FileExtns=" << Shown(info.FileExtns.view())
                  << "  UID=" << Shown(info.UID.view()) << "\n";
    }
    return kOk;
}

// The open data source's description as show lists it: one that the
// package could not take as text is listed all the same.
String ListedDescription(host::TRegistry& registry) {
    std::vector<std::pair<String, String>> values;
    registry.GetValues(values);
    for (const auto& [key, value] : values)
        if (host::SameText(key, kDescriptionKey)) return value;
    return {};
}

int List(const ParsedCommand& c) {
    const bool system = c.Has("--system");
    CheckReadable(system);
    host::TRegistry registry;
    std::vector<String> names;
    if (DataSources(registry, system).OpenKeyReadOnly(std::string(odbcpaths::kDataSourcesKey)))
        registry.GetKeyNames(names);
    for (const auto& name : names) {
        // Windows lists the data sources in a key of their own beside them;
        // unixODBC keeps its settings in a section of odbc.ini.
        if (odbcsetup::IsReservedName(name)) continue;
        // A name the code page cannot hold comes with escapes, holding a '\'
        // that no key name has: listed, but never opened as another key.
        if (name.find('\\') != String::npos || !registry.OpenKeyReadOnly(DataSourceKey(name))) {
            std::cout << Shown(name) << "\t\n";
            std::cerr << "ombral: cannot read the " << Scope(system) << " data source '" << Shown(name) << "'\n";
            continue;
        }
        std::cout << Shown(name) << "\t" << Shown(ListedDescription(registry)) << "\n";
    }
    SayUnreadLines(system);
    return kOk;
}

// The setup library as an absolute path, once it is known to load and to
// export ConfigDSN: the installer would otherwise fail later, and obscurely.
std::string SetupLibrary(const std::optional<std::string>& given) {
    if (given && given->empty()) throw UsageError("--setup needs a path, not an empty name");
    const std::string setup = given ? odbcsetup::AbsolutePath(*given)
                                    : odbcsetup::FindSetupLibrary();
    if (setup.empty()) throw Refusal("cannot find the setup library beside the program; name it with --setup");
    if (auto problem = odbcsetup::SetupLibraryProblem(setup)) throw Refusal(*problem);
    return setup;
}

int RegisterDriversCommand(const ParsedCommand& c) {
    const std::string setup = SetupLibrary(c.Value("--setup"));
    odbcsetup::RegisterDrivers(setup, CatalogueDrivers(), c.Has("--force"));
    std::cout << "the six catalogue drivers are registered against " << Shown(setup) << "\n";
    return kOk;
}

int About(const ParsedCommand& c) {
    const auto png = c.Value("--png");
    if (png && png->empty()) throw UsageError("--png needs a file name, not an empty one");
    return ombraltool::RunAbout(png);
}

int Design(const ParsedCommand& c) {
    std::vector<std::string> select;
    if (auto names = c.Value("--select")) select.push_back(*names);
    return ombraltool::RunDesign(c.arguments[0], select, std::cin, std::cout, std::cerr);
}

int Run(const ParsedCommand& command) {
    using Handler = int (*)(const ParsedCommand&);
    static const std::map<std::string, Handler> handlers{{"add", Add},         {"configure", Configure},
                                                         {"remove", Remove},   {"exists", Exists},
                                                         {"register-mdw", RegisterMdw},
                                                         {"drivers", Drivers}, {"list", List},
                                                         {"show", Show},
                                                         {"register-drivers", RegisterDriversCommand},
                                                         {"save", Save},       {"run", RunSaved},
                                                         {"about", About},     {"design", Design}};
    return handlers.at(command.spec->name)(command);
}

// A dry run and a command that only reads leave the configuration as they
// found it: they make no folder, file or lock file of it.
bool ChangesConfiguration(const ParsedCommand& command) {
    static const std::set<std::string_view> changing{"add",          "configure",        "remove", "run",
                                                     "register-mdw", "register-drivers"};
    return changing.contains(command.spec->name) && !command.Has("--dry-run");
}

void UseConfiguration(const std::string& folder, const ParsedCommand& command) {
    configurationPending =
        odbcsetup::UsePrivateConfiguration(folder, odbcsetup::FindSetupLibrary(), CatalogueDrivers(),
                                           ChangesConfiguration(command) ? odbcsetup::ConfigurationUse::Change
                                                                         : odbcsetup::ConfigurationUse::ReadOnly)
            .driversPending;
}

int RunCommand(int argc, char** argv) {
    ParsedCommand command;
    std::vector<std::string> arguments;
    try {
        arguments = platform::CommandArguments(argc, argv);
    } catch (const std::runtime_error& refusal) {
        std::cerr << "ombral: " << host::EscapeForTerminal(refusal.what()) << "\n";
        return kUsage;
    }
    try {
        command = ombraltool::ParseCommandLine(arguments, Commands(),
                                               odbcsetup::HasPrivateConfigurations());
        if (command.help || !command.spec) {
            if (command.spec) std::cout << "Usage: " << command.spec->usage << "\n";
            else PrintOverview(command.help ? std::cout : std::cerr);
            return command.help ? kOk : kUsage;
        }
        if (command.configDir) UseConfiguration(*command.configDir, command);
        return Run(command);
    } catch (const UsageError& error) {
        std::cerr << "ombral: " << Shown(error.what()) << "\n";
        if (command.spec) std::cerr << "Usage: " << command.spec->usage << "\n";
        else std::cerr << "Try 'ombral --help'.\n";
        return kUsage;
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for the command (a form of many values, or a limit on this process)");
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}

}  // namespace

// What the command wrote must have reached standard output: a full disk or a
// closed pipe is a failure, not a success with nothing to show.
int main(int argc, char** argv) {
    odbcsetup::IgnoreBrokenPipe();
    [[maybe_unused]] const platform::Utf8Terminal terminal;
    const int status = RunCommand(argc, argv);
    return toolfiles::FlushStandardOutput("ombral") ? status : kFailed;
}
