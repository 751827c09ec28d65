#pragma once
// windows.h, with the two registry hives as constants instead of macros: the
// host framework has constants of the same names (host::HKEY_CURRENT_USER),
// which the macros would otherwise rewrite wherever both are seen.
#include <windows.h>

#undef HKEY_CURRENT_USER
#undef HKEY_LOCAL_MACHINE
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u));
