// Packages as shared libraries: an ELF symbol cannot carry the decorated
// names, so the package lists them in its export table.

#include <dlfcn.h>

#include <array>
#include <span>

#include <platform/host/rtl/PackageModules.h>
#include <platform/host/rtl/Packages.h>

namespace host {

namespace {

const PackageExportTable* ExportTable(void* handle) {
    return static_cast<const PackageExportTable*>(dlsym(handle, kPackageExportTableSymbol));
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
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw EPackageError("cannot load: " + LastError());
    if (!ExportTable(handle_)) {
        dlclose(handle_);
        throw EPackageError(String("no export table ") + kPackageExportTableSymbol + ": not a package");
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
    const auto* table = static_cast<const PackageResourceTable*>(dlsym(handle_, kPackageResourceTableSymbol));
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
