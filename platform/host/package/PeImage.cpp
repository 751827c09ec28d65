#include "PeImage.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <string_view>

#include <tools/common/ToolFiles.h>

namespace ombralpe {

namespace {

constexpr std::uint16_t kPe32Magic = 0x10B, kPe32PlusMagic = 0x20B;
// The optional header's fields before the data directories: PE32+ widens the
// image base and the stack and heap sizes to 64 bits and drops BaseOfData.
constexpr std::uint32_t kPe32FixedSize = 96, kPe32PlusFixedSize = 112, kMaxDirectories = 16;
constexpr std::uint32_t kSectionHeaderSize = 40, kImportDescriptorSize = 20, kExportDirectorySize = 40;
constexpr std::size_t kExportDirectory = 0, kImportDirectory = 1, kResourceDirectory = 2;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint16_t kDllFlag = 0x2000;
// Windows loads no image with more; it also keeps every address lookup short.
constexpr std::uint32_t kMaxSections = 96;
// Type, name and language: the loader looks no deeper.
constexpr int kResourceLevels = 3;
// A sound file lists at most about its own size in names and table entries.
constexpr std::uint32_t kListingBudget = 4;

constexpr std::array<std::string_view, 25> kStandardTypes{
    "",        "CURSOR",      "BITMAP", "ICON",         "MENU",         "DIALOG",    "STRING",     "FONTDIR",
    "FONT",    "ACCELERATOR", "RCDATA", "MESSAGETABLE", "GROUP_CURSOR", "",          "GROUP_ICON", "",
    "VERSION", "DLGINCLUDE",  "",       "PLUGPLAY",     "VXD",          "ANICURSOR", "ANIICON",    "HTML",
    "MANIFEST"};

std::size_t TextSize(const ResourceId& id) {
    auto text = std::get_if<std::string>(&id);
    return text ? text->size() : 0;
}

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

// Bounds-checked little-endian reads, by file offset or by RVA.
class PeImage::Reader {
public:
    explicit Reader(const PeImage& image)
        : image_(image), bytes_(image.file_), budget_(kListingBudget * std::uint64_t{image.file_.size()}) {}

    [[noreturn]] static void Fail(std::string_view what, std::uint64_t offset, std::string_view problem) {
        throw PeError(std::string(what) + " at file offset " + Hex(offset) + ": " + std::string(problem));
    }

