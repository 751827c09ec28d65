// libFuzzer: the text form reader.

#include "FormOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzform::FuzzReader([](std::string_view text) { return host::ReadTextForm(text); }, data, size);
}
