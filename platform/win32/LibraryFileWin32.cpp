// A package DLL read whole and walked by the PE reader before LoadLibrary
// sees it: the reader refuses every table, name and address that the loader
// would follow out of the image.

#include <Win32Api.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <platform/host/package/LibraryFile.h>
#include <platform/host/package/PeImage.h>

#include "RegistryKeys.h"

namespace host {

namespace {

#ifdef _WIN64
constexpr std::uint16_t kMachine = IMAGE_FILE_MACHINE_AMD64;
#else
constexpr std::uint16_t kMachine = IMAGE_FILE_MACHINE_I386;
#endif

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ReadOnlyFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

std::string LastErrorText() { return win32::ErrorText(static_cast<LSTATUS>(GetLastError())); }

// The whole file, or why it is none the reader may be given: a device or a
// pipe is asked of the handle, so the file checked is the file read.
std::variant<std::vector<std::uint8_t>, std::string> FileBytes(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return "cannot open: " + LastErrorText();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return std::string("not a regular file");
    const ReadOnlyFile file(path);
    if (file.Get() == INVALID_HANDLE_VALUE) return "cannot open: " + LastErrorText();
    LARGE_INTEGER size{};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.Get(), &size))
        return std::string("not a regular file");
    if (static_cast<std::uint64_t>(size.QuadPart) > ombralpe::kMaxImageFileBytes)
        return std::string("larger than any DLL");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return "cannot read: " + LastErrorText();
    return bytes;
}

std::string MachineText(std::uint16_t machine) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(machine));
    return text;
}

std::optional<std::string> ImageProblem(std::vector<std::uint8_t> bytes) {
    try {
        const ombralpe::PeImage image(std::move(bytes));
        if (image.Machine() != kMachine)
            return "a DLL for machine type " + MachineText(image.Machine()) + ", not this program's " +
                   MachineText(kMachine);
        if (!image.IsDll()) return std::string("a PE image but no DLL");
        return std::nullopt;
    } catch (const ombralpe::PeError& error) {
        return std::string("not a sound DLL: ") + error.what();
    }
}

}  // namespace

std::optional<std::string> LibraryFileProblem(const std::string& path) {
    auto bytes = FileBytes(path);
    if (auto* problem = std::get_if<std::string>(&bytes)) return *problem;
    return ImageProblem(std::move(std::get<std::vector<std::uint8_t>>(bytes)));
}

}  // namespace host
