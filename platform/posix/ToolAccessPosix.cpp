// The tool's questions about unixODBC's files: whether they can be read and
// changed, its own lock beside them, and setup libraries loaded as the
// installer loads them.

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string_view>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/ToolAccess.h>
#include <platform/posix/Files.h>
#include <platform/posix/OdbcIniFile.h>

namespace odbcsetup {

namespace {

using host::CannotText;
using posixfiles::Descriptor;
using posixfiles::FileError;

std::string FileOf(bool system) {
    const auto files = odbcini::LocateOdbcFiles();
    return system ? files.systemOdbcIni : files.userOdbcIni;
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

// unixODBC needs the system file to exist; a user's own file is made on
// first use, as the setup library's store makes it.
std::optional<std::string> ChangeProblem(bool system) {
    const std::string file = FileOf(system);
    const auto ifMissing = system ? odbcini::IfMissing::Fail : odbcini::IfMissing::Create;
    const auto problem = posixfiles::ChangeProblem(file, ifMissing);
    if (!problem) return std::nullopt;
    return CannotText("change", file.empty() ? "the user's odbc.ini" : file, *problem);
}

namespace {

// The text of the 1-based line `number`, without its line break.
std::string_view LineOf(std::string_view text, int number) {
    std::size_t start = 0;
    for (int line = 1; line < number && start != std::string_view::npos; ++line) {
        start = text.find('\n', start);
        if (start != std::string_view::npos) ++start;
    }
    if (start == std::string_view::npos) return {};
    const std::string_view rest = text.substr(start);
    return rest.substr(0, rest.find('\n'));
}

}  // namespace

std::vector<std::string> UnreadLines(bool system) {
    const std::string file = FileOf(system);
    const auto document = odbcini::ReadIniFile(file);
    std::vector<std::string> lines;
    if (!document) return lines;
    for (const auto& damage : document->Damages())
        lines.push_back(file + " line " + std::to_string(damage.line) + " (" + damage.reason +
                        "): " + std::string(LineOf(document->Source(), damage.line)));
    return lines;
}

void IgnoreBrokenPipe() { ::signal(SIGPIPE, SIG_IGN); }

struct HiddenTyping::Saved {
    struct termios settings;
};

// The line break is still echoed, so that what follows starts on a line of its own.
HiddenTyping::HiddenTyping() {
    struct termios settings;
    if (::tcgetattr(STDIN_FILENO, &settings) != 0) return;
    struct termios hidden = settings;
    hidden.c_lflag = (hidden.c_lflag & ~static_cast<tcflag_t>(ECHO)) | ECHONL;
    if (::tcsetattr(STDIN_FILENO, TCSANOW, &hidden) == 0) saved_ = std::make_unique<Saved>(Saved{settings});
}

HiddenTyping::~HiddenTyping() {
    if (saved_) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_->settings);
}

// Beside the file a link finally names, as the update's own lock is.
ScopeLock::ScopeLock(bool system) {
    Descriptor lock = posixfiles::HoldLockFile(posixfiles::ResolveTarget(FileOf(system)) + kToolLockSuffix);
    handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(lock.Release()));
}

ScopeLock::~ScopeLock() { ::close(static_cast<int>(reinterpret_cast<std::intptr_t>(handle_))); }

namespace {

// Opened for reading without waiting on a pipe, and only as a regular file.
Descriptor OpenRegular(const std::string& path, struct stat& st, const std::string& doing) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0) throw FileError(CannotText(doing, path, errno));
    if (!S_ISREG(st.st_mode)) throw FileError(path + " is not a regular file");
    return fd;
}

bool Same(const struct stat& a, std::uint64_t device, std::uint64_t file) {
    return static_cast<std::uint64_t>(a.st_dev) == device && static_cast<std::uint64_t>(a.st_ino) == file;
}

// Writes over the file where it is, for one that must stay the same file.
void RewriteInPlace(const std::string& target, const struct stat& old, std::string_view content) {
    Descriptor fd(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0) throw FileError(CannotText("write", target, errno));
    if (!Same(st, old.st_dev, old.st_ino)) throw FileError(target + " was replaced while it was saved");
    posixfiles::WriteAll(fd.Get(), content, target);
    if (::ftruncate(fd.Get(), static_cast<off_t>(content.size())) != 0 || ::fsync(fd.Get()) != 0)
        throw FileError(CannotText("write", target, errno));
}

}  // namespace

