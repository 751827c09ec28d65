#pragma once
// What the installer has recorded about its last refusal, oldest first.

#include <string>
#include <vector>

namespace odbcsetup {

std::vector<std::string> InstallerMessages();

}  // namespace odbcsetup