    void Need(std::uint64_t offset, std::uint64_t size, std::string_view what) const {
        if (offset > bytes_.size() || size > bytes_.size() - offset)
            Fail(what, offset, std::to_string(size) + " bytes needed, the file ends at " + Hex(bytes_.size()));
    }
    std::uint16_t U16(std::uint64_t offset, std::string_view what) const {
        Need(offset, 2, what);
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t U32(std::uint64_t offset, std::string_view what) const {
        Need(offset, 4, what);
        return static_cast<std::uint32_t>(bytes_[offset]) | static_cast<std::uint32_t>(bytes_[offset + 1]) << 8 |
               static_cast<std::uint32_t>(bytes_[offset + 2]) << 16 |
               static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
    }
    std::span<const std::uint8_t> Bytes(std::uint64_t offset, std::uint64_t size, std::string_view what) const {
        Need(offset, size, what);
        return bytes_.subspan(offset, size);
    }

    // The file offset of `size` bytes at `rva`, all of them backed by file data.
    std::uint32_t Offset(std::uint64_t rva, std::uint64_t size, std::string_view what) const {
        auto region = image_.Region(rva);
        if (!region) throw PeError(std::string(what) + " at RVA " + Hex(rva) + ": not in the file data of any section");
        if (size > region->second)
            Fail(what, region->first,
                 std::to_string(size) + " bytes needed, its section's file data ends at " +
                     Hex(region->first + region->second));
        return region->first;
    }
    std::uint32_t U32At(std::uint64_t rva, std::string_view what) const { return U32(Offset(rva, 4, what), what); }
    std::uint16_t U16At(std::uint64_t rva, std::string_view what) const { return U16(Offset(rva, 2, what), what); }
    std::uint64_t U64At(std::uint64_t rva, std::string_view what) const {
        auto offset = Offset(rva, 8, what);
        return U32(offset, what) | std::uint64_t{U32(offset + 4, what)} << 32;
    }
    std::span<const std::uint8_t> BytesAt(std::uint64_t rva, std::uint64_t size, std::string_view what) const {
        return Bytes(Offset(rva, size, what), size, what);
    }

    // Tables that point into each other could make a small file list names
    // and entries without end: what is listed and scanned is charged against
    // a multiple of the file's size.
    void Spend(std::uint64_t bytes, std::string_view what, std::uint64_t offset) {
        if (bytes > budget_)
            Fail(what, offset,
                 "its tables repeat each other: more is listed than " + std::to_string(kListingBudget) +
                     " times the file's size");
        budget_ -= bytes;
    }

    // A NUL-terminated string, which must end within its section's file data.
    std::string CString(std::uint64_t rva, std::string_view what) {
        auto offset = Offset(rva, 1, what);
        auto available = bytes_.subspan(offset, image_.Region(rva)->second);
        auto end = std::find(available.begin(), available.end(), std::uint8_t{0});
        if (end == available.end()) Fail(what, offset, "no terminating NUL before the end of its section's data");
        Spend(static_cast<std::uint64_t>(end - available.begin()) + 1, what, offset);
        return std::string(available.begin(), end);
    }

private:
    const PeImage& image_;
    std::span<const std::uint8_t> bytes_;
    std::uint64_t budget_;
};

PeImage::PeImage(std::vector<std::uint8_t> file) : file_(std::move(file)) {
    Reader reader(*this);
    ReadHeaders(reader);
    if (auto rva = Directory(kExportDirectory).first) ReadExports(reader, rva);
    if (auto rva = Directory(kImportDirectory).first) ReadImports(reader, rva);
    if (auto rva = Directory(kResourceDirectory).first) ReadResources(reader, rva);
}

PeImage PeImage::Read(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = toolfiles::ReadRegularFile<std::vector<std::uint8_t>>(path.string(),
                                                                      {kMaxImageFileBytes, "any PE image"});
    } catch (const std::runtime_error& error) {
        throw PeError(error.what());
    }
    try {
        return PeImage(std::move(bytes));
    } catch (const PeError& error) {
        throw PeError(path.string() + ": " + error.what());
    }
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> PeImage::Region(std::uint64_t rva) const {
    for (const auto& section : sections_) {
        // Past its virtual size a section holds no image data, even where the file is padded.
        std::uint64_t backed = section.virtualSize ? std::min(section.virtualSize, section.rawSize) : section.rawSize;
        if (rva >= section.virtualAddress && rva - section.virtualAddress < backed) {
            auto into = static_cast<std::uint32_t>(rva - section.virtualAddress);
            return std::pair{section.rawOffset + into, static_cast<std::uint32_t>(backed - into)};
        }
    }
    auto headers = std::min<std::uint64_t>(sizeOfHeaders_, file_.size());
    if (rva < headers) return std::pair{static_cast<std::uint32_t>(rva), static_cast<std::uint32_t>(headers - rva)};
    return std::nullopt;
}

std::optional<std::uint32_t> PeImage::FileOffset(std::uint32_t rva) const {
    if (auto region = Region(rva)) return region->first;
    return std::nullopt;
}

void PeImage::ReadHeaders(const Reader& file) {
    file.Need(0, 64, "DOS header");
    if (file.U16(0, "DOS header") != 0x5A4D) Reader::Fail("DOS header", 0, "no MZ signature");
    std::uint64_t signature = file.U32(0x3C, "DOS header");
    if (file.U32(signature, "PE signature") != 0x4550) Reader::Fail("PE signature", signature, "not PE\\0\\0");

    auto coff = signature + 4;
    file.Need(coff, 20, "COFF header");
    machine_ = file.U16(coff, "COFF header");
    dll_ = file.U16(coff + 18, "COFF header") & kDllFlag;
    std::uint32_t sectionCount = file.U16(coff + 2, "COFF header");
    std::uint32_t optionalSize = file.U16(coff + 16, "COFF header");
    if (sectionCount > kMaxSections)
        Reader::Fail("COFF header", coff, std::to_string(sectionCount) + " sections, more than Windows loads");

    auto optional = coff + 20;
    auto magic = file.U16(optional, "optional header");
    if (magic != kPe32Magic && magic != kPe32PlusMagic)
        Reader::Fail("optional header", optional, "unknown magic " + Hex(magic));
    pe32Plus_ = magic == kPe32PlusMagic;
    const std::uint32_t fixedSize = pe32Plus_ ? kPe32PlusFixedSize : kPe32FixedSize;
    if (optionalSize < fixedSize)
        Reader::Fail("optional header", optional,
                     "size " + Hex(optionalSize) + " is too small for " + (pe32Plus_ ? "PE32+" : "PE32"));
    file.Need(optional, optionalSize, "optional header");
    sizeOfImage_ = file.U32(optional + 56, "optional header");
    sizeOfHeaders_ = file.U32(optional + 60, "optional header");
    auto directoryCount = file.U32(optional + fixedSize - 4, "optional header");
    if (directoryCount > kMaxDirectories || fixedSize + 8 * directoryCount > optionalSize)
        Reader::Fail("optional header", optional,
                     std::to_string(directoryCount) + " data directories do not fit in its " +
                         std::to_string(optionalSize) + " bytes");
    for (std::uint32_t i = 0; i < directoryCount; ++i) {
        auto entry = optional + fixedSize + 8 * i;
        directories_.emplace_back(file.U32(entry, "data directory"), file.U32(entry + 4, "data directory"));
    }

    auto table = optional + optionalSize;
    file.Need(table, std::uint64_t{kSectionHeaderSize} * sectionCount, "section table");
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        auto header = table + kSectionHeaderSize * i;
        auto name = file.Bytes(header, 8, "section header");
        Section section{std::string(name.begin(), std::find(name.begin(), name.end(), 0)),
                        file.U32(header + 12, "section header"), file.U32(header + 8, "section header"),
                        file.U32(header + 20, "section header"), file.U32(header + 16, "section header")};
        if (section.rawSize) file.Need(section.rawOffset, section.rawSize, "file data of section " + section.name);
        sections_.push_back(std::move(section));
    }
}

void PeImage::ReadExports(Reader& file, std::uint32_t rva) {
    const char* what = "export directory";
    file.Offset(rva, kExportDirectorySize, what);
    hasExports_ = true;
    dllName_ = file.CString(file.U32At(rva + 12, what), "exported DLL name");
    ordinalBase_ = file.U32At(rva + 16, what);
    std::uint64_t functionCount = file.U32At(rva + 20, what), nameCount = file.U32At(rva + 24, what);
    const auto functions = file.Offset(file.U32At(rva + 28, what), 4 * functionCount, "export address table");
    auto names = file.U32At(rva + 32, what), ordinals = file.U32At(rva + 36, what);
    file.BytesAt(names, 4 * nameCount, "export name table");
    file.BytesAt(ordinals, 2 * nameCount, "export ordinal table");
    if (functionCount && ordinalBase_ + (functionCount - 1) > 0xFFFF)
        file.Fail(what, file.Offset(rva, 1, what), "ordinals run past 65535");

    std::vector<bool> named(functionCount);
    for (std::uint64_t i = 0; i < nameCount; ++i) {
        auto index = file.U16At(ordinals + 2 * i, "export ordinal table");
        if (index >= functionCount)
            file.Fail("export ordinal table", file.Offset(ordinals + 2 * i, 2, what),
                      "index " + std::to_string(index) + " is past the " + std::to_string(functionCount) +
                          " exported addresses");
        named[index] = true;
        exports_.push_back({ordinalBase_ + index, file.CString(file.U32At(names + 4 * i, what), "export name")});
    }
    for (std::uint32_t index = 0; index < functionCount; ++index) {
        auto address = file.U32(functions + 4 * index, "export address table");
        // The loader hands the address out as it stands, forwarder or code:
        // one past the image would send the caller into whatever lies there.
        if (address >= sizeOfImage_)
            file.Fail("export address table", functions + 4 * index,
                      "the address " + Hex(address) + " of ordinal " + std::to_string(ordinalBase_ + index) +
                          " lies outside the image of " + Hex(sizeOfImage_) + " bytes");
        if (address && !named[index]) exports_.push_back({ordinalBase_ + index, ""});
    }
    std::stable_sort(exports_.begin(), exports_.end(),
                     [](const Export& a, const Export& b) { return a.ordinal < b.ordinal; });
}

void PeImage::ReadImports(Reader& file, std::uint32_t rva) {
    for (std::uint64_t descriptor = rva;; descriptor += kImportDescriptorSize) {
        const char* what = "import descriptor";
        auto bytes = file.BytesAt(descriptor, kImportDescriptorSize, what);
        if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0; })) break;
        file.Spend(kImportDescriptorSize, what, file.Offset(descriptor, 1, what));
        Import import{file.CString(file.U32At(descriptor + 12, what), "imported DLL name"), {}};
        std::uint64_t thunk = file.U32At(descriptor, what);
        if (!thunk) thunk = file.U32At(descriptor + 16, what);
        // An entry is as wide as an address; its top bit marks an import by ordinal.
        const std::uint64_t width = pe32Plus_ ? 8 : 4, byOrdinal = std::uint64_t{1} << (8 * width - 1);
        for (;; thunk += width) {
            const char* table = "import lookup table";
            auto entry = pe32Plus_ ? file.U64At(thunk, table) : file.U32At(thunk, table);
            if (!entry) break;
            file.Spend(width, table, file.Offset(thunk, width, table));
            if (entry & byOrdinal)
                import.functions.push_back({"", static_cast<std::uint16_t>(entry & 0xFFFF)});
            else
                import.functions.push_back({file.CString(entry + 2, "imported function name"), {}});
        }
        imports_.push_back(std::move(import));
    }
}

