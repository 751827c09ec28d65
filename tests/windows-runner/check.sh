#!/usr/bin/env bash
# check.sh GENERATOR
# Whether a Windows tree runs its programs' tests, decided both ways: with
# OMBRAL_NO_I386=1 a 32-bit tree reports them as skipped, with the reason,
# and names them in its skipped-tests file; without it, a tree runs them
# exactly where scripts/wine-check finds that this machine can, and a 64-bit
# tree is not affected by OMBRAL_NO_I386.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
generator=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0 passed=0

check() {  # ARCH OMBRAL_NO_I386 EXPECTED (run, or the reason it is skipped)
  local arch=$1 no_i386=$2 expected=$3 tree=$work/$1-$2 out why=
  OMBRAL_NO_I386=$no_i386 cmake -S "$here" -B "$tree" -G "$generator" -DOMBRAL_WINDOWS_ARCH="$arch" >/dev/null 2>&1 ||
    why="cannot configure"
  out=$(ctest --test-dir "$tree" -V 2>&1) || why+=" ctest failed;"
  if [ "$expected" = run ]; then
    grep -q "Passed" <<<"$out" || why+=" not run: $out;"
    [ ! -e "$tree/skipped-tests" ] || why+=" skipped-tests names $(cat "$tree/skipped-tests");"
  else
    grep -q "\*\*\*Skipped" <<<"$out" || why+=" not reported as skipped;"
    grep -qF "skipped: $expected" <<<"$out" || why+=" the reason is not given;"
    [ "$(cat "$tree/skipped-tests" 2>/dev/null)" = "the $arch suites ($expected)" ] ||
      why+=" skipped-tests holds [$(cat "$tree/skipped-tests" 2>/dev/null)];"
  fi
  if [ -n "$why" ]; then
    echo "FAIL $arch with OMBRAL_NO_I386=$no_i386:$why"
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
}

here_decides() { bash "$here/../../scripts/wine-check" "$1" || true; }
expect() { local why; why=$(here_decides "$1"); echo "${why:-run}"; }

check win32 1 "OMBRAL_NO_I386=1: taken as a machine that runs no 32-bit programs"
check win32 "" "$(OMBRAL_NO_I386= expect win32)"
check win64 1 "$(OMBRAL_NO_I386= expect win64)"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
