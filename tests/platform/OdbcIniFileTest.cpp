#include "platform/posix/OdbcIniFile.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

using namespace odbcini;
using posixfiles::ChangeProblem;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

template <class F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const IniError& e) {
        return e.what();
    }
    return "<no IniError>";
}

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// Runs ini_writer; as root it can run as "nobody" so permissions matter.
pid_t StartWriter(const std::vector<std::string>& args, int* out = nullptr, bool asNobody = false) {
    int fds[2] = {-1, -1};
    if (out && pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        if (out) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
        }
        if (asNobody && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(126);
        std::vector<char*> argv{const_cast<char*>(INI_WRITER_PATH)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(INI_WRITER_PATH, argv.data());
        _exit(127);
    }
    if (out) {
        close(fds[1]);
        *out = fds[0];
    }
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1000;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/inifile-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        file_ = (dir_ / "odbc.ini").string();
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    fs::path dir_;
    std::string file_;
};

const auto kAddDsn = [](IniDocument& doc) { doc.ReplaceSection("New", {{"Driver", "x"}}); };

}  // namespace

// ---- documents --------------------------------------------------------------

TEST(IniDocument, UntouchedTextRoundTripsByteForByte) {
    const char* texts[] = {
        "", "\n\n", "[a]\nk=v", "[a]\r\nk=v", "[dup]\nk=1\n[DUP]\nk=2\n", "[a] trailing words\nempty=\n",
        "; comment\n# other\n\n[ODBC Data Sources]\nmydsn = MyDriver\n",
        "  [ spaced ]  \n\tKey\t=\t v a l \t\n key2=  =x= \n\n\n",
        "[a]\r\nk = v\r\n; c\r\n\r\n[b]\r\nx=y\r\n",
        "\xEF\xBB\xBF[bom]\nk=v\n",
    };
    for (const char* text : texts) {
        const IniDocument doc = IniDocument::Parse(text);
        EXPECT_EQ(doc.Serialize(), text);
        EXPECT_TRUE(doc.Damages().empty()) << text;
    }
}

