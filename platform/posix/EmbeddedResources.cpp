#include <EmbeddedResources.h>

#include <map>
#include <string>

namespace headless {

namespace {

std::map<std::string, std::string_view, std::less<>>& Table() {
    static std::map<std::string, std::string_view, std::less<>> table;
    return table;
}

}  // namespace

EmbeddedResource::EmbeddedResource(std::string_view name, std::string_view data) : name_(name), data_(data) {
    Table()[std::string(name)] = data;
}

EmbeddedResource::~EmbeddedResource() {
    auto found = Table().find(name_);
    if (found != Table().end() && found->second.data() == data_.data()) Table().erase(found);
}

std::optional<std::string_view> FindEmbeddedResource(std::string_view name) {
    if (auto found = Table().find(name); found != Table().end()) return found->second;
    return std::nullopt;
}

}  // namespace headless
