#pragma once
// Unit tests: a private configuration for the registry, and a recording installer.

#include <string>
#include <vector>

#include <platform/posix/OdbcIniFile.h>

#include "support/OdbcTestConfiguration.h"
#include "support/RecordingInstaller.h"

namespace testsupport {

inline void AddSection(const std::string& file, const std::string& name,
                       const std::vector<odbcini::Entry>& entries = {}) {
    odbcini::UpdateIniFile(file, [&](odbcini::IniDocument& d) { d.ReplaceSection(name, entries); });
}

class UnitTest : public OdbcTest {
protected:
    void SetUp() override {
        OdbcTest::SetUp();
        recording::Reset();
    }
};

}  // namespace testsupport
