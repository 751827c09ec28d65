#pragma once
// The modules of the runtime probe: A throws, B lets it pass, the program
// catches. The error class is defined here alone, so each module emits its own
// copy of its vtable and type_info, as modules sharing a header do.
#include <stdexcept>
#include <string>

class ProbeError : public std::runtime_error {
public:
  ProbeError(const std::string &what, int code) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }

private:
  int code_;
};

// The runtime package's own code: throws std::out_of_range.
extern "C" void probeRuntimeRaise();
// A: throws ProbeError(message, code).
void probeThrow(const char *message, int code);
// B: calls probeThrow; sets unwound when a local object of B is destroyed.
void probeRelay(const char *message, int code, bool &unwound);
