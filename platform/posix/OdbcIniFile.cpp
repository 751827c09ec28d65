#include "platform/posix/OdbcIniFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace odbcini {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view s) {
    const size_t begin = s.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos) return {};
    return s.substr(begin, s.find_last_not_of(kBlanks) - begin + 1);
}

// The line's text as the parser sees it: a CR before the line feed is part of
// the line break, not of the content.
std::string_view Content(std::string_view text) {
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsBlankLine(const std::string& text) { return Trim(Content(text)).empty(); }

// A header the parser rejected; what follows it up to the next good header
// belongs to no section, so it must not be read as part of the one above.
bool IsBrokenHeader(const std::string& text) {
    const std::string_view t = Trim(Content(text));
    return !t.empty() && t.front() == '[';
}

// Names go into error messages; keep those printable and of sane length.
std::string Show(std::string_view text) {
    constexpr size_t kMax = 60;
    std::string out;
    for (char c : text.substr(0, kMax)) {
        if (IsControl(c)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(c));
            out += buf;
        } else {
            out += c;
        }
    }
    if (text.size() > kMax) out += "...";
    return out;
}

std::string EntryText(std::string_view key, std::string_view value, std::string_view eol) {
    std::string text;
    text.reserve(key.size() + value.size() + 4);
    text.append(key).append(" = ").append(value).append(eol);
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
    if (s.find('\0') != std::string_view::npos)
        return {header ? ParsedLine::BrokenHeader : ParsedLine::Binary, {}, {}, {}, "line holds a NUL byte"};
    if (std::any_of(s.begin(), s.end(), [](char c) { return c != '\t' && IsControl(c); }))
        return {header ? ParsedLine::BrokenHeader : ParsedLine::Binary, {}, {}, {}, "line holds a control character"};
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

// Layout bookkeeping shared by the mutators. IniDocument's line and section
// types are private, so this works on them as template parameters.
template <class Line, class Section>
struct Layout {
    std::vector<Line>& preamble;
    std::vector<Section>& sections;
    bool& finalNewline;

    // New lines follow the file's own convention, taken from its first line.
    std::string_view Eol() const {
        const std::string* first = !preamble.empty()   ? &preamble.front().text
                                   : !sections.empty() ? &sections.front().header
                                                       : nullptr;
        return first && !first->empty() && first->back() == '\r' ? "\r" : "";
    }

    std::string* LastLine() {
        if (sections.empty()) return preamble.empty() ? nullptr : &preamble.back().text;
        Section& last = sections.back();
        return last.lines.empty() ? &last.header : &last.lines.back().text;
    }

    // Something is about to follow the current last line, which then needs a
    // line break even if the file had none at its end.
    void OpenEnd() {
        if (finalNewline) return;
        std::string* last = LastLine();
        if (last && !Eol().empty() && (last->empty() || last->back() != '\r')) *last += '\r';
        finalNewline = true;
    }

    // Lines of the section that may hold its entries: up to a broken header.
    size_t LiveEnd(const Section& section) const {
        const auto it = std::find_if(section.lines.begin(), section.lines.end(),
                                     [](const Line& l) { return IsBrokenHeader(l.text); });
        return static_cast<size_t>(it - section.lines.begin());
    }

    // Where a new entry goes: after the section's content, before the blank
    // lines that separate it from the next section.
    size_t InsertPos(const Section& section) const {
        size_t pos = LiveEnd(section);
        while (pos > 0 && IsBlankLine(section.lines[pos - 1].text)) --pos;
        return pos;
    }

    bool IsLast(const Section& section) const { return &section == &sections.back(); }

    Section& Append(std::string_view name) {
        const std::string eol(Eol());
        if (const std::string* last = LastLine(); last && !IsBlankLine(*last)) {
            OpenEnd();
            (sections.empty() ? preamble : sections.back().lines).push_back(Line{eol, std::nullopt});
        }
        OpenEnd();
        std::string header;
        header.append("[").append(name).append("]").append(eol);
        sections.push_back(Section{std::string(name), std::move(header), {}});
        return sections.back();
    }
};

template <class Line, class Section>
Layout<Line, Section> MakeLayout(std::vector<Line>& preamble, std::vector<Section>& sections, bool& finalNewline) {
    return {preamble, sections, finalNewline};
}

void CheckText(const std::string& what, std::string_view text) {
    if (text.find_first_of("\r\n") != std::string_view::npos) throw IniError(what + " holds a line break");
    if (text.find('\0') != std::string_view::npos) throw IniError(what + " holds a NUL byte");
    if (std::any_of(text.begin(), text.end(), [](char c) { return c != '\t' && IsControl(c); }))
        throw IniError(what + " holds a control character");
    if (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back())))
        throw IniError(what + " begins or ends with a blank");
}

