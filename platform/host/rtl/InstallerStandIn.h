#pragma once
// A stand-in for the ODBC installer: it takes the calls the package would
// make of SQLConfigDataSource and answers for the installer, which is then
// not called. That is how a program shows what a request would send without
// changing anything.

#include <functional>
#include <string_view>

#include <platform/host/rtl/Types.h>

namespace host {

// The request code, the driver's description and the attribute list whole,
// up to and including its closing NUL; true for the installer's success.
using TInstallerStandIn = std::function<bool(int request, const String& driver, std::string_view attributes)>;

// An empty stand-in puts the installer back.
void SetInstallerStandIn(TInstallerStandIn standIn);
const TInstallerStandIn& InstallerStandIn();

}  // namespace host
