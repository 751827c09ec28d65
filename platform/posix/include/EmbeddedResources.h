#pragma once
// The resources the build embeds in a POSIX program: each generated source
// holds one static EmbeddedResource, which enters itself in the table.

#include <optional>
#include <string_view>

namespace headless {

// The entry leaves the table with the object, so that a library that is
// unloaded leaves nothing pointing into it.
struct EmbeddedResource {
    EmbeddedResource(std::string_view name, std::string_view data);
    ~EmbeddedResource();
    EmbeddedResource(const EmbeddedResource&) = delete;
    EmbeddedResource& operator=(const EmbeddedResource&) = delete;

private:
    std::string_view name_, data_;
};

std::optional<std::string_view> FindEmbeddedResource(std::string_view name);

}  // namespace headless
