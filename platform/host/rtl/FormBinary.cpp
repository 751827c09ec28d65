// The binary form stream: signature TPF0, then the root record. Numbers are
// little-endian whatever the machine.

#include <bit>
#include <cstring>
#include <limits>

#include <platform/host/rtl/FormMemory.h>
#include <platform/host/rtl/FormStream.h>

namespace host {

namespace {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the stream's 80-bit extended numbers are kept in long double");

constexpr std::string_view kSignature{"TPF0", 4};

enum TValueType : std::uint8_t {
    vaNull,
    vaList,
    vaInt8,
    vaInt16,
    vaInt32,
    vaExtended,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaBinary,
    vaSet,
    vaLString,
    vaNil,
    vaCollection,
    vaSingle,
    vaCurrency,
    vaDate,
    vaWString,
    vaInt64,
    vaUTF8String
};

constexpr std::size_t kExtendedSize = 10;

class BinaryReader {
public:
    explicit BinaryReader(std::string_view stream) : stream_(stream), budget_(stream.size()) {}

    TFormObject ReadRoot() {
        if (stream_.substr(0, kSignature.size()) != kSignature) Fail("bad signature: not a binary form stream (TPF0)");
        pos_ = kSignature.size();
        return ReadObject(1);
    }

private:
    [[noreturn]] void Fail(const String& what) const { FailAt(pos_, what); }
    [[noreturn]] void FailAt(std::size_t at, const String& what) const {
        throw EReadError("binary form, byte " + std::to_string(at) + ": " + what);
    }

    std::size_t Left() const { return stream_.size() - pos_; }

    void Charge(std::size_t bytes) {
        if (!budget_.Charge(bytes)) Fail(budget_.Exceeded());
    }

    // A part of fixed size: missing bytes mean the stream was cut short.
    std::string_view Fixed(std::size_t size) {
        if (size > Left()) Fail("truncated stream");
        return Advance(size);
    }
    // A part whose length the stream itself declares.
    std::string_view Counted(std::uint64_t length) {
        if (length > Left())
            Fail("a length of " + std::to_string(length) + " runs past the end of the stream (" +
                 std::to_string(Left()) + " bytes left)");
        return Advance(static_cast<std::size_t>(length));
    }
    std::string_view Advance(std::size_t size) {
        auto part = stream_.substr(pos_, size);
        pos_ += size;
        return part;
    }

    std::uint8_t Byte() { return static_cast<std::uint8_t>(Fixed(1)[0]); }
    std::uint8_t PeekByte() const {
        if (Left() == 0) Fail("truncated stream");
        return static_cast<std::uint8_t>(stream_[pos_]);
    }
    std::uint64_t Little(std::size_t size) {
        std::uint64_t value = 0;
        auto bytes = Fixed(size);
        for (std::size_t i = size; i-- > 0;) value = value << 8 | static_cast<std::uint8_t>(bytes[i]);
        return value;
    }
    template <typename T>
    T Signed() {
        return static_cast<T>(Little(sizeof(T)));
    }

    String ShortString() { return String(Counted(Byte())); }
    String Name(const char* what, bool dotted) {
        const std::size_t at = pos_;
        String name = ShortString();
        if (!IsValidIdent(name, dotted)) FailAt(at, String(what) + " '" + name + "' is not an identifier");
        return name;
    }

    void CheckDepth(int depth) const {
        if (depth > kMaxFormNesting) Fail("nesting deeper than " + std::to_string(kMaxFormNesting) + " levels");
    }

    std::int64_t ReadInteger(const char* what) {
        const std::size_t at = pos_;
        switch (Byte()) {
            case vaInt8: return Signed<std::int8_t>();
            case vaInt16: return Signed<std::int16_t>();
            case vaInt32: return Signed<std::int32_t>();
            case vaInt64: return Signed<std::int64_t>();
            default: FailAt(at, String(what) + " is not an integer");
        }
    }

    void ReadPrefix(TFormObject& object) {
        if ((PeekByte() & 0xF0) != 0xF0) return;
        object.Flags = Byte() & 0x0F;
        if (object.Flags & ~(ffInherited | ffChildPos | ffInline)) FailAt(pos_ - 1, "unknown filer flags");
        if ((object.Flags & ffInherited) && (object.Flags & ffInline))
            FailAt(pos_ - 1, "filer flags both inherited and inline");
        if (object.Flags & ffChildPos) object.ChildPos = ReadInteger("the child position");
    }

