// The tool's questions about the registry behind the data sources: the
// installer itself reports what the registry refuses, so only the tool's lock
// and the setup-library check have work to do here.

#include <Win32Api.h>
#include <sddl.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include <platform/files/SaveRefusals.h>
#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/ToolAccess.h>
#include <platform/win32/AnsiText.h>
#include <platform/win32/RegistryKeys.h>

namespace odbcsetup {

namespace {

constexpr DWORD kLockPatienceSeconds = 10;

std::string LastErrorText(std::string_view subject = "it") {
    return win32::ErrorText(static_cast<LSTATUS>(GetLastError()), subject);
}

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
// Another tool holds the lock for as long as one change takes; a program that
// keeps it longer is reported, not waited on for ever.
ScopeLock::ScopeLock(bool system) {
    const char* name = system ? "Global\\OmbralTool-SystemDataSources" : "Local\\OmbralTool-UserDataSources";
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    if (!mutex)
        throw std::runtime_error(host::CannotText("make the lock", name, LastErrorText()));
    DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited == WAIT_TIMEOUT) {
        std::cerr << "waiting for the lock " << name << ", which another program holds\n";
        waited = WaitForSingleObject(mutex, kLockPatienceSeconds * 1000);
    }
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        const std::string why = waited == WAIT_TIMEOUT ? "another program has held it for " +
                                                             std::to_string(kLockPatienceSeconds) + " seconds"
                                                       : LastErrorText();
        throw std::runtime_error(host::CannotText("take the lock", name, why) + ": nothing changed");
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
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }
    void Close() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
    }

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

std::uint64_t Size(const BY_HANDLE_FILE_INFORMATION& info) {
    return std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
}

// The name the file open on `file` has after every link on the way, so that
// a link is replaced by way of the file it names and never itself.
std::wstring FinalPath(HANDLE file, const std::string& path) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), 0);
        if (length == 0) throw FileError("resolve", path);
        if (length < name.size()) return name.substr(0, length);
        name.resize(length);
    }
}

// Windows opens these names as devices in every folder, with any extension
// and in any case.
bool IsDeviceName(const std::string& path) {
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    if (name.size() >= 2 && name[1] == ':') name.erase(0, 2);
    name.erase(std::min(name.find_first_of(".:"), name.size()));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (name == device) return true;
    const std::string_view digits = "0123456789\xB9\xB2\xB3";  // with Windows-1252's superscripts one to three
    return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) &&
           digits.find(name[3]) != std::string_view::npos;
}

std::string CurrentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) throw FileError("look up", "this user");
    const Handle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    char* text = nullptr;
    if (!GetTokenInformation(token, TokenUser, user.data(), size, &size) ||
        !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text))
        throw FileError("look up", "this user");
    std::string sid(text);
    LocalFree(text);
    return sid;
}

// Security that lets this user and the system itself alone open a file, as
// mode 0600 does on POSIX; protected, so that what the folder passes on to
// new files cannot widen it.
class OwnerOnlySecurity {
public:
    OwnerOnlySecurity() {
        const std::string sddl = "D:P(A;;FA;;;" + CurrentUserSid() + ")(A;;FA;;;SY)";
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor_,
                                                                  nullptr))
            throw FileError("describe", "an owner-only access list");
        attributes_.lpSecurityDescriptor = descriptor_;
    }
    ~OwnerOnlySecurity() { LocalFree(descriptor_); }
    OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
    OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;
    SECURITY_ATTRIBUTES* Attributes() { return &attributes_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
};

void WriteFromStart(HANDLE file, std::string_view content, const std::string& path) {
    DWORD written = 0;
    if (!SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
        !WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size() || !SetEndOfFile(file) || !FlushFileBuffers(file))
        throw FileError("write", path);
}

// Removes the very file open on `file`, whatever its name names by now.
void DeleteOpenFile(HANDLE file) {
    FILE_DISPOSITION_INFO dispose{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
}

// A new file only: CREATE_NEW refuses whatever is at the name, a link
// (dangling or not) included, since the link itself is opened, not followed.
void WriteNewFile(const std::wstring& path, const std::string& shown, const std::string& content) {
    OwnerOnlySecurity security;
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, security.Attributes(), CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
        throw saverefusals::ExistsAlready(shown);
    if (file.Get() == INVALID_HANDLE_VALUE) throw FileError("write", shown);
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) throw std::runtime_error(shown + " names a device: not written");
    try {
        WriteFromStart(file.Get(), content, shown);
    } catch (...) {
        DeleteOpenFile(file.Get());
        throw;
    }
}

