#pragma once
// A reader of Windows PE files (DLLs and programs), 32-bit (PE32) and 64-bit
// (PE32+), for checking what the Windows builds produced: sections, exports,
// imports and resources.
//
// Everything is read when the image is made; a file that is not a PE image
// or that is damaged anywhere in the parts read is refused with a PeError
// naming what is wrong and at which file offset. No read ever leaves the
// file's bytes, and every table, name, resource and exported address lies
// inside the image, so that a loader that follows them without a check (as
// Windows does) stays inside it too.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace ombralpe {

class PeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Section {
    std::string name;
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t rawSize = 0;
};

struct Export {
    std::uint32_t ordinal = 0;
    std::string name;  // empty for an ordinal exported without a name
    bool operator==(const Export&) const = default;
};

struct ImportedFunction {
    std::string name;                      // empty when imported by ordinal
    std::optional<std::uint16_t> ordinal;  // set when imported by ordinal
    bool operator==(const ImportedFunction&) const = default;
};

struct Import {
    std::string dll;
    std::vector<ImportedFunction> functions;
};

// A resource type or name: an integer id or a string (UTF-8).
using ResourceId = std::variant<std::uint32_t, std::string>;

struct Resource {
    ResourceId type;
    ResourceId name;
    std::uint32_t language = 0;
    std::span<const std::uint8_t> bytes;  // inside the image: valid while the image lives
};

// The largest file Read takes. The format's file offsets are 32 bits, so no
// image passes 4 GiB, and Microsoft's linker holds an image to 2 GiB: a
// larger file is no image a build made, and it is refused before it is read
// whole into memory.
inline constexpr std::uintmax_t kMaxImageFileBytes = std::uintmax_t{2} << 30;

class PeImage {
public:
    explicit PeImage(std::vector<std::uint8_t> file);
    // PeError also for a file that cannot be read, and unread for a device, a
    // folder, a pipe or a file past kMaxImageFileBytes.
    static PeImage Read(const std::filesystem::path& path);

    // Resource bytes point into the image's own buffer, which a move keeps.
    PeImage(PeImage&&) = default;
    PeImage& operator=(PeImage&&) = default;
    PeImage(const PeImage&) = delete;
    PeImage& operator=(const PeImage&) = delete;

    // The COFF header's machine type (0x14C x86, 0x8664 x86-64), and whether it marks the image a DLL.
    std::uint16_t Machine() const { return machine_; }
    bool IsDll() const { return dll_; }
    const std::vector<Section>& Sections() const { return sections_; }
    // Data directory `index` (0 exports, 1 imports, 2 resources) as (rva, size); zeros where absent.
    std::pair<std::uint32_t, std::uint32_t> Directory(std::size_t index) const {
        return index < directories_.size() ? directories_[index] : std::pair<std::uint32_t, std::uint32_t>{};
    }
    // The file offset of an address relative to the image base, where file data backs it.
    std::optional<std::uint32_t> FileOffset(std::uint32_t rva) const;

    bool HasExports() const { return hasExports_; }
    const std::string& DllName() const { return dllName_; }
    std::uint32_t OrdinalBase() const { return ordinalBase_; }
    const std::vector<Export>& Exports() const { return exports_; }        // by ordinal
    const std::vector<Import>& Imports() const { return imports_; }        // in directory order
    const std::vector<Resource>& Resources() const { return resources_; }  // in directory order

private:
    class Reader;
    // Where `rva` lies in the file, and how many bytes of file data follow it there.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> Region(std::uint64_t rva) const;
    void ReadHeaders(const Reader& file);
    void ReadExports(Reader& file, std::uint32_t rva);
    void ReadImports(Reader& file, std::uint32_t rva);
    void ReadResources(Reader& file, std::uint32_t rva);

    std::vector<std::uint8_t> file_;
    bool pe32Plus_ = false;
    std::uint16_t machine_ = 0;
    bool dll_ = false;
    std::uint32_t sizeOfHeaders_ = 0;
    std::uint32_t sizeOfImage_ = 0;
    std::vector<Section> sections_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> directories_;  // (rva, size)
    bool hasExports_ = false;
    std::string dllName_;
    std::uint32_t ordinalBase_ = 0;
    std::vector<Export> exports_;
    std::vector<Import> imports_;
    std::vector<Resource> resources_;
};

// Standard names of the integer resource types ("RCDATA" for 10), or empty.
std::string_view StandardTypeName(std::uint32_t type);
// The integer type of a standard name, or nothing.
std::optional<std::uint32_t> StandardType(std::string_view name);

}  // namespace ombralpe