    TFormObject ReadObject(int depth) {
        CheckDepth(depth);
        TFormObject object;
        object.SourceAt = pos_;
        ReadPrefix(object);
        object.ClassName = Name("class name", false);
        object.NameSource.Begin = pos_;
        if (PeekByte() != 0) object.Name = Name("component name", false);
        else pos_++;
        object.NameSource.End = object.PropertiesAt = pos_;
        while (PeekByte() != vaNull) object.Properties.push_back(ReadProperty(depth));
        pos_++;
        while (PeekByte() != vaNull) object.Children.push_back(ReadObject(depth + 1));
        pos_++;
        Charge(sizeof object + object.ClassName.size() + object.Name.size());
        return object;
    }

    TFormProperty ReadProperty(int depth) {
        TFormProperty property;
        property.Source.Begin = pos_;
        property.Name = Name("property name", true);
        property.Value = ReadValue(depth);
        property.Source.End = pos_;
        Charge(sizeof property - sizeof property.Value + property.Name.size());
        return property;
    }

    std::vector<TFormProperty> ReadPropertyList(int depth) {
        std::vector<TFormProperty> properties;
        while (PeekByte() != vaNull) properties.push_back(ReadProperty(depth));
        pos_++;
        return properties;
    }

    TFormValue ReadValue(int depth) {
        const std::size_t at = pos_;
        TFormValue value;
        switch (const std::uint8_t tag = Byte()) {
            case vaNull: value.Kind = fvNull; break;
            case vaList:
                CheckDepth(depth + 1);
                value.Kind = fvList;
                while (PeekByte() != vaNull) value.Items.push_back(ReadValue(depth + 1));
                pos_++;
                break;
            case vaInt8:
            case vaInt16:
            case vaInt32:
            case vaInt64:
                pos_ = at;
                value.Kind = fvInteger;
                value.Int = ReadInteger("value");
                break;
            case vaExtended: {
                value.Kind = fvExtended;
                std::memcpy(&value.Real, Fixed(kExtendedSize).data(), kExtendedSize);
                break;
            }
            case vaSingle:
                value.Kind = fvSingle;
                value.Real = std::bit_cast<float>(static_cast<std::uint32_t>(Little(4)));
                break;
            case vaDate:
                value.Kind = fvDate;
                value.Real = std::bit_cast<double>(Little(8));
                break;
            case vaCurrency:
                value.Kind = fvCurrency;
                value.Int = Signed<std::int64_t>();
                break;
            case vaString:
                value.Kind = fvString;
                value.Text = ShortString();
                break;
            case vaLString:
            case vaUTF8String:
                value.Kind = tag == vaLString ? fvString : fvUtf8String;
                value.Text = String(Counted(Little(4)));
                break;
            case vaWString: ReadWide(value); break;
            case vaIdent:
                value.Kind = fvIdent;
                value.Text = Name("identifier", true);
                break;
            case vaFalse: value.Kind = fvFalse; break;
            case vaTrue: value.Kind = fvTrue; break;
            case vaNil: value.Kind = fvNil; break;
            case vaBinary:
                value.Kind = fvBinary;
                value.Text = String(Counted(Little(4)));
                break;
            case vaSet:
                value.Kind = fvSet;
                while (PeekByte() != 0) value.Names.push_back(Name("set member", false));
                pos_++;
                break;
            case vaCollection: ReadCollection(value, depth + 1); break;
            default: FailAt(at, "unknown value tag " + std::to_string(tag));
        }
        Charge(MemoryOf(value));
        return value;
    }

    void ReadWide(TFormValue& value) {
        value.Kind = fvWideString;
        const auto units = Counted(Little(4) * 2);
        for (std::size_t i = 0; i < units.size(); i += 2)
            value.Wide.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(units[i]) |
                                                       static_cast<std::uint8_t>(units[i + 1]) << 8));
    }

    void ReadCollection(TFormValue& value, int depth) {
        CheckDepth(depth);
        value.Kind = fvCollection;
        while (PeekByte() != vaNull) {
            TFormItem item;
            if (PeekByte() != vaList) item.Order = ReadInteger("a collection item's order");
            if (Byte() != vaList) FailAt(pos_ - 1, "a collection item does not start with a list");
            item.Properties = ReadPropertyList(depth);
            Charge(sizeof item);
            value.Collection.push_back(std::move(item));
        }
        pos_++;
    }

    std::string_view stream_;
    std::size_t pos_ = 0;
    TFormMemoryBudget budget_;
};