// ---- files ----------------------------------------------------------------

std::string ErrnoText(int error) { return std::error_code(error, std::generic_category()).message(); }
std::string Quote(const std::string& path) { return "'" + path + "'"; }

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Reset(); }
    int Get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

std::string DirName(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Join(const std::string& dir, std::string_view name) {
    if (dir == ".") return std::string(name);
    std::string path = dir;
    if (path.back() != '/') path += '/';
    return path.append(name);
}

// The file a path finally names. Only the last component's links matter: the
// lock and the temporary file must sit next to the real file so that rename()
// replaces it instead of the link.
std::string ResolveTarget(const std::string& path) {
    constexpr int kMaxHops = 40;
    std::string current = path;
    for (int hop = 0;; ++hop) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0) {
            const int error = errno;
            if (error == ENOENT) return current;
            throw IniError("cannot examine " + Quote(current) + ": " + ErrnoText(error));
        }
        if (!S_ISLNK(st.st_mode)) return current;
        if (hop == kMaxHops) throw IniError("cannot resolve " + Quote(path) + ": too many levels of symbolic links");
        std::string target(static_cast<size_t>(st.st_size) + 1, '\0');
        for (;;) {
            const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
            if (n < 0) {
                const int error = errno;
                throw IniError("cannot read the link " + Quote(current) + ": " + ErrnoText(error));
            }
            if (static_cast<size_t>(n) < target.size()) {
                target.resize(static_cast<size_t>(n));
                break;
            }
            target.resize(target.size() * 2);  // the link changed under us
        }
        current = !target.empty() && target.front() == '/' ? target : Join(DirName(current), target);
    }
}

std::string ReadAll(int fd, const std::string& path) {
    std::string text;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) return text;
        if (n < 0) {
            const int error = errno;
            if (error == EINTR) continue;
            throw IniError("cannot read " + Quote(path) + ": " + ErrnoText(error));
        }
        text.append(buf, static_cast<size_t>(n));
    }
}

// Opened, or nullopt when missing; the caller may fstat the descriptor.
std::optional<std::string> ReadIfPresent(const std::string& path, struct stat* st) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        const int error = errno;
        if (error == ENOENT) return std::nullopt;
        throw IniError("cannot open " + Quote(path) + ": " + ErrnoText(error));
    }
    if (st && ::fstat(fd.Get(), st) != 0) {
        const int error = errno;
        throw IniError("cannot examine " + Quote(path) + ": " + ErrnoText(error));
    }
    return ReadAll(fd.Get(), path);
}

// The new copy of the file until rename() makes it the file; removed unless
// Commit() is reached.
class TempFile {
public:
    explicit TempFile(const std::string& target) : path_(target + ".tmp-XXXXXX") {
        fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
        if (fd_ < 0) {
            const int error = errno;
            path_.clear();
            throw IniError("cannot create a temporary file in " + Quote(DirName(target)) + ": " + ErrnoText(error));
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    int Handle() const { return fd_; }
    const std::string& Path() const { return path_; }
    int Close() { return ::close(std::exchange(fd_, -1)); }
    void Commit() { path_.clear(); }

private:
    std::string path_;
    int fd_;
};

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::system_error(errno, std::generic_category());
        }
        text.remove_prefix(static_cast<size_t>(n));
    }
}

