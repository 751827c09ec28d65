#pragma once
// The resources the build embeds in a POSIX program: each generated source
// holds one static EmbeddedResource, which enters itself in the table.

#include <optional>
#include <string_view>

namespace headless {

struct EmbeddedResource {
    EmbeddedResource(std::string_view name, std::string_view data);
};

std::optional<std::string_view> FindEmbeddedResource(std::string_view name);

}  // namespace headless
