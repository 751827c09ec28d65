// The text form: `object Name: TClass`, `Name = value` lines two spaces deeper
// a level, the children, `end`. Numbers with a fraction or exponent are
// extended, or single, currency or date with the suffix s, c or d.

#include <charconv>
#include <cmath>
#include <limits>

#include <platform/host/rtl/BasicText.h>
#include <platform/host/rtl/FormMemory.h>
#include <platform/host/rtl/FormStream.h>

namespace host {

namespace {

constexpr std::size_t kStringLineLength = 64;  // characters of a string on one line
constexpr std::size_t kBinaryLineBytes = 32;

enum TokenKind : std::uint8_t { tokEnd, tokIdent, tokInteger, tokFloat, tokString, tokBinary, tokSymbol };

struct Token {
    TokenKind kind;
    int line;
    std::size_t at;         // offset in the text
    std::string_view text;  // as written
    std::size_t End() const { return at + text.size(); }
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The library's long double parser may hand the text to strtold, which reads
// on to a NUL; so it gets a copy that has one.
template <typename F>
std::optional<F> ParseFloat(std::string_view number) {
    const String copy(number);
    F value{};
    auto [end, error] = std::from_chars(copy.c_str(), copy.c_str() + copy.size(), value);
    if (error != std::errc() || end != copy.c_str() + copy.size()) return std::nullopt;
    return value;
}

[[noreturn]] void FailAtLine(int line, const String& what) {
    throw EReadError("text form, line " + std::to_string(line) + ": " + what);
}

// Splits the text into tokens. A string token is a run of quoted parts and
// #nnn characters written without space between them.
class Lexer {
public:
    Lexer(std::string_view text, TFormMemoryBudget& budget) : text_(text), budget_(budget) {}

    std::vector<Token> Tokens() {
        std::vector<Token> tokens;
        for (SkipSpace(); pos_ < text_.size(); SkipSpace()) {
            if (!budget_.Charge(sizeof(Token))) FailAtLine(line_, budget_.Exceeded());
            tokens.push_back(Next());
        }
        tokens.push_back({tokEnd, line_, text_.size(), {}});
        return tokens;
    }

private:
    char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

    void SkipSpace() {
        for (; pos_ < text_.size(); ++pos_) {
            const char c = text_[pos_];
            if (c == '\n') ++line_;
            else if (c != ' ' && c != '\t' && c != '\r') return;
        }
    }

    Token Next() {
        const std::size_t start = pos_;
        const char c = text_[pos_];
        TokenKind kind = tokSymbol;
        if (IsIdentStart(c)) kind = Identifier();
        else if (IsDigit(c) || (c == '-' && IsDigit(At(pos_ + 1)))) kind = Number();
        else if (c == '\'' || c == '#') kind = StringParts();
        else if (c == '{') kind = Binary();
        else if (std::string_view("=:[](),<>+").find(c) != std::string_view::npos) ++pos_;
        else FailAtLine(line_, "unexpected character (code " + std::to_string(static_cast<unsigned char>(c)) + ")");
        return {kind, line_, start, text_.substr(start, pos_ - start)};
    }

    TokenKind Identifier() {
        do {
            ++pos_;
            while (IsIdentPart(At(pos_))) ++pos_;
        } while (At(pos_) == '.' && IsIdentStart(At(pos_ + 1)));
        return tokIdent;
    }

    std::size_t Digits() {
        const std::size_t start = pos_;
        while (IsDigit(At(pos_))) ++pos_;
        return pos_ - start;
    }

    TokenKind Number() {
        if (At(pos_) == '-') ++pos_;
        Digits();
        TokenKind kind = tokInteger;
        if (At(pos_) == '.' && IsDigit(At(pos_ + 1))) {
            ++pos_;
            Digits();
            kind = tokFloat;
        }
        if (At(pos_) == 'e' || At(pos_) == 'E') {
            ++pos_;
            if (At(pos_) == '+' || At(pos_) == '-') ++pos_;
            if (!Digits()) FailAtLine(line_, "a number's exponent has no digits");
            kind = tokFloat;
        }
        if (std::string_view("sScCdD").find(At(pos_)) != std::string_view::npos) {
            ++pos_;
            kind = tokFloat;
        }
        if (IsIdentPart(At(pos_)) || At(pos_) == '.') FailAtLine(line_, "malformed number");
        return kind;
    }

