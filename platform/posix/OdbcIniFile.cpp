#include "platform/posix/OdbcIniFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/statfs.h>
#endif
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <map>
#include <mutex>
#include <system_error>

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

// Read straight into the text, sized by the file's size: a large file is
// then neither copied nor grown piece by piece.
std::string ReadAll(int fd, const std::string& path, size_t sizeHint) {
    std::string text(std::max<size_t>(sizeHint + 1, 4096), '\0');
    size_t used = 0;
    for (;;) {
        if (used == text.size()) text.resize(text.size() * 2);
        const ssize_t n = ::read(fd, text.data() + used, text.size() - used);
        if (n == 0) break;
        if (n < 0) {
            const int error = errno;
            if (error == EINTR) continue;
            throw IniError("cannot read " + Quote(path) + ": " + ErrnoText(error));
        }
        used += static_cast<size_t>(n);
    }
    text.resize(used);
    return text;
}

// Opened, or nullopt when missing; `st` describes what was read.
std::optional<std::string> ReadIfPresent(const std::string& path, struct stat* st) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        const int error = errno;
        if (error == ENOENT) return std::nullopt;
        throw IniError("cannot open " + Quote(path) + ": " + ErrnoText(error));
    }
    if (::fstat(fd.Get(), st) != 0) {
        const int error = errno;
        throw IniError("cannot examine " + Quote(path) + ": " + ErrnoText(error));
    }
    return ReadAll(fd.Get(), path, S_ISREG(st->st_mode) ? static_cast<size_t>(st->st_size) : 0);
}

constexpr std::string_view kTempSuffix = ".tmp-";
constexpr size_t kTempRandom = 6;  // mkostemp's XXXXXX

bool IsTempNameOf(std::string_view name, std::string_view base) {
    if (name.size() != base.size() + kTempSuffix.size() + kTempRandom || !name.starts_with(base) ||
        name.substr(base.size(), kTempSuffix.size()) != kTempSuffix)
        return false;
    const std::string_view random = name.substr(name.size() - kTempRandom);
    return std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

// Copies of the file that killed writers left behind; each may hold every
// password of the file. A copy is made only under the lock, so none is in use
// while the caller holds it. Only plain files of ours or of the file's owner
// go: anything else under such a name is not one of them.
void RemoveLeftovers(const std::string& target, std::optional<uid_t> fileOwner) {
    const std::string_view base = std::string_view(target).substr(target.rfind('/') + 1);  // npos + 1 is 0
    DIR* dir = ::opendir(DirName(target).c_str());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        if (!IsTempNameOf(e->d_name, base)) continue;
        struct stat st;
        if (::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            (st.st_uid == ::geteuid() || st.st_uid == fileOwner))
            ::unlinkat(dirFd, e->d_name, 0);
    }
    ::closedir(dir);
}

