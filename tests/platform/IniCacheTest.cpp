// Reads of a file that changes under them: each sees the file as it is now,
// and an unchanged one is not parsed again.

#include "IniFileFixture.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

using namespace initest;

namespace {

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

}  // namespace
