// ombral.exe against the prefix's registry.

#include <Win32Api.h>
#include <aclapi.h>
#include <sddl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <future>

#include <platform/odbc/DriverRegistration.h>

#include "support/Files.h"
#include "support/OdbcTestConfiguration.h"
#include "support/Processes.h"

using testing::HasSubstr;
using testsupport::Scope;

namespace {

class Win32ToolTest : public testsupport::OdbcTest {
protected:
    testsupport::ProcessResult Ombral(std::vector<std::string> arguments, testsupport::RunOptions options = {}) {
        arguments.insert(arguments.begin(), OMBRAL_TOOL);
        return testsupport::Run(arguments, options);
    }
    std::string Path(const std::string& name) const { return folder_.Path() + "\\" + name; }

    testsupport::TemporaryFolder folder_;
};

using UnixName = char*(CDECL*)(LPCWSTR);

// A symbolic link, removed again with the test. Wine makes none itself (its
// CreateSymbolicLink does nothing), and asked to delete a link it deletes
// the file the link names; there the host's ln and rm see to it, on the
// files' Unix names.
class SymbolicLink {
public:
    SymbolicLink(const std::string& target, const std::string& link) : link_(link) {
        const auto unixName = reinterpret_cast<UnixName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
        if (!unixName) {
            EXPECT_TRUE(CreateSymbolicLinkA(link.c_str(), target.c_str(), 0));
            return;
        }
        const auto inUnix = [&](const std::string& path) {
            const std::wstring wide(path.begin(), path.end());
            char* name = unixName(wide.c_str());
            std::string result(name ? name : "");
            HeapFree(GetProcessHeap(), 0, name);
            return result;
        };
        const std::size_t slash = link.find_last_of('\\');
        unixLink_ = inUnix(link.substr(0, slash)) + "/" + link.substr(slash + 1);
        EXPECT_EQ(testsupport::Run({"/bin/ln", "-s", inUnix(target), unixLink_}).exitCode, 0);
    }
    ~SymbolicLink() {
        if (unixLink_.empty())
            DeleteFileA(link_.c_str());
        else
            testsupport::Run({"/bin/rm", "-f", unixLink_});
    }
    SymbolicLink(const SymbolicLink&) = delete;
    SymbolicLink& operator=(const SymbolicLink&) = delete;

private:
    std::string link_, unixLink_;
};

std::uint64_t FileIndex(const std::string& path, DWORD* links = nullptr) {
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (links) *links = info.nNumberOfLinks;
    return std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
}

// A file's access list as SDDL; its entries are what Windows enforces.
std::string AccessList(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return "unreadable";
    char* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                         &text, nullptr);
    std::string list(text ? text : "");
    LocalFree(text);
    LocalFree(descriptor);
    return list;
}

const std::wstring kUniKey = L"Software\\ODBC\\ODBC.INI\\Uni";

void SetWideValue(const std::wstring& name, const std::wstring& value) {
    const auto size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kUniKey.c_str(), name.c_str(), REG_SZ, value.c_str(), size),
              ERROR_SUCCESS);
}

std::wstring WideValue(const std::wstring& name) {
    wchar_t value[256] = {};
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kUniKey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

std::string UserSid() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    char user[256];
    DWORD size = sizeof user;
    GetTokenInformation(token, TokenUser, user, size, &size);
    CloseHandle(token);
    char* text = nullptr;
    ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &text);
    std::string sid(text);
    LocalFree(text);
    return sid;
}

