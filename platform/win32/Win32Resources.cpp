// The module's RCDATA resources, language-neutral as the build embeds them.

#include <Win32Api.h>

#include "Win32Module.h"

#include <platform/host/rtl/Resources.h>

namespace win32 {

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

}  // namespace win32

namespace host {

std::optional<std::string_view> PlatformResourceData(std::string_view name) {
    const String nameText(name);
    if (nameText.find('\0') != String::npos) return std::nullopt;
    HMODULE module = win32::ThisModule();
    HRSRC found = FindResourceExA(module, reinterpret_cast<LPCSTR>(RT_RCDATA), nameText.c_str(),
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string_view(static_cast<const char*>(data), SizeofResource(module, found));
}

}  // namespace host
