#pragma once
// The ODBC installer's interface on this platform: unixODBC's libodbcinst.
#include <odbcinst.h>
