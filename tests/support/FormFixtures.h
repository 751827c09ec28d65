#pragma once
// The test forms of tests/platform/forms, by name, for targets that define
// OMBRAL_FORMS_DIR.

#include <string>

#include "support/Files.h"

namespace testsupport {

inline std::string FormFixture(const std::string& name) { return ReadFile(std::string(OMBRAL_FORMS_DIR) + "/" + name); }

}  // namespace testsupport