TEST(IniDocument, LooksUpCaseInsensitivelyWithBlanksTrimmed) {
    const IniDocument doc = IniDocument::Parse(
        "[ My DSN ]\n\tDriver \t=  /usr/lib/x.so  \nDescription=a = b\nEmpty =\nDriver = second\n; Hidden = 1\n"
        "[Other]\nk=v\n[my dsn]\nlate=1\n");
    const struct { const char *section, *key; std::optional<std::string> value; } cases[] = {
        {"My DSN", "Driver", "/usr/lib/x.so"}, {"MY dsn", "DRIVER", "/usr/lib/x.so"},
        {"my dsn", "description", "a = b"},    {"My DSN", "Empty", ""},
        {"My DSN", "Hidden", std::nullopt},    {"My DSN", "late", std::nullopt},
        {"other", "K", "v"},                   {"Missing", "k", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(doc.Value(c.section, c.key), c.value) << c.section << "/" << c.key;
    EXPECT_EQ(doc.SectionNames(), (std::vector<std::string>{"My DSN", "Other", "my dsn"}));
    EXPECT_EQ(doc.Entries("OTHER"), (std::vector<Entry>{{"k", "v"}}));
    EXPECT_TRUE(doc.Entries("Missing").empty());
}

TEST(IniDocument, EditsChangeOnlyWhatTheyMust) {
    const struct { const char* before; std::function<void(IniDocument&)> edit; const char* after; } cases[] = {
        {"[a]\n  X =  1 \nY=2\n", [](auto& d) { d.SetValue("A", "x", "5"); }, "[a]\nx = 5\nY=2\n"},
        {"[a]\n  x =  1 \n", [](auto& d) { d.SetValue("a", "x", "1"); }, "[a]\n  x =  1 \n"},
        {"[a]\nx=1\n\n\n[b]\ny=2\n", [](auto& d) { d.SetValue("a", "z", "3"); }, "[a]\nx=1\nz = 3\n\n\n[b]\ny=2\n"},
        {"[a]\nx=1", [](auto& d) { d.SetValue("a", "z", ""); }, "[a]\nx=1\nz = \n"},
        {"[a]\nx=1", [](auto& d) { d.SetValue("a", "x", "2"); }, "[a]\nx = 2"},
        {"[a]\r\nx=1\r\n", [](auto& d) { d.SetValue("a", "x", "2"); }, "[a]\r\nx = 2\r\n"},
        {"[a]\r\nx=1", [](auto& d) { d.SetValue("a", "z", "3"); }, "[a]\r\nx=1\r\nz = 3\r\n"},
        {"[a]\r\nx=1", [](auto& d) { d.EnsureSection("b"); }, "[a]\r\nx=1\r\n\r\n[b]\r\n"},
        {"[a]\nx=1\n\n", [](auto& d) { d.EnsureSection("b"); }, "[a]\nx=1\n\n[b]\n"},
        {"[a]\n", [](auto& d) { d.EnsureSection("A"); }, "[a]\n"},
        {"", [](auto& d) { d.EnsureSection("b"); }, "[b]\n"},
        {"; hi\n", [](auto& d) { d.ReplaceSection("b", {{"k", "v"}}); }, "; hi\n\n[b]\nk = v\n"},
        {"[a]\nx=1\n; c\n\n[b]\ny=2\n", [](auto& d) { d.ReplaceSection("a", {{"k", "v"}, {"l", "w"}}); },
         "[a]\nk = v\nl = w\n\n[b]\ny=2\n"},
        {"[a]\nx=1\n[b]\n[A]\nz=2", [](auto& d) { d.ReplaceSection("a", {}); }, "[a]\n[b]\n"},
        {"[a]\nx=1\n\n[b]\ny=2\n\n[c]\n", [](auto& d) { EXPECT_TRUE(d.RemoveSection("B")); }, "[a]\nx=1\n\n[c]\n"},
        {"[a]\nx=1\n[b]\ny=2", [](auto& d) { EXPECT_TRUE(d.RemoveSection("b")); }, "[a]\nx=1\n"},
        {"[a]\n", [](auto& d) { EXPECT_FALSE(d.RemoveSection("b")); }, "[a]\n"},
        // Comments right above a header describe that section and go with it.
        {"[a]\nx=1\n\n; about b\n# more\n[b]\ny=2\n", [](auto& d) { d.RemoveSection("a"); },
         "; about b\n# more\n[b]\ny=2\n"},
        {"[a]\nx=1\n\n; about b\n[b]\ny=2\n", [](auto& d) { d.RemoveSection("b"); }, "[a]\nx=1\n\n"},
        {"; about a\n[a]\nx=1\n\n[b]\n", [](auto& d) { d.RemoveSection("a"); }, "[b]\n"},
        {"; file\n\n[a]\nx=1\n", [](auto& d) { d.RemoveSection("a"); }, "; file\n\n"},
        {"[a]\nx=1\n; about b\n[b]\n", [](auto& d) { d.ReplaceSection("a", {{"k", "v"}}); },
         "[a]\nk = v\n; about b\n[b]\n"},
        {"[a]\nx=1\n; about b\n[b]\n", [](auto& d) { d.SetValue("a", "z", "3"); }, "[a]\nx=1\nz = 3\n; about b\n[b]\n"},
        // An entry must not land behind a broken header, where it would be lost.
        {"[a]\nx=1\n[b\ny=2\n", [](auto& d) { d.SetValue("a", "z", "3"); }, "[a]\nx=1\nz = 3\n[b\ny=2\n"},
    };
    for (const auto& c : cases) {
        IniDocument doc = IniDocument::Parse(c.before);
        c.edit(doc);
        EXPECT_EQ(doc.Serialize(), c.after) << "from: " << c.before;
    }
}

// ---- damage -----------------------------------------------------------------

TEST_F(IniFileTest, DamagedFilesAreReadButNeverRewritten) {
    const struct { std::string text; int line; const char* reason; } cases[] = {
        {"[good]\nk=v\n[bad\nx=1\n", 3, "unterminated section header"},
        {"[good]\nk=v\n\x7f" "ELF\0\x01\x02\n"s, 3, "NUL byte"},
        {"[good]\nk=v\ncolour=\x1b[31mred\n", 3, "control character"},
        {"[good]\nk=v\nx=a\rb\r\n", 3, "control character"},
        {"[good]\nk=v\njust some words\n", 3, "no '='"},
        {"stray = 1\n[good]\nk=v\n", 1, "before the first section"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const IniDocument doc = IniDocument::Parse(c.text);
        ASSERT_EQ(doc.Damages().size(), 1u);
        EXPECT_EQ(doc.Damages()[0].line, c.line);
        EXPECT_TRUE(Contains(doc.Damages()[0].reason, c.reason)) << doc.Damages()[0].reason;
        EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{"good"});
        EXPECT_EQ(doc.Entries("good"), (std::vector<Entry>{{"k", "v"}}));
        EXPECT_EQ(doc.Serialize(), c.text);

        WriteBytes(file_, c.text);
        const std::string error = ErrorOf([&] { UpdateIniFile(file_, kAddDsn); });
        EXPECT_TRUE(Contains(error, file_) && Contains(error, "line " + std::to_string(c.line)) &&
                    Contains(error, c.reason))
            << error;
        EXPECT_EQ(ReadBytes(file_), c.text);
        EXPECT_EQ(ReadIniFile(file_)->Entries("good").size(), 1u);
    }
    EXPECT_EQ(Listing(dir_), (std::set<std::string>{"odbc.ini", "odbc.ini.lock"}));
}

// ---- what can be stored -------------------------------------------------------

TEST(IniChecks, RefuseWhatCouldNotBeReadBackAndLeaveTheDocument) {
    const struct { char what; std::string text; const char* message; } cases[] = {  // what: section, key, value
        {'s', "", "section name is empty"}, {'s', "a\nb", "holds a line break"}, {'s', "a\rb", "line break"},
        {'s', "a\0b"s, "NUL byte"},         {'s', "a\x01", "control character"}, {'s', " a", "blank"},
        {'s', "a\t", "blank"},              {'s', "a]b", "bracket"},            {'s', "[a", "bracket"},
        {'k', "", "key is empty"},          {'k', "a=b", "holds '='"},          {'k', ";a", "comment"},
        {'k', "#a", "comment"},             {'k', "[a", "section header"},      {'k', "a\n", "line break"},
        {'k', "a ", "blank"},               {'k', "\0"s, "NUL byte"},
        {'v', "one\ntwo", "value of 'Description' holds a line break"},
        {'v', "a\r", "line break"},         {'v', "a\0"s, "NUL byte"},          {'v', " a", "blank"},
        {'v', "a\t", "blank"},              {'v', "\x1b", "control character"},
        // Past what unixODBC reads back whole (see kMaxLineBytes).
        {'s', std::string(998, 's'), "is 998 bytes; unixODBC reads back at most 997"},
        {'k', std::string(997, 'k'), "is 997 bytes; unixODBC reads back at most 996"},
        {'k', std::string(994, 'k'), "the line of 'kkk"},  // with " = new": 1000 bytes
        {'v', std::string(499, 'v'), "value of 'Description' is 499 bytes; unixODBC reads back at most 498"},
        {'v', std::string(1 << 20, 'v'), "is 1048576 bytes"},
    };
    const std::string text = "[a]\nDescription = old\n[b]\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what + (": " + c.text.substr(0, 20)));
        const auto check = [&] {
            if (c.what == 's') CheckSectionName(c.text);
            if (c.what == 'k') {
                CheckKey(c.text);
                CheckValue(c.text, "new");
            }
            if (c.what == 'v') CheckValue("Description", c.text);
        };
        EXPECT_TRUE(Contains(ErrorOf(check), c.message)) << ErrorOf(check);

        IniDocument doc = IniDocument::Parse(text);
        const std::string section = c.what == 's' ? c.text : "a";
        const std::string key = c.what == 'k' ? c.text : "Description";
        const std::string value = c.what == 'v' ? c.text : "new";
        EXPECT_THROW(doc.SetValue(section, key, value), IniError);
        EXPECT_THROW(doc.ReplaceSection(section, {{"ok", "1"}, {key, value}}), IniError);
        if (c.what == 's') {
            EXPECT_THROW(doc.EnsureSection(section), IniError);
        }
        EXPECT_EQ(doc.Serialize(), text);
    }
}

TEST(IniChecks, AcceptedTextReadsBackExactly) {
    const struct { std::string section, key, value; } cases[] = {
        {"My DSN", "Description", ""},
        {"a=b", "Key With Spaces", "a = b ; not a comment"},
        {";x", "k]", "[x]"},
        {"\xC3\xBCn\xC3\xAF", "k\tk", "tab\tinside"},
        {std::string(kMaxLineBytes - 2, 's'), std::string(kMaxLineBytes - 3 - kMaxValueBytes, 'k'),
         std::string(kMaxValueBytes, 'v')},
    };
    for (const auto& c : cases) {
        IniDocument doc;
        doc.ReplaceSection(c.section, {{c.key, c.value}});
        doc.SetValue(c.section, "Other", c.value);
        const IniDocument back = IniDocument::Parse(doc.Serialize());
        EXPECT_TRUE(back.Damages().empty()) << c.key;
        EXPECT_EQ(back.Value(c.section, c.key), c.value) << c.key;
        EXPECT_EQ(back.Value(c.section, "Other"), c.value) << c.key;
    }
}

// ---- files ----------------------------------------------------------------------

TEST_F(IniFileTest, NewFileIsPrivateAndHoldsTheLongestValue) {
    const std::string big(kMaxValueBytes, 'x');
    const mode_t mask = umask(0);
    UpdateIniFile(file_, [&](IniDocument& d) { d.ReplaceSection("DSN", {{"Description", big}}); }, IfMissing::Create);
    umask(mask);
    EXPECT_EQ(fs::status(file_).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadIniFile(file_)->Value("dsn", "description"), big);
    EXPECT_EQ(Listing(dir_), (std::set<std::string>{"odbc.ini", "odbc.ini.lock"}));
}

// The set-group-ID and sticky bits are the file's too.
TEST_F(IniFileTest, ReplacedFileKeepsModeOwnerAndUntouchedText) {
    const std::string before = "; keep me\n[Old]\r\nDriver=y\r\n";
    for (const mode_t mode : {0640, 02640, 01644}) {
        SCOPED_TRACE(mode);
        WriteBytes(file_, before);
        if (geteuid() == 0) {
            ASSERT_EQ(chown(file_.c_str(), 65534, 65534), 0);
        }
        ASSERT_EQ(chmod(file_.c_str(), mode), 0);
        struct stat old, now;
        stat(file_.c_str(), &old);
        UpdateIniFile(file_, kAddDsn);
        stat(file_.c_str(), &now);
        EXPECT_EQ(now.st_mode & 07777, mode);
        EXPECT_EQ(now.st_uid, old.st_uid);
        EXPECT_EQ(now.st_gid, old.st_gid);
        EXPECT_NE(now.st_ino, old.st_ino) << "rewritten in place rather than replaced";
        EXPECT_EQ(ReadBytes(file_), before + "\n[New]\nDriver = x\n");
    }
}

TEST_F(IniFileTest, LinksAreWrittenThroughAndStayLinks) {
    fs::create_directories(dir_ / "real");
    fs::create_directories(dir_ / "sub");
    const std::string real = (dir_ / "real/target.ini").string();
    const struct { const char* path; std::vector<std::pair<const char*, std::string>> links; } cases[] = {
        {"odbc.ini", {{"odbc.ini", real}}},
        {"odbc.ini", {{"odbc.ini", "real/target.ini"}}},
        {"odbc.ini", {{"odbc.ini", "hop"}, {"hop", "real/target.ini"}}},
        {"sub/odbc.ini", {{"sub/odbc.ini", "../real/target.ini"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.links.front().second);
        WriteBytes(real, "[Old]\nk=v\n");
        for (const auto& [link, to] : c.links) fs::create_symlink(to, dir_ / link);
        UpdateIniFile((dir_ / c.path).string(), kAddDsn);
        for (const auto& [link, to] : c.links) EXPECT_EQ(fs::read_symlink(dir_ / link), to);
        EXPECT_EQ(ReadBytes(real), "[Old]\nk=v\n\n[New]\nDriver = x\n");
        EXPECT_EQ(Listing(dir_ / "real"), (std::set<std::string>{"target.ini", "target.ini.lock"}));
        for (const auto& [link, to] : c.links) fs::remove(dir_ / link);
    }
    // A dangling link: refused when the file must exist, else the target is made.
    fs::create_symlink("real/new.ini", file_);
    EXPECT_EQ(ReadIniFile(file_), nullptr);
    EXPECT_TRUE(Contains(ErrorOf([&] { UpdateIniFile(file_, kAddDsn); }), "does not exist"));
    EXPECT_FALSE(fs::exists(dir_ / "real/new.ini.lock"));
    UpdateIniFile(file_, kAddDsn, IfMissing::Create);
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_TRUE(ReadIniFile(dir_ / "real/new.ini")->HasSection("new"));
}

TEST_F(IniFileTest, MissingFileOrFailingChangeLeavesNoTrace) {
    EXPECT_EQ(ReadIniFile(file_), nullptr);
    EXPECT_TRUE(Contains(ErrorOf([&] { UpdateIniFile(file_, kAddDsn); }), file_ + "' does not exist"));
    EXPECT_TRUE(Listing(dir_).empty());

    WriteBytes(file_, "[a]\n");
    UpdateIniFile(file_, kAddDsn);
    const std::string after = ReadBytes(file_);
    EXPECT_THROW(UpdateIniFile(file_, [](IniDocument& d) { d.EnsureSection("b"); throw std::logic_error("boom"); }),
                 std::logic_error);
    EXPECT_THROW(UpdateIniFile(file_, [](IniDocument& d) { d.SetValue("nosuch", "k", "v"); }), IniError);
    EXPECT_EQ(ReadBytes(file_), after);
    EXPECT_EQ(Listing(dir_), (std::set<std::string>{"odbc.ini", "odbc.ini.lock"}));
    EXPECT_THROW(ReadIniFile(dir_.string()), IniError);  // a folder cannot be read as a file
}

// Up to the bound a file is read and updated; one byte past it is refused
// naming the file, and left as it was.
TEST_F(IniFileTest, FileLargerThanTheBoundIsRefusedUnread) {
    constexpr std::string_view kNone = "<no IniError>";
    const struct {
        std::uintmax_t size;
        std::string says;
    } cases[] = {{kMaxFileBytes, std::string(kNone)}, {kMaxFileBytes + 1, file_ + " is larger than 16777216 bytes"}};
    for (const auto& c : cases) {
        // Long comment lines: millions of empty ones would make the test slow.
        const std::string comment = ";" + std::string(998, 'x') + "\n";
        std::string text = "[a]\n";
        while (text.size() + comment.size() <= c.size) text += comment;
        WriteBytes(file_, text.append(c.size - text.size(), '\n'));
        EXPECT_EQ(ErrorOf([&] { ReadIniFile(file_); }), c.says) << c.size;
        EXPECT_TRUE(Contains(ErrorOf([&] { UpdateIniFile(file_, [](IniDocument&) {}); }), c.says)) << c.size;
        EXPECT_EQ(fs::file_size(file_), c.size);
    }
}

// A file is judged where a change writes it: by a link's target, a missing one
// by the folder it would be made in when the change may make it.
TEST_F(IniFileTest, ChangeProblemJudgesTheTarget) {
    WriteBytes(file_, "[a]\n");
    fs::create_directory(dir_ / "sub");
    fs::create_symlink("odbc.ini", dir_ / "good-link");
    fs::create_symlink("missing.ini", dir_ / "dangling");
    fs::create_symlink("absent/new.ini", dir_ / "into-nothing");
    fs::create_symlink("loop", dir_ / "loop");
    const struct { const char* name; bool writable, creatable; } cases[] = {
        {"odbc.ini", true, true},      {"good-link", true, true},      {"dangling", false, true},
        {"missing.ini", false, true},  {".", false, false},            {"sub", false, false},
        {"into-nothing", false, false}, {"loop", false, false},
    };
    for (const auto& c : cases) {
        const std::string path = (dir_ / c.name).string();
        EXPECT_EQ(!ChangeProblem(path, IfMissing::Fail), c.writable) << c.name;
        EXPECT_EQ(!ChangeProblem(path, IfMissing::Create), c.creatable) << c.name;
    }
    EXPECT_EQ(ChangeProblem("", IfMissing::Create), "it has no name");
    EXPECT_TRUE(Contains(ChangeProblem((dir_ / "into-nothing").string(), IfMissing::Create).value_or(""),
                         "may not write its folder " + (dir_ / "absent").string()));
}

TEST_F(IniFileTest, NotWritableFileOrFolderIsRefusedUntouched) {
    // Root ignores permission bits, so as root the writer runs as "nobody".
    const bool root = geteuid() == 0;
    if (root && !getpwuid(65534)) GTEST_SKIP() << "running as root and there is no user 65534 to drop to";
    const struct { const char* name; mode_t dirMode, fileMode; bool othersFile; } cases[] = {
        {"read-only folder", 0555, 0666, false},
        {"read-only file in a writable folder", 0777, 0444, false},
        // Writable, but a replacement would take the file from its owner.
        {"another user's file", 0777, 0666, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.othersFile && !root) continue;  // only root can make one
        const std::string text = "[a]\nk=v\n";
        WriteBytes(file_, text);
        chmod(file_.c_str(), c.fileMode);
        chmod(dir_.c_str(), c.dirMode);
        // Owning the file must not be enough: a read-only file stays unchanged.
        if (root) {
            ASSERT_EQ(chown(file_.c_str(), c.othersFile ? 0 : 65534, c.othersFile ? 0 : 65534), 0);
            EXPECT_EQ(WaitFor(StartWriter({file_, "add", "x"}, nullptr, true)), 1);
            EXPECT_EQ(WaitFor(StartWriter({file_, "writable"}, nullptr, true)), 3);
        } else {
            EXPECT_TRUE(Contains(ErrorOf([&] { UpdateIniFile(file_, kAddDsn); }), file_));
            EXPECT_TRUE(ChangeProblem(file_, IfMissing::Fail));
        }
        chmod(dir_.c_str(), 0700);
        EXPECT_EQ(ReadBytes(file_), text);
        for (const auto& name : Listing(dir_)) EXPECT_TRUE(name == "odbc.ini" || name == "odbc.ini.lock") << name;
    }
}

// ---- several processes ----------------------------------------------------------

TEST_F(IniFileTest, ConcurrentWritersKeepEachOthersSections) {
    constexpr int kWriters = 20;
    std::vector<pid_t> pids;
    for (int i = 0; i < kWriters; ++i) pids.push_back(StartWriter({file_, "add", "DSN" + std::to_string(i)}));
    for (pid_t pid : pids) EXPECT_EQ(WaitFor(pid), 0);
    const auto doc = ReadIniFile(file_);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->Damages().empty());
    EXPECT_EQ(doc->SectionNames().size(), static_cast<size_t>(kWriters));
    for (int i = 0; i < kWriters; ++i)
        EXPECT_EQ(doc->Value("dsn" + std::to_string(i), "Description"), "written by DSN" + std::to_string(i));
    EXPECT_EQ(Listing(dir_), (std::set<std::string>{"odbc.ini", "odbc.ini.lock"}));
}

TEST_F(IniFileTest, KilledWriterLeavesOldOrNewStateOfEverySection) {
    constexpr int kSections = 80;
    IniDocument seed;
    for (int i = 0; i < kSections; ++i)
        seed.ReplaceSection("DSN" + std::to_string(i), {{"Description", std::string(kMaxValueBytes, 'd')},
                                                        {"Comment", std::string(kMaxValueBytes, 'c')},
                                                        {"generation", "0"}});
    WriteBytes(file_, seed.Serialize());
    long last = 0;
    for (int round = 0; round < 5; ++round) {
        int out = -1;
        const pid_t pid = StartWriter({file_, "churn", "100000000"}, &out);
        ASSERT_GT(pid, 0);
        char started[8] = {};
        EXPECT_EQ(read(out, started, 7), 7) << "writer did not start";  // blocks until the first rewrite is done
        close(out);
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 40 * round));
        kill(pid, SIGKILL);
        EXPECT_EQ(WaitFor(pid), -SIGKILL);

        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file_)));
        const auto doc = ReadIniFile(file_);
        ASSERT_NE(doc, nullptr);
        EXPECT_TRUE(doc->Damages().empty());
        ASSERT_EQ(doc->SectionNames().size(), static_cast<size_t>(kSections));
        const std::string generation = doc->Value("DSN0", "generation").value_or("?");
        for (const auto& name : doc->SectionNames()) EXPECT_EQ(doc->Value(name, "generation"), generation) << name;
        EXPECT_GT(std::atol(generation.c_str()), last);
        last = std::atol(generation.c_str());

        // The next writer clears the copy the killed one may have left.
        UpdateIniFile(file_, [](IniDocument&) {});
        EXPECT_EQ(Listing(dir_), (std::set<std::string>{"odbc.ini", "odbc.ini.lock"}));
    }
}

