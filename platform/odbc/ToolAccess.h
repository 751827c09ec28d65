#pragma once
// What the tool asks of the platform about the files or keys behind a scope's
// data sources, beyond what the installer and the registry class tell.

#include <optional>
#include <string>

namespace odbcsetup {

// What the tool's lock file adds to the name of the file it guards (POSIX).
inline constexpr const char* kToolLockSuffix = ".ombral.lock";

// Why this user cannot read the data sources of the scope (the file, and what
// went wrong), or nothing when they can be read or are simply absent.
std::optional<std::string> ReadProblem(bool system);

// Why this user may not change the data sources of the scope, naming the file,
// or nothing when a change may go ahead.
std::optional<std::string> ChangeProblem(bool system);

// Held while the tool looks a data source up and adds it, so that of several
// tools adding one name at once only the first finds it absent. It is the
// tool's own lock, not the one the configuration file is rewritten under.
class ScopeLock {
public:
    explicit ScopeLock(bool system);
    ~ScopeLock();
    ScopeLock(const ScopeLock&) = delete;
    ScopeLock& operator=(const ScopeLock&) = delete;

private:
    void* handle_ = nullptr;
};

// Writes `text` to `path`; a new file is readable by its owner alone and an
// existing one keeps its mode. Throws std::runtime_error naming the file.
void WriteOwnerOnlyFile(const std::string& path, const std::string& text);

// Why `path` cannot serve as a setup library (it does not load, or exports no
// ConfigDSN), or nothing when it can.
std::optional<std::string> SetupLibraryProblem(const std::string& path);

}  // namespace odbcsetup
