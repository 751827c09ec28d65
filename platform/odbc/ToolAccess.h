#pragma once
// What the tool asks of the platform about the files or keys behind a scope's
// data sources, beyond what the installer and the registry class tell, and of
// the terminal or pipes it talks through.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace odbcsetup {

// What the tool's lock file adds to the name of the file it guards (POSIX).
inline constexpr const char* kToolLockSuffix = ".ombral.lock";

// Why this user cannot read the data sources of the scope (the file, and what
// went wrong), or nothing when they can be read or are simply absent.
std::optional<std::string> ReadProblem(bool system);
// The same for the drivers the installer has registered.
std::optional<std::string> DriversReadProblem();

// Why this user may not change the data sources of the scope, naming the file,
// or nothing when a change may go ahead.
std::optional<std::string> ChangeProblem(bool system);

// The lines of the scope's file that unixODBC may read but the tool's reader
// passes over (a control character, a damaged section header), each as
// "FILE line N (REASON): TEXT"; none where the data sources are no file.
std::vector<std::string> UnreadLines(bool system);

// A write to a pipe whose reader has gone then fails as any other write
// does, and the tool goes on with its work and says so at the end, instead
// of being killed halfway (POSIX: SIGPIPE).
void IgnoreBrokenPipe();

// While it lives, what is typed at a terminal on standard input is not shown
// (a password); an input that is no terminal is left as it is. The
// terminal's settings come back when it ends, by an exception too.
class HiddenTyping {
public:
    HiddenTyping();
    ~HiddenTyping();
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

// Held while the tool looks a data source up and adds, reconfigures or
// removes it, so that each tool finds it as the one before left it: of
// several adding one name only the first finds it absent, and a configure
// keeps what another stored meanwhile. It is the tool's own lock, not the one
// the configuration file is rewritten under.
class ScopeLock {
public:
    explicit ScopeLock(bool system);
    ~ScopeLock();
    ScopeLock(const ScopeLock&) = delete;
    ScopeLock& operator=(const ScopeLock&) = delete;

private:
    void* handle_ = nullptr;
};

// A file as the tool read it: its bytes, and what tells whether the file at
// its path is still the one read, unchanged.
struct FileSnapshot {
    std::string content;
    std::uint64_t device = 0, file = 0;          // the file read (a link's target)
    bool link = false;                           // the path is a symbolic link to it
    std::uint64_t linkDevice = 0, linkFile = 0;  // that link
};

// Reads a regular file (through a link) of at most maxBytes. A folder, a
// device, a pipe or a larger file is refused before anything is read.
// Throws std::runtime_error naming the file and why.
FileSnapshot ReadFileSnapshot(const std::string& path, std::uintmax_t maxBytes);

// Replaces the file that `read` was taken of with `content` and returns the
// file as it now is. Refuses, leaving the file as it was and naming why
// (std::runtime_error), a read-only file and a file that was replaced
// (another file or link at its path) or changed since it was read. The file
// keeps its owner, group and mode (on Windows its access list) and its hard
// links; through a symbolic link, the file the link names is written. Where
// it can, the new bytes take its place whole, by way of a file beside it that
// no other user can read; a file with other names, one of another owner
// that this user may write but not replace, or one in a folder this user may
// not write, is written over in place.
FileSnapshot ReplaceReadFile(const std::string& path, const FileSnapshot& read, const std::string& content);

// Writes `content` to a new file at `path`, readable by its owner alone;
// refuses a path where something exists already, a link included, and a device.
void CreateOwnerOnlyFile(const std::string& path, const std::string& content);

// The path made absolute from the current folder, as the system's own
// functions would take it (on Windows a \\?\ path is left as it is).
std::string AbsolutePath(const std::string& path);

// Why `path` cannot serve as a setup library (it does not load, or exports no
// ConfigDSN), or nothing when it can.
std::optional<std::string> SetupLibraryProblem(const std::string& path);

}  // namespace odbcsetup
