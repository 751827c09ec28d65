#include <platform/host/rtl/FrameworkModules.h>

OMBRAL_VCL_MODULES(OMBRAL_DEFINE_EMPTY_MODULE)