// The new bytes take the file's place whole, by way of a file beside it;
// ReplaceFile gives them the old file's attributes and access list.
void ReplaceWhole(const std::wstring& target, const std::string& content, const std::string& path) {
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".new";
    WriteNewFile(temporary, path + " (its new copy)", content);
    if (!ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        const auto error = FileError("replace", path);
        DeleteFileW(temporary.c_str());
        throw error;
    }
}

// Takes the room for `size` bytes before any is written, so that a full disk
// refuses the save while the file is still whole. (Under Wine the file only
// grows, with nothing reserved.)
void ReserveRoom(HANDLE file, std::uint64_t oldSize, std::size_t size, const std::string& path) {
    if (size <= oldSize) return;
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end)) return;
    const auto error = FileError("save", path);
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(oldSize);
    const bool whole = SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end);
    throw saverefusals::NoRoom(error.what(), whole);
}

// Writes over the file where it is, for one whose other names must see the
// new bytes too: with no copy to fall back on, the room is reserved first,
// and should a write fail all the same the old bytes are put back.
void RewriteInPlace(const std::wstring& target, const BY_HANDLE_FILE_INFORMATION& old, std::string_view oldContent,
                    std::string_view content, const std::string& path) {
    Handle file(CreateFileW(target.c_str(), GENERIC_WRITE | GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file.Get(), &info))
        throw FileError("write", path);
    if (info.dwVolumeSerialNumber != old.dwVolumeSerialNumber || Index(info) != Index(old))
        throw saverefusals::ReplacedWhileSaved(path);
    ReserveRoom(file.Get(), Size(old), content.size(), path);
    saverefusals::WriteOrPutBack(content, oldContent,
                                 [&](std::string_view bytes) { WriteFromStart(file.Get(), bytes, path); });
}

}  // namespace

void CreateOwnerOnlyFile(const std::string& path, const std::string& content) {
    if (IsDeviceName(path)) throw std::runtime_error(path + " names a device: not written");
    WriteNewFile(win32::Wide(path), path, content);
}

FileSnapshot ReadFileSnapshot(const std::string& path, std::uintmax_t maxBytes) {
    BY_HANDLE_FILE_INFORMATION info;
    Handle file = OpenDiskFile(path, info, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, "read");
    if (Size(info) > maxBytes)
        throw std::runtime_error(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    FileSnapshot snapshot{ReadAll(file.Get(), maxBytes, path), info.dwVolumeSerialNumber, Index(info)};
    if (snapshot.content.size() > maxBytes)
        throw std::runtime_error(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    return snapshot;
}

// A link is followed to the file it names, which alone is replaced: the link
// stays a link and no other file is touched. A file with other names is
// written over where it is, so that they all see the new bytes.
FileSnapshot ReplaceReadFile(const std::string& path, const FileSnapshot& read, const std::string& content) {
    BY_HANDLE_FILE_INFORMATION info;
    Handle file = OpenDiskFile(path, info, FILE_SHARE_READ | FILE_SHARE_DELETE, "save");
    if (info.dwVolumeSerialNumber != read.device || Index(info) != read.file)
        throw saverefusals::ReplacedSinceRead(path);
    if (ReadAll(file.Get(), read.content.size(), path) != read.content)
        throw saverefusals::ChangedSinceRead(path);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) throw saverefusals::ReadOnly(path);
    const std::wstring target = FinalPath(file.Get(), path);
    // ReplaceFile needs the file open to no one else, so the check lets it go
    // just before.
    file.Close();
    if (info.nNumberOfLinks > 1)
        RewriteInPlace(target, info, read.content, content, path);
    else
        ReplaceWhole(target, content, path);
    return ReadFileSnapshot(path, content.size());
}

std::string AbsolutePath(const std::string& path) {
    std::string full(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) throw std::runtime_error(host::CannotText("find the full path of", path, LastErrorText()));
        if (length < full.size()) return full.substr(0, length);
        full.resize(length);
    }
}

std::optional<std::string> SetupLibraryProblem(const std::string& path) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) return host::CannotText("load", path, LastErrorText(path));
    const bool exports = GetProcAddress(library, "ConfigDSN") != nullptr;
    FreeLibrary(library);
    if (!exports) return path + " exports no ConfigDSN: it is no setup library";
    return std::nullopt;
}

}  // namespace odbcsetup
