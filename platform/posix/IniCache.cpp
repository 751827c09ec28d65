// The read cache of the configuration files: a file is parsed again only
// when it may have changed.

#include "platform/posix/OdbcIniFile.h"

#include <sys/stat.h>
#ifdef __linux__
#include <sys/statfs.h>
#endif
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>

namespace odbcini {
namespace {

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

}  // namespace

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
        text = posixfiles::ReadIfPresent(path, st, kMaxFileBytes);
    } catch (const IniError&) {
        forget();
        throw;
    }
    if (!text) {
        forget();
        return nullptr;
    }
    ParsedFile& entry = known != parsed.end() ? known->second : parsed[path];
    if (!entry.document || entry.document->Source() != *text)
        entry.document = std::make_shared<const IniDocument>(IniDocument::Parse(std::move(*text)));
    entry.stamp = FileStamp::Of(st);
    entry.settled = Settled(st, readAt, path.c_str());
    return entry.document;
}

}  // namespace odbcini