void PeImage::ReadResources(Reader& file, std::uint32_t base) {
    // Each directory may be reached once: a tree that points back into itself
    // would otherwise list the same leaves again and again.
    std::set<std::uint64_t> seen;
    auto id = [&](std::uint32_t field) -> ResourceId {
        if (!(field & kHighBit)) return field;
        std::uint64_t at = std::uint64_t{base} + (field & ~kHighBit);
        auto length = file.U16At(at, "resource name");
        auto units = file.BytesAt(at + 2, 2 * std::uint64_t{length}, "resource name");
        file.Spend(2 + units.size(), "resource name", file.Offset(at, 2, "resource name"));
        std::string text;
        for (std::size_t i = 0; i < units.size(); i += 2) {
            std::uint32_t c = units[i] | units[i + 1] << 8;
            if (c >= 0xD800 && c < 0xDC00 && i + 3 < units.size()) {
                std::uint32_t low = units[i + 2] | units[i + 3] << 8;
                if (low >= 0xDC00 && low < 0xE000) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            AppendUtf8(text, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
        }
        return text;
    };
    std::array<ResourceId, kResourceLevels> path;
    auto walk = [&](auto& self, std::uint64_t directory, int level) -> void {
        const char* what = "resource directory";
        if (!seen.insert(directory).second)
            file.Fail(what, file.Offset(directory, 1, what), "reached a second time: the tree loops");
        std::uint64_t count = file.U16At(directory + 12, what) + std::uint64_t{file.U16At(directory + 14, what)};
        for (std::uint64_t i = 0; i < count; ++i) {
            auto entry = directory + 16 + 8 * i;
            auto name = file.U32At(entry, "resource directory entry");
            auto target = file.U32At(entry + 4, "resource directory entry");
            path[level] = id(name);
            bool subdirectory = target & kHighBit;
            if (subdirectory != (level + 1 < kResourceLevels))
                file.Fail(
                    "resource directory entry", file.Offset(entry, 8, what),
                    subdirectory ? "a subdirectory below the language level" : "a data entry above the language level");
            if (subdirectory) {
                self(self, std::uint64_t{base} + (target & ~kHighBit), level + 1);
                continue;
            }
            auto language = std::get_if<std::uint32_t>(&path[level]);
            if (!language) file.Fail("resource directory entry", file.Offset(entry, 8, what), "a named language");
            std::uint64_t data = std::uint64_t{base} + target;
            auto bytes = file.BytesAt(file.U32At(data, "resource data entry"),
                                      file.U32At(data + 4, "resource data entry"), "resource data");
            // Every leaf carries its own copy of the type's and the name's text.
            file.Spend(TextSize(path[0]) + TextSize(path[1]), "resource data entry", file.Offset(data, 16, what));
            resources_.push_back({path[0], path[1], *language, bytes});
        }
    };
    walk(walk, base, 0);
}

std::string_view StandardTypeName(std::uint32_t type) {
    return type < kStandardTypes.size() ? kStandardTypes[type] : std::string_view{};
}

std::optional<std::uint32_t> StandardType(std::string_view name) {
    auto found = std::find(kStandardTypes.begin(), kStandardTypes.end(), name);
    if (name.empty() || found == kStandardTypes.end()) return std::nullopt;
    return static_cast<std::uint32_t>(found - kStandardTypes.begin());
}

}  // namespace ombralpe
