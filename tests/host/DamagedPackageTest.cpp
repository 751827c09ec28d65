// ombral-host over what a careless or hostile hand gives it as a package:
// files that are no library, copies of the real package cut short or with a
// damaged table, and output it cannot write. Each is one line on standard
// error naming the file and why, exit 1; never a crash or a hang.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <link.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <platform/host/rtl/Packages.h>
#include <support/Files.h>
#include <support/Processes.h>

using testing::HasSubstr;
using testing::StartsWith;

namespace {

using Bytes = std::string;

template <class T>
T Get(const Bytes& bytes, std::uint64_t at) {
    T value{};
    if (bytes.copy(reinterpret_cast<char*>(&value), sizeof value, at) != sizeof value) throw std::out_of_range("end");
    return value;
}

template <class T>
void Put(Bytes& bytes, std::uint64_t at, T value) {
    Get<T>(bytes, at);
    bytes.replace(at, sizeof value, reinterpret_cast<const char*>(&value), sizeof value);
}

ElfW(Shdr) Section(const Bytes& elf, std::uint64_t index) {
    return Get<ElfW(Shdr)>(elf, Get<ElfW(Ehdr)>(elf, 0).e_shoff + index * sizeof(ElfW(Shdr)));
}

// Calls `each` with the file offset of every entry of every section of the type.
template <class Entry>
void ForEachEntry(const Bytes& elf, std::uint32_t type,
                  const std::function<void(const ElfW(Shdr)&, std::uint64_t)>& each) {
    for (std::uint64_t i = 0; i < Get<ElfW(Ehdr)>(elf, 0).e_shnum; ++i)
        if (const auto section = Section(elf, i); section.sh_type == type)
            for (auto at = section.sh_offset; at < section.sh_offset + section.sh_size; at += sizeof(Entry))
                each(section, at);
}

// A dynamic symbol, as the loader finds it: its address, and where its bytes are in the file.
std::pair<std::uint64_t, std::uint64_t> Symbol(const Bytes& elf, std::string_view name) {
    std::optional<std::pair<std::uint64_t, std::uint64_t>> found;
    ForEachEntry<ElfW(Sym)>(elf, SHT_DYNSYM, [&](const ElfW(Shdr)& table, std::uint64_t at) {
        const auto symbol = Get<ElfW(Sym)>(elf, at);
        if (elf.c_str() + Section(elf, table.sh_link).sh_offset + symbol.st_name != name) return;
        const auto holder = Section(elf, symbol.st_shndx);
        found = {symbol.st_value, symbol.st_value - holder.sh_addr + holder.sh_offset};
    });
    return found.value();
}

// Where in the file the addend is of the relocation that sets the pointer at `address`.
std::uint64_t Addend(const Bytes& elf, std::uint64_t address) {
    std::optional<std::uint64_t> found;
    ForEachEntry<ElfW(Rela)>(elf, SHT_RELA, [&](const ElfW(Shdr)&, std::uint64_t at) {
        if (Get<ElfW(Rela)>(elf, at).r_offset == address) found = at + offsetof(ElfW(Rela), r_addend);
    });
    return found.value();
}

// Far past any library's end, from its base.
constexpr ElfW(Sxword) kFarAway = ElfW(Sxword){1} << 40;

using Damage = std::function<void(Bytes&)>;

Damage Cut(std::size_t size) {
    return [size](Bytes& elf) { elf.resize(size); };
}
Damage Count(std::uint64_t offset, std::int32_t count) {
    return [=](Bytes& elf) { Put(elf, offset, count); };
}
Damage Elsewhere(std::uint64_t pointer) {
    return [=](Bytes& elf) { Put(elf, Addend(elf, pointer), kFarAway); };
}

TEST(HostInput, RefusedInOneLineNamingTheFile) {
    testsupport::TemporaryFolder folder;
    const std::string fifo = folder.Path() + "/fifo.so";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const Bytes real = testsupport::ReadFile(OMBRAL_PACKAGE_FILE);
    const auto damaged = [&](const std::string& name, const Damage& damage) {
        Bytes copy = real;
        damage(copy);
        const std::string path = folder.Path() + "/" + name + ".so";
        testsupport::WriteFile(path, copy);
        return path;
    };
    const auto [exports, exportsAt] = Symbol(real, host::kPackageExportTableSymbol);
    const auto entriesPointer = exports + offsetof(host::PackageExportTable, Entries);
    const auto entries = static_cast<std::uint64_t>(Get<ElfW(Sxword)>(real, Addend(real, entriesPointer)));
    const auto count = std::to_string(Get<std::int32_t>(real, exportsAt));
    const auto resourcesAt = Symbol(real, host::kPackageResourceTableSymbol).second;
    const std::string exportTable = std::string(host::kPackageExportTableSymbol) + " is damaged: ";
    const std::string resourceTable = std::string(host::kPackageResourceTableSymbol) + " is damaged: ";
    struct Case {
        std::string package;
        std::optional<std::string> output;
        std::string why;
    };
    const std::vector<Case> cases{
        {fifo, {}, "not a regular file"},
        {"/dev/zero", {}, "not a regular file"},
        {damaged("cut-20000", Cut(20000)), {}, "ends past the end of the file (20000 bytes): cut short"},
        {damaged("cut-100000", Cut(100000)), {}, "ends past the end of the file (100000 bytes): cut short"},
        {damaged("cut-40", Cut(40)), {}, "the ELF header ends past the end of the file (40 bytes)"},
        {damaged("negative-count", Count(exportsAt, -1)), {}, exportTable + "-1 entries, not 0 to 65535"},
        {damaged("count-past-bound", Count(exportsAt, 65536)), {}, exportTable + "65536 entries"},
        {damaged("entries-elsewhere", Elsewhere(entriesPointer)), {},
         exportTable + "its " + count + " entries lie outside"},
        {damaged("name-elsewhere", Elsewhere(entries)), {}, exportTable + "entry 0 points outside the library"},
        {damaged("negative-resources", Count(resourcesAt, -1)), {}, resourceTable + "-1 entries"},
        {OMBRAL_PACKAGE_FILE, "/dev/full", "cannot write standard output: No space left on device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.package);
        const auto run = testsupport::Run({"timeout", "30", OMBRAL_HOST, c.package}, {.output = c.output});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, StartsWith("ombral-host: " + c.package + ": "));
        EXPECT_THAT(run.err, HasSubstr(c.why));
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

}  // namespace
