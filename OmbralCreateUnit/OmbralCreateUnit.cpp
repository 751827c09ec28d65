#include <OmbralCreateUnit/OmbralCreateUnit.h>

#include <OmbralCreateUnit/Attributes.h>

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <platform/host/design/DesignIntf.h>
#include <platform/host/ui/Dialogs.h>
#include <platform/host/rtl/SysUtils.h>

namespace OmbralCreateUnit {

namespace {

// Text of an enumeration value, or empty for a value outside its type made by a cast.
template <std::size_t N>
String TextOf(const std::array<std::string_view, N>& texts, unsigned ordinal) {
    return ordinal < N ? String(texts[ordinal]) : String();
}

// Ordinal plus one, or 0 for a value outside the type.
Integer OneBased(unsigned ordinal, unsigned count) { return ordinal < count ? static_cast<Integer>(ordinal) + 1 : 0; }

}  // namespace

Integer GetDSNActionFromEnumType(TDSNExecuteAction Value) { return OneBased(Value, REMOVE_DEFAULT_DSN + 1); }

Integer GetDSNDatabaseFromEnumType(TDatabaseType Value) { return OneBased(Value, DB_FOXPRO + 1); }

String GetYNStringFromBoolean(Boolean Value) { return Value ? "Yes" : "No"; }

Integer GetIntegerFromBoolean(Boolean Value) { return Value ? 1 : 0; }

String GetStringFromCollateSeq(TCollatingSequence Value) {
    static constexpr std::array<std::string_view, 4> texts{"ASCII", "International", "Norwegian-Danish",
                                                           "Swedish-Finnish"};
    return TextOf(texts, Value);
}

String GetParadoxVersion(TParadoxVersion Value) {
    static constexpr std::array<std::string_view, 3> texts{"Paradox 3.x;", "Paradox 4.x;", "Paradox 5.x;"};
    return TextOf(texts, Value);
}

String GetNetVersion(TNetVersion Value) {
    static constexpr std::array<std::string_view, 3> texts{"3.x", "4.x", "5.x"};
    return TextOf(texts, Value);
}

namespace {

// The member names are what saved forms carry and the property grid lists.
constexpr std::array<std::string_view, 7> kActionNames{"ADD_DSN",        "CONFIG_DSN",     "REMOVE_DSN",
                                                       "ADD_SYS_DSN",    "CONFIG_SYS_DSN", "REMOVE_SYS_DSN",
                                                       "REMOVE_DEFAULT_DSN"};
constexpr std::array<std::string_view, 6> kDatabaseNames{"DB_ACCESS", "DB_EXCEL",  "DB_TEXT",
                                                         "DB_PARADOX", "DB_DBASE", "DB_FOXPRO"};
constexpr std::array<std::string_view, 4> kCollationNames{"ASCII", "International", "NorwegianDanish",
                                                          "SwedishFinnish"};
constexpr std::array<std::string_view, 3> kParadoxVersionNames{"Paradox3x", "Paradox4x", "Paradox5x"};
constexpr std::array<std::string_view, 3> kNetVersionNames{"NetVersion3x", "NetVersion4x", "NetVersion5x"};

// Published in this order, after TComponent's Name and Tag; a saved form
// carries them so. The defaults are the initial values of the ordinal ones.
std::span<const host::TPropInfo> CreatorProperties() {
    using C = TOmbralCreator;
    using host::Field;
    using host::Property;
    static const std::vector<host::TPropInfo> table = host::PublishedProperties<host::TComponent>({
        Field<&C::About>("About"),
        Property<&C::GetAction, &C::SetAction>("Action", ADD_SYS_DSN),
        Property<&C::GetDSNNameOrAlias, &C::SetDSNNameOrAlias>("DSNNameOrAlias"),
        Property<&C::GetDSNUserDescription, &C::SetDSNUserDescription>("DSNUserDescription"),
        Property<&C::GetDatabaseDir, &C::SetDatabaseDir>("DatabaseDir"),
        Property<&C::GetUserID, &C::SetUserID>("UserID"),
        Field<&C::Password>("Password"),
        Property<&C::GetNetFilePath, &C::SetNetFilePath>("NetFilePath"),
        Field<&C::optNetVersion>("optNetVersion", NetVersion3x),
        Field<&C::optParadoxVersion>("optParadoxVersion", Paradox5x),
        Field<&C::optImplitCommitSync>("optImplitCommitSync"),
        Property<&C::GetCollateSequence, &C::SetCollateSequence>("optCollateSequence", ASCII),
        Field<&C::optPageTimeout>("optPageTimeout", 5),
        Field<&C::optExclusive>("optExclusive", false),
        Field<&C::optDSNReadOnly>("optDSNReadOnly", false),
        Field<&C::optSafeTransactions>("optSafeTransactions", 0),
        Field<&C::optThreads>("optThreads", 3),
        Field<&C::optUserCommitSync>("optUserCommitSync", false),
    });
    return table;
}

}  // namespace

constinit const host::TTypeInfo TDSNExecuteActionType = host::EnumerationType("TDSNExecuteAction", kActionNames);
constinit const host::TTypeInfo TDatabaseTypeType = host::EnumerationType("TDatabaseType", kDatabaseNames);
constinit const host::TTypeInfo TCollatingSequenceType =
    host::EnumerationType("TCollatingSequence", kCollationNames);
constinit const host::TTypeInfo TParadoxVersionType = host::EnumerationType("TParadoxVersion", kParadoxVersionNames);
constinit const host::TTypeInfo TNetVersionType = host::EnumerationType("TNetVersion", kNetVersionNames);
constinit const host::TTypeInfo TOmbralCreatorType =
    host::ClassTypeInfo<TOmbralCreator, host::TComponent>("TOmbralCreator", CreatorProperties);
constinit const host::TTypeInfo* const TOmbralCreatorClass = &TOmbralCreatorType;

void initialization() {}
void Finalization() {}

}  // namespace OmbralCreateUnit

