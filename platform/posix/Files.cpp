#include "platform/posix/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

#include <platform/files/SaveRefusals.h>
#include <platform/host/rtl/BasicText.h>

namespace posixfiles {

using host::CannotText;

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.Release();
    }
    return *this;
}

int Descriptor::Release() { return std::exchange(fd_, -1); }

int Descriptor::Close() { return fd_ < 0 ? 0 : ::close(Release()); }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Join(const std::string& folder, std::string_view name) {
    if (folder == ".") return std::string(name);
    std::string path = folder;
    if (path.back() != '/') path += '/';
    return path.append(name);
}

namespace {

std::string ReadLink(const std::string& link, size_t sizeHint) {
    std::string target(sizeHint + 1, '\0');
    for (;;) {
        const ssize_t n = ::readlink(link.c_str(), target.data(), target.size());
        if (n < 0) throw FileError(CannotText("read the link", link, errno));
        if (static_cast<size_t>(n) < target.size()) {
            target.resize(static_cast<size_t>(n));
            return target;
        }
        target.resize(target.size() * 2);  // the link changed under us
    }
}

}  // namespace

std::string ResolveTarget(const std::string& path) {
    constexpr int kMaxHops = 40;
    std::string current = path;
    for (int hop = 0;; ++hop) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno == ENOENT) return current;
            throw FileError(CannotText("examine", current, errno));
        }
        if (!S_ISLNK(st.st_mode)) return current;
        if (hop == kMaxHops) throw FileError(CannotText("resolve", path, "too many levels of symbolic links"));
        const std::string target = ReadLink(current, static_cast<size_t>(st.st_size));
        current = !target.empty() && target.front() == '/' ? target : Join(FolderOf(current), target);
    }
}

// Read straight into the text: a large file is then neither copied nor
// grown piece by piece.
std::string ReadAll(int fd, const std::string& path, std::size_t sizeHint, std::uintmax_t limit) {
    std::string text(static_cast<size_t>(std::max<std::uintmax_t>(std::min<std::uintmax_t>(sizeHint, limit) + 1, 4096)),
                     '\0');
    size_t used = 0;
    while (used <= limit) {
        if (used == text.size()) text.resize(text.size() * 2);
        const ssize_t n = ::read(fd, text.data() + used, text.size() - used);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw FileError(CannotText("read", path, errno));
        used += static_cast<size_t>(n);
    }
    text.resize(used);
    return text;
}

void WriteAll(int fd, std::string_view text, const std::string& path) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw FileError(CannotText("write", path, errno));
        text.remove_prefix(static_cast<size_t>(n));
    }
}

void WriteAllDurably(int fd, std::string_view text, const std::string& path) {
    WriteAll(fd, text, path);
    if (::fsync(fd) != 0) throw FileError(CannotText("write", path, errno));
}

Descriptor OpenToRead(const std::string& path) {
    return Descriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
}

bool ReadAt(const Descriptor& fd, void* to, std::size_t size, std::uint64_t offset) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t n =
            ::pread(fd.Get(), static_cast<char*>(to) + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void RequireRegular(const Descriptor& fd, const std::string& path, struct stat& st, const std::string& doing) {
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0) throw FileError(CannotText(doing, path, errno));
    if (!S_ISREG(st.st_mode)) throw FileError(path + " is not a regular file");
}

std::string ReadBounded(const Descriptor& fd, const std::string& path, const struct stat& st, std::uintmax_t limit) {
    const auto tooLarge = [&] { return FileError(path + " is larger than " + std::to_string(limit) + " bytes"); };
    if (static_cast<std::uintmax_t>(st.st_size) > limit) throw tooLarge();
    std::string text = ReadAll(fd.Get(), path, static_cast<size_t>(st.st_size), limit);
    if (text.size() > limit) throw tooLarge();
    return text;
}

std::optional<std::string> ReadIfPresent(const std::string& path, struct stat& st, std::uintmax_t limit) {
    const Descriptor fd = OpenToRead(path);
    if (fd.Get() < 0 && errno == ENOENT) return std::nullopt;
    RequireRegular(fd, path, st, "open");
    return ReadBounded(fd, path, st, limit);
}

Descriptor CreateNew(const std::string& path, mode_t mode) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd.Get() < 0 && errno == EEXIST) throw FileError(saverefusals::ExistsAlready(path).what());
    if (fd.Get() < 0) throw FileError(CannotText("write", path, errno));
    return fd;
}

std::string FindBesideProgram(std::initializer_list<std::string_view> names) {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    for (const std::string_view name : names) {
        const auto candidate = program.parent_path() / name;
        if (std::filesystem::exists(candidate, error)) return candidate.lexically_normal().string();
    }
    return {};
}

std::string_view LibraryFolderFromProgram() { return OMBRAL_LIB_FROM_BIN; }

void LockExclusive(int fd, const std::string& path) {
    while (::flock(fd, LOCK_EX) != 0)
        if (errno != EINTR) throw FileError(CannotText("lock", path, errno));
}

