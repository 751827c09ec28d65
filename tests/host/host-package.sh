#!/usr/bin/env bash
# host-package.sh HOST PACKAGE [EMULATOR...]
# ombral-host over the real package: the palette and bindings exactly, the
# same on a second load in the same run; under Wine also that a load and
# unload changes nothing in the registry, creates no window in the host's
# process and really unloads the DLL.
set -uo pipefail
host=$1 package=$2
shift 2
run=("$@")
failed=0 passed=0
tab=$'\t'
expected="OLVEX${tab}TOmbralCreator
TOmbralCreator${tab}About${tab}TAboutProperty
TOmbralCreator${tab}DatabaseDir${tab}TDBPathProperty
TOmbralCreator${tab}NetFilePath${tab}TNetFilePathProperty"

result() {  # name, then empty for a pass or why it failed
  if [ -n "$2" ]; then
    echo "FAIL $1: $2"
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
}
host_out() { "${run[@]}" "$host" "$package" "$@" 2>/dev/null | tr -d '\r'; }

out=$(host_out)
result "palette and bindings" "$([ "$out" = "$expected" ] || echo "printed [$out]")"
out=$(host_out --loads 2)
result "the same on a second load" "$([ "$out" = "$expected"$'\n'"$expected" ] || echo "printed [$out]")"

if [ ${#run[@]} -gt 0 ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # The user's hive and the machine's software settings, where a component
  # would write; Wine itself rewrites its display keys whenever it starts.
  export_registry() {
    "${run[@]}" wineserver -w
    "${run[@]}" regedit /E "$work/$1-user.reg" HKEY_CURRENT_USER >/dev/null 2>&1
    "${run[@]}" regedit /E "$work/$1-machine.reg" 'HKEY_LOCAL_MACHINE\Software' >/dev/null 2>&1
    cat "$work/$1-user.reg" "$work/$1-machine.reg" >"$work/$1.reg"
  }
  export_registry before
  WINEDEBUG=+win,+loaddll "${run[@]}" "$host" "$package" >"$work/out" 2>"$work/trace"
  status=$?
  export_registry after
  result "loads and unloads under Wine" "$([ "$status" = 0 ] || echo "exit $status")"
  if [ -s "$work/before.reg" ] && cmp -s "$work/before.reg" "$work/after.reg"; then
    result "registry unchanged" ""
  else
    result "registry unchanged" "$(diff <(iconv -f UTF-16 -t UTF-8 "$work/before.reg") \
      <(iconv -f UTF-16 -t UTF-8 "$work/after.reg") 2>&1 | head -20)"
  fi
  name=$(basename "$package")
  thread=$(grep -a "trace:loaddll:.*Loaded .*$name" "$work/trace" | head -1 | cut -d: -f1)
  windows=$(grep -ac "^$thread:trace:win:WIN_CreateWindowEx" "$work/trace")
  result "no window in the host's process" "$([ -n "$thread" ] && [ "$windows" = 0 ] || echo "thread [$thread], $windows windows")"
  result "the package is unloaded" "$(grep -aq "^$thread:trace:loaddll:.*Unloaded .*$name" "$work/trace" || echo "no unload traced")"
fi

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
