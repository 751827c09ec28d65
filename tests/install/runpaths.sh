#!/usr/bin/env bash
# runpaths.sh BUILD_DIR
# No program or library of the build tree or of an install looks for a
# library in the current folder: every RUNPATH entry is absolute or starts
# at $ORIGIN (an empty entry is the current folder), and a libodbcinst.so.2
# planted in the folder the programs run in is never loaded.
set -uo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0 passed=0
fail() { echo "FAIL $*"; failed=$((failed + 1)); }

cmake --install "$build" --prefix "$work/prefix" >/dev/null || fail "cannot install $build"

is_elf() { [ "$(head -c 4 "$1" 2>/dev/null)" = $'\x7fELF' ]; }
search_paths() { readelf -d "$1" 2>/dev/null | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]$/\2/p'; }

while IFS= read -r -d '' file; do
  is_elf "$file" || continue
  bad=
  while IFS= read -r paths; do
    IFS=: read -ra entries <<<"$paths:"  # the ':' keeps a trailing empty entry
    for entry in "${entries[@]}"; do
      [[ $entry == /* || $entry == '$ORIGIN'* ]] || bad+=" [$entry]"
    done
  done < <(search_paths "$file")
  if [ -n "$bad" ]; then fail "$file searches$bad ($(search_paths "$file"))"; else passed=$((passed + 1)); fi
done < <(find "$build/bin" "$work/prefix" -type f -print0)

mkdir "$work/cwd"
printf '#include <stdio.h>\n__attribute__((constructor)) static void planted(void) { fclose(fopen("loaded", "w")); }\n' \
  >"$work/planted.c"
cc -shared -fPIC -o "$work/cwd/libodbcinst.so.2" "$work/planted.c" || fail "cannot build the planted library"
for program in "$build/bin/ombral --help" "$work/prefix/bin/ombral --help" "$build/bin/ombral-host"; do
  (cd "$work/cwd" && $program >/dev/null 2>&1)
  if [ -e "$work/cwd/loaded" ]; then fail "$program loaded the planted library"; else passed=$((passed + 1)); fi
  rm -f "$work/cwd/loaded"
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
