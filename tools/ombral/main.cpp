// ombral: adds, reconfigures and removes Paradox data sources through
// TOmbralCreator, and looks drivers and data sources up through the package's
// routines.

#include <iostream>
#include <string>
#include <vector>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/Registry.h>
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

template <typename Enum, std::size_t N>
void SetChoice(const ParsedCommand& command, const std::string& option, const char* const (&names)[N],
               void (*apply)(TOmbralCreator&, Enum), TOmbralCreator& creator) {
    auto value = command.Value(option);
    if (!value) return;
    for (std::size_t i = 0; i < N; ++i)
        if (*value == names[i]) return apply(creator, static_cast<Enum>(i));
    std::string choices;
    for (auto name : names) choices += choices.empty() ? name : std::string("|") + name;
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
    static const char* const collations[] = {"ASCII", "International", "NorwegianDanish", "SwedishFinnish"};
    SetChoice<TCollatingSequence>(command, "--collate", collations,
                                  [](TOmbralCreator& c, TCollatingSequence v) { c.SetCollateSequence(v); }, creator);
    static const char* const netStyles[] = {"3.x", "4.x", "5.x"};
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

int RunCreator(const ParsedCommand& command, TDSNExecuteAction action, const std::string& done) {
    TOmbralCreator creator(nullptr);
    if (command.spec->name == "remove") creator.SetDSNNameOrAlias(command.Required("--name"));
    else ApplyProperties(command, creator);
    creator.SetAction(action);
    const std::string name = creator.GetDSNNameOrAlias();
    const Integer request = GetDSNActionFromEnumType(action);
    const bool existed = OmbralCodeUnit::FindDSN(name, request);
    if (creator.Execute()) {
        std::cout << done << " '" << name << "'\n";
        return kOk;
    }
    const bool adding = action == ADD_DSN || action == ADD_SYS_DSN;
    if (adding && name.empty()) return kFailed;  // the component has said why
    if (adding && existed) return Fail("the data source '" + name + "' exists already");
    return Fail(InstallerReason());
}

int Add(const ParsedCommand& c) {
    bool system = c.Has("--system");
    return RunCreator(c, system ? ADD_SYS_DSN : ADD_DSN, std::string("added ") + Scope(system) + " data source");
}

int Configure(const ParsedCommand& c) {
    bool system = c.Has("--system");
    return RunCreator(c, system ? CONFIG_SYS_DSN : CONFIG_DSN,
                      std::string("reconfigured ") + Scope(system) + " data source");
}

int Remove(const ParsedCommand& c) {
    if (c.Has("--system") && c.Has("--default")) throw UsageError("remove takes --system or --default, not both");
    if (c.Has("--default")) return RunCreator(c, REMOVE_DEFAULT_DSN, "removed the default data source for");
    bool system = c.Has("--system");
    return RunCreator(c, system ? REMOVE_SYS_DSN : REMOVE_DSN,
                      std::string("removed ") + Scope(system) + " data source");
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

int List(const ParsedCommand& c) {
    host::TRegistry registry;
    registry.SetRootKey(c.Has("--system") ? host::HKEY_LOCAL_MACHINE : host::HKEY_CURRENT_USER);
    std::vector<String> names;
    if (registry.OpenKeyReadOnly("\\Software\\ODBC\\ODBC.INI")) registry.GetKeyNames(names);
    for (const auto& name : names) {
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
                                                         {"register-drivers", RegisterDriversCommand}};
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
