// Driver registration on POSIX: sections of unixODBC's odbcinst.ini, and the
// private configuration selected through unixODBC's environment variables.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/DriverRegistration.h>
#include <platform/odbc/ToolAccess.h>
#include <platform/posix/OdbcIniFile.h>

namespace odbcsetup {

namespace {

namespace fs = std::filesystem;

template <typename Action>
auto Registering(Action&& action) {
    try {
        return action();
    } catch (const odbcini::IniError& error) {
        throw RegistrationError(error.what());
    }
}

// Why another user could have changed or planted what `st` describes.
std::optional<std::string> OthersProblem(const struct stat& st) {
    if (st.st_uid != ::geteuid())
        return "belongs to user " + std::to_string(st.st_uid) + ", not to this user (" + std::to_string(::geteuid()) +
               ")";
    if (!S_ISLNK(st.st_mode) && (st.st_mode & (S_IWGRP | S_IWOTH))) return "is writable by its group or by others";
    return std::nullopt;
}

enum class Kind { Folder, File };

// Why a configuration entry is not what unixODBC may be given: a pipe or a
// device would hang or flood every reader, unixODBC's own among them.
std::optional<std::string> KindProblem(const struct stat& st, Kind kind) {
    if (kind == Kind::Folder && !S_ISDIR(st.st_mode)) return "is not a folder";
    if (kind == Kind::File && !S_ISREG(st.st_mode)) return "is not a regular file";
    return std::nullopt;
}

// Refuses, as ssh does for its own files, a configuration that another user
// could have changed or planted: each entry and, for a link, what it leads to
// must belong to this user, be writable by no one else and be of its kind.
// A link's target is read and written through it, so it is judged as a file
// in its place would be.
void CheckOwnedByCaller(const fs::path& root, const fs::path& entry, Kind kind) {
    struct stat st;
    if (::lstat(entry.c_str(), &st) != 0) {
        if (errno == ENOENT) return;
        throw RegistrationError(host::CannotText("examine", entry.string(), errno));
    }
    const auto refuse = [&](const std::string& why) {
        return RegistrationError("refusing the configuration in " + root.string() + ": " + entry.string() + " " +
                                 why);
    };
    if (auto problem = OthersProblem(st)) throw refuse(*problem);
    if (!S_ISLNK(st.st_mode)) {
        if (auto problem = KindProblem(st, kind)) throw refuse(*problem);
        return;
    }
    // A link to nothing yet: what an update makes there is this user's.
    if (::stat(entry.c_str(), &st) != 0) {
        if (errno == ENOENT) return;
        throw RegistrationError(host::CannotText("examine", entry.string(), errno));
    }
    const std::string target = posixfiles::ResolveTarget(entry.string());
    auto problem = OthersProblem(st);
    if (!problem) problem = KindProblem(st, kind);
    if (problem) throw refuse("is a link to " + target + ", which " + *problem);
}

// Whoever may rename what lies in a folder above the configuration could put
// another in its place: each folder up to / must belong to this user or to
// root and be writable by no one else, unless sticky (as /tmp is).
void CheckFoldersAbove(const fs::path& root) {
    std::error_code error;
    fs::path folder = fs::canonical(root.parent_path(), error);
    if (error) throw RegistrationError(host::CannotText("examine", root.parent_path().string(), error));
    for (;; folder = folder.parent_path()) {
        struct stat st;
        if (::stat(folder.c_str(), &st) != 0)
            throw RegistrationError(host::CannotText("examine", folder.string(), errno));
        const auto refuse = [&](const std::string& why) {
            return RegistrationError("refusing the configuration in " + root.string() + ": the folder " +
                                     folder.string() + " above it " + why);
        };
        if (st.st_uid != ::geteuid() && st.st_uid != 0)
            throw refuse("belongs to user " + std::to_string(st.st_uid) + ", neither to this user nor to root");
        if ((st.st_mode & (S_IWGRP | S_IWOTH)) && !(st.st_mode & S_ISVTX))
            throw refuse("is writable by its group or by others and not sticky");
        if (folder == folder.root_path()) return;
    }
}

// What the configuration is made of in the folder, besides the folder itself.
void CheckConfigurationFiles(const fs::path& root) {
    CheckOwnedByCaller(root, root / "user", Kind::Folder);
    for (const char* file : {"odbcinst.ini", "odbc.ini", "user/odbc.ini"})
        for (const char* suffix : {"", odbcini::kRewriteLockSuffix, kToolLockSuffix})
            CheckOwnedByCaller(root, root / (std::string(file) + suffix), Kind::File);
}

// A new folder is this user's alone, whatever the umask.
void MakeFolder(const fs::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw RegistrationError(host::CannotText("make", folder.string(), errno));
}

void MakeFile(const std::string& file) {
    if (fs::exists(file)) return;
    Registering([&] { odbcini::UpdateIniFile(file, [](odbcini::IniDocument&) {}, odbcini::IfMissing::Create); });
}

}  // namespace

std::string FindSetupLibrary() {
    return posixfiles::FindBesideProgram({"libombralsetup.so", OMBRAL_SETUP_FROM_BIN "/libombralsetup.so"});
}

std::optional<DriverValues> ReadDriverRegistration(const std::string& driver) {
    return Registering([&]() -> std::optional<DriverValues> {
        auto document = odbcini::ReadIniFile(odbcini::LocateOdbcFiles().odbcinstIni);
        if (!document || !document->HasSection(driver)) return std::nullopt;
        auto entries = document->Entries(driver);
        return DriverValues(entries.begin(), entries.end());
    });
}

void WriteDriverRegistrations(const std::map<std::string, DriverValues>& registrations) {
    Registering([&] {
        odbcini::UpdateIniFile(
            odbcini::LocateOdbcFiles().odbcinstIni,
            [&](odbcini::IniDocument& document) {
                for (const auto& [driver, values] : registrations)
                    document.ReplaceSection(driver, {values.begin(), values.end()});
            },
            odbcini::IfMissing::Create);
    });
}

bool HasPrivateConfigurations() { return true; }

PrivateConfiguration UsePrivateConfiguration(const std::string& folder, const std::string& setupLibrary,
                                             const std::vector<std::string>& drivers, ConfigurationUse use) {
    if (folder.empty()) throw RegistrationError("the configuration folder has no name");
    fs::path root = fs::absolute(folder).lexically_normal();
    if (!root.has_filename() && root.has_parent_path() && root != root.root_path()) root = root.parent_path();
    PrivateConfiguration configuration{root.string(), (root / "odbcinst.ini").string(),
                                       (root / "odbc.ini").string(), (root / "user" / "odbc.ini").string()};
    CheckFoldersAbove(root);
    const bool making = use == ConfigurationUse::Change;
    if (making) MakeFolder(root);
    CheckOwnedByCaller(root, root, Kind::Folder);
    if (making) MakeFolder(root / "user");
    CheckConfigurationFiles(root);
    ::setenv("ODBCSYSINI", configuration.folder.c_str(), 1);
    ::setenv("ODBCINI", configuration.userOdbcIni.c_str(), 1);
    ::unsetenv("ODBCINSTINI");
    const bool registered = fs::exists(fs::symlink_status(configuration.odbcinstIni));
    if (!making) {
        configuration.driversPending = !registered;
        return configuration;
    }
    if (!registered) {
        if (setupLibrary.empty())
            throw RegistrationError("cannot find the setup library beside the program to register the drivers");
        RegisterDrivers(setupLibrary, drivers, true);
    }
    MakeFile(configuration.systemOdbcIni);
    MakeFile(configuration.userOdbcIni);
    return configuration;
}

}  // namespace odbcsetup
