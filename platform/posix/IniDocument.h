#pragma once
// The text of unixODBC's configuration files (odbc.ini, odbcinst.ini): what
// a file holds, how a change rewrites it, and what unixODBC reads back whole.

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <platform/posix/Files.h>

namespace odbcini {

// A file that cannot be read, or a change that cannot be written faithfully:
// one error for the text and the file beneath it.
using IniError = posixfiles::FileError;

// A line the parser could not make sense of. Reads skip it; writes refuse,
// since rewriting the file would drop it.
struct Damage {
    int line;            // 1-based
    std::string reason;  // e.g. "unterminated section header"
};

using Entry = std::pair<std::string, std::string>;  // key, value

// The parsed file. Lines that a change does not touch are written back byte
// for byte (comments, spacing, the order of everything). Section names and
// keys compare without regard to ASCII case, as unixODBC compares them.
// Comment lines standing right before a section header describe that section:
// they go when it is removed and stay when the section above goes.
//
// The lines are views into one copy of the text, so parsing allocates little;
// a document is therefore moved, never copied.
class IniDocument {
public:
    IniDocument();
    IniDocument(IniDocument&&) noexcept;
    IniDocument& operator=(IniDocument&&) noexcept;
    ~IniDocument();

    static IniDocument Parse(std::string text);
    std::string Serialize() const;
    std::string_view Source() const { return source_ ? std::string_view(*source_) : std::string_view(); }

    const std::vector<Damage>& Damages() const { return damages_; }

    std::vector<std::string> SectionNames() const;  // in file order
    bool HasSection(std::string_view section) const;
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::vector<Entry> Entries(std::string_view section) const;  // empty when absent

    // Each of these throws IniError, leaving the document unchanged, when a
    // name or value could not be read back exactly as given (see CheckValue).
    void EnsureSection(std::string_view section);
    void SetValue(std::string_view section, std::string_view key, std::string_view value);  // section must exist
    void ReplaceSection(std::string_view section, const std::vector<Entry>& entries);       // adds or replaces
    bool RemoveSection(std::string_view section);

private:
    struct Line {
        std::string_view text;  // as in the file, without its line break
        std::string_view key = {}, value = {};
        bool entry = false;
    };
    struct Section {
        std::string_view name;
        std::string_view header;     // the header line as in the file
        std::vector<Line> comments;  // right before the header
        std::vector<Line> lines;
    };
    Section* Find(std::string_view section);
    const Section* Find(std::string_view section) const;
    void Reindex();
    std::string_view Keep(std::string text);
    Line EntryLine(std::string_view key, std::string_view value, std::string_view eol);

    // Layout of new lines.
    std::string_view Eol() const;
    std::string_view* LastLine();
    void OpenEnd();
    size_t LiveEnd(const Section& section) const;
    size_t InsertPos(const Section& section) const;
    Section& Append(std::string_view name);

    std::unique_ptr<std::string> source_;  // the text parsed
    std::deque<std::string> made_;         // text of the lines that changes made
    std::vector<Line> preamble_;           // lines before the first section
    std::vector<Section> sections_;
    std::vector<size_t> index_;  // positions in sections_ ordered by name, ties in file order
    std::vector<Damage> damages_;
    bool finalNewline_ = true;
};

// What unixODBC 2.3.11 reads back whole, found by writing lines of growing
// length and reading them back through SQLGetPrivateProfileString (with a
// 1 MiB buffer), through the driver manager (the library path isql tries to
// load for Driver) and through odbcinst -q:
//  - every reader takes a line in pieces of at most 999 bytes (the line break
//    not counted) and reads the rest as a line of its own, so the tail of a
//    longer line can become a section header or a pair of its own;
//  - odbcinst -q shows at most 499 bytes of a value of odbc.ini and 498 of
//    one of odbcinst.ini; the other readers give back the whole line.
// Keys and section names have no limit of their own below the line's.
inline constexpr size_t kMaxLineBytes = 999;
inline constexpr size_t kMaxValueBytes = 498;

// Throws IniError naming the problem when the text could not be stored as a
// section name, key or value and read back unchanged (line breaks, NUL, brackets
// in a section name, '=' in a key, surrounding blanks, more than the limits
// above; CheckValue judges the whole line "key = value").
void CheckSectionName(std::string_view name);
void CheckKey(std::string_view key);
void CheckValue(std::string_view key, std::string_view value);

}  // namespace odbcini
