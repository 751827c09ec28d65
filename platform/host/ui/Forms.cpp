#include <platform/host/ui/Forms.h>

namespace host {

void TApplication::ProcessMessages() { PlatformProcessMessages(); }

String TApplication::Title() const { return title_ ? *title_ : PlatformApplicationTitle(); }

namespace {
TApplication theApplication;
}

TApplication* const Application = &theApplication;

}  // namespace host
