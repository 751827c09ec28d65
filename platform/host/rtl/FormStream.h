#pragma once
// Saved forms. A form stream holds a tree of component records; it has a
// binary encoding (what a resource holds, signature TPF0) and a text encoding
// (what a person reads and edits), each with a reader and a writer, and the
// component reader and writer turn the tree into components and back by their
// published-property tables.
//
// Readers take untrusted input: whatever is wrong raises EReadError naming
// it, and nothing is read outside the input.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <platform/host/rtl/Classes.h>
#include <platform/host/rtl/Types.h>

namespace host {

enum TFormValueKind : std::uint8_t {
    fvNull,
    fvList,
    fvInteger,
    fvExtended,
    fvString,
    fvIdent,
    fvFalse,
    fvTrue,
    fvBinary,
    fvSet,
    fvNil,
    fvCollection,
    fvSingle,
    fvCurrency,
    fvDate,
    fvWideString,
    fvUtf8String
};

struct TFormProperty;

// Where a part of a record lies in the data it was read from, as byte offsets:
// what a caller needs that edits that data in place rather than writing it anew.
struct TFormSpan {
    std::size_t Begin = 0;
    std::size_t End = 0;
};

struct TFormItem {  // an item of a collection
    std::optional<std::int64_t> Order;
    std::vector<TFormProperty> Properties;
};

struct TFormValue {
    TFormValueKind Kind = fvNull;
    std::int64_t Int = 0;             // fvInteger; fvCurrency: the amount times 10000
    long double Real = 0;             // fvExtended, fvSingle, fvDate
    String Text = {};                      // fvString, fvIdent, fvBinary, fvUtf8String
    std::u16string Wide = {};              // fvWideString
    std::vector<String> Names = {};        // fvSet: its members
    std::vector<TFormValue> Items = {};    // fvList
    std::vector<TFormItem> Collection = {};  // fvCollection
};

struct TFormProperty {
    String Name;  // dotted for a property of a nested object: Font.Style
    TFormValue Value;
    TFormSpan Source = {};  // the name and the value, as read
};

enum TFilerFlag : std::uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

struct TFormObject {
    std::uint8_t Flags = 0;  // TFilerFlag bits
    std::int64_t ChildPos = 0;  // with ffChildPos
    String ClassName;
    String Name;  // may be empty
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
    // As read: where the record starts (its keyword, or its filer-flag prefix),
    // its component name (in a binary stream with its length byte, in a text
    // form with the colon and the blanks up to the class name; an empty span
    // where the name of a text record without one would go), and where a
    // property before all the others would go.
    std::size_t SourceAt = 0;
    TFormSpan NameSource = {};
    std::size_t PropertiesAt = 0;
};

// Records, lists and collections nest at most this deep.
inline constexpr int kMaxFormNesting = 64;
// The length byte of a longer class name would read as the filer-flag prefix.
inline constexpr std::size_t kMaxClassNameLength = 0xEF;

bool IsBinaryForm(std::string_view data);  // starts with the signature TPF0
TFormObject ReadBinaryForm(std::string_view stream);
String WriteBinaryForm(const TFormObject& root);

// A text form's characters past ASCII: bytes in the system code page (the
// host's ANSI releases) or UTF-8 (later releases, in a file that begins with
// a byte-order mark). Read from UTF-8, a string the code page holds whole is
// a String, any other a wide string.
enum class TTextCharset : std::uint8_t { Ansi, Utf8 };
TFormObject ReadTextForm(std::string_view text, TTextCharset charset = TTextCharset::Ansi);
String WriteTextForm(const TFormObject& root);

// One property as the writers put it in a record: binary, and as text at the
// indentation level `level` (continuation lines one level deeper), with lines
// broken by LF. WriteTextProperty writes characters past ASCII as the host
// does, in the charset given: raw bytes inside the quotes (a wide string's
// characters past the code page as #nnn); WriteTextForm writes all of them as
// #nnn.
String WriteBinaryProperty(const TFormProperty& property);
String WriteTextProperty(const TFormProperty& property, int level, TTextCharset charset);

inline String ObjectBinaryToText(std::string_view stream) { return WriteTextForm(ReadBinaryForm(stream)); }
inline String ObjectTextToBinary(std::string_view text) { return WriteBinaryForm(ReadTextForm(text)); }

// The component and the components it owns, as records: published properties
// in declared order, leaving out what is not stored, an ordinal equal to its
// default, an empty string and a null object. EWriteError for a value that
// cannot be saved (an enumeration value outside its type).
TFormObject WriteComponent(const TComponent& root);

// Makes the components of the tree: each by its registered class with the
// enclosing record's component as owner (AOwner for the root), each property
// written through its setter or into its field, then Loaded on every one of
// them. On EReadError (or any other exception) nothing that was made is left.
TComponent* ReadComponent(const TFormObject& root, TComponent* AOwner);

// Reads the tree into root, which is of the root record's class: its
// properties, its children (owned by root), each child bound to root's
// published field of its name, events bound to root's published methods.
// On any exception the children made so far are freed again.
void ReadRootComponent(const TFormObject& form, TComponent& root);

inline String WriteComponentBinary(const TComponent& root) { return WriteBinaryForm(WriteComponent(root)); }
inline String WriteComponentText(const TComponent& root) { return WriteTextForm(WriteComponent(root)); }
// Binary or text, told apart by the signature.
inline TComponent* ReadComponentForm(std::string_view data, TComponent* AOwner) {
    return ReadComponent(IsBinaryForm(data) ? ReadBinaryForm(data) : ReadTextForm(data), AOwner);
}

}  // namespace host
