// The text model of the configuration files and the checks of what may be
// stored in them.

#include "platform/posix/IniDocument.h"

#include <algorithm>
#include <string>

#include <platform/host/rtl/BasicText.h>

namespace odbcini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

using host::IsControlChar;
using host::SameText;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// By hand: find_first_not_of looks every character up in the set.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The line's text as the parser sees it: a CR before the line feed is part of
// the line break, not of the content.
std::string_view Content(std::string_view text) {
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    return text;
}

bool LessName(std::string_view a, std::string_view b) { return host::CompareText(a, b) < 0; }

bool IsBlankLine(std::string_view text) { return Trim(Content(text)).empty(); }

// A header the parser rejected; what follows it up to the next good header
// belongs to no section, so it must not be read as part of the one above.
bool IsBrokenHeader(std::string_view text) {
    const std::string_view t = Trim(Content(text));
    return !t.empty() && t.front() == '[';
}

// Names go into error messages; keep those printable and of sane length.
std::string Show(std::string_view text) {
    constexpr size_t kMax = 60;
    return host::EscapeControls(text.substr(0, kMax)) + (text.size() > kMax ? "..." : "");
}

constexpr std::string_view kEntrySeparator = " = ";

std::string EntryText(std::string_view key, std::string_view value, std::string_view eol) {
    std::string text;
    text.reserve(key.size() + kEntrySeparator.size() + value.size() + eol.size());
    text.append(key).append(kEntrySeparator).append(value).append(eol);
    return text;
}

struct ParsedLine {
    enum Kind { Blank, Comment, Header, BrokenHeader, Entry, NoEquals, Binary } kind;
    std::string_view name = {};   // Header
    std::string_view key = {};    // Entry
    std::string_view value = {};  // Entry
    const char* damage = nullptr;
};

ParsedLine ParseLine(std::string_view raw) {
    const std::string_view s = Content(raw);
    const std::string_view t = Trim(s);
    const bool header = !t.empty() && t.front() == '[';
    if (std::any_of(s.begin(), s.end(), [](char c) { return c != '\t' && IsControlChar(c); })) {
        const bool nul = s.find('\0') != std::string_view::npos;
        return {header ? ParsedLine::BrokenHeader : ParsedLine::Binary, {}, {}, {},
                nul ? "line holds a NUL byte" : "line holds a control character"};
    }
    if (t.empty()) return {ParsedLine::Blank};
    if (t.front() == ';' || t.front() == '#') return {ParsedLine::Comment};
    if (header) {
        const size_t close = t.find(']');
        if (close == std::string_view::npos)
            return {ParsedLine::BrokenHeader, {}, {}, {}, "unterminated section header"};
        return {ParsedLine::Header, Trim(t.substr(1, close - 1))};
    }
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return {ParsedLine::NoEquals, {}, {}, {}, "line has no '='"};
    return {ParsedLine::Entry, {}, Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

void CheckText(const std::string& what, std::string_view text) {
    if (text.find_first_of("\r\n") != std::string_view::npos) throw IniError(what + " holds a line break");
    if (text.find('\0') != std::string_view::npos) throw IniError(what + " holds a NUL byte");
    if (std::any_of(text.begin(), text.end(), [](char c) { return c != '\t' && IsControlChar(c); }))
        throw IniError(what + " holds a control character");
    if (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back())))
        throw IniError(what + " begins or ends with a blank");
}

}  // namespace

IniDocument::IniDocument() = default;
IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;
IniDocument::~IniDocument() = default;

IniDocument IniDocument::Parse(std::string text) {
    IniDocument doc;
    doc.source_ = std::make_unique<std::string>(std::move(text));
    const std::string_view all = *doc.source_;
    // The lines of the preamble or of the section being read, stored at its
    // end in a vector of their exact number.
    std::vector<Line> pending;
    const auto store = [&](std::vector<Line>::const_iterator end) {
        (doc.sections_.empty() ? doc.preamble_ : doc.sections_.back().lines).assign(pending.cbegin(), end);
        pending.clear();
    };
    bool orphaned = false;  // after a broken header, until the next good one
    int number = 0;
    size_t pos = 0;
    while (pos < all.size()) {
        const size_t newline = all.find('\n', pos);
        const std::string_view raw = all.substr(pos, newline == std::string_view::npos ? all.npos : newline - pos);
        if (newline == std::string_view::npos) {
            doc.finalNewline_ = false;
            pos = all.size();
        } else {
            pos = newline + 1;
        }
        ++number;
        const ParsedLine parsed = ParseLine(number == 1 && raw.starts_with(kBom) ? raw.substr(kBom.size()) : raw);
        if (parsed.kind == ParsedLine::Header) {
            auto comments = pending.end();
            while (comments != pending.begin() && ParseLine((comments - 1)->text).kind == ParsedLine::Comment)
                --comments;
            Section section{parsed.name, raw, {comments, pending.end()}, {}};
            store(comments);
            doc.sections_.push_back(std::move(section));
            orphaned = false;
            continue;
        }
        Line line{raw};
        const char* damage = parsed.damage;
        if (parsed.kind == ParsedLine::BrokenHeader) orphaned = true;
        if (doc.sections_.empty() && (parsed.kind == ParsedLine::Entry || parsed.kind == ParsedLine::NoEquals))
            damage = "text before the first section";
        else if (parsed.kind == ParsedLine::Entry && !orphaned)
            line = Line{raw, parsed.key, parsed.value, true};
        if (damage) doc.damages_.push_back(Damage{number, damage});
        pending.push_back(line);
    }
    store(pending.end());
    doc.Reindex();
    return doc;
}