    TokenKind StringParts() {
        while (At(pos_) == '\'' || At(pos_) == '#') {
            if (At(pos_++) == '#') {
                if (!Digits()) FailAtLine(line_, "'#' without a character code");
                continue;
            }
            for (;; ++pos_) {
                if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r')
                    FailAtLine(line_, "unterminated string");
                if (text_[pos_] != '\'') continue;
                if (At(pos_ + 1) != '\'') break;
                ++pos_;  // a doubled apostrophe stands for one
            }
            ++pos_;
        }
        return tokString;
    }

    TokenKind Binary() {
        const int startLine = line_;
        for (++pos_; At(pos_) != '}'; ++pos_) {
            if (pos_ >= text_.size()) FailAtLine(startLine, "binary data without its closing '}'");
            if (text_[pos_] == '\n') ++line_;
        }
        ++pos_;
        return tokBinary;
    }

    std::string_view text_;
    TFormMemoryBudget& budget_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

class TextReader {
public:
    TextReader(std::string_view text, TTextCharset charset)
        : text_(text), charset_(charset), budget_(text.size()), tokens_(Lexer(text, budget_).Tokens()) {}

    TFormObject ReadRoot() {
        TFormObject root = ReadObject(1);
        if (Peek().kind != tokEnd) Fail(Peek(), "text after the root's 'end'");
        return root;
    }

private:
    const Token& Peek(std::size_t ahead = 0) const { return tokens_[std::min(next_ + ahead, tokens_.size() - 1)]; }
    const Token& Next() {
        const Token& token = Peek();
        if (next_ < tokens_.size() - 1) ++next_;
        end_ = token.End();
        return token;
    }

    // Past the end of the line that `at` is on, when nothing but blanks
    // follows there; else `at` itself.
    std::size_t PastLineEnd(std::size_t at) const {
        const std::size_t stop = text_.find_first_not_of(" \t\r", at);
        return stop != std::string_view::npos && text_[stop] == '\n' ? stop + 1 : at;
    }

    [[noreturn]] void Fail(const Token& at, const String& what) const {
        FailAtLine(at.line, at.kind == tokEnd ? "the text ends too soon: " + what : what);
    }
    void Charge(std::size_t bytes) {
        if (!budget_.Charge(bytes)) Fail(Peek(), budget_.Exceeded());
    }
    static bool IsSymbol(const Token& token, char symbol) {
        return token.kind == tokSymbol && token.text[0] == symbol;
    }
    static bool IsWord(const Token& token, std::string_view word) {
        return token.kind == tokIdent && token.text == word;
    }
    // A keyword, unless it is the name of a property being given a value.
    bool AtKeyword(std::string_view word) const { return IsWord(Peek(), word) && !IsSymbol(Peek(1), '='); }
    bool AtObject() const { return AtKeyword("object") || AtKeyword("inherited") || AtKeyword("inline"); }

    void Expect(char symbol, const char* what) {
        if (!IsSymbol(Peek(), symbol)) Fail(Peek(), String("expected ") + what);
        Next();
    }

    void CheckDepth(int depth) const {
        if (depth > kMaxFormNesting)
            Fail(Peek(), "nesting deeper than " + std::to_string(kMaxFormNesting) + " levels");
    }

    String Name(const char* what, bool dotted) {
        const Token& token = Next();
        if (token.kind != tokIdent || (!dotted && token.text.find('.') != std::string_view::npos))
            Fail(token, String("expected a ") + what);
        CheckLength(token, what, 255);
        return String(token.text);
    }

    void CheckLength(const Token& token, const char* what, std::size_t maxLength) const {
        if (token.text.size() > maxLength)
            Fail(token, String("a ") + what + " longer than " + std::to_string(maxLength) + " characters");
    }

    std::int64_t Integer(const Token& token) {
        std::int64_t value = 0;
        auto [end, error] = std::from_chars(token.text.data(), token.text.data() + token.text.size(), value);
        if (error != std::errc()) Fail(token, "integer out of range: " + String(token.text));
        return value;
    }

    std::int64_t ExpectInteger(const char* what) {
        const Token& token = Next();
        if (token.kind != tokInteger) Fail(token, String("expected ") + what);
        return Integer(token);
    }

