#!/usr/bin/env bash
# seen-from-outside.sh TOOL EMULATOR...
# ombral.exe's data source and workgroup file, as Wine's own reg sees them
# from another process once the wine server has written the registry out.
set -euo pipefail
tool=$1
shift
run=("$@")
name=FromOutside$$
"${run[@]}" "$tool" add --name "$name" --description "seen from outside" >/dev/null
"${run[@]}" "$tool" add --system --name "$name" >/dev/null
"${run[@]}" "$tool" register-mdw --system --name "$name" --file 'C:\secured.mdw' >/dev/null
"${run[@]}" wineserver -w
user=$("${run[@]}" reg query "HKCU\\Software\\ODBC\\ODBC.INI\\$name" 2>/dev/null | tr -d '\r')
system=$("${run[@]}" reg query "HKLM\\Software\\ODBC\\ODBC.INI\\$name" /v SystemDB 2>/dev/null | tr -d '\r')
"${run[@]}" "$tool" remove --name "$name" >/dev/null
"${run[@]}" "$tool" remove --system --name "$name" >/dev/null
grep -q "Description    REG_SZ    seen from outside" <<<"$user" || { echo "user data source not seen: $user"; exit 1; }
grep -q 'SystemDB    REG_SZ    C:\\secured.mdw' <<<"$system" || { echo "SystemDB not seen: $system"; exit 1; }
echo "seen from outside"
