// Reading and rewriting a configuration file on disk: damage, modes, links,
// bounds, permissions, several writers at once and hostile input.

#include "IniFileFixture.h"

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace initest;
using namespace std::string_literals;
using posixfiles::ChangeProblem;

namespace {

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

}  // namespace
