#pragma once
// unixODBC's configuration files (odbc.ini, odbcinst.ini): where they are, how
// they are read, and how to change them without losing anything (what they
// hold is in IniDocument.h, how files are handled in Files.h).
//
// unixODBC's own profile functions cache reads, write by truncating in place,
// take no lock and never fsync; concurrent writers then lose each other's
// sections and a killed writer leaves a torn file. Everything here reads the
// file as it is on each read and replaces it atomically under an exclusive lock.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <platform/posix/IniDocument.h>

namespace odbcini {

using posixfiles::IfMissing;  // what UpdateIniFile does without the file

// The most a configuration file may hold; one past it is refused unread.
// Real ones hold kilobytes; the bound keeps a hostile one (a link to
// /dev/zero, a file grown without end) from taking the memory.
inline constexpr std::uintmax_t kMaxFileBytes = 16u << 20;

// What the lock file a configuration file is rewritten under adds to its name.
inline constexpr const char* kRewriteLockSuffix = ".lock";

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

// The file as it is now, parsed, or null when it does not exist. Throws
// IniError when it exists but cannot be read, is no regular file or holds
// more than kMaxFileBytes. The parse is kept and served
// again while the file's device, inode, size, modification and change times
// stay the same; a change time too recent to tell two writes apart makes the
// next read compare the text itself.
std::shared_ptr<const IniDocument> ReadIniFile(const std::string& path);

// Locks the file, reads it afresh, applies `change`, and replaces the file
// atomically (temporary file in the same folder, fsync, rename, fsync of the
// folder). Temporary files that killed writers left are removed while the
// lock is held, since only a holder of the lock makes one. A new file gets
// mode 0600; a replaced one keeps its mode and owner; a symbolic link is
// written through to its target and stays a link.
// Throws IniError, leaving the file untouched, when the file is missing (with
// IfMissing::Fail), damaged, or not this user's to change (posixfiles::
// ChangeProblem); an exception from `change` passes unchanged, and the file
// is untouched then too.
void UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& change,
                   IfMissing ifMissing = IfMissing::Fail);

}  // namespace odbcini