    TFormObject ReadObject(int depth) {
        CheckDepth(depth);
        TFormObject object;
        const Token& head = Next();
        object.SourceAt = head.at;
        if (IsWord(head, "inherited")) object.Flags = ffInherited;
        else if (IsWord(head, "inline")) object.Flags = ffInline;
        else if (!IsWord(head, "object")) Fail(head, "expected 'object', 'inherited' or 'inline'");
        object.NameSource = {Peek().at, Peek().at};
        if (IsSymbol(Peek(1), ':')) {
            object.Name = Name("component name", false);
            Next();
            object.NameSource.End = Peek().at;
        }
        CheckLength(Peek(), "class name", kMaxClassNameLength);
        object.ClassName = Name("class name", false);
        if (IsSymbol(Peek(), '[')) {
            Next();
            object.Flags |= ffChildPos;
            object.ChildPos = ExpectInteger("the child position");
            Expect(']', "']' after the child position");
        }
        object.PropertiesAt = PastLineEnd(end_);
        while (!AtKeyword("end")) {
            if (AtObject()) object.Children.push_back(ReadObject(depth + 1));
            else object.Properties.push_back(ReadProperty(depth));
        }
        Next();
        Charge(sizeof object + object.ClassName.size() + object.Name.size());
        return object;
    }

    TFormProperty ReadProperty(int depth) {
        TFormProperty property;
        property.Source.Begin = Peek().at;
        property.Name = Name("property name or 'end'", true);
        Expect('=', "'=' after the property name");
        property_ = property.Name;
        property.Value = ReadValue(depth);
        property.Source.End = end_;
        Charge(sizeof property - sizeof property.Value + property.Name.size());
        return property;
    }

    TFormValue ReadValue(int depth) {
        TFormValue value = ValueAt(depth);
        Charge(MemoryOf(value));
        return value;
    }

    TFormValue ValueAt(int depth) {
        const Token& token = Next();
        switch (token.kind) {
            case tokInteger: return {.Kind = fvInteger, .Int = Integer(token)};
            case tokFloat: return Float(token);
            case tokString: return StringValue(token);
            case tokBinary: return BinaryValue(token);
            case tokIdent:
                if (token.text.size() > 255) Fail(token, "an identifier longer than 255 characters");
                return Word(token);
            case tokSymbol:
                if (IsSymbol(token, '[')) return SetValue();
                if (IsSymbol(token, '(')) return ListValue(depth + 1);
                if (IsSymbol(token, '<')) return CollectionValue(depth + 1);
                break;
            case tokEnd: break;
        }
        Fail(token, "expected a value");
    }

    static TFormValue Word(const Token& token) {
        if (token.text == "True") return {.Kind = fvTrue};
        if (token.text == "False") return {.Kind = fvFalse};
        if (token.text == "nil") return {.Kind = fvNil};
        if (token.text == "null") return {.Kind = fvNull};
        return {.Kind = fvIdent, .Text = String(token.text)};
    }

    TFormValue Float(const Token& token) {
        std::string_view number = token.text;
        const char suffix = LowerAscii(number.back());
        if (suffix == 's' || suffix == 'c' || suffix == 'd') number.remove_suffix(1);
        if (suffix == 'c') return {.Kind = fvCurrency, .Int = Currency(token, number)};
        TFormValue value{.Kind = suffix == 's' ? fvSingle : suffix == 'd' ? fvDate : fvExtended};
        if (suffix == 's') value.Real = Parse<float>(token, number);
        else if (suffix == 'd') value.Real = Parse<double>(token, number);
        else value.Real = Parse<long double>(token, number);
        return value;
    }

    template <typename F>
    F Parse(const Token& token, std::string_view number) {
        auto value = ParseFloat<F>(number);
        if (!value) Fail(token, "number out of range: " + String(token.text));
        return *value;
    }

