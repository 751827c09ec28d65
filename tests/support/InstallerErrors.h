#pragma once
// What the real installer says about its last refusal.

#include <string>

#include <platform/host/OdbcInstaller.h>

namespace testsupport {

inline std::string InstallerMessages() {
    std::string all;
    for (WORD i = 1; i <= 8; ++i) {
        DWORD code = 0;
        char message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
        WORD length = 0;
        auto status = SQLInstallerError(i, &code, message, sizeof message, &length);
        if (status != SQL_SUCCESS && status != SQL_SUCCESS_WITH_INFO) break;
        all += message;
        all += '\n';
    }
    return all;
}

}  // namespace testsupport
