#include "Listing.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include <platform/host/rtl/BasicText.h>

namespace ombralpe {

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Language(std::uint32_t language) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(language));
    return text;
}

}  // namespace

std::string Token(std::string_view text, bool isType) {
    bool plain = !AllDigits(text) && !text.empty() && text.front() != '#' && !(isType && StandardType(text));
    std::string quoted;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const auto byte = static_cast<unsigned char>(c);
        const std::size_t character =
            byte < 0x80 || host::IsUtf8C1ControlAt(text, at) ? 0 : host::Utf8SequenceAt(text, at);
        if (character) {
            quoted.append(text.substr(at, character));
            at += character;
            continue;
        }
        if (c == '"' || c == '\\') {
            (quoted += '\\') += c;
            plain = false;
        } else if (byte <= 0x20 || byte >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
            plain = false;
        } else {
            quoted += c;
        }
        ++at;
    }
    return plain ? std::string(text) : '"' + quoted + '"';
}

std::string IdToken(const ResourceId& id, bool isType) {
    if (auto text = std::get_if<std::string>(&id)) return Token(*text, isType);
    auto number = std::get<std::uint32_t>(id);
    if (isType && !StandardTypeName(number).empty()) return std::string(StandardTypeName(number));
    return std::to_string(number);
}

ResourceId ParseId(std::string_view token, bool isType) {
    if (AllDigits(token) && token.size() <= 10) {
        auto value = std::stoull(std::string(token));
        if (value <= 0xFFFFFFFFu) return static_cast<std::uint32_t>(value);
    }
    if (isType)
        if (auto type = StandardType(token)) return *type;
    if (token.empty() || token.front() != '"') return std::string(token);
    std::string text;
    for (std::size_t i = 1; i < token.size(); ++i) {
        char c = token[i];
        if (c == '"') {
            if (i + 1 != token.size()) break;
            return text;
        }
        if (c != '\\') {
            text += c;
        } else if (i + 1 < token.size() && token[i + 1] != 'x') {
            text += token[++i];
        } else if (i + 3 < token.size() && std::isxdigit(static_cast<unsigned char>(token[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(token[i + 3]))) {
            text += static_cast<char>(std::stoi(std::string(token.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            break;
        }
    }
    throw PeError("badly quoted field: " + std::string(token));
}

std::string Listing(const PeImage& image, bool functions) {
    std::string out;
    auto line = [&](std::initializer_list<std::string> fields) {
        std::string text;
        for (const auto& field : fields) (text += text.empty() ? "" : " ") += field;
        out += text + '\n';
    };
    if (image.HasExports()) line({"dll", Token(image.DllName())});
    for (const auto& exported : image.Exports()) {
        if (exported.name.empty())
            line({"export", std::to_string(exported.ordinal)});
        else
            line({"export", std::to_string(exported.ordinal), Token(exported.name)});
    }
    for (const auto& import : image.Imports()) {
        line({"import", Token(import.dll)});
        if (!functions) continue;
        for (const auto& function : import.functions)
            line({"import", Token(import.dll),
                  function.ordinal ? "#" + std::to_string(*function.ordinal) : Token(function.name)});
    }
    for (const auto& resource : image.Resources())
        line({"resource", IdToken(resource.type, true), IdToken(resource.name, false), Language(resource.language),
              std::to_string(resource.bytes.size())});
    return out;
}

const Resource& FindResource(const PeImage& image, const ResourceId& type, const ResourceId& name,
                             std::optional<std::uint32_t> language) {
    std::vector<const Resource*> found;
    for (const auto& resource : image.Resources())
        if (resource.type == type && resource.name == name && (!language || resource.language == *language))
            found.push_back(&resource);
    auto what = "resource " + IdToken(type, true) + " " + IdToken(name, false);
    if (language) what += " " + Language(*language);
    if (found.empty()) throw PeError("no " + what);
    if (found.size() > 1)
        throw PeError(what + " exists in " + std::to_string(found.size()) + " languages: name one with --lang");
    return *found.front();
}

}  // namespace ombralpe
