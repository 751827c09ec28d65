#pragma once
// The package's registration module: it holds nothing but Register.

namespace Ombralcompreg {

// The same registrations as OmbralCreateUnit::Register, in the same order.
void Register();

// The module's initialisation and finalisation, run from the package's
// module table; neither has work.
void initialization();
void Finalization();

}  // namespace Ombralcompreg
