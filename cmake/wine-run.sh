#!/bin/sh
# Runs one Windows program under 64-bit Wine with the project's test environment.
# tools/wine-session.sh normally provides the prefix, the display and a persistent
# wineserver; the defaults below let a single test be run by hand as well.
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$top/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec /usr/lib/wine/wine64 "$@"
