#pragma once
// What must hold of every form a reader accepts.

#include <string_view>

#include <platform/host/FormStream.h>

namespace fuzzform {

// Its text reads back to the same text, its binary to the same binary, and
// reading its components leaves nothing behind; aborts otherwise.
void CheckAcceptedForm(const host::TFormObject& form);

}  // namespace fuzzform
