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
#include <filesystem>
#include <string_view>

#include <platform/files/SaveRefusals.h>
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

std::optional<std::string> ReadProblemOf(const std::string& file) {
    try {
        odbcini::ReadIniFile(file);
        return std::nullopt;
    } catch (const odbcini::IniError& error) {
        return std::string(error.what());
    }
}

}  // namespace

std::optional<std::string> ReadProblem(bool system) { return ReadProblemOf(FileOf(system)); }

std::optional<std::string> DriversReadProblem() { return ReadProblemOf(odbcini::LocateOdbcFiles().odbcinstIni); }

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

Descriptor OpenRegular(const std::string& path, struct stat& st, const std::string& doing) {
    Descriptor fd = posixfiles::OpenToRead(path);
    posixfiles::RequireRegular(fd, path, st, doing);
    return fd;
}

bool Same(const struct stat& a, std::uint64_t device, std::uint64_t file) {
    return static_cast<std::uint64_t>(a.st_dev) == device && static_cast<std::uint64_t>(a.st_ino) == file;
}

// Takes the room for `size` bytes before any is written, so that a full disk
// or a file size limit refuses the save while the file is still whole.
void ReserveRoom(int fd, const std::string& target, off_t oldSize, std::size_t size) {
    if (static_cast<std::uintmax_t>(size) <= static_cast<std::uintmax_t>(oldSize)) return;
    const int error = ::posix_fallocate(fd, 0, static_cast<off_t>(size));
    if (error == 0) return;
    // Where the file system cannot reserve, the fallback writes zeros past the
    // end and may have grown the file before it failed.
    const bool whole = ::ftruncate(fd, oldSize) == 0;
    throw saverefusals::NoRoom(CannotText("save", target, error), whole);
}

void WriteFromStart(int fd, std::string_view content, const std::string& target) {
    if (::lseek(fd, 0, SEEK_SET) != 0) throw FileError(CannotText("write", target, errno));
    posixfiles::WriteAll(fd, content, target);
    if (::ftruncate(fd, static_cast<off_t>(content.size())) != 0 || ::fsync(fd) != 0)
        throw FileError(CannotText("write", target, errno));
}

// Writes over the file where it is, for one that must stay the same file:
// with no copy to fall back on, the room is reserved first, and should a
// write fail all the same the old bytes are put back.
void RewriteInPlace(const std::string& target, const struct stat& old, std::string_view oldContent,
                    std::string_view content) {
    Descriptor fd(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0) throw FileError(CannotText("write", target, errno));
    if (!Same(st, old.st_dev, old.st_ino)) throw saverefusals::ReplacedWhileSaved(target);
    ReserveRoom(fd.Get(), target, old.st_size, content.size());
    saverefusals::WriteOrPutBack(content, oldContent,
                                 [&](std::string_view bytes) { WriteFromStart(fd.Get(), bytes, target); });
}

}  // namespace

void CreateOwnerOnlyFile(const std::string& path, const std::string& content) {
    Descriptor fd = posixfiles::CreateNew(path, 0600);
    try {
        posixfiles::WriteAllDurably(fd.Get(), content, path);
    } catch (...) {
        ::unlink(path.c_str());
        throw;
    }
}

FileSnapshot ReadFileSnapshot(const std::string& path, std::uintmax_t maxBytes) {
    struct stat st, at;
    if (::lstat(path.c_str(), &at) != 0) throw FileError(CannotText("read", path, errno));
    Descriptor fd = OpenRegular(path, st, "read");
    return {posixfiles::ReadBounded(fd, path, st, maxBytes),
            static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino),
            S_ISLNK(at.st_mode),
            static_cast<std::uint64_t>(at.st_dev),
            static_cast<std::uint64_t>(at.st_ino)};
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
        throw saverefusals::ReplacedSinceRead(path);
    if (posixfiles::ReadAll(fd.Get(), path, read.content.size(), read.content.size()) != read.content)
        throw saverefusals::ChangedSinceRead(path);
    const std::string target = link ? posixfiles::ResolveTarget(path) : path;
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
        throw saverefusals::ReadOnly(path);
    // Replaced whole only where this user may replace it keeping its group
    // too, and no other name of it would be left with the old bytes.
    const bool otherNames = st.st_nlink > 1;
    const bool groupKept = ::geteuid() == 0 || st.st_gid == ::getegid();
    if (otherNames || !groupKept || posixfiles::ChangeProblem(target, posixfiles::IfMissing::Fail))
        RewriteInPlace(target, st, read.content, content);
    else
        posixfiles::ReplaceWhole(target, &st, content);
    return ReadFileSnapshot(path, content.size());
}

std::string AbsolutePath(const std::string& path) { return std::filesystem::absolute(path).lexically_normal().string(); }

std::optional<std::string> SetupLibraryProblem(const std::string& path) {
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return CannotText("load", path, ::dlerror());
    const bool exports = ::dlsym(library, "ConfigDSN") != nullptr;
    ::dlclose(library);
    if (!exports) return path + " exports no ConfigDSN: it is no setup library";
    return std::nullopt;
}

}  // namespace odbcsetup
