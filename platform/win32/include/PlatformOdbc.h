#pragma once
// The ODBC installer's interface on this platform: odbccp32.
#include <Win32Api.h>
#include <odbcinst.h>
