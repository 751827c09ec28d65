#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/rtl/FormStream.h>

#include "support/MessageBoxes.h"
#include "support/UnitFixture.h"

using namespace OmbralCreateUnit;
using namespace std::string_literals;

namespace {

const String kDefaultOptions =
    "ImplicitCommitSync=\0CollatingSequence=ASCII\0ParadoxNetStyle=3.x\0PageTimeout=5\0ReadOnly=0\0"
    "Exclusive=0\0SafeTransactions=0\0Threads=3\0UserCommitSync=No\0"s;

class CreatorTest : public testsupport::UnitTest {
protected:
    // The advanced options of the one recorded call: what follows the PWD pair.
    static String SentOptions() {
        const auto& list = recording::Calls().at(0).attributes;
        auto start = list.find("PWD=") + 4;
        start = list.find('\0', start) + 1;
        return list.substr(start, list.size() - start - 1);
    }
};

TEST(CreatorState, NewComponentHasItsInitialValues) {
    TOmbralCreator creator(nullptr);
    EXPECT_EQ(creator.GetAction(), ADD_SYS_DSN);
    EXPECT_EQ(creator.GetDSNNameOrAlias(), "NewOmbral");
    EXPECT_EQ(creator.GetDSNUserDescription(), "New Ombral Description");
    EXPECT_EQ(creator.GetUserID(), "admin");
    EXPECT_EQ(creator.GetDatabaseDir(), "");
    EXPECT_EQ(creator.Password, "");
    EXPECT_EQ(creator.GetNetFilePath(), "");
    EXPECT_EQ(creator.optImplitCommitSync, "");
    EXPECT_EQ(creator.GetCollateSequence(), ASCII);
    EXPECT_EQ(creator.optNetVersion, NetVersion3x);
    EXPECT_EQ(creator.optParadoxVersion, Paradox5x);
    EXPECT_EQ(creator.optPageTimeout, 5);
    EXPECT_EQ(creator.optThreads, 3);
    EXPECT_EQ(creator.optSafeTransactions, 0);
    EXPECT_FALSE(creator.optDSNReadOnly || creator.optExclusive || creator.optUserCommitSync);
    EXPECT_EQ(creator.About, nullptr);
}

TEST(CreatorState, DatabaseDirDropsOneTrailingBackslashNetFilePathNone) {
    const std::pair<String, String> cases[] = {{"C:\\Data\\", "C:\\Data"}, {"C:\\", "C:"},   {"\\", ""},
                                               {"C:\\Data\\\\", "C:\\Data\\"}, {"", ""}, {"/srv/db/", "/srv/db/"}};
    TOmbralCreator creator(nullptr);
    for (const auto& [given, stored] : cases) {
        creator.SetDatabaseDir(given);
        EXPECT_EQ(creator.GetDatabaseDir(), stored) << given;
    }
    creator.SetNetFilePath("C:\\Net\\");
    EXPECT_EQ(creator.GetNetFilePath(), "C:\\Net\\");
}

TEST(CreatorState, OwnerDestroysItsComponents) {
    struct Probe : TOmbralCreator {
        Probe(host::TComponent* owner, int& destroyed) : TOmbralCreator(owner), destroyed_(destroyed) {}
        ~Probe() override { ++destroyed_; }
        int& destroyed_;
    };
    int destroyed = 0;
    {
        host::TComponent owner(nullptr);
        new Probe(&owner, destroyed);
        auto* early = new Probe(&owner, destroyed);
        EXPECT_EQ(owner.ComponentCount(), 2);
        delete early;  // leaves its owner's list
        EXPECT_EQ(owner.ComponentCount(), 1);
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST_F(CreatorTest, UntouchedComponentAddsTheSystemDataSourceOnce) {
    TOmbralCreator creator(nullptr);
    ASSERT_TRUE(creator.Execute());
    ASSERT_EQ(recording::Calls().size(), 1u);
    const auto& call = recording::Calls()[0];
    EXPECT_EQ(call.request, 4);
    EXPECT_EQ(call.driver, "Microsoft Paradox Driver (*.db )");
    EXPECT_EQ(kDefaultOptions.size(), 148u);
    EXPECT_EQ(call.attributes, "DSN=NewOmbral\0Driver="s + Odbc().SetupLibrary() +
                                   "\0DefaultDir=\0Description=New Ombral Description\0FIL=Paradox 5.X\0"
                                   "ParadoxUserName=admin\0ParadoxNetPath=\0PWD=\0"s +
                                   kDefaultOptions + '\0');

    // The recorder wrote nothing; make the data source exist as the installer would have.
    Odbc().AddDataSource(testsupport::Scope::System, "NewOmbral");
    recording::Reset();
    testsupport::MessageBoxes boxes;
    EXPECT_FALSE(creator.Execute());
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_TRUE(recording::Calls().empty());
}

TEST_F(CreatorTest, UserAddLooksForTheNameAmongUserDataSources) {
    TOmbralCreator creator(nullptr);
    creator.SetAction(ADD_DSN);
    Odbc().AddDataSource(testsupport::Scope::System, "NewOmbral");
    ASSERT_TRUE(creator.Execute());
    EXPECT_EQ(recording::Calls().at(0).request, 1);
    Odbc().AddDataSource(testsupport::Scope::User, "NewOmbral");
    EXPECT_FALSE(creator.Execute());
}

TEST_F(CreatorTest, BlankNameIsRefusedWithTheMessageAndReachesNoInstaller) {
    TOmbralCreator creator(nullptr);
    creator.SetDSNNameOrAlias("");
    for (auto action : {ADD_SYS_DSN, ADD_DSN}) {
        creator.SetAction(action);
        testsupport::MessageBoxes boxes;
        EXPECT_FALSE(creator.Execute());
        EXPECT_THAT(boxes.Shown(), testing::ElementsAre("Error: Property 'DSNNameOrAlias' must not be blank"));
    }
    EXPECT_TRUE(recording::Calls().empty());
    creator.SetDSNNameOrAlias("   ");  // blanks are a name
    EXPECT_TRUE(creator.Execute());
}

TEST_F(CreatorTest, ConfigureAndRemoveActionsDispatchWithTheirRequestCodes) {
    const struct {
        TDSNExecuteAction action;
        int request;
        bool configure;
    } cases[] = {{CONFIG_DSN, 2, true},   {CONFIG_SYS_DSN, 5, true}, {REMOVE_DSN, 3, false},
                 {REMOVE_SYS_DSN, 6, false}, {REMOVE_DEFAULT_DSN, 7, false}};
    for (const auto& c : cases) {
        recording::Reset();
        TOmbralCreator creator(nullptr);
        creator.SetAction(c.action);
        creator.SetDSNNameOrAlias("Target");
        ASSERT_TRUE(creator.Execute());
        ASSERT_EQ(recording::Calls().size(), 1u);
        EXPECT_EQ(recording::Calls()[0].request, c.request);
        if (c.configure)
            EXPECT_EQ(SentOptions(), kDefaultOptions);
        else
            EXPECT_EQ(recording::Calls()[0].attributes, "DSN=Target\0\0"s);
    }
}

TEST_F(CreatorTest, OutOfRangeActionDoesNothing) {
    TOmbralCreator creator(nullptr);
    creator.SetAction(static_cast<TDSNExecuteAction>(9));
    EXPECT_FALSE(creator.Execute());
    EXPECT_TRUE(recording::Calls().empty());
}

// The options travel as NUL-closed pairs: a NUL in the one free-text option
// would smuggle in a pair of its own, here another driver.
TEST_F(CreatorTest, SavedFormWithNulInImplicitCommitSyncReachesNothing) {
    host::RegisterClass(host::TypeInfo<TOmbralCreator>());
    const std::unique_ptr<host::TComponent> read(host::ReadComponentForm(
        "object OmbralCreator1: TOmbralCreator\n"
        "  DSNNameOrAlias = ''\n"
        "  optImplitCommitSync = 'x'#0'Driver=/tmp/evil.so'\n"
        "end\n",
        nullptr));
    auto& creator = dynamic_cast<TOmbralCreator&>(*read);
    ASSERT_EQ(creator.optImplitCommitSync, "x\0Driver=/tmp/evil.so"s);
    testsupport::MessageBoxes boxes;
    for (int action = ADD_DSN; action <= REMOVE_DEFAULT_DSN; ++action) {
        creator.SetAction(static_cast<TDSNExecuteAction>(action));
        EXPECT_FALSE(creator.Execute()) << action;
    }
    EXPECT_TRUE(boxes.Shown().empty());  // an add that went on would object to the blank name
    EXPECT_TRUE(recording::Calls().empty());
}

TEST_F(CreatorTest, OptionsReachTheDriverInTheirEncodings) {
    TOmbralCreator creator(nullptr);
    creator.SetAction(CONFIG_DSN);
    creator.optPageTimeout = -1;
    creator.optThreads = 0;
    creator.optImplitCommitSync = "Yes";
    creator.optDSNReadOnly = true;
    creator.optExclusive = true;
    creator.optSafeTransactions = 2147483647;
    creator.optUserCommitSync = true;
    creator.optNetVersion = NetVersion5x;
    creator.SetCollateSequence(SwedishFinnish);
    ASSERT_TRUE(creator.Execute());
    const String changed = SentOptions();
    EXPECT_EQ(changed,
              "ImplicitCommitSync=Yes\0CollatingSequence=Swedish-Finnish\0ParadoxNetStyle=5.x\0PageTimeout=-1\0"
              "ReadOnly=1\0Exclusive=1\0SafeTransactions=2147483647\0Threads=0\0UserCommitSync=Yes\0"s);

    recording::Reset();
    creator.optParadoxVersion = Paradox3x;  // stored, never sent
    ASSERT_TRUE(creator.Execute());
    EXPECT_EQ(SentOptions(), changed);
}

TEST_F(CreatorTest, PropertiesGoToTheirPositions) {
    TOmbralCreator creator(nullptr);
    creator.SetAction(ADD_DSN);
    creator.SetDSNNameOrAlias("Shop");
    creator.SetDSNUserDescription("Shop tables");
    creator.SetDatabaseDir("/srv/shop");
    creator.SetNetFilePath("/srv/net");
    creator.SetUserID("clerk");
    creator.Password = "secret";
    ASSERT_TRUE(creator.Execute());
    const auto& list = recording::Calls().at(0).attributes;
    EXPECT_EQ(list.substr(0, list.find("PWD=") + 11),
              "DSN=Shop\0Driver="s + Odbc().SetupLibrary() +
                  "\0DefaultDir=/srv/shop\0Description=Shop tables\0FIL=Paradox 5.X\0"
                  "ParadoxUserName=clerk\0ParadoxNetPath=/srv/net\0PWD=secret\0"s);
}

}  // namespace
