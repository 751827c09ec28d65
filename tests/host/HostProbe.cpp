// A small package for ombral-host: its routines say on standard output when
// they run, and the variant it is built as (PROBE_VARIANT) decides which is
// missing or raises.

#include <cstdio>
#include <string_view>

#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/Packages.h>

#include "ProbeInfo.h"

#ifdef _WIN32
#define PROBE_EXPORT extern "C"  // exported by the .def file under the decorated names
#else
#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#ifdef PROBE_NEEDS_STUB
extern "C" void ProbeStub();  // from a framework package that is nowhere to be found
#endif

namespace {

constexpr std::string_view kVariant = PROBE_VARIANT;

void Say(const char* what) {
    std::fputs(what, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Initialize() {
    Say("probe: Initialize");
#ifdef PROBE_NEEDS_STUB
    ProbeStub();
#endif
    if (kVariant == "initraises") throw host::Exception("the probe refuses to initialise");
}

void Finalize() { Say("probe: Finalize"); }

void RegisterOn(const char* page) {
    host::RegisterComponents(page, {host::TypeInfo<host::TComponent>()});
    host::RegisterPropertyEditor(host::TypeInfo<host::String>(), host::TypeInfo<host::TComponent>(), page,
                                 host::TypeInfo<host::TStringProperty>());
}

void RegisterFirst() {
    if (kVariant == "registerraises") throw host::EDesignError("the probe refuses to register");
    RegisterOn("FIRST");
}

void RegisterSecond() { RegisterOn("SECOND"); }

}  // namespace

#ifdef _WIN32
PROBE_EXPORT void ProbeInitialize() { Initialize(); }
PROBE_EXPORT void ProbeFinalize() { Finalize(); }
PROBE_EXPORT void ProbeRegisterFirst() { RegisterFirst(); }
PROBE_EXPORT void ProbeRegisterSecond() { RegisterSecond(); }
#else
namespace {
const host::PackageExport kExports[] = {
    {"Initialize", reinterpret_cast<void*>(&Initialize)},
    {"Finalize", reinterpret_cast<void*>(&Finalize)},
    {"@Firstunit@Register$qqrv", reinterpret_cast<void*>(&RegisterFirst)},
    {"@Secondunit@Register$qqrv", reinterpret_cast<void*>(&RegisterSecond)},
};
// In the library's own memory, as a real package's resources are: the host
// follows no pointer of its tables out of the library.
char info[256];
const auto kInfoSize =
    static_cast<std::uint32_t>(hostprobe::ProbeInfo(kVariant, OMBRAL_FRAMEWORK_RELEASE).copy(info, sizeof info));
const host::PackageResource kResources[] = {{"PACKAGEINFO", reinterpret_cast<const unsigned char*>(info), kInfoSize}};
}  // namespace
// A variant without Initialize leaves it out of its table.
PROBE_EXPORT const host::PackageExportTable OmbralPackageExports{kVariant == "noinit" ? 3 : 4,
                                                                 kVariant == "noinit" ? kExports + 1 : kExports};
PROBE_EXPORT const host::PackageResourceTable OmbralPackageResources{kVariant == "noinfo" ? 0 : 1, kResources};
#endif
