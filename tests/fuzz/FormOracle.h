#pragma once
// What must hold of every form a reader accepts.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include <platform/host/rtl/FormStream.h>

namespace fuzzform {

// Its text reads back to the same text, its binary to the same binary, and
// reading its components leaves nothing behind; aborts otherwise.
void CheckAcceptedForm(const host::TFormObject& form);

// One fuzz input: a read error is a fine answer; a form read must hold up.
int FuzzReader(host::TFormObject (*read)(std::string_view), const std::uint8_t* data, std::size_t size);

}  // namespace fuzzform
