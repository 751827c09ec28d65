#include "ProbeError.h"

void probeThrow(const char *message, int code) { throw ProbeError(message, code); }
