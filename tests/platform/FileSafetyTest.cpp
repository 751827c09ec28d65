// What unixODBC's file format cannot hold is refused before anything is
// written, and a file the parser could not read whole is never rewritten.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <platform/host/rtl/Registry.h>
#include <platform/posix/OdbcIniFile.h>

#include "support/Files.h"
#include "support/InstallerErrors.h"
#include "support/OdbcTestConfiguration.h"

using namespace OmbralCodeUnit;
using namespace std::string_literals;
using testing::HasSubstr;

namespace {

class FileSafetyTest : public testsupport::OdbcTest {
protected:
    void SetUp() override {
        OdbcTest::SetUp();
        ASSERT_TRUE(CreateDSN(1, 4, "Kept", "user", "", "", "", "", ""));
        files_ = odbcini::LocateOdbcFiles();
        user_ = testsupport::ReadFile(files_.userOdbcIni);
    }
    odbcini::OdbcFiles files_;
    std::string user_;
};

TEST_F(FileSafetyTest, LineBreaksThatWouldInjectLinesAreRefused) {
    const std::function<bool()> cases[] = {
        [] { return CreateDSN(1, 4, "Fresh", "a\n[Evil]\nDriver=/tmp/evil.so", "", "", "", "", ""); },
        [] { return CreateDSN(1, 4, "Fresh", "", "", "", "", "p\rw", ""); },
        [] { return CreateDSN(1, 4, "Fresh", "", "", "", "", "", "A=1\nB=2\0"s); },
        [] { return ConfigureDSN(2, 4, "Kept", "x\ny", "", "", "", "", ""); },
    };
    for (const auto& call : cases) {
        EXPECT_FALSE(call());
        EXPECT_THAT(testsupport::InstallerMessages(), HasSubstr("line break"));
        EXPECT_EQ(testsupport::ReadFile(files_.userOdbcIni), user_);
    }
    EXPECT_THROW(RegisterMDW("Kept", "w.mdw\n[Evil]\nDriver=/tmp/evil.so"), host::ERegistryException);
    EXPECT_EQ(testsupport::ReadFile(files_.userOdbcIni), user_);
}

TEST_F(FileSafetyTest, SystemRequestsFailWithoutASystemFile) {
    std::filesystem::remove(files_.systemOdbcIni);
    EXPECT_FALSE(CreateDSN(4, 4, "Fresh", "", "", "", "", "", ""));
    EXPECT_THAT(testsupport::InstallerMessages(), HasSubstr("does not exist"));
    EXPECT_FALSE(std::filesystem::exists(files_.systemOdbcIni));
    EXPECT_FALSE(FindDSN("Fresh", 4));
}

TEST_F(FileSafetyTest, DamagedFileIsReadButNeverRewritten) {
    for (const std::string& damage : {"[Unterminated\nDriver = x\n"s, "\x01\x02\xff\0junk\n"s}) {
        const std::string text = user_ + damage;
        testsupport::WriteFile(files_.userOdbcIni, text);
        EXPECT_TRUE(FindDSN("Kept", 1));
        EXPECT_FALSE(CreateDSN(1, 4, "Fresh", "", "", "", "", "", ""));
        EXPECT_FALSE(RemoveDSN(3, 4, "Kept"));
        EXPECT_THROW(RegisterMDW("Kept", "w.mdw"), host::ERegistryException);
        EXPECT_EQ(testsupport::ReadFile(files_.userOdbcIni), text);
    }
}

}  // namespace
