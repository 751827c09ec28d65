// A package library's start-up code on POSIX: its module record enters the
// framework's module list when the library is loaded and leaves it when the
// library is unloaded.

#include <dlfcn.h>

#include <platform/host/rtl/Packages.h>

namespace {

host::TLibModule record;

}  // namespace

host::TLibModule& host::ThisLibModule() { return record; }

// The routine the loader enters the library by; the package's export table
// names it as the package module's initialisation.
extern "C" __attribute__((constructor)) void OmbralPackageAttach() {
    Dl_info info{};
    if (dladdr(&record, &info)) record.Instance = info.dli_fbase;
    host::RegisterModule(&record);
}

extern "C" __attribute__((destructor)) void OmbralPackageDetach() { host::UnregisterModule(&record); }
