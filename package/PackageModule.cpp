#include <package/PackageModule.h>

#include <package/ModuleTables.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <Ombralcompreg/Ombralcompreg.h>
#include <pOlvexAbout/pOlvexAbout.h>
#include <platform/host/rtl/FrameworkModules.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace PackageModule {

// The package's own start-up module: the DLL entry and the module record's
// registration are the platform's start-up code; its table entry has no work.
namespace SysInit {
void initialization() {}
void Finalization() {}
}  // namespace SysInit

namespace {

#define OMBRAL_OWN_ENTRY(Name) {&Name::initialization, &Name::Finalization},
#define OMBRAL_FRAMEWORK_ENTRY(Name) {&host::modules::Name::initialization, &host::modules::Name::Finalization},
#define OMBRAL_CONTAINED_ENTRY(Name) {&::Name::initialization, &::Name::Finalization},
constinit const host::PackageUnitEntry kUnits[] = {
    OMBRAL_MODULE_TABLE(OMBRAL_OWN_ENTRY, OMBRAL_FRAMEWORK_ENTRY, OMBRAL_CONTAINED_ENTRY)};

#define OMBRAL_NAME(Name) std::string_view(#Name),
constexpr std::array kNames{OMBRAL_MODULE_TABLE(OMBRAL_NAME, OMBRAL_NAME, OMBRAL_NAME)};

// The 1-based place of a module in the table.
constexpr std::size_t PlaceOf(std::string_view name) {
    return std::find(kNames.begin(), kNames.end(), name) - kNames.begin() + 1;
}

struct Layout {
    std::size_t Count, CodeUnit, About, CreateUnit, Compreg;
};
constexpr Layout kLayouts[] = {{38, 33, 35, 37, 38}, {44, 39, 40, 43, 44}, {54, 46, 47, 53, 54}};
constexpr Layout kLayout = kLayouts[OMBRAL_FRAMEWORK_RELEASE - 4];
static_assert(std::size(kUnits) == kLayout.Count);
static_assert(PlaceOf("OmbralCodeUnit") == kLayout.CodeUnit && PlaceOf("pOlvexAbout") == kLayout.About &&
              PlaceOf("OmbralCreateUnit") == kLayout.CreateUnit && PlaceOf("Ombralcompreg") == kLayout.Compreg);

constinit const host::PackageInfoTable kTable{static_cast<std::int32_t>(std::size(kUnits)), kUnits};

}  // namespace

void Initialize() {
#if OMBRAL_FRAMEWORK_RELEASE >= 6
    host::PackageLoad(&kTable, &host::ThisLibModule());
#else
    host::PackageLoad(&kTable);
#endif
}

void Finalize() {
#if OMBRAL_FRAMEWORK_RELEASE >= 6
    host::PackageUnload(&kTable, &host::ThisLibModule());
#else
    host::PackageUnload(&kTable);
#endif
}

const host::PackageInfoTable* GetPackageInfoTable() { return &kTable; }

}  // namespace PackageModule
