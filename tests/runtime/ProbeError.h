#pragma once
// The modules of the runtime probe: A throws, B lets it pass, the program
// catches. The error class is defined here alone, so each module emits its own
// copy of its vtable and type_info, as modules sharing a header do.
#include <stdexcept>
#include <string>

#ifdef OMBRAL_PROBE_BUILDING_A
#define OMBRAL_PROBE_A __declspec(dllexport)
#else
#define OMBRAL_PROBE_A __declspec(dllimport)
#endif
#ifdef OMBRAL_PROBE_BUILDING_B
#define OMBRAL_PROBE_B __declspec(dllexport)
#else
#define OMBRAL_PROBE_B __declspec(dllimport)
#endif

class ProbeError : public std::runtime_error {
public:
  ProbeError(const std::string &what, int code) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }

private:
  int code_;
};

// A: throws ProbeError(message, code).
OMBRAL_PROBE_A void probeThrow(const char *message, int code);
// B: calls probeThrow; sets unwound when a local object of B is destroyed.
OMBRAL_PROBE_B void probeRelay(const char *message, int code, bool &unwound);