class BinaryWriter {
public:
    String Write(const TFormObject& root) {
        out_.assign(kSignature);
        Object(root);
        return std::move(out_);
    }
    String Write(const TFormProperty& property) {
        Property(property);
        return std::move(out_);
    }

private:
    void Byte(std::uint8_t b) { out_.push_back(static_cast<char>(b)); }
    void Little(std::uint64_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i, value >>= 8) Byte(static_cast<std::uint8_t>(value));
    }
    void Length32(std::size_t length) {
        if (length > std::numeric_limits<std::uint32_t>::max()) throw EWriteError("a value longer than 4 GiB");
        Little(length, 4);
    }
    void ShortString(std::string_view text) {
        if (text.size() > 255) throw EWriteError("'" + String(text.substr(0, 32)) + "...' is longer than 255 bytes");
        Byte(static_cast<std::uint8_t>(text.size()));
        out_.append(text);
    }

    void Integer(std::int64_t v) {
        if (v >= std::numeric_limits<std::int8_t>::min() && v <= std::numeric_limits<std::int8_t>::max()) {
            Byte(vaInt8);
            Little(static_cast<std::uint64_t>(v), 1);
        } else if (v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max()) {
            Byte(vaInt16);
            Little(static_cast<std::uint64_t>(v), 2);
        } else if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()) {
            Byte(vaInt32);
            Little(static_cast<std::uint64_t>(v), 4);
        } else {
            Byte(vaInt64);
            Little(static_cast<std::uint64_t>(v), 8);
        }
    }

    void Object(const TFormObject& object) {
        if (object.ClassName.size() > kMaxClassNameLength)
            throw EWriteError("a class name longer than " + std::to_string(kMaxClassNameLength) + " characters");
        if (object.Flags) {
            Byte(0xF0 | object.Flags);
            if (object.Flags & ffChildPos) Integer(object.ChildPos);
        }
        ShortString(object.ClassName);
        ShortString(object.Name);
        Properties(object.Properties);
        for (const auto& child : object.Children) Object(child);
        Byte(vaNull);
    }

    void Property(const TFormProperty& property) {
        ShortString(property.Name);
        Value(property.Value);
    }
    void Properties(const std::vector<TFormProperty>& properties) {
        for (const auto& property : properties) Property(property);
        Byte(vaNull);
    }

    void Counted(TValueType type, std::string_view bytes) {
        Byte(type);
        Length32(bytes.size());
        out_.append(bytes);
    }

    void Value(const TFormValue& value) {
        switch (value.Kind) {
            case fvNull: Byte(vaNull); break;
            case fvList:
                Byte(vaList);
                for (const auto& item : value.Items) Value(item);
                Byte(vaNull);
                break;
            case fvInteger: Integer(value.Int); break;
            case fvExtended: {
                Byte(vaExtended);
                char bytes[sizeof(long double)];
                std::memcpy(bytes, &value.Real, sizeof bytes);
                out_.append(bytes, kExtendedSize);
                break;
            }
            case fvSingle:
                Byte(vaSingle);
                Little(std::bit_cast<std::uint32_t>(static_cast<float>(value.Real)), 4);
                break;
            case fvDate:
                Byte(vaDate);
                Little(std::bit_cast<std::uint64_t>(static_cast<double>(value.Real)), 8);
                break;
            case fvCurrency:
                Byte(vaCurrency);
                Little(static_cast<std::uint64_t>(value.Int), 8);
                break;
            case fvString:
                if (value.Text.size() <= 255) {
                    Byte(vaString);
                    ShortString(value.Text);
                } else {
                    Counted(vaLString, value.Text);
                }
                break;
            case fvUtf8String: Counted(vaUTF8String, value.Text); break;
            case fvBinary: Counted(vaBinary, value.Text); break;
            case fvWideString:
                Byte(vaWString);
                Length32(value.Wide.size());
                for (char16_t unit : value.Wide) Little(unit, 2);
                break;
            case fvIdent:
                Byte(vaIdent);
                ShortString(value.Text);
                break;
            case fvFalse: Byte(vaFalse); break;
            case fvTrue: Byte(vaTrue); break;
            case fvNil: Byte(vaNil); break;
            case fvSet:
                Byte(vaSet);
                for (const auto& name : value.Names) ShortString(name);
                Byte(0);
                break;
            case fvCollection:
                Byte(vaCollection);
                for (const auto& item : value.Collection) {
                    if (item.Order) Integer(*item.Order);
                    Byte(vaList);
                    Properties(item.Properties);
                }
                Byte(vaNull);
                break;
        }
    }

    String out_;
};

}  // namespace

bool IsBinaryForm(std::string_view data) { return data.substr(0, kSignature.size()) == kSignature; }

TFormObject ReadBinaryForm(std::string_view stream) { return BinaryReader(stream).ReadRoot(); }

String WriteBinaryForm(const TFormObject& root) { return BinaryWriter().Write(root); }

String WriteBinaryProperty(const TFormProperty& property) { return BinaryWriter().Write(property); }

}  // namespace host
