// The POSIX package library loaded as the host loads it: its table of
// decorated export names against the export table, the routines found
// through it, and its package-information resource.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/Packages.h>
#include <support/Files.h>

namespace {

class LoadedLibrary {
public:
    LoadedLibrary() : handle_(dlopen(OMBRAL_PACKAGE_FILE, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedLibrary() {
        if (handle_) dlclose(handle_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    template <typename T>
    const T* Table(const char* symbol) const {
        return static_cast<const T*>(dlsym(handle_, symbol));
    }
    void* Address(const std::string& name) const {
        const auto* table = Table<host::PackageExportTable>(host::kPackageExportTableSymbol);
        for (std::int32_t i = 0; table && i < table->Count; ++i)
            if (name == table->Entries[i].Name) return table->Entries[i].Address;
        return nullptr;
    }
    void Call(const std::string& name) const {
        auto routine = reinterpret_cast<void (*)()>(Address(name));
        ASSERT_NE(routine, nullptr) << name;
        routine();
    }

private:
    void* handle_;
};

TEST(PackageLibrary, ListsTheExportTableByDecoratedName) {
    LoadedLibrary library;
    ASSERT_TRUE(library.Loaded()) << dlerror();
    const auto* table = library.Table<host::PackageExportTable>(host::kPackageExportTableSymbol);
    ASSERT_NE(table, nullptr);
    std::vector<std::string> expected;
    std::ifstream source(OMBRAL_EXPORT_TABLE);
    const std::regex row(R"re(^[0-9]+ (\S+) \S+( DATA)?$)re");
    const std::string release = std::to_string(OMBRAL_FRAMEWORK_RELEASE);
    for (std::string line; std::getline(source, line);)
        if (std::smatch m; std::regex_match(line, m, row)) {
            std::string name = std::regex_replace(m[1].str(), std::regex("@Ombral5@"), "@Ombral" + release + "@");
            if (release == "4") name = std::regex_replace(name, std::regex(R"(\$qqro$)"), "$$qqr4bool");
            expected.push_back(name);
        }
    ASSERT_EQ(expected.size(), 81u);
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < table->Count; ++i) {
        names.push_back(table->Entries[i].Name);
        EXPECT_NE(table->Entries[i].Address, nullptr) << table->Entries[i].Name;
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(library.Address("Initialize"), library.Address("@Ombral" + release + "@@PackageLoad$qqrv"));
}

TEST(PackageLibrary, RegistersThroughItsTableAndForgetsOnFinalize) {
    for (int load = 1; load <= 2; ++load) {
        LoadedLibrary library;
        ASSERT_TRUE(library.Loaded()) << dlerror();
        library.Call("Initialize");
        library.Call("@Ombralcompreg@Register$qqrv");
        library.Call("@Ombralcreateunit@Register$qqrv");
        ASSERT_EQ(host::Palette().size(), 1u) << "load " << load;
        EXPECT_EQ(host::Palette()[0].Page, "OLVEX");
        library.Call("Finalize");
        EXPECT_TRUE(host::Palette().empty()) << "load " << load;
    }
}

TEST(PackageLibrary, CarriesItsPackageInformation) {
    LoadedLibrary library;
    ASSERT_TRUE(library.Loaded()) << dlerror();
    const auto* table = library.Table<host::PackageResourceTable>(host::kPackageResourceTableSymbol);
    ASSERT_NE(table, nullptr);
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < table->Count; ++i) {
        const auto& resource = table->Entries[i];
        names.push_back(resource.Name);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource.Data), resource.Size),
                  testsupport::ReadFile(std::string(OMBRAL_PACKAGE_RESOURCES) + "/" + resource.Name + ".bin"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"PACKAGEINFO", "PACKAGEOPTIONS", "DESCRIPTION"}));
}

}  // namespace