TEST_F(Win32ToolTest, AddsAndRemovesAUserDataSource) {
    auto added = Ombral({"add", "--name", "X", "--description", "from the tool"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(Odbc().Value(Scope::User, "X", "Description"), "from the tool");
    EXPECT_EQ(Ombral({"exists", "--name", "X"}).exitCode, 0);
    const auto listed = Ombral({"list"}).out;
    EXPECT_THAT(listed, HasSubstr("X\tfrom the tool"));
    EXPECT_THAT(listed, testing::Not(HasSubstr("ODBC Data Sources")));
    auto again = Ombral({"add", "--name", "X"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_THAT(again.err, HasSubstr("exists already"));
    EXPECT_EQ(Ombral({"remove", "--name", "X"}).exitCode, 0);
    EXPECT_FALSE(Odbc().Exists(Scope::User, "X"));
}

TEST_F(Win32ToolTest, HasNoPrivateConfigurations) {
    EXPECT_EQ(Ombral({"--config", "C:\\x", "list"}).exitCode, 2);
    EXPECT_THAT(Ombral({"add", "--help"}).out, HasSubstr("ombral add"));
}

TEST_F(Win32ToolTest, RegisterDriversNeverReplacesAnotherDriverSilently) {
    Odbc().RegisterDriver("Microsoft Excel Driver (*.xls)", {{"Driver", "C:\\Windows\\odbcjt32.dll"}});
    const auto before = Odbc().DriverSnapshot();
    auto refused = Ombral({"register-drivers"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.err, HasSubstr("'Microsoft Excel Driver (*.xls)' is registered already"));
    EXPECT_EQ(Odbc().DriverSnapshot(), before);
    auto forced = Ombral({"register-drivers", "--force"});
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    const auto listed = Ombral({"drivers"});
    EXPECT_THAT(listed.out, HasSubstr("Driver=" + Odbc().SetupLibrary())) << listed.err;
    EXPECT_EQ(Ombral({"register-drivers"}).exitCode, 0);  // ours already: nothing to refuse
}

TEST_F(Win32ToolTest, ConfigureKeepsTheStoredValues) {
    ASSERT_EQ(Ombral({"add", "--name", "Kept", "--dir", "C:\\data", "--threads", "7", "--read-only"}).exitCode, 0);
    auto configured = Ombral({"configure", "--name", "Kept", "--description", "changed"});
    ASSERT_EQ(configured.exitCode, 0) << configured.err;
    EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "Description"), "changed");
    EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "DefaultDir"), "C:\\data");
    EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "Threads"), "7");
    EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "ReadOnly"), "1");
}

TEST_F(Win32ToolTest, RefusesWithTheReason) {
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"add", "--name", "Tab\tName"}, 1, "'Tab\\tName' holds a control character"},
        {{"add", "--name", "ODBC Data Sources"}, 1, "reads the section 'ODBC Data Sources'"},
        {{"register-drivers", "--setup", "C:\\absent\\setup.dll"}, 1, "cannot load C:\\absent\\setup.dll"},
        {{"register-drivers", "--setup", ""}, 2, "--setup needs a path"},
        {{"add", "--name", "X", "--name", "Y"}, 2, "--name is given twice"},
    };
    for (const auto& c : cases) {
        auto result = Ombral(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.back();
        EXPECT_THAT(result.err, HasSubstr(c.says));
    }
    // A dry run refuses what the installer would, before anything is sent.
    const auto nul =
        Ombral({"add", "--name", "N", "--password-stdin", "--dry-run"}, {.input = std::string("a\0b\n", 4)});
    EXPECT_EQ(nul.exitCode, 1);
    EXPECT_THAT(nul.err, HasSubstr("Password holds a NUL character"));
}

// Of ten tools adding one name at once, one adds it and nine say it exists.
TEST_F(Win32ToolTest, ConcurrentAddsOfOneNameAddItOnce) {
    std::vector<std::future<testsupport::ProcessResult>> runs;
    for (int i = 0; i < 10; ++i)
        runs.push_back(std::async(std::launch::async, [this] { return Ombral({"add", "--name", "Race"}); }));
    int added = 0, refused = 0;
    for (auto& run : runs) {
        auto result = run.get();
        added += result.exitCode == 0;
        refused += result.exitCode == 1 && result.err.find("'Race' exists already") != std::string::npos;
    }
    EXPECT_EQ(added, 1);
    EXPECT_EQ(refused, 9);
}

// A program that keeps the tool's lock makes it wait ten seconds, saying so,
// then give up with the reason, having changed nothing.
TEST_F(Win32ToolTest, GivesUpOnALockHeldByAnotherProgram) {
    HANDLE held = CreateMutexA(nullptr, TRUE, "Local\\OmbralTool-UserDataSources");
    ASSERT_TRUE(held);
    const auto started = std::chrono::steady_clock::now();
    const auto blocked = Ombral({"add", "--name", "Blocked"});
    const auto waited = std::chrono::steady_clock::now() - started;
    ReleaseMutex(held);
    CloseHandle(held);
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_THAT(blocked.err, HasSubstr("waiting for the lock Local\\OmbralTool-UserDataSources"));
    EXPECT_THAT(blocked.err, HasSubstr("another program has held it for 10 seconds: nothing changed"));
    EXPECT_GE(waited, std::chrono::seconds(10));
    EXPECT_FALSE(Odbc().Exists(Scope::User, "Blocked"));
}

