#pragma once
// What the tool prints of a text: UTF-8, with nothing in it that could steer
// the terminal. The system's text (names, values, paths and messages as the
// installer, the registry and the file functions hand them over) is the code
// page's on Windows and UTF-8 by convention on POSIX; the text a form holds
// is the host framework's code page on both.

#include <PlatformConsole.h>

#include <string>
#include <string_view>

#include <platform/host/rtl/BasicText.h>
#include <platform/host/rtl/SysUtils.h>

namespace ombraltool {

inline std::string Shown(std::string_view systemText) {
    return host::EscapeForTerminal(platform::TextForTerminal(systemText));
}

inline std::string ShownFormText(std::string_view formText) {
    return host::EscapeForTerminal(host::AnsiToUtf8(formText));
}

}  // namespace ombraltool
