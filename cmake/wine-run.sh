#!/bin/bash
# Runs one Windows program of the given build (wine-run.sh win64|win32 PROGRAM ARGS...)
# under that build's Wine with the project's test environment. tools/wine-session.sh
# normally provides the prefix, the display and a persistent wineserver for the same
# build; the defaults of tools/wine-env.sh let a single test be run by hand as well.
top=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${QUIPTIDE_ARCH:-}" ] && [ "$QUIPTIDE_ARCH" != "$1" ]; then
  echo "wine-run.sh: a $1 program in a $QUIPTIDE_ARCH session; run it in its own:" \
       "QUIPTIDE_ARCH=$1 tools/wine-session.sh ..." >&2
  exit 1
fi
QUIPTIDE_ARCH=$1
shift
source "$top/tools/wine-env.sh"
export WINEDEBUG="${WINEDEBUG:--all}"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec "$wine" "$@"
