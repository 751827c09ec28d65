#pragma once
// Resources the program carries, found by name: a form class's form
// resource is named after the class in capitals. (Not FindResource: that
// name is a macro of <windows.h>.)

#include <optional>
#include <string_view>

#include <platform/host/rtl/SysUtils.h>
#include <platform/host/rtl/Types.h>

namespace host {

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// Adds a copy of a resource to those the program carries. Registering a
// name again replaces the earlier data.
void RegisterResource(std::string_view name, std::string_view data);

// The bytes of the resource: a registered one, else one embedded in the
// program by the build; none when there is neither.
std::optional<std::string_view> FindResourceData(std::string_view name);

// What the platform embedded: on POSIX a table the build generates, on Win32
// the RCDATA resources of the module.
std::optional<std::string_view> PlatformResourceData(std::string_view name);

}  // namespace host