std::string HomeDirectory() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd pw;
    struct passwd* found = nullptr;
    int rc;
    while ((rc = ::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found)) == ERANGE && buf.size() < (1u << 20))
        buf.resize(buf.size() * 2);
    if (rc != 0 || !found || !found->pw_dir) return {};
    return found->pw_dir;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

// ---- document ---------------------------------------------------------------

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument doc;
    bool orphaned = false;  // after a broken header, until the next good one
    int number = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t newline = text.find('\n', pos);
        const std::string_view raw = text.substr(pos, newline == std::string_view::npos ? text.npos : newline - pos);
        if (newline == std::string_view::npos) {
            doc.finalNewline_ = false;
            pos = text.size();
        } else {
            pos = newline + 1;
        }
        ++number;
        const ParsedLine parsed = ParseLine(number == 1 && raw.starts_with(kBom) ? raw.substr(kBom.size()) : raw);
        if (parsed.kind == ParsedLine::Header) {
            doc.sections_.push_back(Section{std::string(parsed.name), std::string(raw), {}});
            orphaned = false;
            continue;
        }
        Line line{std::string(raw), std::nullopt};
        const bool inSection = !doc.sections_.empty();
        const char* damage = parsed.damage;
        if (parsed.kind == ParsedLine::BrokenHeader) orphaned = true;
        if (!inSection && (parsed.kind == ParsedLine::Entry || parsed.kind == ParsedLine::NoEquals))
            damage = "text before the first section";
        else if (parsed.kind == ParsedLine::Entry && !orphaned)
            line.entry.emplace(std::string(parsed.key), std::string(parsed.value));
        if (damage) doc.damages_.push_back(Damage{number, damage});
        (inSection ? doc.sections_.back().lines : doc.preamble_).push_back(std::move(line));
    }
    return doc;
}

std::string IniDocument::Serialize() const {
    std::string out;
    bool any = false;
    const auto put = [&](const std::string& text) {
        if (any) out += '\n';
        out += text;
        any = true;
    };
    for (const Line& line : preamble_) put(line.text);
    for (const Section& section : sections_) {
        put(section.header);
        for (const Line& line : section.lines) put(line.text);
    }
    if (any && finalNewline_) out += '\n';
    return out;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const Section& section : sections_) names.push_back(section.name);
    return names;
}

bool IniDocument::HasSection(std::string_view section) const { return Find(section) != nullptr; }

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const {
    if (const Section* s = Find(section))
        for (const Line& line : s->lines)
            if (line.entry && SameName(line.entry->first, key)) return line.entry->second;
    return std::nullopt;
}

std::vector<Entry> IniDocument::Entries(std::string_view section) const {
    std::vector<Entry> entries;
    if (const Section* s = Find(section))
        for (const Line& line : s->lines)
            if (line.entry) entries.push_back(*line.entry);
    return entries;
}

IniDocument::Section* IniDocument::Find(std::string_view section) {
    return const_cast<Section*>(std::as_const(*this).Find(section));
}

const IniDocument::Section* IniDocument::Find(std::string_view section) const {
    const auto it = std::find_if(sections_.begin(), sections_.end(),
                                 [&](const Section& s) { return SameName(s.name, section); });
    return it == sections_.end() ? nullptr : &*it;
}

void IniDocument::EnsureSection(std::string_view section) {
    CheckSectionName(section);
    if (!Find(section)) MakeLayout(preamble_, sections_, finalNewline_).Append(section);
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    CheckSectionName(section);
    CheckKey(key);
    CheckValue(key, value);
    Section* s = Find(section);
    if (!s) throw IniError("there is no section '" + Show(section) + "' to hold '" + Show(key) + "'");
    auto layout = MakeLayout(preamble_, sections_, finalNewline_);
    const size_t liveEnd = layout.LiveEnd(*s);
    for (size_t i = 0; i < liveEnd; ++i) {
        Line& line = s->lines[i];
        if (!line.entry || !SameName(line.entry->first, key)) continue;
        if (line.entry->first == key && line.entry->second == value) return;  // keep the line's own spacing
        const bool crlf = !line.text.empty() && line.text.back() == '\r';
        line.text = EntryText(key, value, crlf ? "\r" : "");
        line.entry.emplace(std::string(key), std::string(value));
        return;
    }
    Line added{EntryText(key, value, layout.Eol()), Entry{std::string(key), std::string(value)}};
    const size_t pos = layout.InsertPos(*s);
    if (layout.IsLast(*s) && pos == s->lines.size()) layout.OpenEnd();
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(pos), std::move(added));
}

