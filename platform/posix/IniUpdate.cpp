// The locked, atomic update of a configuration file.

#include "platform/posix/OdbcIniFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>

#include <platform/host/rtl/BasicText.h>

namespace odbcini {

namespace {

std::string Quote(const std::string& path) { return "'" + path + "'"; }

}  // namespace

bool IsWritable(const std::string& path) {
    if (path.empty()) return false;
    std::string target;
    try {
        target = posixfiles::ResolveTarget(path);
    } catch (const IniError&) {
        return false;
    }
    struct stat st;
    return ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(target.c_str(), W_OK) == 0 &&
           ::access(posixfiles::FolderOf(target).c_str(), W_OK) == 0;
}

void UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& change, IfMissing ifMissing) {
    if (path.empty()) throw IniError("cannot update an ini file without a name");
    const std::string target = posixfiles::ResolveTarget(path);
    const std::string name = target == path ? Quote(path) : Quote(path) + " (a link to " + Quote(target) + ")";
    const auto failure = [&](const std::string& why) { return IniError("cannot update " + name + ": " + why); };
    const auto updating = [&](const auto& step) {
        try {
            return step();
        } catch (const IniError& error) {
            throw failure(error.what());
        }
    };

    // Checked before the lock so that a refused update leaves no lock file.
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) throw IniError(host::CannotText("update", name, errno));
        if (ifMissing == IfMissing::Fail) throw IniError(name + " does not exist");
    }
    const posixfiles::Descriptor lock = updating([&] { return posixfiles::HoldLockFile(target + ".lock"); });

    // Another writer may have replaced the file while we waited.
    std::optional<std::string> old = posixfiles::ReadIfPresent(target, st);
    posixfiles::RemoveLeftovers(target, old ? std::optional<uid_t>(st.st_uid) : std::nullopt);
    if (!old && ifMissing == IfMissing::Fail) throw IniError(name + " does not exist");
    if (old && !S_ISREG(st.st_mode)) throw failure("it is not a regular file");
    if (old && ::access(target.c_str(), W_OK) != 0)
        throw failure("the file is not writable: " + std::generic_category().message(errno));

    const bool existed = old.has_value();
    IniDocument doc = IniDocument::Parse(std::move(old).value_or(std::string()));
    if (!doc.Damages().empty()) {
        const Damage& d = doc.Damages().front();
        throw failure("line " + std::to_string(d.line) + ": " + d.reason + " (rewriting the file would lose it)");
    }
    change(doc);
    const std::string text = doc.Serialize();
    if (existed && text == doc.Source()) return;
    updating([&] { posixfiles::ReplaceWhole(target, existed ? &st : nullptr, text); });
}

}  // namespace odbcini
