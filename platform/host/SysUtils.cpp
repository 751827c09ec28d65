#include <platform/host/SysUtils.h>

namespace host {

String IntToStr(Integer value) { return std::to_string(value); }

}  // namespace host
