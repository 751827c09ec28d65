// libFuzzer: the binary form-stream reader.

#include "FormOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzform::FuzzReader(host::ReadBinaryForm, data, size);
}
