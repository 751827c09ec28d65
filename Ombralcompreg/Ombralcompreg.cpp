#include <Ombralcompreg/Ombralcompreg.h>

#include <OmbralCreateUnit/OmbralCreateUnit.h>

namespace Ombralcompreg {

// The host calls both Register procedures of the package; making the same
// registrations through one of them keeps the two from ever drifting apart.
void Register() { OmbralCreateUnit::Register(); }

void initialization() {}
void Finalization() {}

}  // namespace Ombralcompreg