// While an add holds the lock, configure and remove wait for it, and
// configure then keeps what the add stored rather than what it found before.
TEST_F(Win32ToolTest, ConfigureAndRemoveWaitForTheLock) {
    const struct {
        std::vector<std::string> command;
        std::optional<std::string> description, threads;  // Kept's, once the command ran
    } cases[] = {
        {{"configure", "--name", "Kept", "--threads", "9"}, "meanwhile", "9"},
        {{"remove", "--name", "Kept"}, std::nullopt, std::nullopt},
    };
    ASSERT_EQ(Ombral({"add", "--name", "Kept", "--threads", "3"}).exitCode, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command[0]);
        HANDLE held = CreateMutexA(nullptr, TRUE, "Local\\OmbralTool-UserDataSources");
        ASSERT_TRUE(held);
        auto run = std::async(std::launch::async, [&] { return Ombral(c.command); });
        EXPECT_EQ(run.wait_for(std::chrono::seconds(3)), std::future_status::timeout);
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\ODBC\\ODBC.INI\\Kept", "Description", REG_SZ,
                                  "meanwhile", 10),
                  ERROR_SUCCESS);
        ReleaseMutex(held);
        CloseHandle(held);
        const auto result = run.get();
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "Description"), c.description);
        EXPECT_EQ(Odbc().Value(Scope::User, "Kept", "Threads"), c.threads);
    }
}

// A stored value that the code page cannot hold would come back through the
// ANSI functions as '?' or a look-alike, and be written back so: configure
// refuses, naming it, and changes nothing. One the code page holds stays.
TEST_F(Win32ToolTest, ConfigureRefusesAStoredValueTheCodePageCannotHold) {
    const struct {
        std::wstring key, value;
        const char* says;
    } stored[] = {
        {L"DefaultDir", L"C:\\\u0414\u0430\u043d\u043d\u044b\u0435\\\u65e5\u672c", "DefaultDir"},
        {L"PWD", L"\u043f\u0430\u0440\u043e\u043b\u044c", "PWD"},
        {L"ParadoxUserName", L"\u0141ukasz", "ParadoxUserName"},
    };
    for (const auto& c : stored) {
        SCOPED_TRACE(c.says);
        ASSERT_EQ(Ombral({"add", "--name", "Uni", "--description", "before"}).exitCode, 0);
        SetWideValue(c.key, c.value);
        const auto refused = Ombral({"configure", "--name", "Uni", "--description", "just the description"});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_THAT(refused.err, HasSubstr("ODBC.INI\\Uni holds " + std::string(c.says) + " in characters"));
        EXPECT_EQ(WideValue(c.key), c.value);
        EXPECT_EQ(WideValue(L"Description"), L"before");
        ASSERT_EQ(Ombral({"remove", "--name", "Uni"}).exitCode, 0);
    }
    ASSERT_EQ(Ombral({"add", "--name", "Uni"}).exitCode, 0);
    SetWideValue(L"ParadoxUserName", L"Zo\u00eb Caf\u00e9");
    const auto configured = Ombral({"configure", "--name", "Uni", "--description", "just the description"});
    EXPECT_EQ(configured.exitCode, 0) << configured.err;
    EXPECT_EQ(WideValue(L"ParadoxUserName"), L"Zo\u00eb Caf\u00e9");
    EXPECT_EQ(WideValue(L"Description"), L"just the description");
}

