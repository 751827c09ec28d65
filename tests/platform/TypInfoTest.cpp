// Type records, TOmbralCreator's published-property table and the generic access by name.

#include <gtest/gtest.h>

#include <functional>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/rtl/Classes.h>

using namespace host;
using namespace OmbralCreateUnit;

namespace {

TEST(TypeRecords, EnumerationsListTheirMembersInOrdinalOrder) {
    const struct {
        const TTypeInfo* type;
        const char* name;
        std::vector<std::string_view> members;
    } cases[] = {
        {TypeInfo<Boolean>(), "Boolean", {"False", "True"}},
        {TypeInfo<TDSNExecuteAction>(),
         "TDSNExecuteAction",
         {"ADD_DSN", "CONFIG_DSN", "REMOVE_DSN", "ADD_SYS_DSN", "CONFIG_SYS_DSN", "REMOVE_SYS_DSN",
          "REMOVE_DEFAULT_DSN"}},
        {TypeInfo<TDatabaseType>(),
         "TDatabaseType",
         {"DB_ACCESS", "DB_EXCEL", "DB_TEXT", "DB_PARADOX", "DB_DBASE", "DB_FOXPRO"}},
        {TypeInfo<TCollatingSequence>(),
         "TCollatingSequence",
         {"ASCII", "International", "NorwegianDanish", "SwedishFinnish"}},
        {TypeInfo<TParadoxVersion>(), "TParadoxVersion", {"Paradox3x", "Paradox4x", "Paradox5x"}},
        {TypeInfo<TNetVersion>(), "TNetVersion", {"NetVersion3x", "NetVersion4x", "NetVersion5x"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.type->Kind, tkEnumeration);
        EXPECT_EQ(c.type->Name, c.name);
        EXPECT_EQ(std::vector<std::string_view>(c.type->Members.begin(), c.type->Members.end()), c.members);
        EXPECT_EQ(GetEnumValue(c.type, c.members.back()), static_cast<int>(c.members.size()) - 1);
        EXPECT_EQ(GetEnumName(c.type, static_cast<std::int64_t>(c.members.size())), "");  // made by a cast
    }
    EXPECT_EQ(GetEnumValue(TypeInfo<TCollatingSequence>(), "Norwegian-Danish"), -1);
}

TEST(TypeRecords, ClassesNameTheirParents) {
    const std::pair<const TTypeInfo*, std::vector<std::string_view>> chains[] = {
        {TypeInfo<TOmbralCreator>(), {"TOmbralCreator", "TComponent", "TPersistent", "TObject"}},
        {TypeInfo<TAboutProperty>(), {"TAboutProperty", "TPropertyEditor", "TObject"}},
    };
    for (const auto& [type, names] : chains) {
        std::vector<std::string_view> chain;
        for (const TTypeInfo* t = type; t; t = t->Parent()) chain.push_back(t->Name);
        EXPECT_EQ(chain, names);
    }
    EXPECT_EQ(TypeInfo<Integer>()->Kind, tkInteger);
    EXPECT_EQ(TypeInfo<String>()->Kind, tkLString);
    TOmbralCreator creator(nullptr);
    EXPECT_EQ(creator.ClassType(), TypeInfo<TOmbralCreator>());
}

TEST(PropertyTable, CreatorPublishesItsPropertiesInDeclaredOrder) {
    const struct {
        std::string_view name;
        const TTypeInfo* type;
        TPropAccess access;
        std::optional<std::int64_t> defaultValue;
    } expected[] = {
        {"Name", TypeInfo<String>(), paField, {}},
        {"Tag", TypeInfo<Integer>(), paField, 0},
        {"About", TypeInfo<TAboutProperty>(), paField, {}},
        {"Action", TypeInfo<TDSNExecuteAction>(), paOperations, ADD_SYS_DSN},
        {"DSNNameOrAlias", TypeInfo<String>(), paOperations, {}},
        {"DSNUserDescription", TypeInfo<String>(), paOperations, {}},
        {"DatabaseDir", TypeInfo<String>(), paOperations, {}},
        {"UserID", TypeInfo<String>(), paOperations, {}},
        {"Password", TypeInfo<String>(), paField, {}},
        {"NetFilePath", TypeInfo<String>(), paOperations, {}},
        {"optNetVersion", TypeInfo<TNetVersion>(), paField, NetVersion3x},
        {"optParadoxVersion", TypeInfo<TParadoxVersion>(), paField, Paradox5x},
        {"optImplitCommitSync", TypeInfo<String>(), paField, {}},
        {"optCollateSequence", TypeInfo<TCollatingSequence>(), paOperations, ASCII},
        {"optPageTimeout", TypeInfo<Integer>(), paField, 5},
        {"optExclusive", TypeInfo<Boolean>(), paField, 0},
        {"optDSNReadOnly", TypeInfo<Boolean>(), paField, 0},
        {"optSafeTransactions", TypeInfo<Integer>(), paField, 0},
        {"optThreads", TypeInfo<Integer>(), paField, 3},
        {"optUserCommitSync", TypeInfo<Boolean>(), paField, 0},
    };
    const auto table = GetPropList(TypeInfo<TOmbralCreator>());
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(table[i].Name, expected[i].name);
        EXPECT_EQ(table[i].PropType, expected[i].type);
        EXPECT_EQ(table[i].Access, expected[i].access);
        EXPECT_EQ(table[i].Default, expected[i].defaultValue);
        EXPECT_EQ(table[i].Stored, i != 0);  // Name goes in the record's header
    }
    // The defaults are the initial values.
    TOmbralCreator creator(nullptr);
    for (const auto& prop : table)
        EXPECT_EQ(prop.Default.value_or(-1), prop.Default ? GetOrdProp(creator, prop) : -1) << prop.Name;
}

TEST(PropertyAccess, ByNameReachesFieldsAndOperations) {
    TOmbralCreator creator(nullptr);
    SetEnumProp(creator, "Action", "REMOVE_DSN");
    EXPECT_EQ(creator.GetAction(), REMOVE_DSN);
    EXPECT_EQ(GetOrdProp(creator, "Action"), REMOVE_DSN);
    SetOrdProp(creator, "optCollateSequence", SwedishFinnish);
    EXPECT_EQ(GetEnumProp(creator, "optCollateSequence"), "SwedishFinnish");
    SetOrdProp(creator, "optUserCommitSync", 1);
    EXPECT_TRUE(creator.optUserCommitSync);
    SetOrdProp(creator, "optPageTimeout", -2147483647 - 1);
    EXPECT_EQ(creator.optPageTimeout, INT32_MIN);
    SetStrProp(creator, "DatabaseDir", "C:\\Data\\");  // through SetDatabaseDir
    EXPECT_EQ(GetStrProp(creator, "DatabaseDir"), "C:\\Data");
    SetStrProp(creator, "Password", "secret");
    EXPECT_EQ(creator.Password, "secret");
    EXPECT_EQ(GetObjectProp(creator, "About"), nullptr);
    SetObjectProp(creator, "About", nullptr);
}

TEST(PropertyAccess, WhatTheClassDoesNotAllowIsAPropertyError) {
    TOmbralCreator creator(nullptr);
    EXPECT_FALSE(IsPublishedProp(creator, "optImplicitCommitSync"));
    EXPECT_TRUE(IsPublishedProp(creator, "optImplitCommitSync"));
    EXPECT_FALSE(IsPublishedProp(creator, "action"));  // names match exactly
    host::TComponent other(nullptr);
    const std::function<void()> misuses[] = {
        [&] { SetStrProp(creator, "optImplicitCommitSync", "Yes"); },
        [&] { SetOrdProp(creator, "Action", 7); },
        [&] { SetOrdProp(creator, "optExclusive", 2); },
        [&] { SetOrdProp(creator, "optThreads", std::int64_t{1} << 31); },
        [&] { SetEnumProp(creator, "Action", "ADD_DNS"); },
        [&] { SetEnumProp(creator, "optPageTimeout", "ADD_DSN"); },
        [&] { SetStrProp(creator, "Action", "ADD_DSN"); },
        [&] { GetOrdProp(creator, "Password"); },
        [&] { SetObjectProp(creator, "About", &other); },  // a TComponent is no TAboutProperty
        [&] { GetMethodProp(creator, "About"); },
    };
    for (std::size_t i = 0; i < std::size(misuses); ++i) EXPECT_THROW(misuses[i](), EPropertyError) << i;
    creator.SetAction(static_cast<TDSNExecuteAction>(9));
    EXPECT_THROW(GetEnumProp(creator, "Action"), EPropertyError);
    EXPECT_EQ(GetOrdProp(creator, "Action"), 9);
}

TEST(ClassRegistry, FindsRegisteredClassesByName) {
    RegisterClass(TypeInfo<TOmbralCreator>());
    RegisterClass(TypeInfo<TOmbralCreator>());  // counts once
    EXPECT_EQ(FindClass("TOmbralCreator"), TypeInfo<TOmbralCreator>());
    EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
    static const TTypeInfo impostor = ClassTypeInfo<TOmbralCreator, TComponent>("TOmbralCreator");
    EXPECT_THROW(RegisterClass(&impostor), EFilerError);
    EXPECT_THROW(RegisterClass(TypeInfo<Integer>()), EFilerError);

    host::TComponent owner(nullptr);
    TComponent* made = FindClass("TOmbralCreator")->Create(&owner);
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_NE(dynamic_cast<TOmbralCreator*>(made), nullptr);
}

}  // namespace
