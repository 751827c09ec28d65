#pragma once
// The POSIX file layer under unixODBC's configuration files and the tool's
// own files: descriptors, whole reads and writes, links, locks, and replacing
// a file whole by way of a copy beside it. Every failure is a FileError whose
// message names the file and why ("cannot write PATH: REASON").

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace posixfiles {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Owns a descriptor and closes it when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.Release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }

    int Get() const { return fd_; }
    int Release();
    // What close() said: a write may be reported as failed only then.
    int Close();

private:
    int fd_;
};

// The folder part of a path ("." for a bare name), and a name in a folder.
std::string FolderOf(const std::string& path);
std::string Join(const std::string& folder, std::string_view name);

// The file a path finally names, following the links of its last component:
// whatever replaces the file or sits beside it (a copy, a lock) must be where
// the file is, or rename() would replace the link instead. A path whose final
// target is missing names that target.
std::string ResolveTarget(const std::string& path);

// All that is left to read, sized by `sizeHint` so that a file of that size
// is read in one piece; the reading stops once more than `limit` bytes came.
std::string ReadAll(int fd, const std::string& path, std::size_t sizeHint,
                    std::uintmax_t limit = std::numeric_limits<std::uintmax_t>::max());
void WriteAll(int fd, std::string_view text, const std::string& path);
// WriteAll, then on to the disk (fsync): only then may the file take another's place.
void WriteAllDurably(int fd, std::string_view text, const std::string& path);

// Opened to read without waiting on a pipe or a device: whether it is a
// regular file is then asked of the descriptor, so that the file checked is
// the file read. Invalid, errno set, when it cannot be opened.
Descriptor OpenToRead(const std::string& path);
// Whether all `size` bytes at `offset` of the file open at `fd` were read.
bool ReadAt(const Descriptor& fd, void* to, std::size_t size, std::uint64_t offset);
// Describes in `st` the file open at `fd`; a FileError naming the file when it
// could not be opened (saying what was being done) or is no regular file.
void RequireRegular(const Descriptor& fd, const std::string& path, struct stat& st, const std::string& doing);
// The bytes of the regular file open at `fd` (`st`), refused naming the file
// when it holds more than `limit`, as it is found before reading and after.
std::string ReadBounded(const Descriptor& fd, const std::string& path, const struct stat& st, std::uintmax_t limit);

// The bytes of the regular file, or nothing when it does not exist; `st`
// describes what was read. Anything else at the path (a pipe, a device, a
// folder) and a file of more than `limit` bytes are refused unread.
std::optional<std::string> ReadIfPresent(const std::string& path, struct stat& st, std::uintmax_t limit);

// Makes a new file at `path` and opens it to write; refuses, naming the file,
// a path where anything exists already, a link or a device too.
Descriptor CreateNew(const std::string& path, mode_t mode);

// The first of `names`, relative to the folder of the running program as
// /proc/self/exe names it, that exists, as an absolute path; empty when none
// does. Never by argv[0] or the current folder: those may name anything.
std::string FindBesideProgram(std::initializer_list<std::string_view> names);
// The library folder of an installed program, relative to the program's own.
std::string_view LibraryFolderFromProgram();

// Waits for an exclusive lock on the open file.
void LockExclusive(int fd, const std::string& path);
// Opens the lock file at `path` (made 0600 if need be, never through a link)
// and waits for an exclusive lock on it, held while the descriptor lives.
Descriptor HoldLockFile(const std::string& path);

enum class IfMissing { Fail, Create };  // what a change does without the file

// Why this user may not change the file at `path` (a link by its target) by
// replacing it whole, or nothing when a change may go ahead. It must exist
// unless `ifMissing` lets the change make it, be a regular file this user may
// write, in a folder this user may write, and belong to this user unless the
// user is root: no one else could give the copy that replaces it the file's
// owner.
std::optional<std::string> ChangeProblem(const std::string& path, IfMissing ifMissing);

// Replaces `target` (no link) whole: the bytes go to a copy beside it that no
// other user can read while they are written, which then takes the old
// file's owner, group and mode (`old`; without one, a new file of mode 0600),
// is synced and renamed over it. An owner who cannot give the copy the file's
// group keeps the file without it. The target is untouched on failure.
void ReplaceWhole(const std::string& target, const struct stat* old, std::string_view content);

// Removes the copies of `target` that killed writers left beside it (each may
// hold every password of the file): plain files of ours or of `fileOwner`,
// never anything else under such a name. Only while holding the lock that
// every writer of the target takes, so that none of them is in use.
void RemoveLeftovers(const std::string& target, std::optional<uid_t> fileOwner);

}  // namespace posixfiles