void IniDocument::ReplaceSection(std::string_view section, const std::vector<Entry>& entries) {
    CheckSectionName(section);
    for (const auto& [key, value] : entries) {
        CheckKey(key);
        CheckValue(key, value);
    }
    auto layout = MakeLayout(preamble_, sections_, finalNewline_);
    const std::string_view eol = layout.Eol();
    std::vector<Line> body;
    body.reserve(entries.size());
    for (const auto& [key, value] : entries) body.push_back(Line{EntryText(key, value, eol), Entry{key, value}});

    Section* s = Find(section);
    if (!s) {
        layout.Append(section).lines = std::move(body);
        return;
    }
    // The blank lines after the old body keep separating it from what follows.
    const size_t keepFrom = layout.InsertPos(*s);
    if (layout.IsLast(*s) && keepFrom == s->lines.size()) layout.OpenEnd();
    body.insert(body.end(), std::make_move_iterator(s->lines.begin() + static_cast<std::ptrdiff_t>(keepFrom)),
                std::make_move_iterator(s->lines.end()));
    s->lines = std::move(body);

    // A later section of the same name would still be seen by readers that
    // take the last one, so the replacement must be the only one left.
    const auto first = sections_.begin() + (s - sections_.data());
    const auto dup = std::find_if(first + 1, sections_.end(), [&](const Section& x) { return SameName(x.name, section); });
    if (dup == sections_.end()) return;
    if (SameName(sections_.back().name, section)) finalNewline_ = true;
    sections_.erase(std::remove_if(first + 1, sections_.end(), [&](const Section& x) { return SameName(x.name, section); }),
                    sections_.end());
}

bool IniDocument::RemoveSection(std::string_view section) {
    CheckSectionName(section);
    const auto matches = [&](const Section& s) { return SameName(s.name, section); };
    if (!Find(section)) return false;
    // The line that becomes the last one had a line break of its own.
    if (matches(sections_.back())) finalNewline_ = true;
    sections_.erase(std::remove_if(sections_.begin(), sections_.end(), matches), sections_.end());
    return true;
}

// ---- checks -------------------------------------------------------------------

void CheckSectionName(std::string_view name) {
    if (name.empty()) throw IniError("section name is empty");
    const std::string what = "section name '" + Show(name) + "'";
    CheckText(what, name);
    if (name.find_first_of("[]") != std::string_view::npos) throw IniError(what + " holds a bracket");
}

void CheckKey(std::string_view key) {
    if (key.empty()) throw IniError("key is empty");
    const std::string what = "key '" + Show(key) + "'";
    CheckText(what, key);
    if (key.find('=') != std::string_view::npos) throw IniError(what + " holds '='");
    if (key.front() == ';' || key.front() == '#') throw IniError(what + " begins like a comment");
    if (key.front() == '[') throw IniError(what + " begins like a section header");
}

void CheckValue(std::string_view key, std::string_view value) {
    CheckText("value of '" + Show(key) + "'", value);
}

// ---- files ----------------------------------------------------------------------

OdbcFiles LocateOdbcFiles() {
    std::string sysDir = Env("ODBCSYSINI");
    if (sysDir.empty()) sysDir = "/etc";
    OdbcFiles files;
    const std::string inst = Env("ODBCINSTINI");
    files.odbcinstIni = inst.empty() ? Join(sysDir, "odbcinst.ini") : inst.front() == '/' ? inst : Join(sysDir, inst);
    files.systemOdbcIni = Join(sysDir, "odbc.ini");
    files.userOdbcIni = Env("ODBCINI");
    if (files.userOdbcIni.empty()) {
        // Without a home directory there is no user file; an empty name makes
        // reads find nothing and updates fail.
        const std::string home = HomeDirectory();
        if (!home.empty()) files.userOdbcIni = Join(home, ".odbc.ini");
    }
    return files;
}

