#pragma once
// The package-information resource PACKAGEINFO that every package carries:
// its flags, the packages it requires and the modules it contains.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include <platform/host/rtl/SysUtils.h>
#include <platform/host/rtl/Types.h>

namespace host {

inline constexpr std::uint32_t kPackageFlagIsPackage = 0x40000000;
inline constexpr std::uint32_t kPackageFlagDesignOnly = 0x00000002;
inline constexpr std::uint32_t kPackageFlagRunOnly = 0x00000004;
inline constexpr std::uint8_t kModuleFlagMain = 0x01;

struct TPackageName {
    std::uint8_t Hash;
    String Name;
    friend bool operator==(const TPackageName&, const TPackageName&) = default;
};

struct TContainedModule {
    std::uint8_t Flags;
    std::uint8_t Hash;
    String Name;
    friend bool operator==(const TContainedModule&, const TContainedModule&) = default;
};

struct TPackageInfo {
    std::uint32_t Flags = 0;
    std::vector<TPackageName> Requires;
    std::vector<TContainedModule> Contains;
    // Release 6 writes the package's own name after its modules.
    std::optional<TPackageName> Package;
    friend bool operator==(const TPackageInfo&, const TPackageInfo&) = default;
};

// A PACKAGEINFO that cannot be read: the message says which field and where.
class EPackageError : public Exception {
public:
    using Exception::Exception;
};

// Reads the resource as the framework release `Release` writes it (only 6
// adds the package's name). Every field is checked against the bytes left, so
// a truncated or damaged resource is an EPackageError, never a read past its
// end; after the last field only zero padding (fewer than four bytes) may follow.
TPackageInfo ReadPackageInfo(std::string_view Bytes, int Release);

}  // namespace host
