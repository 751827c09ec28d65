#include <platform/host/rtl/Resources.h>

#include <map>

namespace host {

namespace {

std::map<String, String, std::less<>>& Registered() {
    static std::map<String, String, std::less<>> resources;
    return resources;
}

}  // namespace

void RegisterResource(std::string_view name, std::string_view data) { Registered()[String(name)] = String(data); }

std::optional<std::string_view> FindResourceData(std::string_view name) {
    if (auto found = Registered().find(name); found != Registered().end()) return found->second;
    return PlatformResourceData(name);
}

}  // namespace host