// The new copy of the file until rename() makes it the file; removed unless
// Commit() is reached.
class TempFile {
public:
    explicit TempFile(const std::string& target)
        : path_(target + std::string(kTempSuffix) + std::string(kTempRandom, 'X')) {
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

// What identifies one state of a file without reading it.
struct FileStamp {
    dev_t device;
    ino_t inode;
    off_t size;
    long mtimeSec, mtimeNsec, ctimeSec, ctimeNsec;

    static FileStamp Of(const struct stat& st) {
        return {st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ctim.tv_sec,
                st.st_ctim.tv_nsec};
    }
    bool operator==(const FileStamp&) const = default;
};

struct ParsedFile {
    FileStamp stamp;
    bool settled;  // the stamp alone tells whether the file changed since
    std::shared_ptr<const IniDocument> document;
};

timespec Now() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

// How far behind this clock a change time may be stamped, or nullopt where
// that is not known (a network or foreign file system may stamp with another
// machine's clock or in whole seconds).
std::optional<long> TimestampLagNs(const char* path) {
#ifdef __linux__
    constexpr unsigned long kNanosecondFileSystems[] = {
        0xEF53,      // ext2, ext3, ext4
        0x01021994,  // tmpfs
        0x58465342,  // xfs
        0x9123683E,  // btrfs
        0x794C7630,  // overlayfs
        0xF2F52010,  // f2fs
    };
    struct statfs fs;
    if (::statfs(path, &fs) != 0 ||
        std::find(std::begin(kNanosecondFileSystems), std::end(kNanosecondFileSystems),
                  static_cast<unsigned long>(fs.f_type)) == std::end(kNanosecondFileSystems))
        return std::nullopt;
    // Such file systems stamp with the kernel's coarse clock, at most one of
    // its ticks behind; two ticks leave room.
    timespec tick{};
    if (::clock_getres(CLOCK_REALTIME_COARSE, &tick) != 0) return std::nullopt;
    return 2 * (tick.tv_sec * 1'000'000'000L + tick.tv_nsec);
#else
    (void)path;
    return std::nullopt;
#endif
}

// A write after `readAt` gets a change time of `readAt` less the lag or later;
// if the file's change time is older than that, the next write cannot give it
// the same stamp. A younger one could, so such a read is checked by its text.
bool Settled(const struct stat& st, timespec readAt, const char* path) {
    const std::optional<long> lag = TimestampLagNs(path);
    if (!lag) return false;
    const auto ns = [](long sec, long nsec) { return static_cast<int64_t>(sec) * 1'000'000'000 + nsec; };
    return ns(st.st_ctim.tv_sec, st.st_ctim.tv_nsec) < ns(readAt.tv_sec, readAt.tv_nsec) - *lag;
}

std::string ReadHomeDirectory(uid_t uid) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd pw;
    struct passwd* found = nullptr;
    int rc;
    while ((rc = ::getpwuid_r(uid, &pw, buf.data(), buf.size(), &found)) == ERANGE && buf.size() < (1u << 20))
        buf.resize(buf.size() * 2);
    if (rc != 0 || !found || !found->pw_dir) return {};
    return found->pw_dir;
}

// Looked up once per user: the files are located for every key opened, and a
// look-up in the password database costs as much as reading a large file.
std::string HomeDirectory() {
    static std::mutex mutex;
    static std::map<uid_t, std::string> homes;
    const std::lock_guard guard(mutex);
    const uid_t uid = ::getuid();
    const auto known = homes.find(uid);
    return known != homes.end() ? known->second : homes.emplace(uid, ReadHomeDirectory(uid)).first->second;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

// ---- document ---------------------------------------------------------------

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

std::shared_ptr<const IniDocument> ReadIniFile(const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, ParsedFile, std::less<>> parsed;
    const std::lock_guard guard(mutex);
    const auto known = parsed.find(path);
    struct stat st;
    if (known != parsed.end() && known->second.settled && ::stat(path.c_str(), &st) == 0 &&
        known->second.stamp == FileStamp::Of(st))
        return known->second.document;

    const auto forget = [&] {
        if (known != parsed.end()) parsed.erase(known);
    };
    const timespec readAt = Now();
    std::optional<std::string> text;
    try {
        text = ReadIfPresent(path, &st);
    } catch (const IniError&) {
        forget();
        throw;
    }
    if (!text) {
        forget();
        return nullptr;
    }
    ParsedFile& entry = known != parsed.end() ? known->second : parsed[path];
    if (!entry.document || *entry.document->source_ != *text)
        entry.document = std::make_shared<const IniDocument>(IniDocument::Parse(std::move(*text)));
    entry.stamp = FileStamp::Of(st);
    entry.settled = Settled(st, readAt, path.c_str());
    return entry.document;
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
    std::optional<std::string> old = ReadIfPresent(target, &st);
    RemoveLeftovers(target, old ? std::optional<uid_t>(st.st_uid) : std::nullopt);
    if (!old && ifMissing == IfMissing::Fail) throw IniError(name + " does not exist");
    if (old && !S_ISREG(st.st_mode)) throw failure("it is not a regular file");
    if (old && ::access(target.c_str(), W_OK) != 0) {
        const int error = errno;
        throw failure("the file is not writable: " + ErrnoText(error));
    }

    const bool existed = old.has_value();
    IniDocument doc = IniDocument::Parse(std::move(old).value_or(std::string()));
    if (!doc.Damages().empty()) {
        const Damage& d = doc.Damages().front();
        throw failure("line " + std::to_string(d.line) + ": " + d.reason + " (rewriting the file would lose it)");
    }
    change(doc);
    const std::string text = doc.Serialize();
    if (existed && text == *doc.source_) return;

    TempFile temp(target);
    try {
        struct stat tempSt;
        if (::fstat(temp.Handle(), &tempSt) != 0) throw std::system_error(errno, std::generic_category());
        if (existed && (tempSt.st_uid != st.st_uid || tempSt.st_gid != st.st_gid) &&
            ::fchown(temp.Handle(), st.st_uid, st.st_gid) != 0) {
            // Not being root we cannot give a file away; the owner writing
            // it is then left without the group it cannot join.
            if (errno != EPERM || ::geteuid() == 0 || st.st_uid != ::geteuid())
                throw std::system_error(errno, std::generic_category(), "cannot keep the file's owner");
        }
        // Set explicitly: mkostemp's 0600 is subject to the umask.
        if (::fchmod(temp.Handle(), existed ? st.st_mode & 07777 : 0600) != 0)
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
