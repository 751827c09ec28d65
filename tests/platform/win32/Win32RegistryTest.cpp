// What only the Windows binding has: the real registry under TRegistry, and
// the blank-name message reaching a real message box.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <Win32Api.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/ui/Forms.h>
#include <platform/host/rtl/Registry.h>

#include "support/MessageBoxes.h"
#include "support/UnitFixture.h"

using namespace std::string_literals;
using testsupport::Scope;

namespace {

class Win32RegistryTest : public testsupport::UnitTest {};

TEST_F(Win32RegistryTest, LineBreaksAreStoredAsGiven) {
    Odbc().AddDataSource(Scope::User, "Shop");
    ASSERT_TRUE(OmbralCodeUnit::RegisterMDW("Shop", "two\r\nlines"));
    EXPECT_EQ(Odbc().Value(Scope::User, "Shop", "SystemDB"), "two\r\nlines");
}

TEST_F(Win32RegistryTest, KeysAreCreatedOnlyWhenAsked) {
    host::TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("\\Software\\ODBC\\ODBC.INI\\Fresh", false));
    EXPECT_FALSE(Odbc().Exists(Scope::User, "Fresh"));
    EXPECT_TRUE(registry.OpenKey("\\Software\\ODBC\\ODBC.INI\\Fresh", true));
    EXPECT_TRUE(Odbc().Exists(Scope::User, "Fresh"));
}

TEST_F(Win32RegistryTest, ReadOnlyOpenAndRelativePaths) {
    Odbc().AddDataSource(Scope::System, "Central", {{"Description", "central"}});
    host::TRegistry registry;
    registry.SetRootKey(host::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\ODBC\\ODBC.INI"));
    ASSERT_TRUE(registry.OpenKeyReadOnly("Central"));
    EXPECT_EQ(registry.ReadString("Description"), "central");
    EXPECT_EQ(registry.CurrentPath(), "Software\\ODBC\\ODBC.INI\\Central");
}

TEST_F(Win32RegistryTest, ValueOfAnotherTypeRaises) {
    Odbc().AddDataSource(Scope::User, "Typed");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\ODBC\\ODBC.INI\\Typed", 0, KEY_SET_VALUE, &key), 0);
    DWORD number = 7;
    RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    host::TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\ODBC\\ODBC.INI\\Typed"));
    EXPECT_THROW(registry.ReadString("Count"), host::ERegistryException);
}

TEST_F(Win32RegistryTest, BlankNameMessageIsAnErrorBoxWithTheApplicationsTitle) {
    host::Application->SetTitle("Ombral blank-name test");
    OmbralCreateUnit::TOmbralCreator creator(nullptr);
    creator.SetDSNNameOrAlias("");
    testsupport::MessageBoxes person;  // looks for boxes with the title set above
    EXPECT_FALSE(creator.Execute());
    EXPECT_THAT(person.Shown(), testing::ElementsAre("Error: Property 'DSNNameOrAlias' must not be blank"));
    EXPECT_TRUE(recording::Calls().empty());
}

}  // namespace
