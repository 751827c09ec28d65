// Where unixODBC's configuration files are, by its environment variables and
// the user's home folder.

#include "platform/posix/OdbcIniFile.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace odbcini {
namespace {

std::string ReadHomeDirectory(uid_t uid) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd pw;
    struct passwd* found = nullptr;
    int rc;
    while ((rc = ::getpwuid_r(uid, &pw, buf.data(), buf.size(), &found)) == ERANGE && buf.size() < (1u << 20))
        buf.resize(buf.size() * 2);
    if (rc != 0 || !found || !found->pw_dir) return {};
    return found->pw_dir;
}

// Looked up once per user: the files are located for every key opened, and a
// look-up in the password database costs as much as reading a large file.
std::string HomeDirectory() {
    static std::mutex mutex;
    static std::map<uid_t, std::string> homes;
    const std::lock_guard guard(mutex);
    const uid_t uid = ::getuid();
    const auto known = homes.find(uid);
    return known != homes.end() ? known->second : homes.emplace(uid, ReadHomeDirectory(uid)).first->second;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

using posixfiles::Join;

OdbcFiles LocateOdbcFiles() {
    std::string sysDir = Env("ODBCSYSINI");
    if (sysDir.empty()) sysDir = "/etc";
    OdbcFiles files;
    const std::string inst = Env("ODBCINSTINI");
    files.odbcinstIni = inst.empty() ? Join(sysDir, "odbcinst.ini") : inst.front() == '/' ? inst : Join(sysDir, inst);
    files.systemOdbcIni = Join(sysDir, "odbc.ini");
    files.userOdbcIni = Env("ODBCINI");
    if (files.userOdbcIni.empty()) {
        // Without a home directory there is no user file; an empty name makes
        // reads find nothing and updates fail.
        const std::string home = HomeDirectory();
        if (!home.empty()) files.userOdbcIni = Join(home, ".odbc.ini");
    }
    return files;
}

}  // namespace odbcini
