#pragma once
// The resources the host reads from a package DLL, built byte for byte for
// releases 4, 5 and 6 of the host framework. Each function returns the bytes
// of one resource as the DLL stores them.

#include <cstdint>
#include <string>
#include <string_view>

namespace pkgres {

using Bytes = std::string;

// False for anything but 4, 5 or 6.
bool IsKnownRelease(int release);

// The host's tool chain keeps its name hash to itself; ours is the low byte of
// the sum of the name's bytes, each folded to upper case, so that the loader's
// case-blind lookups see one hash per name.
std::uint8_t NameHash(std::string_view name);

Bytes PackageInfo(int release);
Bytes PackageOptions(int release);
Bytes Description();
Bytes VersionInfo(int release);
Bytes PaletteBitmap();  // the DIB of an RT_BITMAP resource: header, colours, pixels
Bytes IconImage();      // icon resource 1: header, colours, colour data, mask
Bytes IconGroup();      // MAINICON: the directory naming icon 1

inline constexpr std::uint16_t kVersionLanguage = 0x1C09;

// The .rc text for windres naming files in dir; formFile is the About form's
// binary stream.
std::string ResourceScript(std::string_view dir, std::string_view formFile);

}  // namespace pkgres
