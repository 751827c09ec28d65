#include <gtest/gtest.h>

#include <OmbralCodeUnit/OmbralCodeUnit.h>

#include "support/UnitFixture.h"

using namespace OmbralCodeUnit;

namespace {

struct CatalogueCase {
    Integer index;
    const char* description;
    const char* fileType;
};

class CatalogueTest : public ::testing::TestWithParam<CatalogueCase> {};

TEST_P(CatalogueTest, GivesDescriptionAndEmptiesFileTypeFirst) {
    String fileType = "left over";
    EXPECT_EQ(GetDSNTypeString(GetParam().index, fileType), GetParam().description);
    EXPECT_EQ(fileType, GetParam().fileType);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CatalogueTest,
    ::testing::Values(CatalogueCase{1, "Microsoft Access Driver (*.mdb)", "MS Access"},
                      CatalogueCase{2, "Microsoft Excel Driver (*.xls)", "Excel 97-2000"},
                      CatalogueCase{3, "Microsoft Text Driver (*.txt, *.csv)", ""},
                      CatalogueCase{4, "Microsoft Paradox Driver (*.db )", "Paradox 5.X"},
                      CatalogueCase{5, "Microsoft dBase Driver (*.dbf)", "dBase 5.0"},
                      CatalogueCase{6, "Microsoft Visual FoxPro Driver (*.dbf)", "FoxPro Tables"},
                      CatalogueCase{0, "", ""}, CatalogueCase{7, "", ""}, CatalogueCase{-1, "", ""},
                      CatalogueCase{INT32_MIN, "", ""}));

class DriverInfoTest : public testsupport::OdbcTest {
protected:
    void Register(const std::string& driver, const testsupport::Entries& entries) {
        Odbc().RegisterDriver(driver, entries);
    }
};

TEST_F(DriverInfoTest, ReadsEveryFieldOfAnInstalledDriver) {
    Register("Test Driver", {{"Driver", "/lib/drv.so"}, {"DriverODBCVer", "03.50"}, {"DSN", "Default"},
                             {"FileExtns", "*.db"}, {"UID", "admin"}});
    auto info = GetODBCInfo("test driver");  // driver keys compare without case
    EXPECT_EQ(info.Driver, "/lib/drv.so");
    EXPECT_EQ(info.DriverODBCVer, "03.50");
    EXPECT_EQ(info.DSN, "Default");
    EXPECT_EQ(info.FileExtns, "*.db");
    EXPECT_EQ(info.UID, "admin");
}

TEST_F(DriverInfoTest, CutsLongValuesToTheirFieldsAndLeavesAbsentOnesEmpty) {
    Register("Long Driver", {{"Driver", std::string(200, 'd')}, {"DSN", std::string(150, 's')},
                             {"FileExtns", std::string(21, 'f')}});
    auto info = GetODBCInfo("Long Driver");
    EXPECT_EQ(info.Driver, std::string(127, 'd'));
    EXPECT_EQ(info.DSN, std::string(100, 's'));
    EXPECT_EQ(info.FileExtns, std::string(20, 'f'));
    EXPECT_EQ(info.UID.Length(), 0u);
    EXPECT_EQ(info.DriverODBCVer.Length(), 0u);
}

TEST_F(DriverInfoTest, UnknownDriverGivesEmptyRecordAndCreatesNothing) {
    const auto before = Odbc().DriverSnapshot();
    auto info = GetODBCInfo("No Such Driver");
    EXPECT_EQ(String(info.Driver) + String(info.DriverODBCVer) + String(info.DSN) + String(info.FileExtns) +
                  String(info.UID),
              "");
    EXPECT_EQ(Odbc().DriverSnapshot(), before);
}

}  // namespace
