#pragma once
// The package's registration module: it holds nothing but Register.

namespace Ombralcompreg {

// The same registrations as OmbralCreateUnit::Register, in the same order.
void Register();

}  // namespace Ombralcompreg
