#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's test prefix (32-bit), made
# on first use, on a virtual display when there is none (message boxes need
# one). Tests refuse to touch a registry that is not such a prefix.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-${OMBRAL_WINEPREFIX:-$PWD/wineprefix}}
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
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a wine "$@"
fi
exec wine "$@"