namespace host {

using namespace OmbralCreateUnit;

template <>
const TTypeInfo* TypeInfo<TDSNExecuteAction>() { return &TDSNExecuteActionType; }
template <>
const TTypeInfo* TypeInfo<TDatabaseType>() { return &TDatabaseTypeType; }
template <>
const TTypeInfo* TypeInfo<TCollatingSequence>() { return &TCollatingSequenceType; }
template <>
const TTypeInfo* TypeInfo<TParadoxVersion>() { return &TParadoxVersionType; }
template <>
const TTypeInfo* TypeInfo<TNetVersion>() { return &TNetVersionType; }
template <>
const TTypeInfo* TypeInfo<TOmbralCreator>() { return &TOmbralCreatorType; }
template <>
const TTypeInfo* TypeInfo<TAboutProperty>() { return &TAboutPropertyType; }
template <>
const TTypeInfo* TypeInfo<TDBPathProperty>() { return &TDBPathPropertyType; }
template <>
const TTypeInfo* TypeInfo<TNetFilePathProperty>() { return &TNetFilePathPropertyType; }

}  // namespace host

namespace OmbralCreateUnit {

TOmbralCreator::TOmbralCreator(host::TComponent* AOwner) : host::TComponent(AOwner) { AutoInitialize(); }

const host::TTypeInfo* TOmbralCreator::ClassType() const { return host::TypeInfo<TOmbralCreator>(); }

TOmbralCreator::~TOmbralCreator() { AutoDestroy(); }

void TOmbralCreator::AutoDestroy() {}

TDSNExecuteAction TOmbralCreator::GetAction() const { return FAction; }
void TOmbralCreator::SetAction(TDSNExecuteAction Value) { FAction = Value; }
String TOmbralCreator::GetDSNNameOrAlias() const { return FDSNNameOrAlias; }
void TOmbralCreator::SetDSNNameOrAlias(const String& Value) { FDSNNameOrAlias = Value; }
String TOmbralCreator::GetDSNUserDescription() const { return FDSNUserDescription; }
void TOmbralCreator::SetDSNUserDescription(const String& Value) { FDSNUserDescription = Value; }
String TOmbralCreator::GetDatabaseDir() const { return FDatabaseDir; }
String TOmbralCreator::GetUserID() const { return FUserID; }
void TOmbralCreator::SetUserID(const String& Value) { FUserID = Value; }
String TOmbralCreator::GetNetFilePath() const { return FNetFilePath; }
void TOmbralCreator::SetNetFilePath(const String& Value) { FNetFilePath = Value; }
TCollatingSequence TOmbralCreator::GetCollateSequence() const { return FoptCollateSequence; }
void TOmbralCreator::SetCollateSequence(TCollatingSequence Value) { FoptCollateSequence = Value; }

void TOmbralCreator::Loaded() { host::TComponent::Loaded(); }

void TOmbralCreator::AutoInitialize() {
    FAction = ADD_SYS_DSN;
    FDSNNameOrAlias = "NewOmbral";
    FDSNUserDescription = "New Ombral Description";
    FDatabaseType = DB_PARADOX;
    FUserID = "admin";
    optParadoxVersion = Paradox5x;
    FNetFilePath.clear();
    FoptCollateSequence = ASCII;
    optSafeTransactions = 0;
    optNetVersion = NetVersion3x;
    optPageTimeout = 5;
    optDSNReadOnly = false;
    optExclusive = false;
    optThreads = 3;
    optUserCommitSync = false;
}

void TOmbralCreator::SetDatabaseDir(const String& Value) {
    String dir = Value;
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    FDatabaseDir = std::move(dir);
}

bool TOmbralCreator::Execute() { return pCreateTheDSN(); }

String TOmbralCreator::CreateAdvancedOptions() const {
    String options;
    for (const auto& option : AdvancedOptionAttributes())
        options.append(option.Key).append(1, '=').append(option.Text(*this)).push_back('\0');
    return options;
}

bool TOmbralCreator::VerifyParameters() {
    if (!FDSNNameOrAlias.empty()) return true;
    host::MessageDlg("Property 'DSNNameOrAlias' must not be blank", host::mtError, {host::mbOK}, 0);
    return false;
}

bool TOmbralCreator::pCreateTheDSN() {
    // The options travel as NUL-closed pairs and this one is free text: a NUL in
    // it would let the rest be read as further pairs, such as another Driver.
    if (optImplitCommitSync.find('\0') != String::npos) return false;
    const String options = CreateAdvancedOptions();
    const Integer request = GetDSNActionFromEnumType(FAction);
    const Integer database = GetDSNDatabaseFromEnumType(FDatabaseType);
    using namespace OmbralCodeUnit;
    switch (request) {
        case kAddDSN:
        case kAddSysDSN:
            if (OmbralCodeUnit::FindDSN(FDSNNameOrAlias, request) || !VerifyParameters()) return false;
            return OmbralCodeUnit::CreateDSN(request, database, FDSNNameOrAlias, FDSNUserDescription, FDatabaseDir,
                                             FNetFilePath, FUserID, Password, options);
        case kConfigDSN:
        case kConfigSysDSN:
            return OmbralCodeUnit::ConfigureDSN(request, database, FDSNNameOrAlias, FDSNUserDescription,
                                                FDatabaseDir, FNetFilePath, FUserID, Password, options);
        case kRemoveDSN:
        case kRemoveSysDSN:
        case kRemoveDefaultDSN:
            return OmbralCodeUnit::RemoveDSN(request, database, FDSNNameOrAlias);
        default:
            return false;
    }
}

}  // namespace OmbralCreateUnit
