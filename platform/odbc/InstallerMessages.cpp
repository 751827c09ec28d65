#include <platform/odbc/InstallerMessages.h>

#include <PlatformOdbc.h>

namespace odbcsetup {

std::vector<std::string> InstallerMessages() {
    std::vector<std::string> messages;
    for (WORD i = 1; i <= 8; ++i) {  // the installer keeps at most eight
        DWORD code = 0;
        char message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
        WORD length = 0;
        auto status = SQLInstallerError(i, &code, message, sizeof message, &length);
        if (status != SQL_SUCCESS && status != SQL_SUCCESS_WITH_INFO) break;
        messages.push_back(message[0] ? message : "installer error " + std::to_string(code));
    }
    return messages;
}

}  // namespace odbcsetup