    // Exactly, in ten-thousandths: at most four decimals and no exponent.
    std::int64_t Currency(const Token& token, std::string_view number) {
        const bool negative = number.front() == '-';
        if (negative) number.remove_prefix(1);
        const std::size_t point = number.find('.');
        const std::string_view decimals = point == std::string_view::npos ? "" : number.substr(point + 1);
        if (decimals.size() > 4 || number.find_first_of("eE") != std::string_view::npos)
            Fail(token, "a currency has at most four decimals and no exponent: " + String(token.text));
        String digits(number.substr(0, point));
        digits.append(decimals).append(4 - decimals.size(), '0');
        std::uint64_t amount = 0;
        constexpr std::uint64_t kMagnitudeOfMinimum = std::uint64_t{1} << 63;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), amount);
        if (error != std::errc() || amount > kMagnitudeOfMinimum - (negative ? 0 : 1))
            Fail(token, "currency out of range: " + String(token.text));
        return static_cast<std::int64_t>(negative ? 0 - amount : amount);
    }

    // Adjacent parts, and further strings after '+'. In the code page, a
    // character above 255 makes it a wide string; from UTF-8, any character
    // the code page lacks.
    TFormValue StringValue(const Token& first) {
        std::u16string units;
        AppendParts(first, units);
        while (IsSymbol(Peek(), '+')) {
            Next();
            const Token& part = Next();
            if (part.kind != tokString) Fail(part, "expected a string after '+'");
            AppendParts(part, units);
        }
        TFormValue value{.Kind = fvWideString};
        if (charset_ == TTextCharset::Utf8) {
            if (auto ansi = ExactWideToAnsi(units)) {
                value.Kind = fvString;
                value.Text = std::move(*ansi);
                return value;
            }
        } else if (std::all_of(units.begin(), units.end(), [](char16_t u) { return u <= 0xFF; })) {
            value.Kind = fvString;
            value.Text.assign(units.begin(), units.end());
            return value;
        }
        value.Wide = std::move(units);
        return value;
    }

    void AppendParts(const Token& token, std::u16string& units) {
        const std::string_view text = token.text;
        for (std::size_t i = 0; i < text.size();) {
            if (text[i] == '#') {
                std::size_t end = i + 1;
                while (end < text.size() && IsDigit(text[end])) ++end;
                unsigned code = 0;
                auto [stop, error] = std::from_chars(text.data() + i + 1, text.data() + end, code);
                if (error != std::errc() || code > 0xFFFF) Fail(token, "character code out of range");
                units.push_back(static_cast<char16_t>(code));
                i = end;
                continue;
            }
            String quoted;
            for (++i; !(text[i] == '\'' && (i + 1 >= text.size() || text[i + 1] != '\'')); ++i) {
                quoted.push_back(text[i]);
                if (text[i] == '\'') ++i;  // the first of a doubled apostrophe
            }
            ++i;
            if (charset_ == TTextCharset::Utf8 && !IsUtf8(quoted))
                Fail(token, "property '" + property_ + "' holds a string that is not UTF-8");
            if (charset_ == TTextCharset::Utf8) units += Utf8ToWide(quoted);
            else
                for (const char c : quoted) units.push_back(static_cast<unsigned char>(c));
        }
    }

    TFormValue BinaryValue(const Token& token) {
        TFormValue value{.Kind = fvBinary};
        int high = -1;
        for (char c : token.text.substr(1, token.text.size() - 2)) {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
            const int digit = HexDigit(c);
            if (digit < 0) Fail(token, "binary data holds a character that is no hexadecimal digit");
            if (high < 0) {
                high = digit;
            } else {
                value.Text.push_back(static_cast<char>(high << 4 | digit));
                high = -1;
            }
        }
        if (high >= 0) Fail(token, "binary data with an odd number of hexadecimal digits");
        return value;
    }

    TFormValue SetValue() {
        TFormValue value{.Kind = fvSet};
        if (IsSymbol(Peek(), ']')) {
            Next();
            return value;
        }
        for (;;) {
            value.Names.push_back(Name("set member", false));
            if (IsSymbol(Peek(), ']')) break;
            Expect(',', "',' or ']' in a set");
        }
        Next();
        return value;
    }

    TFormValue ListValue(int depth) {
        CheckDepth(depth);
        TFormValue value{.Kind = fvList};
        while (!IsSymbol(Peek(), ')')) {
            const Token& at = Peek();
            value.Items.push_back(ReadValue(depth));
            // In the binary form a null item would end the list.
            if (value.Items.back().Kind == fvNull) Fail(at, "null cannot be an item of a list");
        }
        Next();
        return value;
    }

