#include <platform/host/rtl/Registry.h>

namespace host {

TRegistry::TRegistry() : TRegistry(PlatformRegistry()) {}

TRegistry::TRegistry(RegistryBackend& backend) : backend_(backend) {}

TRegistry::~TRegistry() {
    // A destructor must not throw; a caller who needs to see a failed flush
    // closes the key itself.
    try {
        CloseKey();
    } catch (const Exception&) {
    }
}

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    rootKey_ = root;
}

String TRegistry::Resolve(const String& key) const {
    if (!key.empty() && key.front() == '\\') return key.substr(1);
    return currentPath_.empty() ? key : currentPath_ + '\\' + key;
}

bool TRegistry::Open(const String& key, KeyAccess access, bool canCreate) {
    String path = Resolve(key);
    auto opened = backend_.Open(rootKey_, path, access, canCreate);
    if (!opened) return false;
    CloseKey();
    current_ = std::move(opened);
    currentPath_ = std::move(path);
    return true;
}

bool TRegistry::OpenKey(const String& key, bool canCreate) {
    return Open(key, KeyAccess::ReadWrite, canCreate);
}

bool TRegistry::OpenKeyReadOnly(const String& key) { return Open(key, KeyAccess::Read, false); }

void TRegistry::CloseKey() {
    if (!current_) return;
    auto closing = std::move(current_);
    currentPath_.clear();
    if (!LazyWrite) closing->Flush();
}

String TRegistry::ReadString(const String& name) {
    if (!current_) return {};
    return current_->ReadString(name).value_or(String{});
}

void TRegistry::WriteString(const String& name, const String& value) {
    if (!current_) throw ERegistryException("Failed to set data for '" + name + "'");
    current_->WriteString(name, value);
}

void TRegistry::GetValues(std::vector<std::pair<String, String>>& values) {
    values = current_ ? current_->Values() : std::vector<std::pair<String, String>>{};
}

void TRegistry::GetKeyNames(std::vector<String>& names) {
    names = current_ ? current_->SubKeyNames() : std::vector<String>{};
}

}  // namespace host