// The inspector saves a form through a link by replacing the file it names,
// and a form with other names in place: no other file is touched.
TEST_F(Win32ToolTest, SavingAFormKeepsItsLinks) {
    const std::string form = Path("Form1.dfm"), twin = Path("Twin.dfm"), link = Path("Link.dfm");
    std::optional<SymbolicLink> linked;
    const struct {
        const char* label;
        std::string opened;  // the name the inspector is given
        std::function<void()> setup;
        std::function<void()> check;
    } cases[] = {
        {"a symbolic link is followed, not replaced", link, [&] { linked.emplace(form, link); },
         [&] {
             EXPECT_THAT(testsupport::ReadFile(form), HasSubstr("Tag = 7"));
             EXPECT_EQ(FileIndex(link), FileIndex(form));
         }},
        {"hard links stay", form, [&] { ASSERT_TRUE(CreateHardLinkA(twin.c_str(), form.c_str(), nullptr)); },
         [&] {
             DWORD links = 0;
             EXPECT_EQ(FileIndex(form, &links), FileIndex(twin));
             EXPECT_EQ(links, 2u);
             EXPECT_THAT(testsupport::ReadFile(twin), HasSubstr("Tag = 7"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        linked.reset();
        for (const auto& name : {twin, form}) DeleteFileA(name.c_str());
        testsupport::WriteFile(form, "object Form1: TComponent\n  object OmbralCreator1: TOmbralCreator\n  end\nend\n");
        c.setup();
        const auto ran = Ombral({"design", c.opened, "--select", "OmbralCreator1"}, {.input = "set Tag 7\nsave\n"});
        EXPECT_EQ(ran.exitCode, 0) << ran.err;
        c.check();
        EXPECT_EQ(GetFileAttributesA((form + "." + std::to_string(GetCurrentProcessId()) + ".new").c_str()),
                  INVALID_FILE_ATTRIBUTES);
    }
}

// save writes a new disk file that this user alone may open, and nothing
// else: not over a file, through a link or to a device.
TEST_F(Win32ToolTest, SaveWritesANewOwnerOnlyFileOnly) {
    const std::string taken = Path("taken.dfm"), dangling = Path("dangling.dfm"), absent = Path("absent.dfm");
    testsupport::WriteFile(taken, "kept");
    const SymbolicLink link(absent, dangling);
    for (const std::string& path : {taken, dangling}) {
        const auto refused = Ombral({"save", path, "--name", "Shop", "--password", "secret"});
        EXPECT_EQ(refused.exitCode, 1) << path;
        EXPECT_THAT(refused.err, HasSubstr(path + " exists already: not overwritten"));
    }
    EXPECT_EQ(testsupport::ReadFile(taken), "kept");
    EXPECT_EQ(GetFileAttributesA(absent.c_str()), INVALID_FILE_ATTRIBUTES);
    for (const std::string& device :
         std::vector<std::string>{"NUL", "com1", Path("Lpt9.dfm"), "C:\\x\\con .txt", "aux:", "COM\u00b9"}) {
        const auto refused = Ombral({"save", device, "--name", "Shop", "--password", "secret"});
        EXPECT_EQ(refused.exitCode, 1) << device;
        EXPECT_THAT(refused.err, HasSubstr(" names a device: not written"));
    }
    const std::string fresh = Path("fresh.dfm");
    ASSERT_EQ(Ombral({"save", fresh, "--name", "Shop", "--password", "secret"}).exitCode, 0);
    const std::string list = AccessList(fresh);
    EXPECT_THAT(list, HasSubstr("(A;;FA;;;" + UserSid() + ")"));
    for (const char* others : {";WD)", ";BU)", ";AU)", ";BA)"}) EXPECT_THAT(list, testing::Not(HasSubstr(others)));
}

}  // namespace

namespace {

void SetStored(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, DWORD size) {
    const std::wstring path = L"Software\\ODBC\\ODBC.INI\\" + key;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), type, data, size), ERROR_SUCCESS);
}

void SetStoredText(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    SetStored(key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Windows hands a program's main() its arguments in the code page, a
// character it lacks best-fitted to a look-alike: the tool would act on
// another name or path than the one given. It refuses such an argument, and
// such a password, naming the character; one the code page holds goes
// through unchanged.
TEST_F(Win32ToolTest, TextTheCodePageLacksIsRefusedNotBestFitted) {
    ASSERT_EQ(Ombral({"add", "--name", "AA"}).exitCode, 0);
    const std::string escaped = Path("escaped.dfm");
    ASSERT_TRUE(CreateDirectoryA(Path("a").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(Path("a\\b").c_str(), nullptr));
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::string> input;
        int exitCode;
        const char* says;
    } refused[] = {
        {{"remove", "--name", "ĀĀ"}, {}, 2, "argument 3 ('ĀĀ') holds 'Ā' (U+0100), which the code page (1252) lacks"},
        {{"add", "--name", "X", "--dir", "C:\\ｄｉｒ"}, {}, 2, "holds 'ｄ' (U+FF44)"},
        {{"save", Path("a\\b\\c＼..＼..＼..＼escaped.dfm"), "--name", "S"}, {}, 2, "holds '＼' (U+FF3C)"},
        {{"add", "--name", "Pw", "--password-stdin"}, "Łukasz\n", 1, "the password on standard input is no UTF-8 or"},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.arguments[0] + " " + row.arguments[1]);
        const auto result = Ombral(row.arguments, {.input = row.input});
        EXPECT_EQ(result.exitCode, row.exitCode);
        EXPECT_THAT(result.err, HasSubstr(row.says));
    }
    EXPECT_TRUE(Odbc().Exists(Scope::User, "AA"));
    EXPECT_FALSE(Odbc().Exists(Scope::User, "X"));
    EXPECT_FALSE(Odbc().Exists(Scope::User, "Pw"));
    EXPECT_EQ(GetFileAttributesA(escaped.c_str()), INVALID_FILE_ATTRIBUTES);

    const auto added =
        Ombral({"add", "--name", "Pw", "--password-stdin", "--dir", "C:\\Grüße"}, {.input = "pässwörd\n"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(Odbc().Value(Scope::User, "Pw", "PWD"), "p\xe4ssw\xf6rd");
    EXPECT_EQ(Odbc().Value(Scope::User, "Pw", "DefaultDir"), "C:\\Gr\xfc\xdf" "e");
}

// What the tool prints is UTF-8 with controls escaped; what the code page
// cannot hold, or is no text, is listed with escapes instead of left out or
// stopping the listing. A typed file name is taken as UTF-8 too, and a
// system message names the file it is about.
TEST_F(Win32ToolTest, ShowsWhatIsStoredInUtf8AndEscaped) {
    ASSERT_EQ(Ombral({"add", "--name", "Aü", "--description", "grüße"}).exitCode, 0);
    ASSERT_EQ(Ombral({"add", "--name", "Bidi"}).exitCode, 0);
    SetStoredText(L"\u0141\u00f3d\u017a", L"Description", L"from a Unicode program");
    SetStoredText(L"Bidi", L"Description", L"abc\u202edef");
    const BYTE bytes[] = {1, 2, 0xff};
    const DWORD number = 42;
    SetStored(L"Bidi", L"Bin", REG_BINARY, bytes, sizeof bytes);
    SetStored(L"Bidi", L"Num", REG_DWORD, &number, sizeof number);

    const auto listed = Ombral({"list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_THAT(listed.out, HasSubstr("Aü\tgrüße\r\n"));
    EXPECT_THAT(listed.out, HasSubstr("Bidi\tabc\\u202Edef\r\n"));
    EXPECT_THAT(listed.out, HasSubstr("\\u0141ód\\u017A\t\r\n"));
    EXPECT_THAT(listed.err, HasSubstr("cannot read the user data source '\\u0141ód\\u017A'"));
    const auto shown = Ombral({"show", "--name", "Bidi"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_THAT(shown.out, HasSubstr("Bin=hex:01,02,ff\r\n"));
    EXPECT_THAT(shown.out, HasSubstr("Num=dword:0000002a\r\n"));

    const std::string form = Path("Form1.dfm");
    ASSERT_EQ(Ombral({"save", form, "--name", "Shop"}).exitCode, 0);
    const auto saved = Ombral({"design", form}, {.input = "save " + Path("grüße.dfm") + "\n"});
    EXPECT_THAT(saved.out, HasSubstr("saved " + Path("grüße.dfm")));
    const std::wstring wideFolder(folder_.Path().begin(), folder_.Path().end());
    EXPECT_NE(GetFileAttributesW((wideFolder + L"\\gr\u00fc\u00dfe.dfm").c_str()), INVALID_FILE_ATTRIBUTES);

    const std::string notADll = Path("bad.dll");
    testsupport::WriteFile(notADll, "MZ and nothing else");
    const auto loaded = Ombral({"register-drivers", "--setup", notADll});
    EXPECT_EQ(loaded.exitCode, 1);
    EXPECT_THAT(loaded.err, testing::Not(HasSubstr("%1")));
    EXPECT_THAT(loaded.err, HasSubstr("cannot load " + notADll));
}

// A \\?\ path is one the system takes as it stands.
TEST_F(Win32ToolTest, RegistersASetupLibraryNamedByAnExtendedPath) {
    const std::string extended = "\\\\?\\" + odbcsetup::FindSetupLibrary();
    const auto registered = Ombral({"register-drivers", "--setup", extended, "--force"});
    EXPECT_EQ(registered.exitCode, 0) << registered.err;
    EXPECT_THAT(registered.out, HasSubstr("registered against " + extended + "\r\n"));
}

}  // namespace
