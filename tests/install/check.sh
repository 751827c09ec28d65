#!/usr/bin/env bash
# Installs the built tree into a scratch prefix and builds and runs an
# application against it with find_package.
set -euo pipefail
build=$1 source=$2 generator=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$source" -B "$work/app" -G "$generator" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/app" >/dev/null
out=$("$work/app/app")
[ "$out" = "Microsoft Paradox Driver (*.db )|Paradox 5.X|4" ] || { echo "unexpected: $out"; exit 1; }
test -f "$work/prefix/include/OmbralCodeUnit/OmbralCodeUnit.h"
test -x "$work/prefix/bin/ombral"
"$work/prefix/bin/ombral" --config "$work/config" add --name Installed >/dev/null
grep -q '^\[Installed\]' "$work/config/user/odbc.ini"
echo "installed package works"
