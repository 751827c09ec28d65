// The locked, atomic update of a configuration file.

#include "platform/posix/OdbcIniFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include <platform/host/rtl/BasicText.h>

namespace odbcini {

namespace {

std::string Quote(const std::string& path) { return "'" + path + "'"; }

// The answer the registry and the tool get too, so that what they were told
// may change is what an update changes.
void RequireChangeable(const std::string& target, const std::string& name, IfMissing ifMissing) {
    struct stat st;
    if (ifMissing == IfMissing::Fail && ::stat(target.c_str(), &st) != 0 && errno == ENOENT)
        throw IniError(name + " does not exist");
    if (auto problem = posixfiles::ChangeProblem(target, ifMissing))
        throw IniError(host::CannotText("update", name, *problem));
}

}  // namespace

void UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& change, IfMissing ifMissing) {
    if (path.empty()) throw IniError("cannot update an ini file without a name");
    const std::string target = posixfiles::ResolveTarget(path);
    const std::string name = target == path ? Quote(path) : Quote(path) + " (a link to " + Quote(target) + ")";
    const auto failure = [&](const std::string& why) { return IniError(host::CannotText("update", name, why)); };
    const auto updating = [&](const auto& step) {
        try {
            return step();
        } catch (const IniError& error) {
            throw failure(error.what());
        }
    };

    // Checked before the lock so that a refused update leaves no lock file.
    RequireChangeable(target, name, ifMissing);
    const posixfiles::Descriptor lock = updating([&] { return posixfiles::HoldLockFile(target + kRewriteLockSuffix); });

    // Another writer may have replaced the file while we waited.
    struct stat st;
    std::optional<std::string> old = posixfiles::ReadIfPresent(target, st, kMaxFileBytes);
    posixfiles::RemoveLeftovers(target, old ? std::optional<uid_t>(st.st_uid) : std::nullopt);
    RequireChangeable(target, name, ifMissing);

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
