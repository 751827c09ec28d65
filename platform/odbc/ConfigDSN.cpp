// The setup library that stands in for the Microsoft desktop drivers where
// they are not installed: the installer calls ConfigDSN to add, change or
// remove a data source, and this writes its section of odbc.ini.

#include <odbcinst.h>
#include <strings.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <platform/posix/OdbcIniFile.h>

namespace {

constexpr std::size_t kMaxNameLength = 32;
constexpr std::string_view kForbiddenNameCharacters = "[]{}(),;?*=!@\\";
constexpr const char* kDefaultDataSource = "Default";

// A refusal, with the installer error code and reason to post.
struct Refusal {
    DWORD code;
    std::string reason;
};

struct Attributes {
    std::optional<std::string> dsn;
    std::vector<odbcini::Entry> entries;  // all but DSN, in the order given
};

Attributes ParseAttributes(const char* list) {
    Attributes attributes;
    for (const char* pair = list; pair && *pair; pair += std::char_traits<char>::length(pair) + 1) {
        std::string_view text(pair);
        auto equals = text.find('=');
        if (equals == std::string_view::npos)
            throw Refusal{ODBC_ERROR_INVALID_KEYWORD_VALUE, "attribute '" + std::string(text) + "' has no '='"};
        std::string key(text.substr(0, equals)), value(text.substr(equals + 1));
        if (strcasecmp(key.c_str(), "DSN") == 0)
            attributes.dsn = value;
        else
            attributes.entries.emplace_back(std::move(key), std::move(value));
    }
    return attributes;
}

std::string CheckedName(const Attributes& attributes) {
    if (!attributes.dsn || attributes.dsn->empty())
        throw Refusal{ODBC_ERROR_INVALID_NAME, "the data source name is blank"};
    const std::string& name = *attributes.dsn;
    if (name.size() > kMaxNameLength)
        throw Refusal{ODBC_ERROR_INVALID_NAME, "the data source name '" + name + "' is longer than 32 characters"};
    auto bad = name.find_first_of(kForbiddenNameCharacters);
    if (bad != std::string::npos)
        throw Refusal{ODBC_ERROR_INVALID_NAME,
                      "the data source name '" + name + "' holds '" + name[bad] + "', which a name may not hold"};
    return name;
}

enum class Change { Add, Configure, Remove, RemoveDefault };

std::optional<Change> ChangeOf(WORD request) {
    switch (request) {
        case ODBC_ADD_DSN:
        case ODBC_ADD_SYS_DSN: return Change::Add;
        case ODBC_CONFIG_DSN:
        case ODBC_CONFIG_SYS_DSN: return Change::Configure;
        case ODBC_REMOVE_DSN:
        case ODBC_REMOVE_SYS_DSN: return Change::Remove;
        case ODBC_REMOVE_DEFAULT_DSN: return Change::RemoveDefault;
        default: return std::nullopt;
    }
}

bool IsSystemRequest(WORD request) {
    if (request >= ODBC_ADD_SYS_DSN && request <= ODBC_REMOVE_SYS_DSN) return true;
    UWORD mode = ODBC_BOTH_DSN;
    SQLGetConfigMode(&mode);
    return mode == ODBC_SYSTEM_DSN;
}

// An empty driver file gives way to the driver's name, which unixODBC finds in
// odbcinst.ini; a new data source always gets one of the two.
std::vector<odbcini::Entry> WithDriver(std::vector<odbcini::Entry> entries, const std::string& driver,
                                       bool required) {
    auto entry = std::find_if(entries.begin(), entries.end(),
                              [](const odbcini::Entry& e) { return strcasecmp(e.first.c_str(), "Driver") == 0; });
    if (entry == entries.end()) {
        if (required) entries.insert(entries.begin(), {"Driver", driver});
    } else if (entry->second.empty()) {
        entry->second = driver;
    }
    return entries;
}

void RequireSection(const odbcini::IniDocument& document, const std::string& name) {
    if (!document.HasSection(name))
        throw Refusal{ODBC_ERROR_INVALID_DSN, "the data source '" + name + "' does not exist"};
}

void Apply(Change change, const std::string& file, bool system, const std::string& driver,
           const Attributes& attributes) {
    const auto ifMissing = system ? odbcini::IfMissing::Fail : odbcini::IfMissing::Create;
    if (change == Change::RemoveDefault) {
        odbcini::UpdateIniFile(file, [](odbcini::IniDocument& document) {
            RequireSection(document, kDefaultDataSource);
            document.RemoveSection(kDefaultDataSource);
        }, ifMissing);
        return;
    }
    const std::string name = CheckedName(attributes);
    odbcini::UpdateIniFile(file, [&](odbcini::IniDocument& document) {
        switch (change) {
            case Change::Add:
                document.ReplaceSection(name, WithDriver(attributes.entries, driver, true));
                break;
            case Change::Configure:
                RequireSection(document, name);
                for (const auto& [key, value] : WithDriver(attributes.entries, driver, false))
                    document.SetValue(name, key, value);
                break;
            default:
                RequireSection(document, name);
                document.RemoveSection(name);
        }
    }, ifMissing);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) BOOL ConfigDSN(HWND, WORD fRequest, LPCSTR lpszDriver,
                                                                 LPCSTR lpszAttributes) {
    try {
        auto change = ChangeOf(fRequest);
        if (!change)
            throw Refusal{ODBC_ERROR_INVALID_REQUEST_TYPE, "request " + std::to_string(fRequest) + " is unknown"};
        const bool system = IsSystemRequest(fRequest);
        const auto files = odbcini::LocateOdbcFiles();
        Apply(*change, system ? files.systemOdbcIni : files.userOdbcIni, system, lpszDriver ? lpszDriver : "",
              ParseAttributes(lpszAttributes));
        return 1;
    } catch (const Refusal& refusal) {
        SQLPostInstallerError(refusal.code, refusal.reason.c_str());
    } catch (const odbcini::IniError& error) {
        SQLPostInstallerError(ODBC_ERROR_REQUEST_FAILED, error.what());
    } catch (const std::exception& error) {
        SQLPostInstallerError(ODBC_ERROR_GENERAL_ERR, error.what());
    }
    return 0;
}
