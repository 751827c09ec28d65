#pragma once
// TOmbralCreator, the component that adds, reconfigures and removes a Paradox
// data source from its properties, with its enumerations and their mappings to
// ODBC request codes and driver keywords.

#include <cstdint>

#include <platform/host/design/DesignIntf.h>
#include <platform/host/rtl/Classes.h>
#include <platform/host/rtl/TypInfo.h>
#include <platform/host/rtl/Types.h>

namespace OmbralCreateUnit {

using host::Boolean;
using host::Integer;
using host::String;

enum TDSNExecuteAction : std::uint8_t {
    ADD_DSN,
    CONFIG_DSN,
    REMOVE_DSN,
    ADD_SYS_DSN,
    CONFIG_SYS_DSN,
    REMOVE_SYS_DSN,
    REMOVE_DEFAULT_DSN
};
enum TDatabaseType : std::uint8_t { DB_ACCESS, DB_EXCEL, DB_TEXT, DB_PARADOX, DB_DBASE, DB_FOXPRO };
enum TCollatingSequence : std::uint8_t { ASCII, International, NorwegianDanish, SwedishFinnish };
enum TParadoxVersion : std::uint8_t { Paradox3x, Paradox4x, Paradox5x };
enum TNetVersion : std::uint8_t { NetVersion3x, NetVersion4x, NetVersion5x };

// Each maps a value outside its type's range to 0 or the empty string.
Integer GetDSNActionFromEnumType(TDSNExecuteAction Value);
Integer GetDSNDatabaseFromEnumType(TDatabaseType Value);
String GetYNStringFromBoolean(Boolean Value);
Integer GetIntegerFromBoolean(Boolean Value);
String GetStringFromCollateSeq(TCollatingSequence Value);
String GetParadoxVersion(TParadoxVersion Value);
String GetNetVersion(TNetVersion Value);

// The About property's editor, and its type: shows "(about)" and opens the About box.
class TAboutProperty : public host::TPropertyEditor {
public:
    const host::TTypeInfo* ClassType() const override;
    void Edit() override;
    host::TPropertyAttributes GetAttributes() override;
    String GetValue() override;
};

// DatabaseDir: typed, or picked as the folder of a table file. A cancelled
// dialog clears it.
class TDBPathProperty : public host::TStringProperty {
public:
    const host::TTypeInfo* ClassType() const override;
    void Edit() override;
    host::TPropertyAttributes GetAttributes() override;
};

// NetFilePath: typed, or picked as the folder of the network control file,
// trailing delimiter kept. A cancelled dialog leaves it as it was.
class TNetFilePathProperty : public host::TStringProperty {
public:
    const host::TTypeInfo* ClassType() const override;
    void Edit() override;
    host::TPropertyAttributes GetAttributes() override;
};

// Puts TOmbralCreator on the palette page OLVEX and binds the three editors.
void Register();

class TOmbralCreator : public host::TComponent {
public:
    explicit TOmbralCreator(host::TComponent* AOwner);
    ~TOmbralCreator() override;

    const host::TTypeInfo* ClassType() const override;
    void Loaded() override;

    // Adds, reconfigures or removes the data source as Action says.
    bool Execute();

    TDSNExecuteAction GetAction() const;
    void SetAction(TDSNExecuteAction Value);
    String GetDSNNameOrAlias() const;
    void SetDSNNameOrAlias(const String& Value);
    String GetDSNUserDescription() const;
    void SetDSNUserDescription(const String& Value);
    String GetDatabaseDir() const;
    void SetDatabaseDir(const String& Value);  // drops one trailing backslash
    String GetUserID() const;
    void SetUserID(const String& Value);
    String GetNetFilePath() const;
    void SetNetFilePath(const String& Value);
    TCollatingSequence GetCollateSequence() const;
    void SetCollateSequence(TCollatingSequence Value);

    // Properties whose reads and writes go straight to the field.
    TAboutProperty* About = nullptr;
    String Password;
    TNetVersion optNetVersion = NetVersion3x;
    TParadoxVersion optParadoxVersion = Paradox3x;
    String optImplitCommitSync;
    Integer optPageTimeout = 0;
    Boolean optExclusive = false;
    Boolean optDSNReadOnly = false;
    Integer optSafeTransactions = 0;
    Integer optThreads = 0;
    Boolean optUserCommitSync = false;

private:
    void AutoInitialize();
    void AutoDestroy();
    bool pCreateTheDSN();
    bool VerifyParameters();
    String CreateAdvancedOptions() const;

    TDSNExecuteAction FAction = ADD_DSN;
    String FDSNNameOrAlias;
    String FDSNUserDescription;
    String FDatabaseDir;
    TDatabaseType FDatabaseType = DB_ACCESS;
    String FUserID;
    String FNetFilePath;
    TCollatingSequence FoptCollateSequence = ASCII;
};

// The type records and class references, constant data that the package
// exports; host::TypeInfo<T>() gives the same records.
extern const host::TTypeInfo TDSNExecuteActionType;
extern const host::TTypeInfo TDatabaseTypeType;
extern const host::TTypeInfo TCollatingSequenceType;
extern const host::TTypeInfo TParadoxVersionType;
extern const host::TTypeInfo TNetVersionType;
extern const host::TTypeInfo TOmbralCreatorType;
extern const host::TTypeInfo TAboutPropertyType;
extern const host::TTypeInfo TDBPathPropertyType;
extern const host::TTypeInfo TNetFilePathPropertyType;
extern const host::TTypeInfo* const TOmbralCreatorClass;
extern const host::TTypeInfo* const TAboutPropertyClass;
extern const host::TTypeInfo* const TDBPathPropertyClass;
extern const host::TTypeInfo* const TNetFilePathPropertyClass;

// The module's initialisation and finalisation, run from the package's
// module table. Loading the package must not touch a window, file, key or
// data source, so neither has work.
void initialization();
void Finalization();

}  // namespace OmbralCreateUnit

// The type records: the enumerations by their member names, the classes with
// their published properties.
namespace host {
template <>
const TTypeInfo* TypeInfo<OmbralCreateUnit::TDSNExecuteAction>();
template <>
const TTypeInfo* TypeInfo<OmbralCreateUnit::TDatabaseType>();
template <>
const TTypeInfo* TypeInfo<OmbralCreateUnit::TCollatingSequence>();
template <>
const TTypeInfo* TypeInfo<OmbralCreateUnit::TParadoxVersion>();
template <>
const TTypeInfo* TypeInfo<OmbralCreateUnit::TNetVersion>();
template <>
const TTypeInfo* TypeInfo<OmbralCreateUnit::TAboutProperty>();
template <>
const TTypeInfo* TypeInfo<OmbralCreateUnit::TDBPathProperty>();
template <>
const TTypeInfo* TypeInfo<OmbralCreateUnit::TNetFilePathProperty>();
template <>
const TTypeInfo* TypeInfo<OmbralCreateUnit::TOmbralCreator>();
}  // namespace host