void WriteOwnerOnlyFile(const std::string& path, const std::string& text) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (fd.Get() < 0) throw FileError(CannotText("write", path, errno));
    posixfiles::WriteAll(fd.Get(), text, path);
    if (fd.Close() != 0) throw FileError(CannotText("write", path, errno));
}

void CreateOwnerOnlyFile(const std::string& path, const std::string& content) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.Get() < 0 && errno == EEXIST) throw FileError(path + " exists already: not overwritten");
    if (fd.Get() < 0) throw FileError(CannotText("write", path, errno));
    try {
        posixfiles::WriteAll(fd.Get(), content, path);
        if (::fsync(fd.Get()) != 0) throw FileError(CannotText("write", path, errno));
    } catch (...) {
        ::unlink(path.c_str());
        throw;
    }
}

FileSnapshot ReadFileSnapshot(const std::string& path, std::uintmax_t maxBytes) {
    struct stat st, at;
    if (::lstat(path.c_str(), &at) != 0 || ::stat(path.c_str(), &st) != 0)
        throw FileError(CannotText("read", path, errno));
    if (!S_ISREG(st.st_mode)) throw FileError(path + " is not a regular file");
    const auto tooLarge = [&] { return FileError(path + " is larger than " + std::to_string(maxBytes) + " bytes"); };
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) throw tooLarge();
    Descriptor fd = OpenRegular(path, st, "read");
    FileSnapshot snapshot{posixfiles::ReadAll(fd.Get(), path, static_cast<std::size_t>(st.st_size), maxBytes),
                          static_cast<std::uint64_t>(st.st_dev),
                          static_cast<std::uint64_t>(st.st_ino),
                          S_ISLNK(at.st_mode),
                          static_cast<std::uint64_t>(at.st_dev),
                          static_cast<std::uint64_t>(at.st_ino)};
    if (snapshot.content.size() > maxBytes) throw tooLarge();
    return snapshot;
}

FileSnapshot ReplaceReadFile(const std::string& path, const FileSnapshot& read, const std::string& content) {
    struct stat st, at;
    Descriptor fd = OpenRegular(path, st, "save");
    posixfiles::LockExclusive(fd.Get(), path);
    // The lock is taken on the file; only now can the path be trusted to still name it.
    if (::lstat(path.c_str(), &at) != 0) throw FileError(CannotText("save", path, errno));
    const bool link = S_ISLNK(at.st_mode);
    if (!Same(st, read.device, read.file) || link != read.link ||
        (link ? !Same(at, read.linkDevice, read.linkFile) : !Same(at, read.device, read.file)))
        throw FileError(path + " was replaced since it was read (another program or inspector saved"
                               " it, or put another file there): not saved");
    if (posixfiles::ReadAll(fd.Get(), path, read.content.size(), read.content.size()) != read.content)
        throw FileError(path + " was changed since it was read (by another program or inspector): not saved");
    const std::string target = link ? posixfiles::ResolveTarget(path) : path;
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
        throw FileError(path + " is read-only: not saved");
    // Replaced whole only where this user may replace it keeping its group
    // too, and no other name of it would be left with the old bytes.
    const bool otherNames = st.st_nlink > 1;
    const bool groupKept = ::geteuid() == 0 || st.st_gid == ::getegid();
    if (otherNames || !groupKept || posixfiles::ChangeProblem(target, posixfiles::IfMissing::Fail))
        RewriteInPlace(target, st, content);
    else
        posixfiles::ReplaceWhole(target, &st, content);
    return ReadFileSnapshot(path, content.size());
}

std::optional<std::string> SetupLibraryProblem(const std::string& path) {
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return CannotText("load", path, ::dlerror());
    const bool exports = ::dlsym(library, "ConfigDSN") != nullptr;
    ::dlclose(library);
    if (!exports) return path + " exports no ConfigDSN: it is no setup library";
    return std::nullopt;
}

}  // namespace odbcsetup
