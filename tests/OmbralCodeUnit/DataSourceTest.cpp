#include <gtest/gtest.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>

#include "support/UnitFixture.h"

using namespace OmbralCodeUnit;
using namespace std::string_literals;

namespace {

const String kParadox = "Microsoft Paradox Driver (*.db )";

class DataSourceTest : public testsupport::UnitTest {};

using Sender = bool (*)(Integer, Integer, const String&, const String&, const String&, const String&,
                        const String&, const String&, const String&);

TEST_F(DataSourceTest, EmptyArgumentsAndUnlistedDriverGiveTheBare93ByteList) {
    Odbc().RemoveDrivers();
    ASSERT_TRUE(CreateDSN(4, 4, "", "", "", "", "", "", ""));
    ASSERT_EQ(recording::Calls().size(), 1u);
    const auto& call = recording::Calls()[0];
    const auto expected = "DSN=\0Driver=\0DefaultDir=\0Description=\0FIL=Paradox 5.X\0ParadoxUserName=\0"
                          "ParadoxNetPath=\0PWD=\0\0"s;
    EXPECT_EQ(expected.size(), 93u);
    EXPECT_EQ(call.attributes, expected);
    EXPECT_TRUE(call.nullWindow);
    EXPECT_EQ(call.request, 4);
    EXPECT_EQ(call.driver, kParadox);
}

TEST_F(DataSourceTest, PairsStandInFixedOrderWithTheDriversFileAndOptionsAtTheEnd) {
    Odbc().RegisterDriver(kParadox, {{"Driver", "/opt/paradox.so"}});
    ASSERT_TRUE(CreateDSN(1, 4, "Name", "Desc", "Dir", "Net", "User", "Pw", "A=1\0B=2\0"s));
    EXPECT_EQ(recording::Calls().at(0).attributes,
              "DSN=Name\0Driver=/opt/paradox.so\0DefaultDir=Dir\0Description=Desc\0FIL=Paradox 5.X\0"
              "ParadoxUserName=User\0ParadoxNetPath=Net\0PWD=Pw\0A=1\0B=2\0\0"s);
}

TEST_F(DataSourceTest, ConfigureSendsExactlyWhatCreateSends) {
    for (Sender send : {&CreateDSN, &ConfigureDSN})
        ASSERT_TRUE(send(5, 4, "N", "D", "Dir", "Net", "U", "P", "X=1\0"s));
    const auto& calls = recording::Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].attributes, calls[1].attributes);
    EXPECT_EQ(calls[0].driver, calls[1].driver);
    EXPECT_EQ(calls[0].request, calls[1].request);
}

TEST_F(DataSourceTest, CreatePassesAnyIndexOnToTheInstaller) {
    ASSERT_TRUE(CreateDSN(9, 0, "N", "", "", "", "", "", ""));
    ASSERT_TRUE(CreateDSN(1, 7, "N", "", "", "", "", "", ""));
    const auto& calls = recording::Calls();
    EXPECT_EQ(calls[0].driver, "");
    EXPECT_NE(calls[0].attributes.find("Driver=\0"s), String::npos);
    EXPECT_NE(calls[0].attributes.find("FIL=\0"s), String::npos);
    EXPECT_EQ(calls[1].driver, "");
}

// Every code the installer can take passes unchanged, whatever its meaning; a
// wider one would reach it cut to 16 bits (65540 as 4, a system add).
TEST_F(DataSourceTest, RequestCodesPassUnchangedWithinTheInstallersRangeAndAreRefusedOutside) {
    const struct {
        Integer code;
        bool sent;
    } cases[] = {{0, true},      {3, true},      {9, true},       {65535, true},     {-1, false},
                 {65536, false}, {65540, false}, {65537, false},  {INT32_MIN, false}, {INT32_MAX, false}};
    for (Sender send : {&CreateDSN, &ConfigureDSN}) {
        for (const auto& c : cases) {
            recording::Reset();
            EXPECT_EQ(send(c.code, 4, "N", "", "", "", "", "", ""), c.sent) << c.code;
            ASSERT_EQ(recording::Calls().size(), c.sent ? 1u : 0u) << c.code;
            if (c.sent) {
                EXPECT_EQ(recording::Calls()[0].request, c.code);
            }
        }
    }
}

TEST_F(DataSourceTest, InstallerFailureIsFalse) {
    recording::SetResult(false);
    EXPECT_FALSE(CreateDSN(1, 4, "N", "", "", "", "", "", ""));
    EXPECT_FALSE(ConfigureDSN(2, 4, "N", "", "", "", "", "", ""));
    EXPECT_FALSE(RemoveDSN(3, 4, "N"));
}

