#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/FrameworkModules.h>

#include <atomic>

namespace {

// Every package that is loaded initialises the design interface once. When
// the last of them is finalised, what they registered goes with them: the
// palette and the bindings must not point into modules that are unloaded.
std::atomic<int> designPackages{0};

void DesignInterfaceInitialization() { ++designPackages; }

void DesignInterfaceFinalization() {
    if (--designPackages == 0) host::UnregisterDesignTime();
}

}  // namespace

#if OMBRAL_FRAMEWORK_RELEASE >= 6
namespace host::modules::Designintf {
void initialization() { DesignInterfaceInitialization(); }
void Finalization() { DesignInterfaceFinalization(); }
}  // namespace host::modules::Designintf
OMBRAL_DEFINE_EMPTY_MODULE(DesignConst)
OMBRAL_DEFINE_EMPTY_MODULE(DesignMenus)
OMBRAL_DEFINE_EMPTY_MODULE(Designeditors)
OMBRAL_DEFINE_EMPTY_MODULE(TreeIntf)
#else
namespace host::modules::Dsgnintf {
void initialization() { DesignInterfaceInitialization(); }
void Finalization() { DesignInterfaceFinalization(); }
}  // namespace host::modules::Dsgnintf
#endif
