#pragma once
// The framework release this build stands in for, set for the whole build
// tree; what differs between releases follows this one setting. Declarations
// that exist or take a slot in some releases only test the macro, since a
// class's members cannot follow a constant.

#ifndef OMBRAL_FRAMEWORK_RELEASE
#define OMBRAL_FRAMEWORK_RELEASE 5
#endif
#if OMBRAL_FRAMEWORK_RELEASE < 4 || OMBRAL_FRAMEWORK_RELEASE > 6
#error "OMBRAL_FRAMEWORK_RELEASE must be 4, 5 or 6"
#endif

namespace host {

inline constexpr int kFrameworkRelease = OMBRAL_FRAMEWORK_RELEASE;

}  // namespace host
