// ombral: adds, reconfigures and removes Paradox data sources through
// TOmbralCreator, and looks drivers and data sources up through the package's
// routines.

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/rtl/FormStream.h>
#include <platform/host/rtl/Registry.h>
#include <platform/odbc/DriverRegistration.h>
#include <platform/odbc/InstallerMessages.h>

#include "CommandLine.h"

namespace {

using namespace OmbralCreateUnit;
using ombraltool::CommandSpec;
using ombraltool::ParsedCommand;
using ombraltool::UsageError;

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

const std::set<std::string> kPropertyOptions{
    "--name",      "--description",  "--dir",     "--user",             "--password",
    "--net-dir",   "--collate",      "--net-style", "--page-timeout",   "--safe-transactions",
    "--threads",   "--implicit-commit-sync"};
const std::set<std::string> kPropertyFlags{"--system", "--read-only", "--exclusive", "--user-commit-sync"};

const char* const kPropertyUsage =
    " [--system] --name NAME [--description TEXT] [--dir DIR]\n"
    "       [--user NAME] [--password TEXT] [--net-dir DIR]\n"
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

std::set<std::string> WithAction(std::set<std::string> options) {
    options.insert("--action");
    return options;
}

const std::vector<CommandSpec>& Commands() {
    static const std::vector<CommandSpec> commands{
        {"add", Prefix() + "add" + kPropertyUsage +
                    "Adds a user (or with --system a system) Paradox data source; options not given keep\n"
                    "the component's initial values.",
         kPropertyFlags, kPropertyOptions},
        {"configure", Prefix() + "configure" + kPropertyUsage +
                          "Reconfigures a data source: every attribute is sent again, options not given\n"
                          "with the component's initial values.",
         kPropertyFlags, kPropertyOptions},
        {"remove", Prefix() + "remove [--system|--default] --name NAME\n"
                   "Removes a user, system (--system) or the default (--default) data source.",
         {"--system", "--default"}, {"--name"}},
        {"exists", Prefix() + "exists [--system] --name NAME\n"
                   "Exits 0 when the data source exists, 1 when not.",
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
        {"register-drivers", Prefix() + "register-drivers [--setup PATH] [--force]\n"
                             "Registers the six catalogue drivers against the stand-in setup library (by\n"
                             "default the one beside this program), for a system that lacks them. A driver\n"
                             "registered already to another library is refused unless --force is given.",
         {"--force"}, {"--setup"}},
        {"save", Prefix() + "save FILE [--action " + ActionChoices() + "]" + kPropertyUsage +
                     "Writes a text saved form holding one TOmbralCreator set from the options; its\n"
                     "action is --action, else adding a user (--system: system) data source.",
         kPropertyFlags, WithAction(kPropertyOptions), {"FILE"}},
        {"run", Prefix() + "run FILE\n"
                "Reads a saved form (text or binary), finds its TOmbralCreator and runs Execute.",
         {}, {}, {"FILE"}},
    };
    return commands;
}

void PrintOverview(std::ostream& out) {
    out << "Usage:\n";
    for (const auto& command : Commands()) out << "  " << command.usage.substr(0, command.usage.find('\n')) << "\n";
    if (odbcsetup::HasPrivateConfigurations())
        out << "--config DIR uses (and first makes) a private ODBC configuration in DIR.\n";
    out << "'ombral COMMAND --help' tells more. Exit 0 on success, 1 on failure, 2 on a usage error.\n";
}

// What the installer said about its last refusal.
std::string InstallerReason() {
    std::string reason;
    for (const auto& message : odbcsetup::InstallerMessages()) reason += (reason.empty() ? "" : "; ") + message;
    return reason.empty() ? "the ODBC installer refused the request" : reason;
}

int Fail(const std::string& why) {
    std::cerr << "ombral: " << why << "\n";
    return kFailed;
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

void ApplyProperties(const ParsedCommand& command, TOmbralCreator& creator) {
    creator.SetDSNNameOrAlias(command.Required("--name"));
    if (auto v = command.Value("--description")) creator.SetDSNUserDescription(*v);
    if (auto v = command.Value("--dir")) creator.SetDatabaseDir(*v);
    if (auto v = command.Value("--user")) creator.SetUserID(*v);
    if (auto v = command.Value("--password")) creator.Password = *v;
    if (auto v = command.Value("--net-dir")) creator.SetNetFilePath(*v);
    if (auto v = command.Value("--implicit-commit-sync")) creator.optImplitCommitSync = *v;
    SetChoice<TCollatingSequence>(command, "--collate", host::TypeInfo<TCollatingSequence>()->Members,
                                  [](TOmbralCreator& c, TCollatingSequence v) { c.SetCollateSequence(v); }, creator);
    static constexpr std::string_view netStyles[] = {"3.x", "4.x", "5.x"};
    SetChoice<TNetVersion>(command, "--net-style", netStyles,
                           [](TOmbralCreator& c, TNetVersion v) { c.optNetVersion = v; }, creator);
    if (auto v = command.Integer("--page-timeout")) creator.optPageTimeout = *v;
    if (auto v = command.Integer("--safe-transactions")) creator.optSafeTransactions = *v;
    if (auto v = command.Integer("--threads")) creator.optThreads = *v;
    creator.optDSNReadOnly = command.Has("--read-only");
    creator.optExclusive = command.Has("--exclusive");
    creator.optUserCommitSync = command.Has("--user-commit-sync");
}

const char* Scope(bool system) { return system ? "system" : "user"; }

std::string DoneText(TDSNExecuteAction action) {
    static const char* const texts[] = {
        "added user data source",   "reconfigured user data source",   "removed user data source",
        "added system data source", "reconfigured system data source", "removed system data source",
        "removed the default data source for"};
    return texts[action];
}

// Runs Execute as the creator's properties say, and tells what came of it.
int ExecuteCreator(TOmbralCreator& creator) {
    const TDSNExecuteAction action = creator.GetAction();
    const std::string name = creator.GetDSNNameOrAlias();
    const Integer request = GetDSNActionFromEnumType(action);
    const bool existed = OmbralCodeUnit::FindDSN(name, request);
    if (creator.Execute()) {
        std::cout << DoneText(action) << " '" << name << "'\n";
        return kOk;
    }
    const bool adding = action == ADD_DSN || action == ADD_SYS_DSN;
    if (adding && name.empty()) return kFailed;  // the component has said why
    if (adding && existed) return Fail("the data source '" + name + "' exists already");
    return Fail(InstallerReason());
}

int RunCreator(const ParsedCommand& command, TDSNExecuteAction action) {
    TOmbralCreator creator(nullptr);
    if (command.spec->name == "remove") creator.SetDSNNameOrAlias(command.Required("--name"));
    else ApplyProperties(command, creator);
    creator.SetAction(action);
    return ExecuteCreator(creator);
}

int Add(const ParsedCommand& c) { return RunCreator(c, c.Has("--system") ? ADD_SYS_DSN : ADD_DSN); }

int Configure(const ParsedCommand& c) { return RunCreator(c, c.Has("--system") ? CONFIG_SYS_DSN : CONFIG_DSN); }

int Remove(const ParsedCommand& c) {
    if (c.Has("--system") && c.Has("--default")) throw UsageError("remove takes --system or --default, not both");
    if (c.Has("--default")) return RunCreator(c, REMOVE_DEFAULT_DSN);
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
    std::ofstream out(path, std::ios::binary);
    out << host::WriteComponentText(creator);
    if (!out.flush()) return Fail("cannot write " + path);
    std::cout << "saved " << creator.Name << " to " << path << "\n";
    return kOk;
}

// The root itself, or the first component it holds that is one.
TOmbralCreator* FindCreator(host::TComponent& root) {
    if (auto* creator = dynamic_cast<TOmbralCreator*>(&root)) return creator;
    for (int i = 0; i < root.ComponentCount(); ++i)
        if (auto* creator = FindCreator(*root.Components(i))) return creator;
    return nullptr;
}

int RunSaved(const ParsedCommand& c) {
    const std::string& path = c.arguments[0];
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail("cannot read " + path);
    std::stringstream content;
    content << in.rdbuf();
    host::RegisterClass(host::TypeInfo<host::TComponent>());
    host::RegisterClass(host::TypeInfo<TOmbralCreator>());
    std::unique_ptr<host::TComponent> form;
    try {
        form.reset(host::ReadComponentForm(content.str(), nullptr));
    } catch (const host::EReadError& error) {
        return Fail(path + ": " + error.what());
    }
    TOmbralCreator* creator = FindCreator(*form);
    if (!creator) return Fail(path + " holds no TOmbralCreator");
    return ExecuteCreator(*creator);
}

int Exists(const ParsedCommand& c) {
    const std::string name = c.Required("--name");
    const bool system = c.Has("--system");
    const bool found = OmbralCodeUnit::FindDSN(name, GetDSNActionFromEnumType(system ? ADD_SYS_DSN : ADD_DSN));
    std::cout << Scope(system) << " data source '" << name << "' " << (found ? "exists" : "does not exist") << "\n";
    return found ? kOk : kFailed;
}

int RegisterMdw(const ParsedCommand& c) {
    const std::string name = c.Required("--name"), file = c.Required("--file");
    const bool system = c.Has("--system");
    if (file.empty()) return Fail("--file must not be empty");
    const bool done = system ? OmbralCodeUnit::RegisterSystemMDW(name, file) : OmbralCodeUnit::RegisterMDW(name, file);
    if (!done) return Fail(std::string("there is no ") + Scope(system) + " data source '" + name + "' that can be changed");
    std::cout << "recorded workgroup file for " << Scope(system) << " data source '" << name << "'\n";
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
        std::cout << "   Driver=" << info.Driver.view() << "  DriverODBCVer=" << info.DriverODBCVer.view()
                  << "  DSN=" << info.DSN.view() << "  FileExtns=" << info.FileExtns.view()
                  << "  UID=" << info.UID.view() << "\n";
    }
    return kOk;
}

bool SameText(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
}

int List(const ParsedCommand& c) {
    host::TRegistry registry;
    registry.SetRootKey(c.Has("--system") ? host::HKEY_LOCAL_MACHINE : host::HKEY_CURRENT_USER);
    std::vector<String> names;
    if (registry.OpenKeyReadOnly("\\Software\\ODBC\\ODBC.INI")) registry.GetKeyNames(names);
    for (const auto& name : names) {
        // Windows lists the data sources in a key of their own beside them.
        if (SameText(name, "ODBC Data Sources")) continue;
        if (!registry.OpenKeyReadOnly("\\Software\\ODBC\\ODBC.INI\\" + name)) continue;
        std::cout << name << "\t" << registry.ReadString("Description") << "\n";
    }
    return kOk;
}

std::string SetupLibrary(const std::optional<std::string>& given) {
    const std::string setup = given ? *given : odbcsetup::FindSetupLibrary();
    if (setup.empty()) throw std::runtime_error("cannot find the setup library beside the program; name it with --setup");
    return setup;
}

int RegisterDriversCommand(const ParsedCommand& c) {
    const std::string setup = SetupLibrary(c.Value("--setup"));
    odbcsetup::RegisterDrivers(setup, CatalogueDrivers(), c.Has("--force"));
    std::cout << "the six catalogue drivers are registered against " << setup << "\n";
    return kOk;
}

int Run(const ParsedCommand& command) {
    using Handler = int (*)(const ParsedCommand&);
    static const std::map<std::string, Handler> handlers{{"add", Add},         {"configure", Configure},
                                                         {"remove", Remove},   {"exists", Exists},
                                                         {"register-mdw", RegisterMdw},
                                                         {"drivers", Drivers}, {"list", List},
                                                         {"register-drivers", RegisterDriversCommand},

                                                         {"save", Save},       {"run", RunSaved}};
    return handlers.at(command.spec->name)(command);
}

void UseConfiguration(const std::string& folder) {
    odbcsetup::UsePrivateConfiguration(folder, SetupLibrary(std::nullopt), CatalogueDrivers());
}

}  // namespace

int main(int argc, char** argv) {
    ParsedCommand command;
    try {
        command = ombraltool::ParseCommandLine({argv + 1, argv + argc}, Commands(),
                                               odbcsetup::HasPrivateConfigurations());
        if (command.help || !command.spec) {
            if (command.spec) std::cout << "Usage: " << command.spec->usage << "\n";
            else PrintOverview(command.help ? std::cout : std::cerr);
            return command.help ? kOk : kUsage;
        }
        if (command.configDir) UseConfiguration(*command.configDir);
        return Run(command);
    } catch (const UsageError& error) {
        std::cerr << "ombral: " << error.what() << "\n";
        if (command.spec) std::cerr << "Usage: " << command.spec->usage << "\n";
        else std::cerr << "Try 'ombral --help'.\n";
        return kUsage;
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
