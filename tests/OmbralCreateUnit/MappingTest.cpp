#include <gtest/gtest.h>

#include <algorithm>

#include <OmbralCreateUnit/Attributes.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>

using namespace OmbralCreateUnit;

namespace {

template <typename Enum>
Enum OutOfRange() {
    return static_cast<Enum>(200);
}

TEST(MappingTest, ActionsAreOneBasedRequestCodes) {
    const TDSNExecuteAction actions[] = {ADD_DSN,        CONFIG_DSN,     REMOVE_DSN,        ADD_SYS_DSN,
                                         CONFIG_SYS_DSN, REMOVE_SYS_DSN, REMOVE_DEFAULT_DSN};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(GetDSNActionFromEnumType(actions[i]), i + 1);
    EXPECT_EQ(GetDSNActionFromEnumType(static_cast<TDSNExecuteAction>(7)), 0);
    EXPECT_EQ(GetDSNActionFromEnumType(OutOfRange<TDSNExecuteAction>()), 0);
}

TEST(MappingTest, DatabaseTypesAreCatalogueRows) {
    EXPECT_EQ(GetDSNDatabaseFromEnumType(DB_ACCESS), 1);
    EXPECT_EQ(GetDSNDatabaseFromEnumType(DB_PARADOX), 4);
    EXPECT_EQ(GetDSNDatabaseFromEnumType(DB_FOXPRO), 6);
    EXPECT_EQ(GetDSNDatabaseFromEnumType(static_cast<TDatabaseType>(6)), 0);
}

TEST(MappingTest, BooleansHaveTwoEncodings) {
    EXPECT_EQ(GetYNStringFromBoolean(true), "Yes");
    EXPECT_EQ(GetYNStringFromBoolean(false), "No");
    EXPECT_EQ(GetIntegerFromBoolean(true), 1);
    EXPECT_EQ(GetIntegerFromBoolean(false), 0);
}

TEST(MappingTest, DriverKeywords) {
    EXPECT_EQ(GetStringFromCollateSeq(ASCII), "ASCII");
    EXPECT_EQ(GetStringFromCollateSeq(International), "International");
    EXPECT_EQ(GetStringFromCollateSeq(NorwegianDanish), "Norwegian-Danish");
    EXPECT_EQ(GetStringFromCollateSeq(SwedishFinnish), "Swedish-Finnish");
    EXPECT_EQ(GetParadoxVersion(Paradox3x), "Paradox 3.x;");
    EXPECT_EQ(GetParadoxVersion(Paradox5x), "Paradox 5.x;");
    EXPECT_EQ(GetNetVersion(NetVersion4x), "4.x");
    EXPECT_EQ(GetNetVersion(NetVersion5x), "5.x");
}

TEST(MappingTest, ValuesMadeByACastGiveEmptyTexts) {
    EXPECT_EQ(GetStringFromCollateSeq(static_cast<TCollatingSequence>(4)), "");
    EXPECT_EQ(GetParadoxVersion(static_cast<TParadoxVersion>(3)), "");
    EXPECT_EQ(GetNetVersion(OutOfRange<TNetVersion>()), "");
}

// A stored value is read back as a driver reads its keywords, whatever case
// another program wrote it in; one the creator could not have sent is refused.
TEST(MappingTest, StoredValuesAreReadBackAsADriverReadsThem) {
    const struct {
        std::string_view key;
        String stored;
        String sent;  // what the creator sends once it took the value; empty where refused
    } cases[] = {
        {"CollatingSequence", "international", "International"},
        {"CollatingSequence", "Swedish-Finnish", "Swedish-Finnish"},
        {"UserCommitSync", "yes", "Yes"},
        {"ParadoxNetStyle", "5.X", "5.x"},
        {"ReadOnly", "1", "1"},
        {"Threads", "9", "9"},
        {"CollatingSequence", "Klingon", ""},
        {"UserCommitSync", "1", ""},
        {"ReadOnly", "Yes", ""},
        {"Threads", "9 ", ""},
        {"PageTimeout", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(String(c.key) + "=" + c.stored);
        const auto& attributes = DataSourceAttributes();
        const auto attribute =
            std::find_if(attributes.begin(), attributes.end(), [&](const auto& a) { return a.Key == c.key; });
        ASSERT_NE(attribute, attributes.end());
        TOmbralCreator creator(nullptr);
        EXPECT_EQ(attribute->Restore(creator, c.stored), !c.sent.empty());
        EXPECT_EQ(c.sent.empty() ? "" : attribute->Text(creator), c.sent);
    }
}

}  // namespace
