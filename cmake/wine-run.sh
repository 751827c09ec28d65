#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# Runs a Windows program under Wine in a 32-bit test prefix, made on first use,
# on a virtual display when there is none (message boxes need one). PREFIX is
# the build tree's own; OMBRAL_WINEPREFIX names another. A WINEPREFIX from the
# caller is ignored: the tests empty the ODBC keys of the prefix they run in,
# and refuse to touch a registry that is not such a prefix.
# PROGRAM wineserver runs Wine's server tool in the prefix instead.
set -euo pipefail
export WINEPREFIX=${OMBRAL_WINEPREFIX:-$1}
shift
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export OMBRAL_TEST_PREFIX=1
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.ombral-ready" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.ombral-ready"
  fi
) 9>"$WINEPREFIX.lock"
if [ "$1" = wineserver ]; then
  shift
  exec wineserver "$@"
fi
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a wine "$@"
fi
exec wine "$@"
