#pragma once
// What the tests of the configuration-file layer share: a fresh folder per
// test, byte-exact file access, and ini_writer run as another process.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/OdbcIniFile.h"

namespace initest {

using namespace odbcini;
namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteBytes(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

inline std::set<std::string> Listing(const fs::path& dir) {
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

inline bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// Runs ini_writer; as root it can run as "nobody" so permissions matter.
inline pid_t StartWriter(const std::vector<std::string>& args, int* out = nullptr, bool asNobody = false) {
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

inline int WaitFor(pid_t pid) {
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

inline const auto kAddDsn = [](IniDocument& doc) { doc.ReplaceSection("New", {{"Driver", "x"}}); };

}  // namespace initest
