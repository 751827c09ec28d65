#pragma once
// The ODBC installer (SQLConfigDataSource and its types), as the platform
// provides it, and the stand-in that a program may put in its place.
#include <PlatformOdbc.h>
#include <platform/host/rtl/InstallerStandIn.h>
