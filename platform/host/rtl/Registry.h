#pragma once
// TRegistry: the host framework's registry class.

#include <memory>
#include <vector>

#include <platform/host/rtl/RegistryBackend.h>
#include <platform/host/rtl/SysUtils.h>

namespace host {

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    TRegistry();  // root HKEY_CURRENT_USER, lazy writing on
    explicit TRegistry(RegistryBackend& backend);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY root);  // closes an open key
    bool LazyWrite = true;

    // A path beginning with a backslash is absolute from the root key; any
    // other is relative to the key that is open.
    bool OpenKey(const String& key, bool canCreate);
    bool OpenKeyReadOnly(const String& key);
    void CloseKey();  // flushes first when lazy writing is off
    String CurrentPath() const { return currentPath_; }

    String ReadString(const String& name);  // empty when absent or no key is open
    void WriteString(const String& name, const String& value);
    void GetKeyNames(std::vector<String>& names);
    void GetValues(std::vector<std::pair<String, String>>& values);  // each name and text, as stored

private:
    bool Open(const String& key, KeyAccess access, bool canCreate);
    String Resolve(const String& key) const;

    RegistryBackend& backend_;
    HKEY rootKey_ = HKEY_CURRENT_USER;
    std::unique_ptr<RegistryKey> current_;
    String currentPath_;
};

}  // namespace host
