// The tool's questions about the registry behind the data sources: the
// installer itself reports what the registry refuses, so only the tool's lock
// and the setup-library check have work to do here.

#include <Win32Api.h>

#include <stdexcept>
#include <utility>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/ToolAccess.h>
#include <platform/win32/RegistryKeys.h>

namespace odbcsetup {

namespace {

std::string LastErrorText() { return win32::ErrorText(static_cast<LSTATUS>(GetLastError())); }

}  // namespace

std::optional<std::string> ReadProblem(bool) { return std::nullopt; }

std::optional<std::string> DriversReadProblem() { return std::nullopt; }

std::optional<std::string> ChangeProblem(bool) { return std::nullopt; }

// The registry has no lines to pass over.
std::vector<std::string> UnreadLines(bool) { return {}; }

// Windows raises no signal for a closed pipe: the write fails.
void IgnoreBrokenPipe() {}

struct HiddenTyping::Saved {
    HANDLE input;
    DWORD mode;
};

HiddenTyping::HiddenTyping() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) return;
    if (SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)))
        saved_ = std::make_unique<Saved>(Saved{input, mode});
}

HiddenTyping::~HiddenTyping() {
    if (saved_) SetConsoleMode(saved_->input, saved_->mode);
}

// The system data sources are shared by every session, a user's by theirs.
ScopeLock::ScopeLock(bool system) {
    const char* name = system ? "Global\\OmbralTool-SystemDataSources" : "Local\\OmbralTool-UserDataSources";
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    if (!mutex)
        throw std::runtime_error(host::CannotText("make the lock", name, LastErrorText()));
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        throw std::runtime_error(std::string("cannot take the lock ") + name);
    }
    handle_ = mutex;
}

ScopeLock::~ScopeLock() {
    ReleaseMutex(static_cast<HANDLE>(handle_));
    CloseHandle(static_cast<HANDLE>(handle_));
}

namespace {

std::runtime_error FileError(const std::string& verb, const std::string& path) {
    return std::runtime_error(host::CannotText(verb, path, LastErrorText()));
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// Opened for reading while others may read it too, and only as a disk file.
Handle OpenDiskFile(const std::string& path, BY_HANDLE_FILE_INFORMATION& info, DWORD share, const std::string& doing) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) throw FileError(doing, path);
    if (GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        throw std::runtime_error(path + " is not a regular file");
    return file;
}

std::string ReadAll(HANDLE file, std::uintmax_t limit, const std::string& path) {
    std::string content;
    char buffer[65536];
    for (DWORD got = 0; content.size() <= limit; content.append(buffer, got)) {
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) throw FileError("read", path);
        if (got == 0) break;
    }
    return content;
}

std::uint64_t Index(const BY_HANDLE_FILE_INFORMATION& info) {
    return std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
}

}  // namespace

void CreateOwnerOnlyFile(const std::string& path, const std::string& content) {
    Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
        throw std::runtime_error(path + " exists already: not overwritten");
    if (file.Get() == INVALID_HANDLE_VALUE) throw FileError("write", path);
    DWORD written = 0;
    if (!WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size() || !FlushFileBuffers(file.Get())) {
        const auto error = FileError("write", path);
        DeleteFileA(path.c_str());
        throw error;
    }
}

FileSnapshot ReadFileSnapshot(const std::string& path, std::uintmax_t maxBytes) {
    BY_HANDLE_FILE_INFORMATION info;
    Handle file = OpenDiskFile(path, info, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, "read");
    if ((std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow) > maxBytes)
        throw std::runtime_error(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    FileSnapshot snapshot{ReadAll(file.Get(), maxBytes, path), info.dwVolumeSerialNumber, Index(info)};
    if (snapshot.content.size() > maxBytes)
        throw std::runtime_error(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    return snapshot;
}

// ReplaceFileA keeps the file's attributes and security; it needs the file
// open to no one else, so the check lets it go just before.
FileSnapshot ReplaceReadFile(const std::string& path, const FileSnapshot& read, const std::string& content) {
    {
        BY_HANDLE_FILE_INFORMATION info;
        Handle file = OpenDiskFile(path, info, FILE_SHARE_READ | FILE_SHARE_DELETE, "save");
        if (info.dwVolumeSerialNumber != read.device || Index(info) != read.file)
            throw std::runtime_error(path + " was replaced since it was read (another program or inspector saved"
                                        " it, or put another file there): not saved");
        if (ReadAll(file.Get(), read.content.size(), path) != read.content)
            throw std::runtime_error(path +
                                     " was changed since it was read (by another program or inspector): not saved");
        if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            throw std::runtime_error(path + " is read-only: not saved");
    }
    const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".new";
    CreateOwnerOnlyFile(temporary, content);
    if (!ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        const auto error = FileError("replace", path);
        DeleteFileA(temporary.c_str());
        throw error;
    }
    return ReadFileSnapshot(path, content.size());
}

std::optional<std::string> SetupLibraryProblem(const std::string& path) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) return host::CannotText("load", path, LastErrorText());
    const bool exports = GetProcAddress(library, "ConfigDSN") != nullptr;
    FreeLibrary(library);
    if (!exports) return path + " exports no ConfigDSN: it is no setup library";
    return std::nullopt;
}

}  // namespace odbcsetup
