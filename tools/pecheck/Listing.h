#pragma once
// The line format of pecheck, and reading its fields back from a command line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <platform/host/package/PeImage.h>

namespace ombralpe {

// One field of a line: the text itself where that cannot be mistaken for a
// number, an ordinal, a standard type name (for a type) or several fields;
// else in double quotes with \" \\ and \xHH escapes, the last for blanks,
// control characters (C1 ones too) and bytes that are no UTF-8: no field holds
// white space, and none steers a terminal.
std::string Token(std::string_view text, bool isType = false);
// An integer id in decimal, an integer type by its standard name where it has one.
std::string IdToken(const ResourceId& id, bool isType);
// The inverse of IdToken; PeError for a quoted field that does not close.
ResourceId ParseId(std::string_view token, bool isType);

// dll, export, import and resource lines, as pecheck --help describes them.
std::string Listing(const PeImage& image, bool functions);

// The one resource of this type and name (in this language, where given);
// PeError naming the resource when there is none or the language is ambiguous.
const Resource& FindResource(const PeImage& image, const ResourceId& type, const ResourceId& name,
                             std::optional<std::uint32_t> language);

}  // namespace ombralpe
