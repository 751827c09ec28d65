// The registry over unixODBC's configuration files: the data-source keys under
// \Software\ODBC\ODBC.INI are the sections of the user or system odbc.ini, the
// driver keys under HKEY_LOCAL_MACHINE\Software\ODBC\ODBCINST.INI the sections
// of odbcinst.ini, and a key's values are its section's entries.

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <platform/host/rtl/Registry.h>
#include <platform/odbc/RegistryPaths.h>
#include <platform/posix/Files.h>
#include <platform/posix/OdbcIniFile.h>

namespace {

using host::SameText;
using host::String;

std::vector<std::string_view> SplitPath(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    std::vector<std::string_view> parts;
    while (true) {
        auto slash = path.find('\\');
        parts.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

// Where a key lives: a file, and within it a section (none for the file's own key).
struct KeyLocation {
    String file;
    std::optional<String> section;
};

// Whether the path's first parts are those of the key.
bool StartsWithKey(const std::vector<std::string_view>& parts, std::string_view key) {
    const std::string relative = odbcpaths::BelowHive(key);
    const auto keyParts = SplitPath(relative);
    return parts.size() >= keyParts.size() && std::equal(keyParts.begin(), keyParts.end(), parts.begin(),
                                                       [](auto a, auto b) { return SameText(a, b); });
}

std::optional<KeyLocation> Locate(host::HKEY root, std::string_view path) {
    auto parts = SplitPath(path);
    if (parts.size() < 3 || parts.size() > 4) return std::nullopt;
    const bool dataSources = StartsWithKey(parts, odbcpaths::kDataSourcesKey);
    auto files = odbcini::LocateOdbcFiles();
    KeyLocation location;
    if (dataSources && root == host::HKEY_CURRENT_USER)
        location.file = files.userOdbcIni;
    else if (dataSources && root == host::HKEY_LOCAL_MACHINE)
        location.file = files.systemOdbcIni;
    else if (StartsWithKey(parts, odbcpaths::kDriversKey) && root == host::HKEY_LOCAL_MACHINE)
        location.file = files.odbcinstIni;
    else
        return std::nullopt;
    if (parts.size() == 4) {
        if (parts[3].empty()) return std::nullopt;
        location.section = String(parts[3]);
    }
    return location;
}

template <typename Action>
auto AsRegistryError(const String& what, Action&& action) {
    try {
        return action();
    } catch (const odbcini::IniError& e) {
        throw host::ERegistryException(what + ": " + e.what());
    }
}

class IniKey final : public host::RegistryKey {
public:
    explicit IniKey(KeyLocation location) : location_(std::move(location)) {}

    std::optional<String> ReadString(const String& name) override {
        if (!location_.section) return std::nullopt;
        return AsRegistryError("Failed to get data for '" + name + "'", [&]() -> std::optional<String> {
            auto document = odbcini::ReadIniFile(location_.file);
            if (!document) return std::nullopt;
            return document->Value(*location_.section, name);
        });
    }

    void WriteString(const String& name, const String& value) override {
        const String what = "Failed to set data for '" + name + "'";
        if (!location_.section) throw host::ERegistryException(what + ": this key holds no values");
        AsRegistryError(what, [&] {
            odbcini::UpdateIniFile(location_.file, [&](odbcini::IniDocument& document) {
                if (!document.HasSection(*location_.section))
                    throw odbcini::IniError("the key was deleted meanwhile");
                document.SetValue(*location_.section, name, value);
            });
        });
    }

    std::vector<String> SubKeyNames() override {
        if (location_.section) return {};
        return AsRegistryError("Failed to list keys", [&] {
            auto document = odbcini::ReadIniFile(location_.file);
            return document ? document->SectionNames() : std::vector<String>{};
        });
    }

    // The section's keys in file order.
    std::vector<std::pair<String, String>> Values() override {
        if (!location_.section) return {};
        return AsRegistryError("Failed to list values", [&] {
            auto document = odbcini::ReadIniFile(location_.file);
            return document ? document->Entries(*location_.section) : std::vector<odbcini::Entry>{};
        });
    }

    // Every write is on disk before WriteString returns.
    void Flush() override {}

private:
    KeyLocation location_;
};

bool Exists(const KeyLocation& location) {
    std::shared_ptr<const odbcini::IniDocument> document;
    try {
        document = odbcini::ReadIniFile(location.file);
    } catch (const odbcini::IniError&) {
        return false;  // present but unreadable: cannot be opened
    }
    return document && (!location.section || document->HasSection(*location.section));
}

void Create(const KeyLocation& location) {
    AsRegistryError("Failed to create key", [&] {
        odbcini::UpdateIniFile(
            location.file,
            [&](odbcini::IniDocument& document) {
                if (location.section) document.EnsureSection(*location.section);
            },
            odbcini::IfMissing::Create);
    });
}

class IniRegistry final : public host::RegistryBackend {
public:
    std::unique_ptr<host::RegistryKey> Open(host::HKEY root, const String& path, host::KeyAccess access,
                                            bool create) override {
        auto location = Locate(root, path);
        if (!location) return nullptr;
        if (!Exists(*location)) {
            if (!create) return nullptr;
            Create(*location);
        }
        if (access == host::KeyAccess::ReadWrite && posixfiles::ChangeProblem(location->file, odbcini::IfMissing::Fail))
            return nullptr;
        return std::make_unique<IniKey>(std::move(*location));
    }
};

}  // namespace

namespace host {

RegistryBackend& PlatformRegistry() {
    static IniRegistry registry;
    return registry;
}

}  // namespace host
