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
#include <string_view>
#include <utility>

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

namespace {

std::runtime_error FileError(const std::string& what, const std::string& path, int error) {
    return std::runtime_error(what + " " + path + ": " + std::strerror(error));
}

// Closes the descriptor when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.Release()) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

void WriteAll(int fd, std::string_view text, const std::string& path) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw FileError("cannot write", path, errno);
        done += static_cast<std::size_t>(n);
    }
}

// All that is left to read of the descriptor, at most `limit` bytes and one more.
std::string ReadAll(int fd, std::uintmax_t limit, const std::string& path) {
    std::string content;
    char buffer[65536];
    while (content.size() <= limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw FileError("cannot read", path, errno);
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    return content;
}

// Opened for reading without waiting on a pipe, and only as a regular file.
Descriptor OpenRegular(const std::string& path, struct stat& st, const std::string& doing) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) throw FileError("cannot " + doing, path, errno);
    if (::fstat(fd.Get(), &st) != 0) throw FileError("cannot " + doing, path, errno);
    if (!S_ISREG(st.st_mode)) throw std::runtime_error(path + " is not a regular file");
    return fd;
}

bool Same(const struct stat& a, std::uint64_t device, std::uint64_t file) {
    return static_cast<std::uint64_t>(a.st_dev) == device && static_cast<std::uint64_t>(a.st_ino) == file;
}

// Where the new bytes go through a file of their own, made beside the old
// one: readable by this user alone from the start, whatever the umask.
Descriptor PrivateFileBeside(const std::string& target, std::string& temporary) {
    temporary = Folder(target) + "/." + fs::path(target).filename().string() + ".XXXXXX";
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.Get() < 0) throw FileError("cannot make a file beside", target, errno);
    if (::fchmod(fd.Get(), 0600) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw FileError("cannot make a file beside", target, error);
    }
    return fd;
}

// The new bytes take the file's place whole, keeping its owner, group and mode.
void ReplaceByRename(const std::string& target, const struct stat& old, std::string_view content) {
    std::string temporary;
    Descriptor fd = PrivateFileBeside(target, temporary);
    try {
        WriteAll(fd.Get(), content, temporary);
        if (::fsync(fd.Get()) != 0) throw FileError("cannot write", temporary, errno);
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd.Get(), old.st_uid, old.st_gid) != 0)
            throw FileError("cannot keep the owner of", target, errno);
        if (::fchmod(fd.Get(), old.st_mode & 07777) != 0) throw FileError("cannot keep the mode of", target, errno);
        if (::rename(temporary.c_str(), target.c_str()) != 0) throw FileError("cannot replace", target, errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    Descriptor folder(::open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) ::fsync(folder.Get());
}

// A file with other names, or one whose owner only the file itself can keep,
// is written where it is.
void RewriteInPlace(const std::string& target, const struct stat& old, std::string_view content) {
    Descriptor fd(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0) throw FileError("cannot write", target, errno);
    if (!Same(st, old.st_dev, old.st_ino)) throw std::runtime_error(target + " was replaced while it was saved");
    WriteAll(fd.Get(), content, target);
    if (::ftruncate(fd.Get(), static_cast<off_t>(content.size())) != 0 || ::fsync(fd.Get()) != 0)
        throw FileError("cannot write", target, errno);
}

}  // namespace

void WriteOwnerOnlyFile(const std::string& path, const std::string& text) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (fd.Get() < 0) throw FileError("cannot write", path, errno);
    WriteAll(fd.Get(), text, path);
    if (::close(fd.Release()) != 0) throw FileError("cannot write", path, errno);
}

void CreateOwnerOnlyFile(const std::string& path, const std::string& content) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.Get() < 0 && errno == EEXIST) throw std::runtime_error(path + " exists already: not overwritten");
    if (fd.Get() < 0) throw FileError("cannot write", path, errno);
    try {
        WriteAll(fd.Get(), content, path);
        if (::fsync(fd.Get()) != 0) throw FileError("cannot write", path, errno);
    } catch (...) {
        ::unlink(path.c_str());
        throw;
    }
}

FileSnapshot ReadFileSnapshot(const std::string& path, std::uintmax_t maxBytes) {
    struct stat st, at;
    if (::lstat(path.c_str(), &at) != 0) throw FileError("cannot read", path, errno);
    if (::stat(path.c_str(), &st) != 0) throw FileError("cannot read", path, errno);
    if (!S_ISREG(st.st_mode)) throw std::runtime_error(path + " is not a regular file");
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        throw std::runtime_error(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    Descriptor fd = OpenRegular(path, st, "read");
    FileSnapshot snapshot{ReadAll(fd.Get(), maxBytes, path), static_cast<std::uint64_t>(st.st_dev),
                          static_cast<std::uint64_t>(st.st_ino), S_ISLNK(at.st_mode),
                          static_cast<std::uint64_t>(at.st_dev), static_cast<std::uint64_t>(at.st_ino)};
    if (snapshot.content.size() > maxBytes)
        throw std::runtime_error(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    return snapshot;
}

FileSnapshot ReplaceReadFile(const std::string& path, const FileSnapshot& read, const std::string& content) {
    struct stat st, at;
    Descriptor fd = OpenRegular(path, st, "save");
    while (::flock(fd.Get(), LOCK_EX) != 0)
        if (errno != EINTR) throw FileError("cannot lock", path, errno);
    // The lock is taken on the file; only now can the path be trusted to still name it.
    if (::lstat(path.c_str(), &at) != 0) throw FileError("cannot save", path, errno);
    const bool link = S_ISLNK(at.st_mode);
    if (!Same(st, read.device, read.file) || link != read.link ||
        (link ? !Same(at, read.linkDevice, read.linkFile) : !Same(at, read.device, read.file)))
        throw std::runtime_error(path + " was replaced since it was read (another program or inspector saved"
                                        " it, or put another file there): not saved");
    if (ReadAll(fd.Get(), read.content.size(), path) != read.content)
        throw std::runtime_error(path + " was changed since it was read (by another program or inspector): not saved");
    const std::string target = link ? Target(path) : path;
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
        throw std::runtime_error(path + " is read-only: not saved");
    const bool otherNames = st.st_nlink > 1;
    const bool ownerKept = ::geteuid() == 0 || (st.st_uid == ::geteuid() && st.st_gid == ::getegid());
    if (otherNames || !ownerKept || ::access(Folder(target).c_str(), W_OK) != 0) RewriteInPlace(target, st, content);
    else ReplaceByRename(target, st, content);
    return ReadFileSnapshot(path, content.size());
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
