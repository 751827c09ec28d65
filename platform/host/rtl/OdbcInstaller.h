#pragma once
// The ODBC installer (SQLConfigDataSource and its types), as the platform provides it.
#include <PlatformOdbc.h>
