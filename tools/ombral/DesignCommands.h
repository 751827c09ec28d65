#pragma once
// The tool's design-time commands: TOmbralCreator's About box as the property
// grid opens it, and a property inspector over a saved form.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombraltool {

inline constexpr std::string_view kAboutUsage =
    "ombral about [--png FILE]\n"
    "Opens TOmbralCreator's About box as the property grid does; with --png the box's\n"
    "client area is also written to FILE as a PNG picture.";

inline constexpr std::string_view kDesignUsage =
    "ombral design FORM [--select NAME[,NAME...]]\n"
    "Loads a saved form (text or binary) and inspects its components: reads one\n"
    "command a line from standard input (help lists them) over the named components,\n"
    "or the form's root component. Exits 1 when standard input is no terminal and a\n"
    "command failed.";

// A saved form larger than this is refused unread.
inline constexpr std::uintmax_t kMaxFormBytes = 16u << 20;

// The saved form's bytes; a device, a folder or a pipe, and a form too large
// for any real one, are refused (std::runtime_error) before anything is read.
std::string ReadSavedForm(const std::string& path);

// Exit status 0, or 1 when the box could not be shown or the picture written.
int RunAbout(const std::optional<std::string>& pngPath);

// Exit status 0, or 1 when the form cannot be read, a selected name is not in
// it, or (when `in` is not an interactive terminal) any command failed.
int RunDesign(const std::string& formPath, const std::vector<std::string>& select, std::istream& in,
              std::ostream& out, std::ostream& err);

}  // namespace ombraltool
