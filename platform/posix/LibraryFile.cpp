#include <platform/host/package/LibraryFile.h>

#include <elf.h>
#include <link.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <vector>

#include <platform/posix/Files.h>

namespace host {

namespace {

constexpr unsigned char kWordSize = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kByteOrder = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;

bool Inside(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
    return offset <= fileSize && size <= fileSize - offset;
}

std::string EndsPast(std::uint64_t fileSize) {
    return " ends past the end of the file (" + std::to_string(fileSize) + " bytes): cut short";
}

std::optional<std::string> HeaderProblem(const ElfW(Ehdr) & header, std::uint64_t fileSize) {
    if (header.e_ident[EI_CLASS] != kWordSize || header.e_ident[EI_DATA] != kByteOrder)
        return "an ELF file of another word size or byte order than this program's";
    if (header.e_type != ET_DYN)
        return "an ELF file but no shared library (type " + std::to_string(header.e_type) + ")";
    if (header.e_phentsize != sizeof(ElfW(Phdr)))
        return "program headers of " + std::to_string(header.e_phentsize) + " bytes, not " +
               std::to_string(sizeof(ElfW(Phdr)));
    if (!Inside(header.e_phoff, std::uint64_t{header.e_phnum} * sizeof(ElfW(Phdr)), fileSize))
        return "the program header table" + EndsPast(fileSize);
    return std::nullopt;
}

std::optional<std::string> SegmentProblem(const ElfW(Phdr) & segment, std::uint64_t fileSize) {
    if (segment.p_type != PT_LOAD || Inside(segment.p_offset, segment.p_filesz, fileSize)) return std::nullopt;
    return "the loadable segment of " + std::to_string(segment.p_filesz) + " bytes at file offset " +
           std::to_string(segment.p_offset) + EndsPast(fileSize);
}

}  // namespace

std::optional<std::string> LibraryFileProblem(const std::string& path) {
    const posixfiles::Descriptor file = posixfiles::OpenToRead(path);
    struct stat st;
    if (file.Get() < 0 || ::fstat(file.Get(), &st) != 0)
        return "cannot open: " + std::generic_category().message(errno);
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    const auto size = static_cast<std::uint64_t>(st.st_size);
    ElfW(Ehdr) header{};
    const bool whole = posixfiles::ReadAt(file, &header, sizeof header, 0);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) return "not an ELF file";
    if (!whole) return "the ELF header" + EndsPast(size);
    if (auto problem = HeaderProblem(header, size)) return problem;
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    if (!posixfiles::ReadAt(file, segments.data(), segments.size() * sizeof(ElfW(Phdr)), header.e_phoff))
        return std::string("its program headers cannot be read");
    for (const auto& segment : segments)
        if (auto problem = SegmentProblem(segment, size)) return problem;
    return std::nullopt;
}

}  // namespace host