TEST_F(DataSourceTest, RemoveKeepsOnlySystemAndDefaultRequests) {
    const std::pair<Integer, int> cases[] = {{6, 6}, {7, 7}, {1, 3}, {2, 3}, {3, 3}, {4, 3},
                                             {5, 3}, {0, 3}, {8, 3}, {-1, 3},
                                             {65536 + 6, 3}, {65536 + 7, 3}, {INT32_MIN, 3}};
    for (auto [action, request] : cases) {
        recording::Reset();
        ASSERT_TRUE(RemoveDSN(action, 4, "Gone"));
        EXPECT_EQ(recording::Calls().at(0).request, request) << "action " << action;
        EXPECT_EQ(recording::Calls()[0].attributes, "DSN=Gone\0\0"s);
        EXPECT_EQ(recording::Calls()[0].driver, kParadox);
    }
    recording::Reset();
    ASSERT_TRUE(RemoveDSN(3, 1, ""));
    EXPECT_EQ(recording::Calls()[0].attributes, "DSN=\0\0"s);
    EXPECT_EQ(recording::Calls()[0].driver, "Microsoft Access Driver (*.mdb)");
}

TEST_F(DataSourceTest, FindLooksUnderLocalMachineOnlyForSystemAdd) {
    Odbc().AddDataSource(testsupport::Scope::User, "UserOnly");
    Odbc().AddDataSource(testsupport::Scope::System, "SystemOnly");
    const struct {
        Integer action;
        bool user, system;
    } cases[] = {{1, true, false}, {4, false, true}, {5, true, false}, {6, true, false}, {0, true, false}};
    for (auto c : cases) {
        EXPECT_EQ(FindDSN("UserOnly", c.action), c.user) << c.action;
        EXPECT_EQ(FindDSN("systemonly", c.action), c.system) << c.action;
    }
}

TEST_F(DataSourceTest, FindNeverCreatesAKey) {
    const auto user = Odbc().Snapshot(testsupport::Scope::User);
    const auto system = Odbc().Snapshot(testsupport::Scope::System);
    EXPECT_FALSE(FindDSN("Absent", 1));
    EXPECT_FALSE(FindDSN("Absent", 4));
    EXPECT_FALSE(Odbc().Exists(testsupport::Scope::User, "Absent"));
    EXPECT_EQ(Odbc().Snapshot(testsupport::Scope::User), user);
    EXPECT_EQ(Odbc().Snapshot(testsupport::Scope::System), system);
}

TEST_F(DataSourceTest, NamesThatAddressNoDataSourceAreNeverFound) {
    Odbc().AddDataSource(testsupport::Scope::User, "Real");
    for (const String& name : {""s, "Real\\Sub"s, "\\"s, "Real\0"s, "Re\0al"s})
        EXPECT_FALSE(FindDSN(name, 1)) << testing::PrintToString(name);
}

// A NUL inside a value would end its pair early and let the rest be read as
// further attributes, such as another driver.
TEST_F(DataSourceTest, ValueHoldingNulReachesNoInstaller) {
    const String evil = "x\0Driver=/tmp/evil.so"s;
    for (int position = 0; position < 6; ++position) {
        std::array<String, 6> values{"N", "D", "Dir", "Net", "U", "P"};
        values[position] = evil;
        for (Sender send : {&CreateDSN, &ConfigureDSN})
            EXPECT_FALSE(send(1, 4, values[0], values[1], values[2], values[3], values[4], values[5], ""))
                << "value " << position;
    }
    EXPECT_FALSE(RemoveDSN(3, 4, evil));
    EXPECT_TRUE(recording::Calls().empty());
}

TEST_F(DataSourceTest, AdvancedOptionsAreClosedOrRefused) {
    const struct {
        String options;
        bool accepted;
        String tail;  // what follows the PWD pair's NUL
    } cases[] = {
        {"", true, "\0"s},
        {"A=1\0"s, true, "A=1\0\0"s},
        {"A=1"s, true, "A=1\0\0"s},
        {"A=1\0B=2"s, true, "A=1\0B=2\0\0"s},
        {"\0"s, false, ""},
        {"\0A=1\0"s, false, ""},
        {"A=1\0\0B=2\0"s, false, ""},
        {"A=1\0\0"s, false, ""},
    };
    for (const auto& c : cases) {
        recording::Reset();
        EXPECT_EQ(CreateDSN(1, 4, "N", "", "", "", "", "", c.options), c.accepted)
            << testing::PrintToString(c.options);
        if (!c.accepted) {
            EXPECT_TRUE(recording::Calls().empty());
            continue;
        }
        const auto& list = recording::Calls().at(0).attributes;
        const auto pwd = list.find("PWD=\0"s);
        EXPECT_EQ(list.substr(pwd + 5), c.tail) << testing::PrintToString(c.options);
    }
}

}  // namespace
