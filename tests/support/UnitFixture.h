#pragma once
// Unit tests: the platform's registry in a test configuration, and a
// recording installer in place of the real one.

#include "support/OdbcTestConfiguration.h"
#include "support/RecordingInstaller.h"

namespace testsupport {

class UnitTest : public OdbcTest {
protected:
    void SetUp() override {
        OdbcTest::SetUp();
        recording::Reset();
    }
};

}  // namespace testsupport
