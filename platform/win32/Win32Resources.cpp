// The module's RCDATA resources, language-neutral as the build embeds them.

#include <Win32Api.h>

#include "Win32Module.h"

#include <platform/host/rtl/Packages.h>
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

namespace {

std::optional<std::string_view> ResourceOf(HMODULE module, const String& name) {
    HRSRC found = FindResourceExA(module, reinterpret_cast<LPCSTR>(RT_RCDATA), name.c_str(),
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string_view(static_cast<const char*>(data), SizeofResource(module, found));
}

}  // namespace

// The loaded packages' resources first, newest first, then those of the
// module that holds this code (a program that has the package's code in it).
std::optional<std::string_view> PlatformResourceData(std::string_view name) {
    const String nameText(name);
    if (nameText.find('\0') != String::npos) return std::nullopt;
    for (const TLibModule* module : Modules())
        if (auto data = ResourceOf(static_cast<HMODULE>(module->Instance), nameText)) return data;
    return ResourceOf(win32::ThisModule(), nameText);
}

}  // namespace host