std::string IniDocument::Serialize() const {
    std::string out;
    out.reserve(source_ ? source_->size() + 256 : 256);
    bool any = false;
    const auto put = [&](std::string_view text) {
        if (any) out += '\n';
        out += text;
        any = true;
    };
    const auto putAll = [&](const std::vector<Line>& lines) {
        for (const Line& line : lines) put(line.text);
    };
    putAll(preamble_);
    for (const Section& section : sections_) {
        putAll(section.comments);
        put(section.header);
        putAll(section.lines);
    }
    if (any && finalNewline_) out += '\n';
    return out;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& section : sections_) names.emplace_back(section.name);
    return names;
}

bool IniDocument::HasSection(std::string_view section) const { return Find(section) != nullptr; }

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const {
    if (const Section* s = Find(section))
        for (const Line& line : s->lines)
            if (line.entry && SameText(line.key, key)) return std::string(line.value);
    return std::nullopt;
}

std::vector<Entry> IniDocument::Entries(std::string_view section) const {
    std::vector<Entry> entries;
    if (const Section* s = Find(section))
        for (const Line& line : s->lines)
            if (line.entry) entries.emplace_back(line.key, line.value);
    return entries;
}

IniDocument::Section* IniDocument::Find(std::string_view section) {
    return const_cast<Section*>(std::as_const(*this).Find(section));
}

// The first section of that name in file order, as every lookup here takes.
const IniDocument::Section* IniDocument::Find(std::string_view section) const {
    const auto before = [&](size_t i, std::string_view name) { return LessName(sections_[i].name, name); };
    const auto it = std::lower_bound(index_.begin(), index_.end(), section, before);
    return it != index_.end() && SameText(sections_[*it].name, section) ? &sections_[*it] : nullptr;
}

void IniDocument::Reindex() {
    index_.resize(sections_.size());
    for (size_t i = 0; i < index_.size(); ++i) index_[i] = i;
    std::stable_sort(index_.begin(), index_.end(),
                     [&](size_t a, size_t b) { return LessName(sections_[a].name, sections_[b].name); });
}

std::string_view IniDocument::Keep(std::string text) { return made_.emplace_back(std::move(text)); }

IniDocument::Line IniDocument::EntryLine(std::string_view key, std::string_view value, std::string_view eol) {
    const std::string_view text = Keep(EntryText(key, value, eol));
    return Line{text, text.substr(0, key.size()), text.substr(key.size() + kEntrySeparator.size(), value.size()), true};
}

// New lines follow the file's own convention, taken from its first line.
std::string_view IniDocument::Eol() const {
    std::string_view first;
    if (!preamble_.empty())
        first = preamble_.front().text;
    else if (!sections_.empty())
        first = sections_.front().comments.empty() ? sections_.front().header : sections_.front().comments.front().text;
    return !first.empty() && first.back() == '\r' ? "\r" : "";
}

std::string_view* IniDocument::LastLine() {
    if (sections_.empty()) return preamble_.empty() ? nullptr : &preamble_.back().text;
    Section& last = sections_.back();
    return last.lines.empty() ? &last.header : &last.lines.back().text;
}

// Something is about to follow the current last line, which then needs a
// line break even if the file had none at its end.
void IniDocument::OpenEnd() {
    if (finalNewline_) return;
    std::string_view* last = LastLine();
    // An entry's key and value stay views into the old text, which the
    // document keeps as long as it lives.
    if (last && !Eol().empty() && (last->empty() || last->back() != '\r')) *last = Keep(std::string(*last) + '\r');
    finalNewline_ = true;
}

// Lines of the section that may hold its entries: up to a broken header.
size_t IniDocument::LiveEnd(const Section& section) const {
    const auto it = std::find_if(section.lines.begin(), section.lines.end(),
                                 [](const Line& l) { return IsBrokenHeader(l.text); });
    return static_cast<size_t>(it - section.lines.begin());
}

// Where a new entry goes: after the section's content, before the blank
// lines that separate it from the next section.
size_t IniDocument::InsertPos(const Section& section) const {
    size_t pos = LiveEnd(section);
    while (pos > 0 && IsBlankLine(section.lines[pos - 1].text)) --pos;
    return pos;
}

