// The tool's questions about unixODBC's files: whether they can be read and
// changed, its own lock beside them, and setup libraries loaded as the
// installer loads them.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include <platform/odbc/ToolAccess.h>
#include <platform/posix/OdbcIniFile.h>

namespace odbcsetup {

namespace {

namespace fs = std::filesystem;

std::string FileOf(bool system) {
    const auto files = odbcini::LocateOdbcFiles();
    return system ? files.systemOdbcIni : files.userOdbcIni;
}

// The file a link finally names, since that is what gets replaced.
std::string Target(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    return error ? path : target.string();
}

std::string Folder(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

bool MayWrite(const std::string& path, int& error) {
    if (::access(path.c_str(), W_OK) == 0) return true;
    error = errno;
    return error != EACCES && error != EROFS && error != EPERM;  // other failures are reported where they occur
}

}  // namespace

std::optional<std::string> ReadProblem(bool system) {
    try {
        odbcini::ReadIniFile(FileOf(system));
        return std::nullopt;
    } catch (const odbcini::IniError& error) {
        return std::string(error.what());
    }
}

std::optional<std::string> ChangeProblem(bool system) {
    const std::string file = FileOf(system), target = Target(file);
    int error = 0;
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !MayWrite(target, error))
        return "cannot change " + file + ": this user may not write it (" + std::strerror(error) + ")";
    if ((exists || !system) && !MayWrite(Folder(target), error))
        return "cannot change " + file + ": this user may not write its folder " + Folder(target) +
               ", where the file is replaced (" + std::strerror(error) + ")";
    return std::nullopt;
}

ScopeLock::ScopeLock(bool system) {
    const std::string path = Target(FileOf(system)) + kToolLockSuffix;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) throw std::runtime_error("cannot open the lock file " + path + ": " + std::strerror(errno));
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        ::close(fd);
        throw std::runtime_error("cannot lock " + path + ": " + std::strerror(error));
    }
    handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(fd));
}

ScopeLock::~ScopeLock() { ::close(static_cast<int>(reinterpret_cast<std::intptr_t>(handle_))); }

void WriteOwnerOnlyFile(const std::string& path, const std::string& text) {
    const auto failure = [&](int error) { return std::runtime_error("cannot write " + path + ": " + std::strerror(error)); };
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) throw failure(errno);
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            throw failure(error);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) throw failure(errno);
}

std::optional<std::string> SetupLibraryProblem(const std::string& path) {
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return "cannot load " + path + ": " + ::dlerror();
    const bool exports = ::dlsym(library, "ConfigDSN") != nullptr;
    ::dlclose(library);
    if (!exports) return path + " exports no ConfigDSN: it is no setup library";
    return std::nullopt;
}

}  // namespace odbcsetup
