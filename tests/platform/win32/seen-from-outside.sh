#!/usr/bin/env bash
# seen-from-outside.sh TOOL ARCH EMULATOR...
# ombral.exe's data source and workgroup file, as Wine's own reg sees them
# from another process once the wine server has written the registry out. A
# system data source lands in the registry view of the tool's own width
# (ARCH win32 or win64), where the programs of that width look for it: the
# 64-bit tool's is not seen by 32-bit programs.
set -euo pipefail
tool=$1 arch=$2
shift 2
run=("$@")
name=FromOutside$$
"${run[@]}" "$tool" add --name "$name" --description "seen from outside" >/dev/null
"${run[@]}" "$tool" add --system --name "$name" >/dev/null
"${run[@]}" "$tool" register-mdw --system --name "$name" --file 'C:\secured.mdw' >/dev/null
"${run[@]}" wineserver -w
system_key="HKLM\\Software\\ODBC\\ODBC.INI\\$name"
user=$("${run[@]}" reg query "HKCU\\Software\\ODBC\\ODBC.INI\\$name" 2>/dev/null | tr -d '\r')
own_view=/reg:${arch#win}
system=$("${run[@]}" reg query "$system_key" /v SystemDB "$own_view" 2>/dev/null | tr -d '\r')
seen_by_32_bit=no
if [ "$arch" = win64 ] && "${run[@]}" reg query "$system_key" /reg:32 >/dev/null 2>&1; then
  seen_by_32_bit=yes
fi
"${run[@]}" "$tool" remove --name "$name" >/dev/null
"${run[@]}" "$tool" remove --system --name "$name" >/dev/null
grep -q "Description    REG_SZ    seen from outside" <<<"$user" || { echo "user data source not seen: $user"; exit 1; }
grep -q 'SystemDB    REG_SZ    C:\\secured.mdw' <<<"$system" ||
  { echo "SystemDB not seen in the $own_view view: $system"; exit 1; }
[ "$seen_by_32_bit" = no ] || { echo "the 64-bit tool's system data source is seen by 32-bit programs"; exit 1; }
echo "seen from outside, in the $own_view view"
