// Packages as shared libraries: an ELF symbol cannot carry the decorated
// names, so the package lists them in its export table.

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include <platform/host/package/LibraryFile.h>
#include <platform/host/rtl/PackageModules.h>
#include <platform/host/rtl/Packages.h>

namespace host {

namespace {

const PackageExportTable* ExportTable(void* handle) {
    return static_cast<const PackageExportTable*>(dlsym(handle, kPackageExportTableSymbol));
}

const PackageResourceTable* ResourceTable(void* handle) {
    return static_cast<const PackageResourceTable*>(dlsym(handle, kPackageResourceTableSymbol));
}

// The readable address ranges that a loaded library's segments were mapped
// to: all that its tables may point into.
class MappedLibrary {
public:
    // Holds nothing, so that no table is trusted, where the loader cannot say.
    explicit MappedLibrary(void* handle) {
        if (dlinfo(handle, RTLD_DI_LINKMAP, &map_) == 0) dl_iterate_phdr(&AddSegments, this);
    }
    MappedLibrary(const MappedLibrary&) = delete;
    MappedLibrary& operator=(const MappedLibrary&) = delete;

    // Whether the `size` bytes at `at` lie within one segment; no bytes lie anywhere.
    bool Holds(const void* at, std::size_t size) const {
        const auto begin = reinterpret_cast<std::uintptr_t>(at);
        return size == 0 || std::ranges::any_of(ranges_, [&](const Range& range) {
                   return begin >= range.first && begin < range.second && size <= range.second - begin;
               });
    }
    // Whether the text starts in a segment and ends with a NUL before the segment does.
    bool HoldsString(const char* text) const {
        const auto begin = reinterpret_cast<std::uintptr_t>(text);
        for (const auto& [first, end] : ranges_)
            if (begin >= first && begin < end) return std::memchr(text, 0, end - begin) != nullptr;
        return false;
    }

private:
    using Range = std::pair<std::uintptr_t, std::uintptr_t>;

    static int AddSegments(dl_phdr_info* info, std::size_t, void* data) {
        auto& self = *static_cast<MappedLibrary*>(data);
        if (info->dlpi_addr != self.map_->l_addr || std::strcmp(info->dlpi_name, self.map_->l_name) != 0) return 0;
        for (const ElfW(Phdr)& segment : std::span(info->dlpi_phdr, info->dlpi_phnum))
            if (segment.p_type == PT_LOAD && (segment.p_flags & PF_R)) {
                const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
                self.ranges_.emplace_back(begin, begin + segment.p_memsz);
            }
        return 1;
    }

    link_map* map_ = nullptr;
    std::vector<Range> ranges_;
};

// A Win32 package exports at most 65535 names, its ordinals being 16 bits,
// and its resource directory holds no more of a kind; neither table here
// holds more, and a count past that is damage.
constexpr std::int32_t kMaxTableEntries = 65535;

bool SoundEntry(const PackageExport& entry, const MappedLibrary& library) {
    return library.HoldsString(entry.Name) && library.Holds(entry.Address, 1);
}

bool SoundEntry(const PackageResource& entry, const MappedLibrary& library) {
    return library.HoldsString(entry.Name) && library.Holds(entry.Data, entry.Size);
}

// Why a table of the library cannot be trusted, or nothing: every pointer
// the host follows through it must stay inside the library.
template <class Table>
std::optional<String> TableProblem(const Table& table, const MappedLibrary& library) {
    if (!library.Holds(&table, sizeof table)) return String("it lies outside the library");
    if (table.Count < 0 || table.Count > kMaxTableEntries)
        return IntToStr(table.Count) + " entries, not 0 to " + IntToStr(kMaxTableEntries);
    const auto count = static_cast<std::size_t>(table.Count);
    if (!library.Holds(table.Entries, count * sizeof *table.Entries))
        return "its " + IntToStr(table.Count) + " entries lie outside the library";
    for (std::size_t i = 0; i < count; ++i)
        if (!SoundEntry(table.Entries[i], library))
            return "entry " + std::to_string(i) + " points outside the library, or its name has no NUL there";
    return std::nullopt;
}

template <class Table>
void CheckTable(const Table* table, const char* symbol, const MappedLibrary& library) {
    if (!table) return;
    if (auto problem = TableProblem(*table, library)) throw EPackageError(String(symbol) + " is damaged: " + *problem);
}

// The export table must be there, the resource table may be absent.
void CheckTables(void* handle) {
    const PackageExportTable* exports = ExportTable(handle);
    if (!exports) throw EPackageError(String("no export table ") + kPackageExportTableSymbol + ": not a package");
    const MappedLibrary library(handle);
    CheckTable(exports, kPackageExportTableSymbol, library);
    CheckTable(ResourceTable(handle), kPackageResourceTableSymbol, library);
}

String LastError() {
    const char* error = dlerror();
    return error ? String(error) : String("unknown error");
}

// The framework packages of this release, all of them in the framework's one
// shared library.
std::span<const std::string_view> FrameworkPackages() {
    static constexpr std::array<std::string_view, 1> r4{"vcl40"}, r5{"vcl50"};
    static constexpr std::array<std::string_view, 3> r6{"rtl60", "vcl60", "designide60"};
    if constexpr (kFrameworkRelease == 4) return r4;
    else if constexpr (kFrameworkRelease == 5) return r5;
    else return r6;
}

}  // namespace

TPackageModule::TPackageModule(const String& Path) : handle_(nullptr) {
    if (Path.find('\0') != String::npos) throw EPackageError("the file name holds a NUL");
    // A name without a slash would be looked for on the library path, not here.
    const String path = Path.find('/') == String::npos ? "./" + Path : Path;
    if (auto problem = LibraryFileProblem(path)) throw EPackageError(*problem);
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw EPackageError("cannot load: " + LastError());
    try {
        CheckTables(handle_);
    } catch (...) {
        dlclose(handle_);
        throw;
    }
}

TPackageModule::~TPackageModule() { dlclose(handle_); }

void* TPackageModule::FindExport(std::string_view DecoratedName) const {
    const PackageExportTable* table = ExportTable(handle_);
    for (std::int32_t i = 0; i < table->Count; ++i)
        if (table->Entries[i].Name == DecoratedName) return table->Entries[i].Address;
    return nullptr;
}

std::optional<std::string_view> TPackageModule::ResourceData(std::string_view Name) const {
    const PackageResourceTable* table = ResourceTable(handle_);
    for (std::int32_t i = 0; table && i < table->Count; ++i)
        if (table->Entries[i].Name == Name)
            return std::string_view(reinterpret_cast<const char*>(table->Entries[i].Data), table->Entries[i].Size);
    return std::nullopt;
}

bool IsPackageLoaded(std::string_view Name) {
    if (Name.size() >= 4 && SameText(Name.substr(Name.size() - 4), ".bpl")) Name.remove_suffix(4);
    for (std::string_view package : FrameworkPackages())
        if (SameText(package, Name)) return true;
    return false;
}

}  // namespace host
