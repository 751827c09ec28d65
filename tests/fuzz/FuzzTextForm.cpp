// libFuzzer: the text form reader.

#include <cstddef>
#include <cstdint>

#include "FormOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    host::TFormObject form;
    try {
        form = host::ReadTextForm({reinterpret_cast<const char*>(data), size});
    } catch (const host::EReadError&) {
        return 0;
    }
    fuzzform::CheckAcceptedForm(form);
    return 0;
}