    TFormValue CollectionValue(int depth) {
        CheckDepth(depth);
        TFormValue value{.Kind = fvCollection};
        while (!IsSymbol(Peek(), '>')) {
            if (!IsWord(Next(), "item")) Fail(Peek(), "expected 'item' or '>' in a collection");
            TFormItem item;
            if (IsSymbol(Peek(), '[')) {
                Next();
                item.Order = ExpectInteger("the item's order");
                Expect(']', "']' after the item's order");
            }
            while (!AtKeyword("end")) item.Properties.push_back(ReadProperty(depth));
            Next();
            Charge(sizeof item);
            value.Collection.push_back(std::move(item));
        }
        Next();
        return value;
    }

    std::string_view text_;
    TTextCharset charset_;
    String property_;  // the property whose value is being read, for messages
    TFormMemoryBudget budget_;  // shared by the tokens and the records
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;  // where the last token taken ends
};

// The shortest decimal that reads back as the same number. Some numbers have
// none that the reader takes (infinities, NaN; the library's long double
// parser refuses subnormal ones): those cannot be written as text.
template <typename F>
String FloatText(F number) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    String text(buffer, result.ec == std::errc() ? result.ptr : buffer);
    if (!std::isfinite(number) || ParseFloat<F>(text) != number)
        throw EWriteError("the number " + text + " has no exact text form");
    if (text.find_first_of(".e") == String::npos) text += ".0";
    return text;
}

String CurrencyText(std::int64_t amount) {
    const bool negative = amount < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(amount) : amount;
    String decimals = std::to_string(magnitude % 10000 + 10000).substr(1);
    while (decimals.size() > 1 && decimals.back() == '0') decimals.pop_back();
    return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + decimals + "c";
}

class TextWriter {
public:
    // raw: the charset that characters past ASCII are written in, inside the
    // quotes; none: each of them as #nnn.
    explicit TextWriter(std::optional<TTextCharset> raw = std::nullopt) : raw_(raw) {}

    String Write(const TFormObject& root) {
        Object(root, 0);
        return std::move(out_);
    }
    String Write(const TFormProperty& property, int level) {
        Property(property, level);
        return std::move(out_);
    }

private:
    void Indent(int level) { out_.append(static_cast<std::size_t>(2 * level), ' '); }
    void NewLine(int level) {
        out_ += '\n';
        Indent(level);
    }

    void Object(const TFormObject& object, int level) {
        Indent(level);
        out_ += object.Flags & ffInherited ? "inherited " : object.Flags & ffInline ? "inline " : "object ";
        if (!object.Name.empty()) out_ += object.Name + ": ";
        out_ += object.ClassName;
        if (object.Flags & ffChildPos) out_ += " [" + std::to_string(object.ChildPos) + "]";
        out_ += '\n';
        for (const auto& property : object.Properties) {
            Indent(level + 1);
            Property(property, level + 1);
            out_ += '\n';
        }
        for (const auto& child : object.Children) Object(child, level + 1);
        Indent(level);
        out_ += "end\n";
    }

    void Property(const TFormProperty& property, int level) {
        out_ += property.Name + " = ";
        Value(property.Value, level, false);
    }

    void Value(const TFormValue& value, int level, bool atLineStart) {
        switch (value.Kind) {
            case fvNull: out_ += "null"; break;
            case fvList: List(value.Items, level); break;
            case fvInteger: out_ += std::to_string(value.Int); break;
            case fvExtended: out_ += FloatText(value.Real); break;
            case fvSingle: out_ += FloatText(static_cast<float>(value.Real)) + "s"; break;
            case fvDate: out_ += FloatText(static_cast<double>(value.Real)) + "d"; break;
            case fvCurrency: out_ += CurrencyText(value.Int); break;
            case fvString: Text(std::string_view(value.Text), level, atLineStart); break;
            case fvUtf8String: Text(std::u16string_view(Utf8ToWide(value.Text)), level, atLineStart); break;
            case fvWideString: Text(std::u16string_view(value.Wide), level, atLineStart); break;
            case fvIdent: out_ += value.Text; break;
            case fvFalse: out_ += "False"; break;
            case fvTrue: out_ += "True"; break;
            case fvNil: out_ += "nil"; break;
            case fvBinary: Binary(value.Text, level); break;
            case fvSet: Set(value.Names); break;
            case fvCollection: Collection(value.Collection, level); break;
        }
    }

