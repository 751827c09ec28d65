#!/usr/bin/env bash
# check.sh
# scripts/install-deps against fake apt-get, dpkg, dpkg-query, sudo and sleep
# first on PATH, which record what they are asked and answer as the row says;
# the machine itself is never touched. Whether the machine runs 32-bit
# programs is answered by a fake scripts/wine-check beside a copy of the
# script.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
script=${1:-$here/../../scripts/install-deps}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
failed=0 passed=0

mkdir -p "$work/bin" "$work/tree/scripts"
cp "$script" "$work/tree/scripts/install-deps"
cat >"$work/tree/scripts/wine-check" <<'FAKE'
[ "$RUNS_I386" = yes ] || { echo "this machine runs no 32-bit programs"; exit 1; }
FAKE
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
package=${!#}
case $INSTALLED in
  all) ;;
  all-but-wine32) [ "$package" != wine32:i386 ] || exit 1 ;;
  *) exit 1 ;;
esac
printf 'install ok installed'
FAKE
cat >"$work/bin/dpkg" <<'FAKE'
#!/usr/bin/env bash
echo "dpkg $*" >>"$CALLS"
[ "$1" = --print-foreign-architectures ] && [ -n "$ARCHES" ] && echo "$ARCHES"
exit 0
FAKE
cat >"$work/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "apt-get $*" >>"$CALLS"
[ "$1" = update ] && exit 0
args=" $* "
refuse() { echo "Reading package lists..."; echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100; }
[[ $REFUSE == required && $args == *" cmake "* ]] && refuse
[[ $REFUSE == wine32-* && $args == *wine32:i386* && $args != *" -t "* ]] && refuse
[[ $REFUSE == wine32-always && $args == *wine32:i386* ]] && refuse
exit 0
FAKE
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
printf '#!/bin/sh\n' >"$work/bin/sleep"
chmod +x "$work/bin/"*

# ROW RUNS_I386 INSTALLED ARCHES REFUSE EXPECTED_STATUS EXPECTED_CALLS EXPECTED_LINE
# EXPECTED_CALLS are the calls in order, "|" between them, each a pattern;
# "-" is no call at all. EXPECTED_LINE is a line the output must hold, or "".
row() {
  local name=$1 runs=$2 installed=$3 arches=$4 refuse=$5 status=$6 calls=$7 line=$8 out got why= i
  : >"$work/calls"
  out=$(PATH="$work/bin:$PATH" CALLS="$work/calls" RUNS_I386=$runs INSTALLED=$installed ARCHES=$arches \
        REFUSE=$refuse bash "$work/tree/scripts/install-deps" 2>&1)
  got=$?
  if [ "$got" -eq 0 ]; then [ "$status" = ok ]; else [ "$status" = fails ]; fi || why+=" exit $got, expected $status;"
  local -a want have
  IFS='|' read -ra want <<<"$calls"
  mapfile -t have <"$work/calls"
  [ "$calls" = - ] && want=()
  if [ ${#want[@]} -ne ${#have[@]} ]; then
    why+=" ${#have[@]} calls, expected ${#want[@]};"
  else
    for i in "${!want[@]}"; do
      # shellcheck disable=SC2053
      [[ ${have[$i]} == ${want[$i]} ]] || why+=" call $((i + 1)) is [${have[$i]}], expected [${want[$i]}];"
    done
  fi
  [ -z "$line" ] || grep -qxF "$line" <<<"$out" || why+=" no line [$line];"
  grep -q "could not be installed" <<<"$out" && [[ $line != *"could not be installed"* ]] && why+=" says it failed;"
  if [ -n "$why" ]; then
    printf 'FAIL %s:%s\n  calls: %s\n  output: %s\n' "$name" "$why" "${have[*]}" "$out"
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
}

required='apt-get install -y -qq cmake ninja-build g++ *wine wine64 xvfb xauth'
wine32='apt-get install -y -qq wine32:i386'
wine32_t="apt-get install -y -qq -t $codename wine32:i386"
held='32-bit Wine could not be installed: E: Unable to correct problems, you have held broken packages.'

row "everything present" yes all i386 none ok - ""
row "wine32 alone missing, installable" yes all-but-wine32 i386 none ok \
  "dpkg --print-foreign-architectures|apt-get update -qq|$wine32" ""
row "required missing, wine32 installable" yes none "" none ok \
  "dpkg --print-foreign-architectures|dpkg --add-architecture i386|apt-get update -qq|$required|$wine32" ""
row "wine32 refused plainly, taken from the release" yes none i386 wine32-plain ok \
  "dpkg --print-foreign-architectures|apt-get update -qq|$required|$wine32|$wine32_t" ""
row "wine32 refused both ways" yes none i386 wine32-always ok \
  "dpkg --print-foreign-architectures|apt-get update -qq|$required|$wine32|$wine32_t" "$held"
row "a required package refused twice" yes none i386 required fails \
  "dpkg --print-foreign-architectures|apt-get update -qq|$required|apt-get update -qq|$required" ""
row "no 32-bit programs" no none "" none ok "apt-get update -qq|$required" ""
row "no 32-bit programs, everything present" no all-but-wine32 "" none ok - ""
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
