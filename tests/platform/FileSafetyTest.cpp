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
#include "support/Processes.h"

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

std::string Padded(std::string text, size_t size) { return text.append(size - text.size(), ' '); }

// Whether the call succeeded; an exception counts as a failure.
bool Succeeds(const std::function<bool()>& call) {
    try {
        return call();
    } catch (const std::exception&) {
        return false;
    }
}

// Read by unixODBC in 999-byte pieces, this description was a data source
// "Evil" that loads /tmp/evil.so. Every path that writes refuses it.
TEST_F(FileSafetyTest, LinesThatUnixOdbcWouldCutAreRefusedOnEveryPath) {
    const std::string injection =
        std::string(985, 'a') + Padded("[Evil]", 999) + Padded("Driver=/tmp/evil.so", 999) + "x";
    const std::string reason = "value of 'Description' is 2984 bytes; unixODBC reads back at most 498";
    const struct {
        const char* what;
        std::function<bool()> call;
        bool installer;  // the reason is among the installer's messages
    } cases[] = {
        {"new data source", [&] { return CreateDSN(1, 4, "Fresh", injection, "", "", "", "", ""); }, true},
        {"replaced data source", [&] { return CreateDSN(1, 4, "Kept", injection, "", "", "", "", ""); }, true},
        {"configured data source", [&] { return ConfigureDSN(2, 4, "Kept", injection, "", "", "", "", ""); }, true},
        {"workgroup file", [&] { return RegisterMDW("Kept", "/srv/" + std::string(odbcini::kMaxValueBytes, 'w')); },
         false},
        {"registry value", [&] {
             host::TRegistry registry;
             registry.SetRootKey(host::HKEY_CURRENT_USER);
             if (!registry.OpenKey("\\Software\\ODBC\\ODBC.INI\\Kept", false)) return true;
             registry.WriteString("Description", injection);
             return true;
         },
         false},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Succeeds(c.call)) << c.what;
        if (c.installer) {
            EXPECT_THAT(testsupport::InstallerMessages(), HasSubstr(reason)) << c.what;
        }
        EXPECT_EQ(testsupport::ReadFile(files_.userOdbcIni), user_) << c.what;
    }
    EXPECT_THAT(testsupport::Run({"odbcinst", "-q", "-s"}).out, testing::Not(HasSubstr("Evil")));
}

// The longest text accepted is what unixODBC's most sparing reader, odbcinst
// -q, still shows whole: the limits are not guesses.
TEST_F(FileSafetyTest, LongestAcceptedTextReadsBackWholeThroughUnixOdbc) {
    const std::string value(odbcini::kMaxValueBytes, 'v');
    const std::string key(odbcini::kMaxLineBytes - std::string_view(" = ").size() - value.size(), 'k');
    ASSERT_TRUE(CreateDSN(1, 4, "Long", value, "", "", "", "", ""));
    odbcini::UpdateIniFile(files_.userOdbcIni, [&](odbcini::IniDocument& d) {
        d.SetValue("Long", key, value);
        d.SetValue("Long", "After", "1");
    });
    const std::string dataSource = testsupport::Run({"odbcinst", "-q", "-s", "-n", "Long"}).out;
    EXPECT_THAT(dataSource, HasSubstr("\nDescription=" + value + "\n"));
    EXPECT_THAT(dataSource, HasSubstr("\n" + key + "=" + value + "\nAfter=1\n"));

    odbcini::UpdateIniFile(files_.odbcinstIni,
                           [&](odbcini::IniDocument& d) { d.ReplaceSection("Long", {{"Setup", value}}); });
    EXPECT_THAT(testsupport::Run({"odbcinst", "-q", "-d", "-n", "Long"}).out, HasSubstr("\nSetup=" + value + "\n"));
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