    // Printable characters in quotes, every other one (and the apostrophe) as
    // #nnn; characters past ASCII in quotes where they are written raw.
    template <typename Unit>
    void Quoted(std::basic_string_view<Unit> units) {
        bool open = false;
        for (std::size_t i = 0; i < units.size(); ++i) {
            const unsigned code = static_cast<std::make_unsigned_t<Unit>>(units[i]);
            const String inQuotes = code >= 32 && code <= 126 && code != '\'' ? String(1, static_cast<char>(code))
                                                                               : Raw(units, i);
            if (inQuotes.empty() == open) out_ += '\'';
            open = !inQuotes.empty();
            if (open) out_ += inQuotes;
            else out_ += '#' + std::to_string(code);
        }
        if (open || units.empty()) out_ += open ? "'" : "''";
    }

    // A byte of the code page past ASCII, as the file holds it inside quotes;
    // empty where it is written as #nnn.
    String Raw(std::string_view bytes, std::size_t i) const {
        if (!raw_ || static_cast<unsigned char>(bytes[i]) < 0x80) return {};
        return *raw_ == TTextCharset::Ansi ? String(1, bytes[i]) : AnsiToUtf8(bytes.substr(i, 1));
    }
    // A character of a wide string past ASCII: raw in a UTF-8 file alone, a
    // surrogate pair taken whole (i then moves to its second unit).
    String Raw(std::u16string_view units, std::size_t& i) const {
        const char16_t unit = units[i];
        if (raw_ != TTextCharset::Utf8 || unit < 0x80 || (unit >= 0xDC00 && unit < 0xE000)) return {};
        if (unit < 0xD800 || unit >= 0xDC00) return WideToUtf8(units.substr(i, 1));
        if (i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] >= 0xE000) return {};
        return WideToUtf8(units.substr(i++, 2));
    }

    // A long string starts on a line of its own and is broken every 64 characters.
    template <typename Unit>
    void Text(std::basic_string_view<Unit> units, int level, bool atLineStart) {
        if (units.size() <= kStringLineLength) return Quoted(units);
        const int lineLevel = atLineStart ? level : level + 1;
        if (!atLineStart) NewLine(lineLevel);
        for (std::size_t i = 0; i < units.size(); i += kStringLineLength) {
            if (i) {
                out_ += " +";
                NewLine(lineLevel);
            }
            Quoted(units.substr(i, kStringLineLength));
        }
    }

    void List(const std::vector<TFormValue>& items, int level) {
        out_ += '(';
        for (const auto& item : items) {
            NewLine(level + 1);
            Value(item, level + 1, true);
        }
        out_ += ')';
    }

    void Binary(std::string_view bytes, int level) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out_ += '{';
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i % kBinaryLineBytes == 0) NewLine(level + 1);
            const auto byte = static_cast<unsigned char>(bytes[i]);
            out_ += kHex[byte >> 4];
            out_ += kHex[byte & 15];
        }
        out_ += '}';
    }

    void Set(const std::vector<String>& names) {
        out_ += '[';
        for (std::size_t i = 0; i < names.size(); ++i) out_ += (i ? ", " : "") + names[i];
        out_ += ']';
    }

    void Collection(const std::vector<TFormItem>& items, int level) {
        out_ += '<';
        for (const auto& item : items) {
            NewLine(level + 1);
            out_ += "item";
            if (item.Order) out_ += " [" + std::to_string(*item.Order) + "]";
            for (const auto& property : item.Properties) {
                NewLine(level + 2);
                Property(property, level + 2);
            }
            NewLine(level + 1);
            out_ += "end";
        }
        out_ += '>';
    }

    std::optional<TTextCharset> raw_;
    String out_;
};

}  // namespace

TFormObject ReadTextForm(std::string_view text, TTextCharset charset) { return TextReader(text, charset).ReadRoot(); }

String WriteTextForm(const TFormObject& root) { return TextWriter().Write(root); }

String WriteTextProperty(const TFormProperty& property, int level, TTextCharset charset) {
    return TextWriter(charset).Write(property, level);
}

}  // namespace host
