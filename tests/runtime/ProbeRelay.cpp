#include "ProbeError.h"

namespace {
class UnwindMark {
public:
  explicit UnwindMark(bool &unwound) : unwound_(unwound) {}
  UnwindMark(const UnwindMark &) = delete;
  UnwindMark &operator=(const UnwindMark &) = delete;
  ~UnwindMark() { unwound_ = true; }

private:
  bool &unwound_;
};
} // namespace

__declspec(dllexport) void probeRelay(const char *message, int code, bool &unwound) {
  UnwindMark mark(unwound);
  probeThrow(message, code);
}
