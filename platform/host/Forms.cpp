#include <platform/host/Forms.h>

namespace host {

void TApplication::ProcessMessages() { PlatformProcessMessages(); }

namespace {
TApplication theApplication;
}

TApplication* const Application = &theApplication;

}  // namespace host