IniDocument::Section& IniDocument::Append(std::string_view name) {
    const std::string eol(Eol());
    if (const std::string_view* last = LastLine(); last && !IsBlankLine(*last)) {
        OpenEnd();
        (sections_.empty() ? preamble_ : sections_.back().lines).push_back(Line{Keep(eol)});
    }
    OpenEnd();
    const std::string_view header = Keep("[" + std::string(name) + "]" + eol);
    sections_.push_back(Section{header.substr(1, name.size()), header, {}, {}});
    Reindex();
    return sections_.back();
}

void IniDocument::EnsureSection(std::string_view section) {
    CheckSectionName(section);
    if (!Find(section)) Append(section);
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    CheckSectionName(section);
    CheckKey(key);
    CheckValue(key, value);
    Section* s = Find(section);
    if (!s) throw IniError("there is no section '" + Show(section) + "' to hold '" + Show(key) + "'");
    const size_t liveEnd = LiveEnd(*s);
    for (size_t i = 0; i < liveEnd; ++i) {
        Line& line = s->lines[i];
        if (!line.entry || !SameText(line.key, key)) continue;
        if (line.key == key && line.value == value) return;  // keep the line's own spacing
        const bool crlf = !line.text.empty() && line.text.back() == '\r';
        line = EntryLine(key, value, crlf ? "\r" : "");
        return;
    }
    Line added = EntryLine(key, value, Eol());
    const size_t pos = InsertPos(*s);
    if (s == &sections_.back() && pos == s->lines.size()) OpenEnd();
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(pos), added);
}

void IniDocument::ReplaceSection(std::string_view section, const std::vector<Entry>& entries) {
    CheckSectionName(section);
    for (const auto& [key, value] : entries) {
        CheckKey(key);
        CheckValue(key, value);
    }
    const std::string eol(Eol());
    std::vector<Line> body;
    body.reserve(entries.size());
    for (const auto& [key, value] : entries) body.push_back(EntryLine(key, value, eol));

    Section* s = Find(section);
    if (!s) {
        Append(section).lines = std::move(body);
        return;
    }
    // The blank lines after the old body keep separating it from what follows.
    const size_t keepFrom = InsertPos(*s);
    if (s == &sections_.back() && keepFrom == s->lines.size()) OpenEnd();
    body.insert(body.end(), s->lines.begin() + static_cast<std::ptrdiff_t>(keepFrom), s->lines.end());
    s->lines = std::move(body);

    // A later section of the same name would still be seen by readers that
    // take the last one, so the replacement must be the only one left.
    const auto first = sections_.begin() + (s - sections_.data());
    const auto same = [&](const Section& x) { return SameText(x.name, section); };
    if (std::find_if(first + 1, sections_.end(), same) == sections_.end()) return;
    if (same(sections_.back())) finalNewline_ = true;
    sections_.erase(std::remove_if(first + 1, sections_.end(), same), sections_.end());
    Reindex();
}

bool IniDocument::RemoveSection(std::string_view section) {
    CheckSectionName(section);
    if (!Find(section)) return false;
    const auto same = [&](const Section& s) { return SameText(s.name, section); };
    // The line that becomes the last one had a line break of its own.
    if (same(sections_.back())) finalNewline_ = true;
    sections_.erase(std::remove_if(sections_.begin(), sections_.end(), same), sections_.end());
    Reindex();
    return true;
}

// ---- checks -------------------------------------------------------------------

namespace {

void CheckLength(const std::string& what, size_t bytes, size_t limit) {
    if (bytes > limit)
        throw IniError(what + " is " + std::to_string(bytes) + " bytes; unixODBC reads back at most " +
                       std::to_string(limit));
}

}  // namespace

void CheckSectionName(std::string_view name) {
    if (name.empty()) throw IniError("section name is empty");
    const std::string what = "section name '" + Show(name) + "'";
    CheckText(what, name);
    if (name.find_first_of("[]") != std::string_view::npos) throw IniError(what + " holds a bracket");
    CheckLength(what, name.size(), kMaxLineBytes - 2);  // within "[" and "]"
}

void CheckKey(std::string_view key) {
    if (key.empty()) throw IniError("key is empty");
    const std::string what = "key '" + Show(key) + "'";
    CheckText(what, key);
    if (key.find('=') != std::string_view::npos) throw IniError(what + " holds '='");
    if (key.front() == ';' || key.front() == '#') throw IniError(what + " begins like a comment");
    if (key.front() == '[') throw IniError(what + " begins like a section header");
    CheckLength(what, key.size(), kMaxLineBytes - kEntrySeparator.size());
}

void CheckValue(std::string_view key, std::string_view value) {
    const std::string what = "value of '" + Show(key) + "'";
    CheckText(what, value);
    CheckLength(what, value.size(), kMaxValueBytes);
    CheckLength("the line of '" + Show(key) + "'", key.size() + kEntrySeparator.size() + value.size(), kMaxLineBytes);
}

}  // namespace odbcini
