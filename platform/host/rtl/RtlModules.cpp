#include <platform/host/rtl/FrameworkModules.h>

OMBRAL_RTL_MODULES(OMBRAL_DEFINE_EMPTY_MODULE)
