#!/usr/bin/env bash
# host-probes.sh HOST PROBE_DIR EXT [EMULATOR...]
# ombral-host over the probe packages: what it prints, what it names on
# standard error and its exit status, for a good package and each fault.
set -uo pipefail
host=$1 dir=$2 ext=$3
shift 3
run=("$@")
failed=0 passed=0
tab=$'\t'
good="probe: Initialize
SECOND${tab}TComponent
FIRST${tab}TComponent
TComponent${tab}SECOND${tab}TStringProperty
TComponent${tab}FIRST${tab}TStringProperty
probe: Finalize"

# name | package | options | exit status | standard output | on standard error
check() {
  local name=$1 package=$2 options=$3 status=$4 out=$5 err=$6
  local got_out got_err got_status
  got_out=$("${run[@]}" "$host" "$package" $options 2>/tmp/host-probes.$$ | tr -d '\r')
  got_status=$?
  got_err=$(tr -d '\r' </tmp/host-probes.$$ | grep -v '^X connection to' )
  rm -f /tmp/host-probes.$$
  local why=
  [ "$got_status" = "$status" ] || why+=" exit $got_status, not $status;"
  [ "$got_out" = "$out" ] || why+=" standard output was [$got_out];"
  if [ -z "$err" ]; then
    [ -z "$got_err" ] || why+=" standard error was [$got_err];"
  else
    [ "$(wc -l <<<"$got_err")" = 1 ] || why+=" not one line on standard error: [$got_err];"
    [[ "$got_err" == "ombral-host: "*"$err"* ]] || why+=" standard error [$got_err] does not name [$err];"
  fi
  if [ -n "$why" ]; then
    echo "FAIL $name:$why"
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
}

p() { echo "$dir/hostprobe_$1$ext"; }
check "registers in contained-module order" "$(p good)" "" 0 "$good" ""
check "a second load registers the same" "$(p good)" "--loads 2" 0 "$good
$good" ""
check "no Initialize" "$(p noinit)" "" 1 "" "exports no Initialize"
check "Initialize raises" "$(p initraises)" "" 1 "probe: Initialize" \
  "Initialize raised: the probe refuses to initialise"
check "Register raises, the package is finalised" "$(p registerraises)" "" 1 "probe: Initialize
probe: Finalize" '@Firstunit@Register$qqrv raised: the probe refuses to register'
check "About editor fails, the package is finalised" "$(p good)" "--about" 1 "$good" \
  "the About editor raised: no property 'About'"
check "damaged PACKAGEINFO" "$(p badinfo)" "" 1 "" "PACKAGEINFO: the required-package count is 5, more than"
check "not a package" "$(p notpackage)" "" 1 "" "the package flag 0x40000000 is clear (flags 0x0C000001)"
check "a required package not loaded" "$(p requires)" "" 1 "" "requires package vcl99, which is not loaded"
check "no PACKAGEINFO" "$(p noinfo)" "" 1 "" "no PACKAGEINFO resource"
check "a framework package missing" "$(p missingdep)" "" 1 "" "cannot load: "
check "no such package file" "$dir/nothere$ext" "" 1 "" "nothere$ext: "
# The host checks a file before the loader sees it.
no_library="no MZ signature"
[ "$ext" = .so ] && no_library="not an ELF file"
check "a folder" "$dir" "" 1 "" "not a regular file"
check "a file that is no library" "$0" "" 1 "" "$no_library"

# A command line that makes no sense: exit 2, the first line naming what is wrong.
usage() {
  local name=$1 err=$2
  shift 2
  "${run[@]}" "$host" "$@" >/dev/null 2>/tmp/host-probes.$$
  local status=$? first
  first=$(tr -d '\r' </tmp/host-probes.$$ | grep -v '^X connection to' | head -1)
  rm -f /tmp/host-probes.$$
  if [ "$status" = 2 ] && [ "$first" = "ombral-host: $err" ]; then
    passed=$((passed + 1))
  else
    echo "FAIL $name: exit $status, first line [$first]"
    failed=$((failed + 1))
  fi
}
usage "no loads" "--loads takes a whole number from 1 up, not '0'" "$(p good)" --loads 0
usage "two packages" "one package at a time: b is one too many" a b
usage "no package" "no package named"
usage "an unknown option" "unknown option --bogus" "$(p good)" --bogus

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
