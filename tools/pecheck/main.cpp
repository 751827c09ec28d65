// pecheck: lists what a 32-bit Windows DLL or program exports, imports and
// carries as resources, or dumps one resource, so that a build can be checked
// from a shell.

#include <algorithm>
#include <charconv>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <platform/host/package/PeImage.h>
#include <platform/host/rtl/BasicText.h>
#include <tools/common/ToolFiles.h>

#include "Listing.h"

namespace {

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

const char* const kHelp =
    "usage: pecheck [--functions] FILE\n"
    "       pecheck --resource TYPE NAME [--lang LANG] FILE\n"
    "\n"
    "Reads a Windows DLL or program (PE32 or PE32+) and prints, one item a line:\n"
    "  dll NAME                      the file name its export directory records\n"
    "  export ORDINAL NAME           each export, by ordinal; no NAME for one exported by ordinal only\n"
    "  import DLL                    each imported DLL, in the import directory's order\n"
    "  import DLL FUNCTION           with --functions, after its DLL: each function it imports,\n"
    "                                #N for one imported by ordinal N\n"
    "  resource TYPE NAME LANG SIZE  each resource, in resource directory order\n"
    "TYPE is a standard type name (CURSOR, BITMAP, ICON, MENU, DIALOG, STRING, FONTDIR, FONT,\n"
    "ACCELERATOR, RCDATA, MESSAGETABLE, GROUP_CURSOR, GROUP_ICON, VERSION, DLGINCLUDE, PLUGPLAY, VXD,\n"
    "ANICURSOR, ANIICON, HTML, MANIFEST) or the decimal number of another integer type; NAME an\n"
    "integer id in decimal; a string type or name is given as its UTF-8 text. LANG is the language\n"
    "id as 0x and four hexadecimal digits, SIZE the data's length in bytes, in decimal.\n"
    "A text field that is empty, all digits, begins with #, holds a blank, a control character,\n"
    "\" or \\, or (as a type) is a standard type name, is written in double quotes, with \\\", \\\\\n"
    "and \\xHH (for blanks, control characters and bytes that are no UTF-8) inside: no field\n"
    "holds white space.\n"
    "\n"
    "--resource TYPE NAME writes that resource's bytes to standard output; TYPE and NAME are read\n"
    "as they are listed. Where the resource exists in several languages, --lang LANG (decimal or\n"
    "0x hexadecimal) picks one.\n"
    "\n"
    "FILE must be a regular file of at most 2 GiB, the most Microsoft's linker writes; anything\n"
    "else is refused unread.\n"
    "\n"
    "Exit status: 0 done, 1 a file that cannot be read or is no sound PE image, no such resource,\n"
    "or standard output that cannot be written, 2 a bad command line.\n";

struct Options {
    std::string file;
    bool functions = false;
    std::optional<std::pair<std::string, std::string>> resource;
    std::optional<std::uint32_t> language;
};

std::optional<std::uint32_t> ParseLanguage(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > 0xFFFF) return std::nullopt;
    return value;
}

// Nothing for a command line that makes no sense; the reason is already on stderr.
std::optional<Options> Parse(const std::vector<std::string>& arguments) {
    Options options;
    auto fail = [](const std::string& why) {
        std::cerr << "pecheck: " << host::EscapeForTerminal(why) << "\n(pecheck --help tells how to use it)\n";
        return std::nullopt;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        auto left = arguments.size() - i - 1;
        if (argument == "--functions") {
            options.functions = true;
        } else if (argument == "--resource") {
            if (left < 2) return fail("--resource needs TYPE and NAME");
            options.resource = {arguments[i + 1], arguments[i + 2]};
            i += 2;
        } else if (argument == "--lang") {
            if (left < 1) return fail("--lang needs LANG");
            options.language = ParseLanguage(arguments[++i]);
            if (!options.language) return fail("not a language id: " + arguments[i]);
        } else if (argument.starts_with("--") || !options.file.empty()) {
            return fail("unexpected argument: " + argument);
        } else {
            options.file = argument;
        }
    }
    if (options.file.empty()) return fail("no FILE given");
    if (options.language && !options.resource) return fail("--lang goes with --resource");
    return options;
}

// Lists the image or dumps one of its resources to standard output.
int Check(const Options& options) {
    try {
        auto image = ombralpe::PeImage::Read(options.file);
        if (options.resource) {
            const auto& resource =
                ombralpe::FindResource(image, ombralpe::ParseId(options.resource->first, true),
                                       ombralpe::ParseId(options.resource->second, false), options.language);
            std::cout.write(reinterpret_cast<const char*>(resource.bytes.data()),
                            static_cast<std::streamsize>(resource.bytes.size()));
        } else {
            std::cout << ombralpe::Listing(image, options.functions);
        }
        return kOk;
    } catch (const ombralpe::PeError& error) {
        std::cerr << "pecheck: " << host::EscapeForTerminal(error.what()) << '\n';
        return kFailed;
    }
}

int Run(const std::vector<std::string>& arguments) {
    if (std::ranges::any_of(arguments, [](const auto& a) { return a == "--help" || a == "-h"; })) {
        std::cout << kHelp;
        return kOk;
    }
    auto options = Parse(arguments);
    return options ? Check(*options) : kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    const int status = Run({argv + 1, argv + argc});
    return toolfiles::FlushStandardOutput("pecheck") ? status : kFailed;
}
