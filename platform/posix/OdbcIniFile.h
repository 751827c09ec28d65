#pragma once
// unixODBC's configuration files (odbc.ini, odbcinst.ini): where they are, what
// they hold, and how to change them without losing anything.
//
// unixODBC's own profile functions cache reads, write by truncating in place,
// take no lock and never fsync; concurrent writers then lose each other's
// sections and a killed writer leaves a torn file. Everything here parses the
// file afresh on each read and replaces it atomically under an exclusive lock.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace odbcini {

// A file that cannot be read, or a change that cannot be written faithfully.
class IniError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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
class IniDocument {
public:
    static IniDocument Parse(std::string_view text);
    std::string Serialize() const;

    const std::vector<Damage>& Damages() const { return damages_; }

    std::vector<std::string> SectionNames() const;  // in file order
    bool HasSection(std::string_view section) const;
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::vector<Entry> Entries(std::string_view section) const;  // empty when absent

    // Each of these throws IniError, leaving the document unchanged, when a
    // name or value could not be read back exactly as given (see CheckStorable).
    void EnsureSection(std::string_view section);
    void SetValue(std::string_view section, std::string_view key, std::string_view value);  // section must exist
    void ReplaceSection(std::string_view section, const std::vector<Entry>& entries);       // adds or replaces
    bool RemoveSection(std::string_view section);

private:
    struct Line {
        std::string text;  // as in the file, without its line break
        std::optional<Entry> entry;
    };
    struct Section {
        std::string name;
        std::string header;  // the header line as in the file
        std::vector<Line> lines;
    };

    Section* Find(std::string_view section);
    const Section* Find(std::string_view section) const;

    std::vector<Line> preamble_;  // lines before the first section
    std::vector<Section> sections_;
    std::vector<Damage> damages_;
    bool finalNewline_ = true;
};

// Throws IniError naming the problem when the text could not be stored as a
// section name, key or value and read back unchanged (line breaks, NUL, brackets
// in a section name, '=' in a key, surrounding blanks, ...).
void CheckSectionName(std::string_view name);
void CheckKey(std::string_view key);
void CheckValue(std::string_view key, std::string_view value);

// The three files, found by unixODBC's rules from the current environment:
// $ODBCSYSINI (else /etc) holds odbc.ini and $ODBCINSTINI (else odbcinst.ini;
// an absolute $ODBCINSTINI is taken as it is); the user file is $ODBCINI, else
// the password database's home directory + "/.odbc.ini".
struct OdbcFiles {
    std::string odbcinstIni;
    std::string systemOdbcIni;
    std::string userOdbcIni;
};
OdbcFiles LocateOdbcFiles();

// The parsed file, or nullopt when it does not exist. Throws IniError when it
// exists but cannot be read.
std::optional<IniDocument> ReadIniFile(const std::string& path);

// True when this process could replace the file (it exists, and it and its
// folder are writable; a symbolic link is judged by its target).
bool IsWritable(const std::string& path);

enum class IfMissing { Fail, Create };

// Locks the file, reads it afresh, applies `change`, and replaces the file
// atomically (temporary file in the same folder, fsync, rename, fsync of the
// folder). A new file gets mode 0600; a replaced one keeps its mode and owner;
// a symbolic link is written through to its target and stays a link.
// Throws IniError, leaving the file untouched, when the file is missing (with
// IfMissing::Fail), damaged or not writable; an exception from `change` passes
// unchanged, and the file is untouched then too.
void UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& change,
                   IfMissing ifMissing = IfMissing::Fail);

}  // namespace odbcini
