// Code of the runtime package's own, as the framework's run-time package has:
// exported through a .def beside the runtime's generated one.
#include "ProbeError.h"

void probeRuntimeRaise() { throw std::out_of_range("list index out of bounds"); }
