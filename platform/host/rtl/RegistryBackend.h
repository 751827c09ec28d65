#pragma once
// What a platform supplies to TRegistry: its store of keys and values.

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <platform/host/rtl/Types.h>

namespace host {

using HKEY = std::uint32_t;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

enum class KeyAccess { Read, ReadWrite };

// An open key. Write failures raise host::Exception.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    virtual std::optional<String> ReadString(const String& name) = 0;  // nullopt when absent
    virtual void WriteString(const String& name, const String& value) = 0;
    virtual std::vector<String> SubKeyNames() = 0;
    // Each value's name and text, in the order the key keeps them; a file may
    // hold a name twice (in another case), and each is given as stored.
    virtual std::vector<std::pair<String, String>> Values() = 0;
    virtual void Flush() = 0;  // makes written values permanent
};

class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;
    // `path` is relative to `root`, without a leading backslash. Returns null,
    // creating nothing, when the key is absent or cannot be opened with
    // `access`; with `create` an absent key is made first.
    virtual std::unique_ptr<RegistryKey> Open(HKEY root, const String& path, KeyAccess access,
                                              bool create) = 0;
};

// The platform's registry. Defined by the platform binding.
RegistryBackend& PlatformRegistry();

}  // namespace host
