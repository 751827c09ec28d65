// The setup library that stands in for the Microsoft desktop drivers where
// they are not installed: the installer calls ConfigDSN to add, change or
// remove a data source of the driver.

#include <PlatformOdbc.h>

#include <optional>
#include <string>
#include <string_view>

#include <platform/host/rtl/BasicText.h>
#include <platform/odbc/DataSourceNames.h>
#include <platform/odbc/SetupLibrary.h>

namespace {

using odbcsetup::SetupError;

struct Request {
    std::optional<std::string> dsn;
    std::vector<odbcsetup::Attribute> attributes;  // all but DSN, in the order given
};

Request ParseAttributes(const char* list) {
    Request request;
    for (const char* pair = list; pair && *pair; pair += std::char_traits<char>::length(pair) + 1) {
        std::string_view text(pair);
        auto equals = text.find('=');
        if (equals == std::string_view::npos)
            throw SetupError{ODBC_ERROR_INVALID_KEYWORD_VALUE, "attribute '" + std::string(text) + "' has no '='"};
        if (host::SameText(text.substr(0, equals), "DSN"))
            request.dsn = std::string(text.substr(equals + 1));
        else
            request.attributes.emplace_back(text.substr(0, equals), text.substr(equals + 1));
    }
    return request;
}

std::string CheckedName(const Request& request) {
    if (!request.dsn || request.dsn->empty()) throw SetupError{ODBC_ERROR_INVALID_NAME, "the data source name is blank"};
    const std::string& name = *request.dsn;
    if (auto problem = odbcsetup::NameProblem(name)) throw SetupError{ODBC_ERROR_INVALID_NAME, *problem};
    return name;
}

bool IsSystemRequest(WORD request) {
    if (request >= ODBC_ADD_SYS_DSN && request <= ODBC_REMOVE_SYS_DSN) return true;
    UWORD mode = ODBC_BOTH_DSN;
    SQLGetConfigMode(&mode);
    return mode == ODBC_SYSTEM_DSN;
}

void Carry(WORD fRequest, const std::string& driver, const char* attributes) {
    const Request request = ParseAttributes(attributes);
    auto store = odbcsetup::OpenDataSourceStore(IsSystemRequest(fRequest), driver);
    switch (fRequest) {
        case ODBC_ADD_DSN:
        case ODBC_ADD_SYS_DSN: return store->Add(CheckedName(request), request.attributes);
        case ODBC_CONFIG_DSN:
        case ODBC_CONFIG_SYS_DSN: return store->Configure(CheckedName(request), request.attributes);
        case ODBC_REMOVE_DSN:
        case ODBC_REMOVE_SYS_DSN: return store->Remove(CheckedName(request));
        case ODBC_REMOVE_DEFAULT_DSN: return store->Remove(odbcsetup::kDefaultDataSource);
        default:
            throw SetupError{ODBC_ERROR_INVALID_REQUEST_TYPE, "request " + std::to_string(fRequest) + " is unknown"};
    }
}

}  // namespace

extern "C" BOOL INSTAPI ConfigDSN(HWND, WORD fRequest, LPCSTR lpszDriver, LPCSTR lpszAttributes) {
    try {
        Carry(fRequest, lpszDriver ? lpszDriver : "", lpszAttributes);
        return 1;
    } catch (const SetupError& error) {
        SQLPostInstallerError(error.code, error.reason.c_str());
    } catch (const std::exception& error) {
        SQLPostInstallerError(ODBC_ERROR_GENERAL_ERR, error.what());
    }
    return 0;
}