// ---- hostile input ----------------------------------------------------------------

std::string Padded(std::string text, size_t size) { return text.append(size - text.size(), ' '); }

// What is refused leaves the file as it was; the copies that killed writers
// left are removed by the next writer, and nothing else is.
TEST_F(IniFileTest, HostileChangesAndPlantedFilesLeaveTheFileSound) {
    // Read in 999-byte pieces, this was a data source "Evil" loading /tmp/evil.so.
    const std::string injection =
        std::string(985, 'a') + Padded("[Evil]", 999) + Padded("Driver=/tmp/evil.so", 999) + "x";
    const std::string text = "[DSN]\nDriver = /usr/lib/libdrv.so\nPWD = secret\n";
    const fs::path victim = dir_ / "victim";
    const auto plant = [&](const std::string& name) { WriteBytes(dir_ / name, "[Copy]\nPWD = secret\n"); };
    const struct {
        const char* what;
        std::function<void()> setUp;
        std::function<void(IniDocument&)> change;
        const char* refusal;          // nullptr: accepted
        std::set<std::string> kept;   // beside odbc.ini and its lock
    } cases[] = {
        {"injection through a value", {}, [&](auto& d) { d.SetValue("DSN", "Description", injection); },
         "is 2984 bytes; unixODBC reads back at most 498", {}},
        {"injection through a new section", {}, [&](auto& d) { d.ReplaceSection("New", {{"Description", injection}}); },
         "reads back at most 498", {}},
        {"value at the limit", {}, [&](auto& d) { d.SetValue("DSN", "Description", std::string(kMaxValueBytes, 'd')); },
         nullptr, {}},
        {"line past the limit", {}, [&](auto& d) { d.SetValue("DSN", std::string(600, 'k'), std::string(400, 'v')); },
         "the line of", {}},
        {"section name past the limit", {}, [&](auto& d) { d.EnsureSection(std::string(kMaxLineBytes - 1, 's')); },
         "reads back at most 997", {}},
        {"copies left by killed writers", [&] { plant("odbc.ini.tmp-Ab12Cd"); plant("odbc.ini.tmp-zzzzzz"); },
         kAddDsn, nullptr, {}},
        {"copies are cleared even when the change is refused", [&] { plant("odbc.ini.tmp-Qr5T9x"); },
         [&](auto& d) { d.SetValue("DSN", "Description", injection); }, "at most 498", {}},
        {"look-alike names", [&] {
             plant("odbc.ini.tmp-abcde");
             plant("odbc.ini.tmp-abcdefg");
             plant("odbc.ini.tmp-abc.de");
             plant("other.ini.tmp-abcdef");
             fs::create_directory(dir_ / "odbc.ini.tmp-folder");
         },
         kAddDsn, nullptr, {"odbc.ini.tmp-abcde", "odbc.ini.tmp-abcdefg", "odbc.ini.tmp-abc.de", "other.ini.tmp-abcdef",
                            "odbc.ini.tmp-folder"}},
        {"a link planted at a temporary name", [&] {
             WriteBytes(victim, "precious");
             fs::create_symlink(victim, dir_ / "odbc.ini.tmp-LINK01");
         },
         kAddDsn, nullptr, {"odbc.ini.tmp-LINK01", "victim"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& name : Listing(dir_)) fs::remove_all(dir_ / name);
        WriteBytes(file_, text);
        if (c.setUp) c.setUp();
        const std::string error = ErrorOf([&] { UpdateIniFile(file_, c.change); });
        if (c.refusal) {
            EXPECT_TRUE(Contains(error, c.refusal)) << error;
            EXPECT_EQ(ReadBytes(file_), text);
        } else {
            EXPECT_EQ(error, "<no IniError>");
            EXPECT_TRUE(ReadIniFile(file_)->Damages().empty());
        }
        std::set<std::string> expected = c.kept;
        expected.insert({"odbc.ini", "odbc.ini.lock"});
        EXPECT_EQ(Listing(dir_), expected);
    }
    EXPECT_EQ(ReadBytes(victim), "precious");
}

// ---- reads of a changing file --------------------------------------------------------

TEST_F(IniFileTest, EveryReadSeesTheFileAsItIsNow) {
    const std::string before = "[DSN]\nDescription = one\n";
    const fs::path tmpl = dir_ / "template.ini";
    WriteBytes(tmpl, "[Other]\nDriver = x\n");
    const struct {
        const char* what;
        std::function<void()> change;
        const char* section;
        const char* description;
    } cases[] = {
        {"replaced by another writer", [&] { EXPECT_EQ(WaitFor(StartWriter({file_, "add", "DSN"})), 0); }, "DSN",
         "written by DSN"},
        {"rewritten in place by odbcinst", [&] {
             const std::string command = "ODBCSYSINI=" + dir_.string() + " ODBCINI=" + file_ +
                                         " odbcinst -i -s -f " + tmpl.string() + " >/dev/null";
             EXPECT_EQ(std::system(command.c_str()), 0);
         },
         "Other", nullptr},
        // Same inode, size and modification time: only the change time or
        // the text itself can tell, and within one clock tick not the former.
        {"rewritten in place to the same size with the old modification time", [&] {
             struct stat st;
             ASSERT_EQ(stat(file_.c_str(), &st), 0);
             std::fstream(file_, std::ios::in | std::ios::out | std::ios::binary)
                 .write("[DSN]\nDescription = two\n", 25);
             const timespec times[2] = {st.st_atim, st.st_mtim};
             ASSERT_EQ(utimensat(AT_FDCWD, file_.c_str(), times, 0), 0);
         },
         "DSN", "two"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (int round = 0; round < 20; ++round) {
            WriteBytes(file_, before);
            ASSERT_EQ(ReadIniFile(file_)->Value("DSN", "Description"), "one");
            c.change();
            const auto now = ReadIniFile(file_);
            ASSERT_TRUE(now->HasSection(c.section));
            if (c.description) {
                EXPECT_EQ(now->Value(c.section, "Description"), c.description);
            }
        }
    }
}

TEST_F(IniFileTest, UnchangedFileIsNotParsedAgain) {
    WriteBytes(file_, "[DSN]\nDescription = one\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // past any write in the same clock tick
    const auto first = ReadIniFile(file_);
    EXPECT_EQ(ReadIniFile(file_), first);
    UpdateIniFile(file_, kAddDsn);
    EXPECT_NE(ReadIniFile(file_), first);
}

// ---- where the files are ----------------------------------------------------------

TEST(LocateOdbcFiles, FollowsTheEnvironmentAndThePasswordDatabase) {
    const char* names[] = {"ODBCSYSINI", "ODBCINSTINI", "ODBCINI", "HOME"};
    std::vector<std::optional<std::string>> saved;
    for (const char* n : names) saved.push_back(getenv(n) ? std::optional<std::string>(getenv(n)) : std::nullopt);
    const auto set = [](const char* name, const char* value) { value ? setenv(name, value, 1) : unsetenv(name); };

    const passwd* pw = getpwuid(getuid());
    const std::string home = pw ? std::string(pw->pw_dir) + "/.odbc.ini" : "";
    set("HOME", "/no/such/home");  // unixODBC goes by the password database, and so must we
    const struct { const char *sysIni, *instIni, *odbcIni; std::string inst, sys, user; } cases[] = {
        {nullptr, nullptr, nullptr, "/etc/odbcinst.ini", "/etc/odbc.ini", home},
        {"/opt/odbc", nullptr, nullptr, "/opt/odbc/odbcinst.ini", "/opt/odbc/odbc.ini", home},
        {"/opt/odbc/", "drivers.ini", "/u/my.ini", "/opt/odbc/drivers.ini", "/opt/odbc/odbc.ini", "/u/my.ini"},
        {"", "/abs/inst.ini", "", "/abs/inst.ini", "/etc/odbc.ini", home},
    };
    for (const auto& c : cases) {
        set("ODBCSYSINI", c.sysIni);
        set("ODBCINSTINI", c.instIni);
        set("ODBCINI", c.odbcIni);
        const OdbcFiles files = LocateOdbcFiles();
        EXPECT_EQ(files.odbcinstIni, c.inst);
        EXPECT_EQ(files.systemOdbcIni, c.sys);
        EXPECT_EQ(files.userOdbcIni, c.user);
    }
    for (size_t i = 0; i < std::size(names); ++i) set(names[i], saved[i] ? saved[i]->c_str() : nullptr);
}
