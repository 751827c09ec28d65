#include <platform/host/rtl/FormFile.h>

#include <algorithm>
#include <limits>

namespace host {

namespace {

constexpr std::string_view kResourceMark{"\xFF\x0A\x00", 3};  // a named resource of type RCDATA
constexpr std::string_view kResourceFlags{"\x30\x10", 2};      // moveable, pure, discardable
constexpr std::string_view kUtf8Mark{"\xEF\xBB\xBF", 3};
constexpr std::size_t kMaxResourceName = 256;

std::uint32_t Little32(std::string_view bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

String Little32Text(std::size_t value) {
    String bytes;
    for (int i = 0; i < 4; ++i, value >>= 8) bytes.push_back(static_cast<char>(value & 0xFF));
    return bytes;
}

[[noreturn]] void FailHeader(const String& what) { throw EReadError("binary form file: the resource header " + what); }

// The header's length of the stream and the offset where the stream starts.
std::pair<std::size_t, std::size_t> ReadResourceHeader(std::string_view file) {
    const std::size_t nul = file.find('\0', kResourceMark.size());
    if (nul == std::string_view::npos || nul - kResourceMark.size() > kMaxResourceName)
        FailHeader("has no name that ends within " + std::to_string(kMaxResourceName) + " bytes");
    const std::size_t lengthAt = nul + 1 + kResourceFlags.size(), streamAt = lengthAt + 4;
    if (file.size() < streamAt) FailHeader("is cut short");
    return {Little32(file.substr(lengthAt, 4)), streamAt};
}

std::string_view LineEnd(std::string_view text) {
    const std::size_t newline = text.find('\n');
    return newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

String WithLineEnds(std::string_view text, std::string_view eol) {
    String out;
    for (const char c : text) {
        if (c == '\n') out += eol;
        else out.push_back(c);
    }
    return out;
}

const TFormProperty* Find(const std::vector<TFormProperty>& properties, std::string_view name) {
    const auto found = std::find_if(properties.begin(), properties.end(),
                                    [&](const TFormProperty& property) { return SameText(property.Name, name); });
    return found == properties.end() ? nullptr : &*found;
}

bool SameValue(const TFormProperty& a, const TFormProperty& b) {
    return WriteBinaryProperty(a) == WriteBinaryProperty(b);
}

}  // namespace

TFormFileLayout FormFileLayout(std::string_view file) {
    TFormFileLayout layout;
    if (file.starts_with(kResourceMark)) {
        layout.Kind = TFormFileKind::BinaryResource;
        const auto [length, streamAt] = ReadResourceHeader(file);
        if (length != file.size() - streamAt)
            FailHeader("gives the stream's length as " + std::to_string(length) + " bytes, but " +
                       std::to_string(file.size() - streamAt) + " follow it");
        if (!IsBinaryForm(file.substr(streamAt)))
            throw EReadError("binary form file: no binary form stream (TPF0) follows the resource header");
        layout.StreamAt = streamAt;
    } else if (IsBinaryForm(file)) {
        layout.Kind = TFormFileKind::Binary;
    } else {
        if (file.starts_with(kUtf8Mark)) {
            layout.Charset = TTextCharset::Utf8;
            layout.StreamAt = kUtf8Mark.size();
        }
        layout.Eol = LineEnd(file);
    }
    return layout;
}

String FormResourceHeader(std::string_view rootClass, std::size_t streamSize) {
    if (streamSize > std::numeric_limits<std::uint32_t>::max()) throw EWriteError("a form stream past 4 GiB");
    String header(kResourceMark);
    header += UpperCase(rootClass);
    header.push_back('\0');
    header += kResourceFlags;
    return header + Little32Text(streamSize);
}

TFormDocument::TFormDocument(String file) : file_(std::move(file)), layout_(FormFileLayout(file_)) {
    const std::string_view body = std::string_view(file_).substr(layout_.StreamAt);
    root_ = layout_.Kind == TFormFileKind::Text ? ReadTextForm(body, layout_.Charset) : ReadBinaryForm(body);
}

String TFormDocument::Edited(const std::vector<TRecordChange>& changes) const {
    std::vector<Splice> splices;
    for (const auto& change : changes) AddSplices(change, splices);
    // Where two meet, an insertion goes before what is removed from the same place.
    std::stable_sort(splices.begin(), splices.end(), [](const Splice& a, const Splice& b) {
        return a.Begin != b.Begin ? a.Begin < b.Begin : a.End < b.End;
    });
    const std::string_view body = std::string_view(file_).substr(layout_.StreamAt);
    String edited;
    std::size_t at = 0;
    for (const auto& splice : splices) {
        edited.append(body.substr(at, splice.Begin - at)).append(splice.Text);
        at = splice.End;
    }
    edited.append(body.substr(at));
    String head = file_.substr(0, layout_.StreamAt);
    if (layout_.Kind == TFormFileKind::BinaryResource) head = head.substr(0, head.size() - 4) + Little32Text(edited.size());
    return head + edited;
}

void TFormDocument::AddSplices(const TRecordChange& change, std::vector<Splice>& splices) const {
    const TFormObject& record = *change.Record;
    const auto& was = change.Was->Properties;
    const auto& now = change.Now->Properties;
    if (change.Was->Name != change.Now->Name) splices.push_back(Rename(record, change.Now->Name));
    for (const auto& property : was)
        if (!Find(now, property.Name))
            if (const TFormProperty* stored = Find(record.Properties, property.Name))
                splices.push_back(Removal(*stored));
    for (std::size_t i = 0; i < now.size(); ++i) {
        const TFormProperty* before = Find(was, now[i].Name);
        if (before && SameValue(*before, now[i])) continue;
        if (const TFormProperty* stored = Find(record.Properties, now[i].Name)) {
            splices.push_back(Replacement(record, *stored, now[i]));
            continue;
        }
        // After the nearest property declared before it that the record holds.
        std::size_t at = record.PropertiesAt;
        for (std::size_t k = i; k-- > 0;)
            if (const TFormProperty* previous = Find(record.Properties, now[k].Name)) {
                at = previous->Source.End;
                break;
            }
        splices.push_back(Insertion(record, at, now[i]));
    }
}

// In a text form, the property's own line goes with it.
TFormDocument::Splice TFormDocument::Removal(const TFormProperty& stored) const {
    if (layout_.Kind != TFormFileKind::Text) return {stored.Source.Begin, stored.Source.End, {}};
    const std::string_view text = std::string_view(file_).substr(layout_.StreamAt);
    const std::size_t lineStart = text.find_last_not_of(" \t", stored.Source.Begin - 1) + 1;
    const std::size_t afterValue = text.find_first_not_of(" \t\r", stored.Source.End);
    const bool ownLine = (lineStart == 0 || text[lineStart - 1] == '\n') &&
                         (afterValue == std::string_view::npos || text[afterValue] == '\n');
    if (!ownLine) return {stored.Source.Begin, stored.Source.End, {}};
    return {lineStart, afterValue == std::string_view::npos ? text.size() : afterValue + 1, {}};
}

TFormDocument::Splice TFormDocument::Replacement(const TFormObject& record, const TFormProperty& stored,
                                                 const TFormProperty& now) const {
    return {stored.Source.Begin, stored.Source.End, PropertyText(record, now)};
}

// Binary: at `at`. Text: on a line of its own after the one `at` is on.
TFormDocument::Splice TFormDocument::Insertion(const TFormObject& record, std::size_t at,
                                               const TFormProperty& now) const {
    if (layout_.Kind != TFormFileKind::Text) return {at, at, PropertyText(record, now)};
    const std::string_view text = std::string_view(file_).substr(layout_.StreamAt);
    const std::size_t stop = text.find_first_not_of(" \t\r", at);
    const String line = Indentation(record) + PropertyText(record, now);
    if (stop != std::string_view::npos && text[stop] == '\n') return {stop + 1, stop + 1, line + String(layout_.Eol)};
    if (at > 0 && text[at - 1] == '\n') return {at, at, line + String(layout_.Eol)};
    return {at, at, String(layout_.Eol) + line};
}

TFormDocument::Splice TFormDocument::Rename(const TFormObject& record, const String& name) const {
    if (layout_.Kind != TFormFileKind::Text) {
        if (name.size() > 255) throw EWriteError("component name '" + name.substr(0, 32) + "...' is too long");
        return {record.NameSource.Begin, record.NameSource.End, String(1, static_cast<char>(name.size())) + name};
    }
    return {record.NameSource.Begin, record.NameSource.End, name.empty() ? String() : name + ": "};
}

String TFormDocument::PropertyText(const TFormObject& record, const TFormProperty& property) const {
    if (layout_.Kind != TFormFileKind::Text) return WriteBinaryProperty(property);
    const int level = static_cast<int>(Indentation(record).size() / 2);
    return WithLineEnds(WriteTextProperty(property, level, layout_.Charset), layout_.Eol);
}

// The blanks before the record's properties: those of its first property's
// line, else its own line's and two more.
String TFormDocument::Indentation(const TFormObject& record) const {
    const std::string_view text = std::string_view(file_).substr(layout_.StreamAt);
    const auto blanksBefore = [&](std::size_t at) {
        const std::size_t lineStart = at == 0 ? 0 : text.find_last_not_of(" \t", at - 1) + 1;
        return String(text.substr(lineStart, at - lineStart));
    };
    if (!record.Properties.empty()) return blanksBefore(record.Properties.front().Source.Begin);
    return blanksBefore(record.SourceAt) + "  ";
}

}  // namespace host