Descriptor HoldLockFile(const std::string& path) {
    Descriptor lock(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (lock.Get() < 0) throw FileError(CannotText("open the lock file", path, errno));
    LockExclusive(lock.Get(), path);
    return lock;
}

namespace {

std::string ErrnoText(int error) { return std::generic_category().message(error); }

std::optional<std::string> FolderProblem(const std::string& target) {
    const std::string folder = FolderOf(target);
    if (::access(folder.c_str(), W_OK) == 0) return std::nullopt;
    return "this user may not write its folder " + folder + ", where the file is replaced (" + ErrnoText(errno) + ")";
}

}  // namespace

std::optional<std::string> ChangeProblem(const std::string& path, IfMissing ifMissing) {
    if (path.empty()) return "it has no name";
    std::string target;
    try {
        target = ResolveTarget(path);
    } catch (const FileError& error) {
        return error.what();
    }
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) return CannotText("examine", target, errno);
        if (ifMissing == IfMissing::Fail) return "it does not exist";
        return FolderProblem(target);
    }
    if (!S_ISREG(st.st_mode)) return "it is not a regular file";
    if (::access(target.c_str(), W_OK) != 0) return "this user may not write it (" + ErrnoText(errno) + ")";
    if (auto problem = FolderProblem(target)) return problem;
    if (::geteuid() != 0 && st.st_uid != ::geteuid())
        return "it belongs to user " + std::to_string(st.st_uid) +
               ": a copy this user made to replace it could not keep that owner";
    return std::nullopt;
}

namespace {

constexpr std::string_view kCopySuffix = ".tmp-";
constexpr size_t kCopyRandom = 6;  // mkostemp's XXXXXX

bool IsCopyNameOf(std::string_view name, std::string_view base) {
    if (name.size() != base.size() + kCopySuffix.size() + kCopyRandom || !name.starts_with(base) ||
        name.substr(base.size(), kCopySuffix.size()) != kCopySuffix)
        return false;
    const std::string_view random = name.substr(name.size() - kCopyRandom);
    return std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

// The new copy of a file beside it until rename() makes it the file; removed
// unless Keep() is reached.
class CopyBeside {
public:
    explicit CopyBeside(const std::string& target)
        : path_(target + std::string(kCopySuffix) + std::string(kCopyRandom, 'X')) {
        fd_ = Descriptor(::mkostemp(path_.data(), O_CLOEXEC));
        if (fd_.Get() < 0) {
            const int error = errno;
            path_.clear();
            throw FileError(CannotText("create a temporary file in", FolderOf(target), error));
        }
    }
    CopyBeside(const CopyBeside&) = delete;
    CopyBeside& operator=(const CopyBeside&) = delete;
    ~CopyBeside() {
        fd_.Close();
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    int Handle() const { return fd_.Get(); }
    const std::string& Path() const { return path_; }
    int Close() { return fd_.Close(); }
    void Keep() { path_.clear(); }

private:
    std::string path_;
    Descriptor fd_;
};

// Not being root we cannot give a file away; the owner writing it is then
// left without the group it cannot join.
void KeepOwner(const CopyBeside& copy, const std::string& target, const struct stat& old) {
    struct stat st;
    if (::fstat(copy.Handle(), &st) != 0) throw FileError(CannotText("examine", copy.Path(), errno));
    if ((st.st_uid == old.st_uid && st.st_gid == old.st_gid) || ::fchown(copy.Handle(), old.st_uid, old.st_gid) == 0)
        return;
    if (errno != EPERM || ::geteuid() == 0 || old.st_uid != ::geteuid())
        throw FileError(CannotText("keep the owner of", target, errno));
}

// The rename is done and visible; making it durable is best effort, as
// reporting a failure now would claim the file was left untouched.
void SyncFolder(const std::string& folder) {
    if (Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir.Get() >= 0) ::fsync(dir.Get());
}

}  // namespace

void ReplaceWhole(const std::string& target, const struct stat* old, std::string_view content) {
    CopyBeside copy(target);
    // Private until its bytes are on disk; its owner and mode, set last, are
    // made durable with the rename by the folder's sync.
    WriteAllDurably(copy.Handle(), content, copy.Path());
    if (old) KeepOwner(copy, target, *old);
    // Set explicitly: mkostemp's 0600 is subject to the umask.
    if (::fchmod(copy.Handle(), old ? old->st_mode & 07777 : 0600) != 0)
        throw FileError(CannotText("keep the mode of", target, errno));
    if (copy.Close() != 0) throw FileError(CannotText("write", copy.Path(), errno));
    if (::rename(copy.Path().c_str(), target.c_str()) != 0) throw FileError(CannotText("replace", target, errno));
    copy.Keep();
    SyncFolder(FolderOf(target));
}

void RemoveLeftovers(const std::string& target, std::optional<uid_t> fileOwner) {
    const std::string_view base = std::string_view(target).substr(target.rfind('/') + 1);  // npos + 1 is 0
    DIR* dir = ::opendir(FolderOf(target).c_str());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        if (!IsCopyNameOf(e->d_name, base)) continue;
        struct stat st;
        if (::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            (st.st_uid == ::geteuid() || st.st_uid == fileOwner))
            ::unlinkat(dirFd, e->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace posixfiles
