// The package DLL loaded as the host loads it: its module table and entry
// points, and what Initialize, the Register procedures and Finalize do to the
// framework, load after load.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/Packages.h>
#include <platform/host/rtl/Resources.h>

namespace {

const std::string kPackageModule = "@Ombral" + std::to_string(OMBRAL_FRAMEWORK_RELEASE) + "@";

class LoadedPackage {
public:
    LoadedPackage() : module_(LoadLibraryA(OMBRAL_PACKAGE_NAME)) {}
    ~LoadedPackage() {
        if (module_) FreeLibrary(module_);
    }
    LoadedPackage(const LoadedPackage&) = delete;
    LoadedPackage& operator=(const LoadedPackage&) = delete;

    HMODULE Module() const { return module_; }
    void* Address(const std::string& name) const {
        return reinterpret_cast<void*>(GetProcAddress(module_, name.c_str()));
    }
    void Call(const std::string& name) const {
        auto routine = reinterpret_cast<void (*)()>(Address(name));
        ASSERT_NE(routine, nullptr) << name;
        routine();
    }
    const host::PackageInfoTable* Table() const {
        auto get = reinterpret_cast<const host::PackageInfoTable* (*)()>(Address("@GetPackageInfoTable"));
        return get ? get() : nullptr;
    }

private:
    HMODULE module_;
};

struct Place {
    int Entry;
    const char* Module;
};

#if OMBRAL_FRAMEWORK_RELEASE == 4
constexpr int kEntries = 38;
constexpr Place kPlaces[] = {{33, "Ombralcodeunit"}, {35, "Polvexabout"}, {37, "Ombralcreateunit"}, {38, "Ombralcompreg"}};
#elif OMBRAL_FRAMEWORK_RELEASE == 5
constexpr int kEntries = 44;
constexpr Place kPlaces[] = {{39, "Ombralcodeunit"}, {40, "Polvexabout"}, {43, "Ombralcreateunit"}, {44, "Ombralcompreg"}};
#else
constexpr int kEntries = 54;
constexpr Place kPlaces[] = {{46, "Ombralcodeunit"}, {47, "Polvexabout"}, {53, "Ombralcreateunit"}, {54, "Ombralcompreg"}};
#endif

TEST(PackageModule, TheTableHoldsTheSystemsModulesAtTheirPlaces) {
    LoadedPackage package;
    ASSERT_NE(package.Module(), nullptr) << "error " << GetLastError();
    const host::PackageInfoTable* table = package.Table();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->UnitCount, kEntries);
    for (const Place& place : kPlaces) {
        const auto& entry = table->UnitInfo[place.Entry - 1];
        const std::string module = std::string("@") + place.Module + "@";
        EXPECT_EQ(reinterpret_cast<void*>(entry.Init), package.Address(module + "initialization$qqrv")) << module;
        EXPECT_EQ(reinterpret_cast<void*>(entry.FInit), package.Address(module + "Finalization$qqrv")) << module;
    }
    for (int i = 0; i < table->UnitCount; ++i)
        EXPECT_TRUE(table->UnitInfo[i].Init && table->UnitInfo[i].FInit) << "entry " << i + 1;
}

TEST(PackageModule, TheDecoratedEntryPointsAreThePlainOnes) {
    LoadedPackage package;
    ASSERT_NE(package.Module(), nullptr);
    const std::pair<const char*, std::string> aliases[] = {
        {"Initialize", kPackageModule + "@PackageLoad$qqrv"},
        {"Finalize", kPackageModule + "@PackageUnload$qqrv"},
        {"@GetPackageInfoTable", kPackageModule + "@GetPackageInfoTable$qqrv"},
    };
    for (const auto& [plain, decorated] : aliases) {
        EXPECT_NE(package.Address(plain), nullptr) << plain;
        EXPECT_EQ(package.Address(plain), package.Address(decorated)) << decorated;
    }
    // The module's initialisation is the routine Windows enters the DLL by.
    auto base = reinterpret_cast<const unsigned char*>(package.Module());
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    EXPECT_EQ(package.Address(kPackageModule + "initialization$qqrv"), base + nt->OptionalHeader.AddressOfEntryPoint);
}

std::vector<std::string> PaletteLines() {
    std::vector<std::string> lines;
    for (const auto& entry : host::Palette()) lines.push_back(entry.Page + "\t" + std::string(entry.ComponentClass->Name));
    return lines;
}

TEST(PackageModule, RegistersTheSameEveryLoadAndLeavesNothingBehind) {
    for (int load = 1; load <= 2; ++load) {
        SCOPED_TRACE("load " + std::to_string(load));
        {
            LoadedPackage package;
            ASSERT_NE(package.Module(), nullptr);
            // Only the package's start-up code has run: nothing is registered yet,
            // but the framework finds the package's own form.
            EXPECT_TRUE(PaletteLines().empty());
            EXPECT_TRUE(host::FindResourceData("TOLVEXABOUTFORM").has_value());
            package.Call("Initialize");
            package.Call("@Ombralcompreg@Register$qqrv");
            package.Call("@Ombralcreateunit@Register$qqrv");
            EXPECT_EQ(PaletteLines(), std::vector<std::string>{"OLVEX\tTOmbralCreator"});
            EXPECT_NE(host::FindClass("TOmbralCreator"), nullptr);
            package.Call("Finalize");
            EXPECT_TRUE(PaletteLines().empty());
            EXPECT_EQ(host::FindClass("TOmbralCreator"), nullptr);
        }
        EXPECT_FALSE(host::FindResourceData("TOLVEXABOUTFORM").has_value());
        EXPECT_TRUE(host::Modules().empty());
    }
}

}  // namespace
