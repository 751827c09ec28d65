#include "ProbeError.h"

__declspec(dllexport) void probeThrow(const char *message, int code) { throw ProbeError(message, code); }
