#pragma once
// The PACKAGEINFO of each probe package: a good one and the ways one can be wrong.

#include <cstdint>
#include <string>
#include <string_view>

namespace hostprobe {

inline void Word32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

inline void Named(std::string& out, std::string_view name) {
    out.push_back('\x01');  // the reader takes any hash byte
    out.append(name);
    out.push_back('\0');
}

// The framework package that the tree's framework release requires first.
inline std::string_view FrameworkPackage(int release) {
    return release == 4 ? "vcl40" : release == 5 ? "vcl50" : "designide60.bpl";
}

inline std::string ProbeInfo(std::string_view variant, int release) {
    std::string out;
    if (variant == "noinfo") return out;
    Word32(out, variant == "notpackage" ? 0x0C000001 : 0x4C000001);
    if (variant == "badinfo") {
        Word32(out, 5);  // five required packages, none there
        return out;
    }
    Word32(out, 1);
    Named(out, variant == "requires" ? "vcl99" : FrameworkPackage(release));
    // Listed out of the order the procedures are exported in: the host goes by this list.
    const std::string_view modules[] = {"hostprobe", "SecondUnit", "SysInit", "FirstUnit"};
    Word32(out, 4);
    for (std::string_view module : modules) {
        out.push_back(module == "hostprobe" ? '\x03' : '\0');
        Named(out, module);
    }
    if (release >= 6) Named(out, "hostprobe");
    while (out.size() % 4) out.push_back('\0');
    return out;
}

}  // namespace hostprobe
