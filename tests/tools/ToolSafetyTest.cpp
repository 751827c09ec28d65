// The tool against hostile input: command lines, standard input, configuration
// folders that others could have touched, unreadable files, and many tools at once.

#include <dlfcn.h>
#include <gmock/gmock.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <gtest/gtest.h>
#include <odbcinst.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <set>
#include <thread>

#include <platform/odbc/DriverRegistration.h>
#include <platform/odbc/InstallerMessages.h>
#include <platform/odbc/ToolAccess.h>
#include <platform/posix/OdbcIniFile.h>

#include "ToolFixture.h"

using testing::HasSubstr;
using testing::Not;

namespace {

using namespace std::string_literals;

namespace fs = std::filesystem;

class ToolSafetyTest : public tooltest::ToolTest {
protected:
    void SetUp() override { ASSERT_EQ(Ombral({"add", "--name", "Kept"}).exitCode, 0); }
    unsigned Mode(const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    }
    static bool IsRoot() { return ::geteuid() == 0; }
};

std::string Repeated(const std::string& text, int times) {
    std::string all;
    while (times-- > 0) all += text;
    return all;
}

testsupport::RunOptions Input(std::optional<std::string> text) {
    testsupport::RunOptions options;
    options.input = std::move(text);
    return options;
}

struct HostileCase {
    std::vector<std::string> arguments;
    std::optional<std::string> input;  // standard input, else none
    int exitCode;
    std::string says;  // part of standard error
};

// Each is refused with its reason, and no configuration file changes.
TEST_F(ToolSafetyTest, HostileInputsAreRefusedWithTheReason) {
    const std::string folder = Path("a-folder");
    fs::create_directory(folder);
    const std::vector<HostileCase> cases{
        // Names
        {{"add", "--name", ""}, {}, 1, "Error: Property 'DSNNameOrAlias' must not be blank"},
        {{"add", "--name", std::string(33, 'x')}, {}, 1, "longer than 32 bytes (it has 33)"},
        {{"add", "--name", Repeated("\u00e9", 17)}, {}, 1, "longer than 32 bytes (it has 34)"},
        {{"add", "--name", "Semi;colon"}, {}, 1, "holds ';'"},
        {{"add", "--name", "Back\\slash"}, {}, 1, "holds '\\'"},
        {{"add", "--name", "Tab\tName"}, {}, 1, "'Tab\\tName' holds a control character"},
        {{"exists", "--name", "Bell\x07"}, {}, 1, "'Bell\\x07' holds a control character"},
        {{"add", "--name", "a\xc2\x9b" "2Jb"}, {}, 1, "'a\\xc2\\x9b2Jb' holds a control character"},
        {{"exists", "--name", "\xc2\x85"}, {}, 1, "'\\xc2\\x85' holds a control character"},
        {{"add", "--name", "odbc"}, {}, 1, "unixODBC reads the section 'ODBC'"},
        {{"configure", "--name", "ODBC data sources"}, {}, 1, "reads the section 'ODBC Data Sources'"},
        // Values and data sources that are not there
        {{"add", "--name", "Fresh", "--description", "two\nlines"}, {}, 1, "line break"},
        {{"configure", "--name", "Absent"}, {}, 1, "the user data source 'Absent' does not exist"},
        {{"remove", "--name", "Absent"}, {}, 1, "does not exist"},
        {{"remove", "--default"}, {}, 1, "'Default' does not exist"},
        {{"register-mdw", "--name", "Absent", "--file", "w.mdw"}, {}, 1, "no user data source 'Absent'"},
        {{"register-mdw", "--name", "Kept", "--file", "w\n.mdw"}, {}, 1, "line break"},
        {{"add", "--name", "Fresh", "--password-stdin"}, "", 1, "--password-stdin found no line"},
        // Files
        {{"run", "/dev/zero"}, {}, 1, "/dev/zero is not a regular file"},
        {{"run", folder}, {}, 1, "is not a regular file"},
        {{"run", Path("absent.txt")}, {}, 1, "cannot read"},
        {{"save", folder, "--name", "X"}, {}, 1, folder + " exists already: not overwritten"},
        {{"register-drivers", "--setup", "no-such-library.so"}, {}, 1,
         "cannot load " + fs::current_path().string() + "/no-such-library.so"},
        {{"register-drivers", "--setup", UserFile()}, {}, 1, "cannot load"},
        // Usage errors
        {{}, {}, 2, "Usage"},
        {{"frobnicate"}, {}, 2, "unknown command 'frobnicate'"},
        {{"add"}, {}, 2, "add needs --name"},
        {{"add", "--name", "X", "--threads", "many"}, {}, 2, "whole number"},
        {{"add", "--name", "X", "--page-timeout", "99999999999"}, {}, 2, "whole number"},
        {{"add", "--name", "X", "--collate", "Klingon"}, {}, 2, "--collate takes"},
        {{"add", "--name", "X", "--bogus"}, {}, 2, "does not take '--bogus'"},
        {{"add", "--name", "X", "--name", "Y"}, {}, 2, "--name is given twice"},
        {{"add", "--name", "X", "--read-only", "--read-only"}, {}, 2, "--read-only is given twice"},
        {{"add", "--name", "X", "--password", "p", "--password-stdin"}, "p\n", 2, "exclude each other"},
        {{"configure", "--name", "Kept", "--exclusive", "--no-exclusive"}, {}, 2, "exclude each other"},
        {{"--config", "", "list"}, {}, 2, "--config needs a folder, not an empty name"},
        {{"--config", folder_.Path(), "--config=" + folder_.Path(), "list"}, {}, 2, "--config is given twice"},
        {{"register-drivers", "--setup", ""}, {}, 2, "--setup needs a path"},
        {{"remove", "--system", "--default"}, {}, 2, "remove --default takes neither"},
        {{"remove", "--default", "--name", "Kept"}, {}, 2, "remove --default takes neither"},
        {{"remove"}, {}, 2, "remove needs --name"},
        {{"register-mdw", "--name", "X"}, {}, 2, "register-mdw needs --file"},
        {{"--name", "X\x1b[2J"}, {}, 2, "unknown option '--name'"},
        {{"add", "--name", "X", "\x1b[2J"}, {}, 2, "does not take '\\x1b[2J'"},
    };
    const auto before = testsupport::ReadFile(UserFile()) + testsupport::ReadFile(SystemFile());
    for (const auto& c : cases) {
        auto result = Ombral(c.arguments, Input(c.input));
        const auto shown = testing::PrintToString(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << shown << "\n" << result.err;
        EXPECT_THAT(result.err, HasSubstr(c.says)) << shown;
        EXPECT_THAT(result.err, Not(testing::ContainsRegex("[\x01-\x09\x0b-\x1f]"))) << shown;
        EXPECT_EQ(testsupport::ReadFile(UserFile()) + testsupport::ReadFile(SystemFile()), before) << shown;
    }
}

TEST_F(ToolSafetyTest, PasswordComesFromTheFirstLineOfStandardInput) {
    const struct {
        const char* input;
        const char* stored;
    } cases[] = {{"s3cret\n", "s3cret"}, {"s3cret\r\nsecond line\n", "s3cret"}, {"no break", "no break"},
                 {"\n", ""}};
    for (const auto& c : cases) {
        auto added = Ombral({"add", "--name", "Piped", "--password-stdin"}, Input(c.input));
        ASSERT_EQ(added.exitCode, 0) << added.err;
        EXPECT_EQ(odbcini::ReadIniFile(UserFile())->Value("Piped", "PWD"), c.stored) << c.input;
        auto configured = Ombral({"configure", "--name", "Piped", "--password-stdin"}, Input("changed\n"));
        EXPECT_EQ(configured.exitCode, 0) << configured.err;
        EXPECT_EQ(odbcini::ReadIniFile(UserFile())->Value("Piped", "PWD"), "changed");
        ASSERT_EQ(Ombral({"remove", "--name", "Piped"}).exitCode, 0);
    }
}

// The tool run with a new pseudo-terminal as its controlling terminal and
// standard streams; `typed` is typed once the terminal stops echoing (or after
// ten seconds). What the terminal showed, the exit status, and whether the
// terminal echoes again afterwards.
struct TerminalSession {
    std::string shown;
    int exitCode = -1;
    bool echoesAfter = false;
};

TerminalSession RunAtTerminal(const std::vector<std::string>& arguments, const std::string& typed) {
    TerminalSession session;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return session;
    const std::string terminal = ::ptsname(master);
    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const int slave = ::open(terminal.c_str(), O_RDWR);
        for (int stream = 0; stream < 3; ++stream) ::dup2(slave, stream);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    struct termios settings {};
    for (int wait = 0; wait < 200 && (::tcgetattr(master, &settings) != 0 || (settings.c_lflag & ECHO)); ++wait)
        ::usleep(50000);
    EXPECT_EQ(::write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    char buffer[256];
    for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;) session.shown.append(buffer, got);
    int status = 0;
    ::waitpid(child, &status, 0);
    session.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    session.echoesAfter = ::tcgetattr(master, &settings) == 0 && (settings.c_lflag & ECHO);
    ::close(master);
    return session;
}

// A password typed at a terminal is not echoed, and the terminal echoes again
// after it, also when no line came.
TEST_F(ToolSafetyTest, APasswordTypedAtATerminalIsNotEchoed) {
    const struct {
        std::string typed;
        int exitCode;
        const char* says;
    } cases[] = {{"s3cret\n", 0, "added user data source 'Typed'"},
                 {"\x04", 1, "--password-stdin found no line"}};
    for (const auto& c : cases) {
        const auto session = RunAtTerminal(
            {OMBRAL_TOOL, "--config", folder_.Path(), "add", "--name", "Typed", "--password-stdin"}, c.typed);
        EXPECT_EQ(session.exitCode, c.exitCode) << session.shown;
        EXPECT_THAT(session.shown, HasSubstr(c.says));
        EXPECT_THAT(session.shown, Not(HasSubstr("s3cret")));
        EXPECT_TRUE(session.echoesAfter);
    }
    EXPECT_EQ(odbcini::ReadIniFile(UserFile())->Value("Typed", "PWD"), "s3cret");
}

// A reader that goes away fails the output, not the work: every creator runs,
// and the tool says at the end what it could not write.
TEST_F(ToolSafetyTest, AReaderThatGoesAwayStopsNoCreator) {
    std::string form = "object Fifty: TComponent\n";
    for (int i = 1; i <= 50; ++i)
        form += "  object C" + std::to_string(i) + ": TOmbralCreator\n    Action = ADD_DSN\n    DSNNameOrAlias = 'S" +
                std::to_string(i) + "'\n  end\n";
    testsupport::WriteFile(Path("fifty.dfm"), form + "end\n");
    const auto ran = testsupport::Run({"sh", "-c",
                                       "{ " + std::string(OMBRAL_TOOL) + " --config " + folder_.Path() + " run " +
                                           Path("fifty.dfm") + "; echo $? >" + Path("status") + "; } | true"});
    EXPECT_EQ(testsupport::ReadFile(Path("status")), "1\n");
    EXPECT_THAT(ran.err, HasSubstr("ombral: cannot write standard output"));
    const auto file = odbcini::ReadIniFile(UserFile());
    for (int i = 1; i <= 50; ++i) EXPECT_TRUE(file->HasSection("S" + std::to_string(i))) << i;
}

TEST_F(ToolSafetyTest, SavedFormIsANewFileOfTheOwnersAlone) {
    const std::string fresh = Path("fresh.txt");
    ::umask(0);  // the test's children inherit it: the mode must not come from the umask
    ASSERT_EQ(Ombral({"save", fresh, "--name", "X", "--password", "p"}).exitCode, 0);
    ::umask(022);
    EXPECT_EQ(Mode(fresh), 0600u);

    // The form holds the password: nothing already there is written into or
    // through, whatever its mode.
    const std::string shared = Path("shared.txt"), target = Path("target.txt"), link = Path("link.txt");
    testsupport::WriteFile(shared, "old");
    ::chmod(shared.c_str(), 0644);
    testsupport::WriteFile(target, "old");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    for (const std::string& path : {shared, link, std::string("/dev/null")}) {
        const auto saved = Ombral({"save", path, "--name", "X", "--password", "TOPSECRET"});
        EXPECT_EQ(saved.exitCode, 1) << path;
        EXPECT_THAT(saved.err, HasSubstr(path + " exists already: not overwritten"));
    }
    EXPECT_EQ(testsupport::ReadFile(shared), "old");
    EXPECT_EQ(testsupport::ReadFile(target), "old");
    EXPECT_EQ(Mode(shared), 0644u);
}

TEST_F(ToolSafetyTest, ConfigureKeepsWhatItIsNotGiven) {
    ASSERT_EQ(Ombral({"add", "--name", "Shop", "--description", "tables", "--dir", "/srv/shop", "--user", "ann",
                      "--password", "pw", "--net-dir", "/srv/net", "--collate", "SwedishFinnish", "--net-style",
                      "5.x", "--page-timeout", "60", "--read-only", "--exclusive", "--safe-transactions", "2",
                      "--threads", "7", "--user-commit-sync", "--implicit-commit-sync", "Yes"})
                  .exitCode,
              0);
    auto before = odbcini::ReadIniFile(UserFile())->Entries("Shop");
    auto configured = Ombral({"configure", "--name", "Shop", "--description", "changed", "--no-read-only"});
    ASSERT_EQ(configured.exitCode, 0) << configured.err;
    for (auto& [key, value] : before)
        if (key == "Description") value = "changed";
        else if (key == "ReadOnly") value = "0";
    EXPECT_EQ(odbcini::ReadIniFile(UserFile())->Entries("Shop"), before);
}

TEST_F(ToolSafetyTest, ConfigureRefusesAStoredValueItCannotKeep) {
    const struct {
        const char* key;
        const char* value;
    } cases[] = {{"Threads", "abc"}, {"PageTimeout", "99999999999"}, {"CollatingSequence", "Klingon"},
                 {"ParadoxNetStyle", "6.x"}, {"ReadOnly", "maybe"}, {"UserCommitSync", "1"}};
    for (const auto& c : cases) {
        odbcini::UpdateIniFile(UserFile(), [&](odbcini::IniDocument& d) {
            d.ReplaceSection("Odd", {{"Driver", "Microsoft Paradox Driver (*.db )"}, {c.key, c.value}});
        });
        const auto before = testsupport::ReadFile(UserFile());
        auto configured = Ombral({"configure", "--name", "Odd", "--description", "changed"});
        EXPECT_EQ(configured.exitCode, 1) << c.key;
        EXPECT_THAT(configured.err, HasSubstr(std::string(c.key) + " = '" + c.value + "'"));
        EXPECT_EQ(testsupport::ReadFile(UserFile()), before);
    }
    // Given, the option replaces what could not be kept.
    auto replaced = Ombral({"configure", "--name", "Odd", "--no-user-commit-sync"});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(odbcini::ReadIniFile(UserFile())->Value("Odd", "UserCommitSync"), "No");
}

// A folder or an unreadable file in place of the user odbc.ini is said, not
// taken for an empty configuration.
TEST_F(ToolSafetyTest, AFileThatCannotBeReadIsNamed) {
    fs::remove(UserFile());
    fs::create_directory(UserFile());
    for (const auto& command : std::vector<std::vector<std::string>>{
             {"list"}, {"exists", "--name", "Kept"}, {"configure", "--name", "Kept"}, {"add", "--name", "New"}}) {
        auto result = Ombral(command);
        EXPECT_EQ(result.exitCode, 1) << command[0];
        EXPECT_THAT(result.err, HasSubstr(UserFile() + " is not a regular file"));
    }
    fs::remove(UserFile());
    testsupport::WriteFile(UserFile(), "[Kept]\n");
    ::chmod(UserFile().c_str(), 0);
    auto listed = Ombral({"list"}, AsOwnerWithoutPrivileges());
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_THAT(listed.err, HasSubstr("Permission denied"));
}

// A pipe or a device in place of a configuration file would hang or flood
// every reader, unixODBC's own among them: it is refused unread, and named.
TEST_F(ToolSafetyTest, ConfigurationFileThatIsNoRegularFileIsRefusedUnread) {
    const std::vector<std::vector<std::string>> commands{
        {"list"}, {"list", "--system"}, {"drivers"}, {"exists", "--name", "Kept"}, {"add", "--name", "New"}};
    const struct {
        std::string file;
        std::vector<std::string> reading;  // the command that reads it outside a private configuration
    } files[] = {{UserFile(), {"list"}}, {SystemFile(), {"list", "--system"}}, {DriverFile(), {"drivers"}}};
    const std::function<void(const std::string&)> kinds[] = {
        [](const std::string& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
        [](const std::string& file) { fs::create_symlink("/dev/zero", file); },
    };
    testsupport::RunOptions bounded;
    bounded.timeoutSeconds = 30;
    testsupport::RunOptions outside = bounded;
    outside.environment = Environment();
    for (const auto& [file, reading] : files)
        for (const auto& make : kinds) {
            const std::string kept = file + ".kept";
            fs::rename(file, kept);
            make(file);
            SCOPED_TRACE(file + (fs::is_symlink(file) ? " -> /dev/zero" : " (a pipe)"));
            for (const auto& command : commands) {
                const auto result = Ombral(command, bounded);
                ASSERT_FALSE(result.timedOut) << command[0];
                EXPECT_EQ(result.exitCode, 1) << command[0];
                EXPECT_THAT(result.err, HasSubstr("refusing the configuration in " + folder_.Path() + ": " + file));
            }
            std::vector<std::string> direct{OMBRAL_TOOL};
            direct.insert(direct.end(), reading.begin(), reading.end());
            const auto result = testsupport::Run(direct, outside);
            ASSERT_FALSE(result.timedOut) << reading[0];
            EXPECT_EQ(result.exitCode, 1) << reading[0];
            EXPECT_THAT(result.err, HasSubstr(file + " is not a regular file"));
            fs::remove(file);
            fs::rename(kept, file);
        }
}

// A link is read and written through, so what it leads to must pass the
// checks a file in its place would; nothing is read or changed through it.
TEST_F(ToolSafetyTest, LinkedConfigurationFileIsJudgedByItsTarget) {
    const std::string shared = Path("shared.ini"), foreign = Path("foreign.ini"), text = "[Victim]\nDriver=mine\n";
    testsupport::WriteFile(shared, text);
    testsupport::WriteFile(foreign, text);
    const struct {
        std::string target;
        bool needsRoot;
        std::string says;
    } cases[] = {
        {shared, false, "which is writable by its group or by others"},
        {foreign, true, "which belongs to user 0"},
    };
    for (const auto& c : cases) {
        if (c.needsRoot && !IsRoot()) continue;
        fs::remove(UserFile());
        fs::create_symlink(c.target, UserFile());
        const auto options = AsOwnerWithoutPrivileges();
        ::chmod(shared.c_str(), 0666);
        if (IsRoot()) {
            ASSERT_EQ(::chown(foreign.c_str(), 0, 0), 0);
        }
        for (const auto& command : std::vector<std::vector<std::string>>{
                 {"list"}, {"show", "--name", "Victim"}, {"add", "--name", "New"}, {"remove", "--name", "Victim"}}) {
            const auto result = Ombral(command, options);
            EXPECT_EQ(result.exitCode, 1) << c.target << " " << command[0];
            EXPECT_THAT(result.err, HasSubstr(UserFile() + " is a link to " + c.target + ", " + c.says));
            EXPECT_THAT(result.out, Not(HasSubstr("Victim")));
        }
        EXPECT_EQ(testsupport::ReadFile(c.target), text);
    }
    EXPECT_EQ(Mode(shared), 0666u);
}

TEST_F(ToolSafetyTest, AddWithoutTheDriverSaysHowToRegisterIt) {
    const std::string paradox = "Microsoft Paradox Driver (*.db )";
    odbcini::UpdateIniFile(DriverFile(), [&](odbcini::IniDocument& d) { d.RemoveSection(paradox); });
    auto added = Ombral({"add", "--name", "Fresh"});
    EXPECT_EQ(added.exitCode, 1);
    EXPECT_THAT(added.err, HasSubstr("the driver '" + paradox + "' is not installed"));
    EXPECT_THAT(added.err, HasSubstr("ombral register-drivers"));
    EXPECT_THAT(added.err, HasSubstr("--config DIR"));

    // A relative path is registered as the absolute one, once it loads.
    const fs::path setup = odbcsetup::FindSetupLibrary();
    const auto relative = fs::relative(setup).string();
    auto registered = Ombral({"register-drivers", "--setup", relative});
    ASSERT_EQ(registered.exitCode, 0) << registered.err;
    EXPECT_EQ(odbcini::ReadIniFile(DriverFile())->Value(paradox, "Setup"), setup.string());
    EXPECT_EQ(Ombral({"add", "--name", "Fresh"}).exitCode, 0);

    auto notSetup = Ombral({"register-drivers", "--setup", (setup.parent_path() / "libombral5.so").string()});
    EXPECT_EQ(notSetup.exitCode, 1);
    EXPECT_THAT(notSetup.err, HasSubstr("exports no ConfigDSN"));
}

TEST_F(ToolSafetyTest, RemoveDefaultNeedsNoName) {
    ASSERT_EQ(Ombral({"add", "--name", "Default"}).exitCode, 0);
    auto removed = Ombral({"remove", "--default"});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(removed.out, "removed the default data source\n");
    EXPECT_FALSE(odbcini::ReadIniFile(UserFile())->HasSection("Default"));
}

// The modes of the files made in `folder` while `work` runs, as each is made.
std::vector<unsigned> ModesOfFilesMadeIn(const std::string& folder, const std::function<void()>& work) {
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    EXPECT_GE(::inotify_add_watch(watch, folder.c_str(), IN_CREATE), 0);
    std::vector<unsigned> modes;
    std::atomic<bool> done = false;
    std::thread watcher([&] {
        alignas(inotify_event) char buffer[4096];
        // Once the work is done, what is still queued is read before the watch ends.
        for (bool last = false; !last;) {
            last = done;
            const ssize_t got = ::read(watch, buffer, sizeof buffer);
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                struct stat st {};
                if (event->len && ::stat((folder + "/" + event->name).c_str(), &st) == 0)
                    modes.push_back(st.st_mode & 07777);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    });
    work();
    done = true;
    watcher.join();
    ::close(watch);
    return modes;
}

// The inspector as a person drives it through standard input: a dialog takes
// one line, and saving keeps the form's owner, links and privacy.
TEST_F(ToolSafetyTest, InspectorKeepsItsLinesAndTheFormsOwnerLinksAndPrivacy) {
    const std::string form = Path("Form1.dfm"), twin = Path("Twin.dfm");
    const auto design = [&](const std::string& input) {
        return Ombral({"design", form, "--select", "OmbralCreator1"}, Input(input));
    };
    const struct {
        const char* label;
        std::function<void()> setup;
        std::string input;
        int exitCode;
        const char* says;
        std::function<void()> check;
    } cases[] = {
        {"a refused file name fails the edit alone", [] {},
         "edit DatabaseDir\n/missing/a.db\nset Tag 5\nsave\n", 1, "The folder does not exist: /missing",
         [&] { EXPECT_THAT(testsupport::ReadFile(form), HasSubstr("Tag = 5")); }},
        {"a word the About box does not know fails it alone", [] {}, "edit About\nset\nset Tag 6\nsave\n", 1,
         "has no control named 'set'", [&] { EXPECT_THAT(testsupport::ReadFile(form), HasSubstr("Tag = 6")); }},
        {"hard links stay", [&] { fs::create_hard_link(form, twin); }, "set Tag 7\nsave\n", 0, "",
         [&] {
             EXPECT_THAT(testsupport::ReadFile(twin), HasSubstr("Tag = 7"));
             EXPECT_EQ(fs::hard_link_count(form), 2u);
         }},
        {"the owner and mode stay",
         [&] {
             ::chmod(form.c_str(), 0664);
             if (IsRoot()) {
                 EXPECT_EQ(::chown(form.c_str(), 65534, 65534), 0);
             }
         },
         "set Tag 8\nsave\n", 0, "",
         [&] {
             struct stat st {};
             ::stat(form.c_str(), &st);
             EXPECT_EQ(st.st_mode & 07777, 0664u);
             if (IsRoot()) {
                 EXPECT_EQ(st.st_uid, 65534u);
             }
             EXPECT_THAT(testsupport::ReadFile(form), HasSubstr("Tag = 8"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove(twin);
        fs::remove(form);
        testsupport::WriteFile(form, "object Form1: TComponent\n  object OmbralCreator1: TOmbralCreator\n  end\nend\n");
        c.setup();
        const auto ran = design(c.input);
        EXPECT_EQ(ran.exitCode, c.exitCode) << ran.err;
        EXPECT_THAT(ran.err, HasSubstr(c.says));
        c.check();
    }
    // The new bytes are private from the moment their file is made, whatever the
    // umask. The file lives for a moment only: a watcher that comes too late
    // to see it has another try.
    testsupport::WriteFile(form, "object Form1: TComponent\n  object OmbralCreator1: TOmbralCreator\n  end\nend\n");
    ::chmod(form.c_str(), 0644);
    ::umask(0);
    std::vector<unsigned> modes;
    for (int attempt = 0; attempt < 10 && modes.empty(); ++attempt)
        modes = ModesOfFilesMadeIn(folder_.Path(), [&] {
            EXPECT_EQ(design("set Tag " + std::to_string(attempt) + "\nsave\n").exitCode, 0);
        });
    ::umask(022);
    ASSERT_FALSE(modes.empty()) << "no file was seen beside the form";
    for (unsigned mode : modes) EXPECT_EQ(mode, 0600u);
    EXPECT_EQ(Mode(form), 0644u);
}

// A command whose output cannot be written fails, naming why, as does a
// picture that cannot be written.
// A save that finds no room for its bytes (a file size limit stands in for a
// full disk) leaves the form as it was, whether it is written in place (a
// hard-linked form) or replaced whole.
TEST_F(ToolSafetyTest, ASaveWithNoRoomLeavesTheFormAsItWas) {
    const std::string form = Path("Form1.dfm"), twin = Path("Twin.dfm");
    std::string text = "object Form1: TComponent\n";
    for (int i = 0; i < 150; ++i) text += "  object C" + std::to_string(i) + ": TOmbralCreator\n  end\n";
    text += "end\n";
    for (const bool hardLinked : {true, false}) {
        SCOPED_TRACE(hardLinked ? "hard-linked" : "alone");
        fs::remove(twin);
        testsupport::WriteFile(form, text);
        if (hardLinked) fs::create_hard_link(form, twin);
        const auto saved = testsupport::Run(
            {"bash", "-c", "trap '' XFSZ; ulimit -f 8; exec \"$0\" \"$@\"", OMBRAL_TOOL, "--config", folder_.Path(),
             "design", form},
            Input("select C0\nset DSNUserDescription " + std::string(4000, 'D') + "\nsave\n"));
        EXPECT_EQ(saved.exitCode, 1);
        EXPECT_THAT(saved.err, HasSubstr("File too large"));
        EXPECT_TRUE(testsupport::ReadFile(form) == text) << "the form changed";
        EXPECT_TRUE(!hardLinked || testsupport::ReadFile(twin) == text) << "its other name changed";
    }
}

TEST_F(ToolSafetyTest, OutputThatCannotBeWrittenFailsTheCommand) {
    const std::string form = Path("Form1.dfm"), tool = std::string(OMBRAL_TOOL) + " --config " + folder_.Path();
    testsupport::WriteFile(form, "object Form1: TComponent\nend\n");
    fs::create_directory(Path("a-folder"));
    const struct {
        std::string command;  // run by sh
        int exitCode;
        std::string says;
    } cases[] = {
        {tool + " drivers >/dev/full", 1, "cannot write standard output: No space left on device"},
        {tool + " list >/dev/full", 1, "cannot write standard output"},
        {tool + " about </dev/null >/dev/full", 1, "cannot write standard output"},
        {"echo list | " + tool + " design " + form + " >/dev/full", 1, "cannot write standard output"},
        {tool + " about --png '' </dev/null", 2, "--png needs a file name"},
    };
    for (const auto& c : cases) {
        const auto ran = testsupport::Run({"sh", "-c", c.command});
        EXPECT_EQ(ran.exitCode, c.exitCode) << c.command;
        EXPECT_THAT(ran.err, HasSubstr(c.says)) << c.command;
    }
}

// The picture goes to a new file alone: whatever is at the path already is
// refused and left as it was, never written through.
TEST_F(ToolSafetyTest, AboutPictureIsWrittenToANewFileOnly) {
    const std::string victim = Path("victim.png"), text = "not a picture";
    testsupport::WriteFile(victim, text);
    fs::create_symlink(victim, Path("link.png"));
    fs::create_symlink(Path("missing.png"), Path("dangling.png"));
    fs::create_directory(Path("a-folder"));
    for (const std::string& existing : {victim, Path("link.png"), Path("dangling.png"), Path("a-folder"),
                                       std::string("/dev/null")}) {
        const auto result = Ombral({"about", "--png", existing});
        EXPECT_EQ(result.exitCode, 1) << existing;
        EXPECT_THAT(result.err, HasSubstr("cannot write the picture: " + existing + " exists already"));
    }
    EXPECT_EQ(testsupport::ReadFile(victim), text);
    EXPECT_FALSE(fs::exists(Path("missing.png")));

    const auto made = Ombral({"about", "--png", Path("new.png")});
    EXPECT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(testsupport::ReadFile(Path("new.png")).substr(0, 4), "\x89PNG");
}

// The picture module is found by the program's own place, not by its name
// on the command line or the current folder, wherever it is started from.
TEST_F(ToolSafetyTest, AboutLoadsThePictureModuleBesideTheProgram) {
    const fs::path tool = OMBRAL_TOOL;
    const std::string planted = Path("planted"), elsewhere = Path("elsewhere");
    fs::create_directory(planted);
    fs::create_directory(elsewhere);
    // A library that loads, but is no picture module: were it taken, about would fail naming it.
    fs::copy_file(odbcsetup::FindSetupLibrary(), planted + "/libombralgraphics.so");
    for (const std::string& folder : {planted, elsewhere}) {
        const auto result = testsupport::Run(
            {"sh", "-c", "cd '" + folder + "' && PATH='" + tool.parent_path().string() + "' exec " +
                             tool.filename().string() + " --config '" + folder_.Path() + "' about --png p.png </dev/null"});
        EXPECT_EQ(result.exitCode, 0) << folder << "\n" << result.err;
        EXPECT_TRUE(fs::exists(folder + "/p.png")) << folder;
    }
}

TEST_F(ToolSafetyTest, RunRefusesAFormTooLargeBeforeReadingIt) {
    const std::string big = Path("big.txt");
    testsupport::WriteFile(big, "");
    fs::resize_file(big, (16u << 20) + 1);
    auto ran = Ombral({"run", big});
    EXPECT_EQ(ran.exitCode, 1);
    EXPECT_THAT(ran.err, HasSubstr("larger than 16 MiB"));
}

// Of ten tools adding one name at once, one adds it and nine say it exists.
TEST_F(ToolSafetyTest, ConcurrentAddsOfOneNameAddItOnce) {
    std::vector<std::future<testsupport::ProcessResult>> runs;
    for (int i = 0; i < 10; ++i)
        runs.push_back(std::async(std::launch::async, [this, i] {
            return Ombral({"add", "--name", "Race", "--description", "tool " + std::to_string(i)});
        }));
    int added = 0, refused = 0;
    for (auto& run : runs) {
        auto result = run.get();
        if (result.exitCode == 0) ++added;
        if (result.exitCode == 1 && result.err.find("'Race' exists already") != std::string::npos) ++refused;
    }
    EXPECT_EQ(added, 1);
    EXPECT_EQ(refused, 9);
}

// What an add stopped halfway would leave: a data source that names no
// driver. It is said to be incomplete, configure leaves it be, add replaces it.
TEST_F(ToolSafetyTest, ADataSourceWithoutDriverIsIncompleteUntilAddedAgain) {
    odbcini::UpdateIniFile(UserFile(), [](odbcini::IniDocument& d) { d.ReplaceSection("Half", {{"Threads", "3"}}); });
    const std::vector<std::vector<std::string>> commands{
        {"exists", "--name", "Half"}, {"show", "--name", "Half"}, {"configure", "--name", "Half", "--threads", "9"}};
    for (const auto& command : commands) {
        const auto refused = Ombral(command);
        EXPECT_EQ(refused.exitCode, 1) << command[0];
        EXPECT_THAT(refused.err, HasSubstr("'Half' is incomplete: it names no Driver; 'ombral add' replaces it"));
    }
    EXPECT_EQ(odbcini::ReadIniFile(UserFile())->Entries("Half"), (std::vector<odbcini::Entry>{{"Threads", "3"}}));
    const auto added = Ombral({"add", "--name", "Half", "--description", "whole"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const auto stored = odbcini::ReadIniFile(UserFile());
    EXPECT_EQ(stored->Value("Half", "Driver"), stored->Value("Kept", "Driver"));
    EXPECT_EQ(Ombral({"exists", "--name", "Half"}).exitCode, 0);
}

// A change made while a tool holds the lock (an add resumed) is neither
// overtaken nor lost: configure and remove wait for it, and configure then
// keeps what it stored.
TEST_F(ToolSafetyTest, ConfigureAndRemoveWaitForTheLockAndKeepWhatItGuarded) {
    const struct {
        std::vector<std::string> command;
        std::vector<odbcini::Entry> kept;  // Kept's Description and Threads, none when it is gone
    } cases[] = {
        {{"configure", "--name", "Kept", "--threads", "9"}, {{"Description", "meanwhile"}, {"Threads", "9"}}},
        {{"remove", "--name", "Kept"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command[0]);
        const int lock = ::open((UserFile() + odbcsetup::kToolLockSuffix).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_EQ(::flock(lock, LOCK_EX), 0);
        auto run = std::async(std::launch::async, [&] { return Ombral(c.command); });
        EXPECT_EQ(run.wait_for(std::chrono::seconds(1)), std::future_status::timeout);
        odbcini::UpdateIniFile(UserFile(),
                               [](odbcini::IniDocument& d) { d.SetValue("Kept", "Description", "meanwhile"); });
        ::close(lock);
        const auto result = run.get();
        EXPECT_EQ(result.exitCode, 0) << result.err;
        std::vector<odbcini::Entry> kept;
        for (const auto& entry : odbcini::ReadIniFile(UserFile())->Entries("Kept"))
            if (entry.first == "Description" || entry.first == "Threads") kept.push_back(entry);
        EXPECT_EQ(kept, c.kept);
    }
}

// Made once, then left alone: no command re-registers the drivers.
TEST_F(ToolSafetyTest, PrivateConfigurationIsMadeOnceAndLeftAlone) {
    odbcini::UpdateIniFile(DriverFile(), [](odbcini::IniDocument& d) {
        d.SetValue("Microsoft Paradox Driver (*.db )", "UsageCount", "7");
    });
    const auto drivers = testsupport::ReadFile(DriverFile());
    for (const auto& command : std::vector<std::vector<std::string>>{{"exists", "--name", "Kept"}, {"list"}, {"drivers"}})
        EXPECT_EQ(Ombral(command).exitCode, 0) << command[0];
    EXPECT_EQ(testsupport::ReadFile(DriverFile()), drivers);

    const std::string fresh = Path("fresh/config");
    fs::create_directory(Path("fresh"));
    ASSERT_EQ(Ombral({"--config", fresh, "add", "--name", "X"}).exitCode, 0);
    EXPECT_EQ(Mode(fresh), 0700u);
    EXPECT_EQ(Mode(fresh + "/user"), 0700u);
    EXPECT_TRUE(odbcini::ReadIniFile(fresh + "/odbcinst.ini")->HasSection("Microsoft Paradox Driver (*.db )"));
}

// Every path under `folder`, links not followed.
std::set<std::string> Tree(const std::string& folder) {
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) paths.insert(entry.path().string());
    return paths;
}

// A dry run and a command that only reads leave no trace: no folder, no
// file, no lock file. Only a change makes a configuration, and never the
// folders above it.
TEST_F(ToolSafetyTest, DryRunsAndReadingCommandsWriteNothing) {
    const std::vector<std::vector<std::string>> commands{
        {"add", "--dry-run", "--name", "X"}, {"configure", "--dry-run", "--name", "Kept"},
        {"remove", "--dry-run", "--name", "Kept"}, {"run", "--dry-run", Path("form.txt")},
        {"list"}, {"list", "--system"}, {"show", "--name", "Kept"}, {"exists", "--name", "Kept"}, {"drivers"}};
    ASSERT_EQ(Ombral({"save", Path("form.txt"), "--name", "X"}).exitCode, 0);
    for (const auto& entry : Tree(folder_.Path()))
        if (entry.ends_with(".lock")) fs::remove(entry);
    const std::string absent = Path("absent");
    fs::remove(UserFile());
    const auto before = Tree(folder_.Path());
    for (const auto& command : commands) {
        Ombral(command);
        std::vector<std::string> inAbsent{"--config", absent};
        inAbsent.insert(inAbsent.end(), command.begin(), command.end());
        Ombral(inAbsent);
        EXPECT_EQ(Tree(folder_.Path()), before) << testing::PrintToString(command);
    }

    const std::string parent = Path("no-parent");
    auto added = Ombral({"--config", parent + "/config", "add", "--name", "X"});
    EXPECT_EQ(added.exitCode, 1);
    EXPECT_THAT(added.err, HasSubstr(parent + ": No such file or directory"));
    EXPECT_FALSE(fs::exists(parent));
}

// As ssh does with its own files: a folder or file that another user owns or
// could write is refused, and nothing is written through it.
TEST_F(ToolSafetyTest, ConfigurationOthersCouldTouchIsRefused) {
    const std::string victim = Path("victim.ini");
    testsupport::WriteFile(victim, "[Victim]\nDriver=mine\n");
    const struct {
        const char* entry;
        bool link;        // a symbolic link to the victim instead of a file
        unsigned mode;    // for a file or folder; 0 keeps it
        bool otherOwner;  // needs root
        const char* says;
    } cases[] = {
        {"", false, 0775, false, "is writable by its group or by others"},
        {"user", false, 0757, false, "is writable by its group or by others"},
        {"odbc.ini", false, 0666, false, "is writable by its group or by others"},
        {"user/odbc.ini.lock", false, 0622, false, "is writable by its group or by others"},
        {"odbcinst.ini", false, 0, true, "belongs to user 65534"},
        {"user/odbc.ini", true, 0, true, "belongs to user 65534"},
        {"odbcinst.ini.ombral.lock", true, 0, true, "belongs to user 65534"},
        {"", false, 0, true, "belongs to user 65534"},
    };
    for (const auto& c : cases) {
        if (c.otherOwner && !IsRoot()) continue;
        testsupport::TemporaryFolder config;
        const std::string entry = config.Path() + (*c.entry ? "/" : "") + c.entry;
        ASSERT_EQ(Ombral({"--config", config.Path(), "add", "--name", "Kept"}).exitCode, 0);
        if (c.link) {
            fs::remove(entry);
            fs::create_symlink(victim, entry);
        } else if (!fs::exists(entry)) {
            testsupport::WriteFile(entry, "");
        }
        if (c.mode) ::chmod(entry.c_str(), c.mode);
        if (c.otherOwner) {
            ASSERT_EQ(::lchown(entry.c_str(), 65534, 65534), 0);
        }
        for (const char* command : {"exists", "add"}) {
            auto result = Ombral({"--config", config.Path(), command, "--name", "Other"});
            EXPECT_EQ(result.exitCode, 1) << c.entry << " " << command;
            EXPECT_THAT(result.err, HasSubstr("refusing the configuration in " + config.Path()));
            EXPECT_THAT(result.err, HasSubstr(entry + " " + c.says));
        }
        EXPECT_EQ(testsupport::ReadFile(victim), "[Victim]\nDriver=mine\n") << c.entry;
        ::chmod(config.Path().c_str(), 0755);
    }

    // A folder above that others may rename things in, and one of another user's.
    const std::string above = Path("above"), config = above + "/config";
    fs::create_directory(above);
    ::chmod(above.c_str(), 0777);
    auto open = Ombral({"--config", config, "list"});
    EXPECT_EQ(open.exitCode, 1);
    EXPECT_THAT(open.err, HasSubstr("the folder " + above + " above it is writable by its group or by others"));
    ::chmod(above.c_str(), 01777);
    EXPECT_EQ(Ombral({"--config", config, "list"}).exitCode, 0);
    if (!IsRoot()) return;
    ::chmod(above.c_str(), 0755);
    ASSERT_EQ(::chown(above.c_str(), 65534, 65534), 0);
    EXPECT_THAT(Ombral({"--config", config, "list"}).err, HasSubstr(above + " above it belongs to user 65534"));
}

}  // namespace

namespace {

// The setup library's ConfigDSN, called as the installer calls it.
class SetupLibraryCall {
public:
    SetupLibraryCall() : library_(::dlopen(odbcsetup::FindSetupLibrary().c_str(), RTLD_NOW | RTLD_LOCAL)) {
        EXPECT_NE(library_, nullptr) << ::dlerror();
        if (library_) configDSN_ = reinterpret_cast<Function>(::dlsym(library_, "ConfigDSN"));
        EXPECT_NE(configDSN_, nullptr);
    }
    ~SetupLibraryCall() {
        if (library_) ::dlclose(library_);
    }
    bool operator()(WORD request, const std::string& attributes) const {
        return configDSN_ && configDSN_(nullptr, request, "Microsoft Paradox Driver (*.db )", attributes.c_str());
    }

private:
    using Function = BOOL (*)(HWND, WORD, LPCSTR, LPCSTR);
    void* library_;
    Function configDSN_ = nullptr;
};

// Keywords are the installer's, in any case; a system request is one on the
// system file, and the default data source goes by a request of its own.
TEST_F(ToolSafetyTest, SetupLibraryTakesKeywordsInAnyCaseAndRemovesTheDefault) {
    const std::vector<std::pair<std::string, std::string>> environment{{"ODBCSYSINI", folder_.Path()},
                                                                      {"ODBCINI", UserFile()}};
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    const SetupLibraryCall configDSN;
    EXPECT_TRUE(configDSN(ODBC_ADD_DSN, "dsn=Lower\0Description=d\0"s));
    EXPECT_TRUE(configDSN(ODBC_ADD_DSN, "Dsn=Default\0"s));
    EXPECT_TRUE(configDSN(ODBC_REMOVE_DEFAULT_DSN, ""));
    EXPECT_TRUE(configDSN(ODBC_ADD_SYS_DSN, "DSN=Shared\0"s));
    const bool added = odbcini::ReadIniFile(Path("odbc.ini"))->HasSection("Shared");
    EXPECT_TRUE(configDSN(ODBC_REMOVE_SYS_DSN, "DSN=Shared\0"s));
    for (const auto& [name, value] : environment) ::unsetenv(name.c_str());
    const auto file = odbcini::ReadIniFile(UserFile());
    EXPECT_EQ(file->Value("Lower", "Description"), "d");
    EXPECT_FALSE(file->HasSection("Default"));
    EXPECT_TRUE(added);
    EXPECT_FALSE(odbcini::ReadIniFile(Path("odbc.ini"))->HasSection("Shared"));
}

// The setup library itself refuses such names, whoever calls it; the reason
// shows the name with its control characters escaped.
TEST(SetupLibraryNames, ReservedNamesAndControlCharactersAreRefused) {
    const SetupLibraryCall configDSN;
    const struct {
        std::string name;
        const char* says;
    } cases[] = {
        {"ODBC", "reads the section 'ODBC'"},
        {"odbc data sources", "reads the section 'ODBC Data Sources'"},
        {"Tab\tName", "'Tab\\tName' holds a control character"},
        {"\x1b[31mRed", "'\\x1b[31mRed' holds a control character"},
        {"Del\x7f", "'Del\\x7f' holds a control character"},
        {std::string(33, 'n'), "longer than 32 bytes"},
    };
    for (const auto& c : cases) {
        const std::string attributes = "DSN=" + c.name + std::string(2, '\0');
        EXPECT_FALSE(configDSN(ODBC_ADD_DSN, attributes));
        std::string reasons;
        for (const auto& message : odbcsetup::InstallerMessages()) reasons += message;
        EXPECT_THAT(reasons, HasSubstr(c.says)) << c.says;
    }
}

}  // namespace
