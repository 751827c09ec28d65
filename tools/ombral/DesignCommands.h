#pragma once
// The tool's design-time commands: TOmbralCreator's About box as the property
// grid opens it, and a property inspector over a saved form.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombraltool {

inline constexpr std::string_view kAboutUsage =
    "ombral about [--png FILE]\n"
    "Opens TOmbralCreator's About box as the property grid does; with --png the box's\n"
    "client area is also written to FILE, a new file, as a PNG picture.";

inline constexpr std::string_view kDesignUsage =
    "ombral design FORM [--select NAME[,NAME...]]\n"
    "Opens a form or data module file as the host writes it (text or binary, at most\n"
    "16 MiB) and inspects its components: reads one command a line from standard input\n"
    "(help lists them) over the named components, or the form's root component. A\n"
    "TOmbralCreator can be edited; any other component shows what the form stores for\n"
    "it. save writes back only what changed. Exits 1 when standard input is no terminal\n"
    "and a command failed.";

// Exit status 0, or 1 when the box could not be shown or the picture written.
int RunAbout(const std::optional<std::string>& pngPath);

// Exit status 0, or 1 when the form cannot be read, a selected name is not in
// it, or (when `in` is not an interactive terminal) any command failed.
int RunDesign(const std::string& formPath, const std::vector<std::string>& select, std::istream& in,
              std::ostream& out, std::ostream& err);

}  // namespace ombraltool
