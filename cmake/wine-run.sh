#!/usr/bin/env bash
# wine-run.sh ARCH PREFIX PROGRAM [ARGUMENTS...]
# Runs a Windows program of the architecture ARCH (win32 or win64) under
# Wine's loader for it, in a test prefix of that architecture made on first
# use, on a virtual display when there is none (message boxes need one).
# PREFIX is the build tree's own; OMBRAL_WINEPREFIX names another. A
# WINEPREFIX from the caller is ignored: the tests empty the ODBC keys of the
# prefix they run in, and refuse to touch a registry that is not such a prefix.
# PROGRAM wineserver runs Wine's server tool in the prefix instead.
#
# The loader is called by its own path: Debian's wine wrapper takes the
# 32-bit loader whenever wine32 is installed, even for a 64-bit program.
set -euo pipefail
arch=$1
export WINEPREFIX=${OMBRAL_WINEPREFIX:-$2}
shift 2
case $arch in
  win32) loader=/usr/lib/wine/wine ;;
  win64) loader=/usr/lib/wine/wine64 ;;
  *)
    echo "wine-run.sh: no Windows architecture '$arch' (win32 or win64)" >&2
    exit 2
    ;;
esac
export WINELOADER=$loader WINEARCH=$arch WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export OMBRAL_TEST_PREFIX=1
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  ready=$WINEPREFIX/.ombral-ready
  if [ ! -f "$ready" ]; then
    # A 64-bit prefix warns that syswow64's rundll32 cannot start; harmless.
    "$loader" wineboot -i >/dev/null 2>&1
    wineserver -w
    echo "$arch" >"$ready"
  elif [ "$(cat "$ready")" != "$arch" ]; then
    echo "wine-run.sh: $WINEPREFIX is a $(cat "$ready") prefix, not $arch" >&2
    exit 2
  fi
) 9>"$WINEPREFIX.lock"
if [ "$1" = wineserver ]; then
  shift
  exec wineserver "$@"
fi
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a "$loader" "$@"
fi
exec "$loader" "$@"