std::optional<IniDocument> ReadIniFile(const std::string& path) {
    std::optional<std::string> text = ReadIfPresent(path, nullptr);
    if (!text) return std::nullopt;
    return IniDocument::Parse(*text);
}

bool IsWritable(const std::string& path) {
    if (path.empty()) return false;
    std::string target;
    try {
        target = ResolveTarget(path);
    } catch (const IniError&) {
        return false;
    }
    struct stat st;
    return ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(target.c_str(), W_OK) == 0 &&
           ::access(DirName(target).c_str(), W_OK) == 0;
}

void UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& change, IfMissing ifMissing) {
    if (path.empty()) throw IniError("cannot update an ini file without a name");
    const std::string target = ResolveTarget(path);
    const std::string name = target == path ? Quote(path) : Quote(path) + " (a link to " + Quote(target) + ")";
    const auto failure = [&](const std::string& why) { return IniError("cannot update " + name + ": " + why); };

    // Checked before the lock so that a refused update leaves no lock file.
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) {
        const int error = errno;
        if (error != ENOENT) throw failure(ErrnoText(error));
        if (ifMissing == IfMissing::Fail) throw IniError(name + " does not exist");
    }

    const std::string lockPath = target + ".lock";
    Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (lock.Get() < 0) {
        const int error = errno;
        throw failure("cannot open the lock file " + Quote(lockPath) + ": " + ErrnoText(error));
    }
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        const int error = errno;
        if (error != EINTR) throw failure("cannot lock " + Quote(lockPath) + ": " + ErrnoText(error));
    }

    // Another writer may have replaced the file while we waited.
    const std::optional<std::string> old = ReadIfPresent(target, &st);
    if (!old && ifMissing == IfMissing::Fail) throw IniError(name + " does not exist");
    if (old && !S_ISREG(st.st_mode)) throw failure("it is not a regular file");
    if (old && ::access(target.c_str(), W_OK) != 0) {
        const int error = errno;
        throw failure("the file is not writable: " + ErrnoText(error));
    }

    IniDocument doc = IniDocument::Parse(old.value_or(""));
    if (!doc.Damages().empty()) {
        const Damage& d = doc.Damages().front();
        throw failure("line " + std::to_string(d.line) + ": " + d.reason + " (rewriting the file would lose it)");
    }
    change(doc);
    const std::string text = doc.Serialize();
    if (old && text == *old) return;

    TempFile temp(target);
    try {
        struct stat tempSt;
        if (::fstat(temp.Handle(), &tempSt) != 0) throw std::system_error(errno, std::generic_category());
        if (old && (tempSt.st_uid != st.st_uid || tempSt.st_gid != st.st_gid) &&
            ::fchown(temp.Handle(), st.st_uid, st.st_gid) != 0) {
            // Not being root we cannot give a file away; the owner writing
            // it is then left without the group it cannot join.
            if (errno != EPERM || ::geteuid() == 0 || st.st_uid != ::geteuid())
                throw std::system_error(errno, std::generic_category(), "cannot keep the file's owner");
        }
        // Set explicitly: mkostemp's 0600 is subject to the umask.
        if (::fchmod(temp.Handle(), old ? st.st_mode & 07777 : 0600) != 0)
            throw std::system_error(errno, std::generic_category(), "cannot set the file's mode");
        WriteAll(temp.Handle(), text);
        if (::fsync(temp.Handle()) != 0 || temp.Close() != 0) throw std::system_error(errno, std::generic_category());
    } catch (const std::system_error& e) {
        throw failure("writing " + Quote(temp.Path()) + ": " + e.what());
    }
    if (::rename(temp.Path().c_str(), target.c_str()) != 0) {
        const int error = errno;
        throw failure("cannot rename " + Quote(temp.Path()) + ": " + ErrnoText(error));
    }
    temp.Commit();

    // The rename is done and visible; making it durable is best effort, as
    // reporting a failure now would claim the file was left untouched.
    if (Fd dir(::open(DirName(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir.Get() >= 0) ::fsync(dir.Get());
}

}  // namespace odbcini
