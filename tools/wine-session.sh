#!/usr/bin/env bash
# Runs a command inside the project's Wine environment: a disposable prefix under
# build/, a virtual display when there is none, and one persistent wineserver for the
# whole command, so each Windows program starts fast. Everything started here is
# stopped when the command ends, however it ends. QUIPTIDE_ARCH=win32 gives the 32-bit
# Wine and its own prefix (tools/wine-env.sh):
#   QUIPTIDE_ARCH=win32 tools/wine-session.sh ctest --preset win32
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tools/wine-env.sh"
if [ "$quiptide_arch" = win32 ] && ! runs_32bit_code; then
  echo "wine-session.sh: this machine runs no 32-bit code (its kernel has IA-32 emulation" \
       "off), so the 32-bit Wine cannot start here" >&2
  exit 1
fi
export WINEDEBUG=-all
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
cleanup() {
  "$wineserver" -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1
  wait >/dev/null 2>&1
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || [ -n "${QUIPTIDE_XVFB:-}" ]; then
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    break
  done
fi

mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix $WINEPREFIX ..."
  "$wine" wineboot --init >/dev/null 2>&1
  "$wineserver" -w
fi
# Wine's own fonts (the caption buttons' Marlett, Tahoma, MS Sans Serif): this Wine does
# not read them from its data folder, so the prefix gets a copy. Without them every
# caption button draws as a letter, so a session without them stops here.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ ! -f "$fonts/marlett.ttf" ]; then
  if [ ! -f /usr/share/wine/fonts/marlett.ttf ]; then
    echo "wine-session.sh: Wine's fonts are missing (/usr/share/wine/fonts/marlett.ttf);" \
         "install the package fonts-wine (tools/install-deps.sh does)" >&2
    exit 1
  fi
  mkdir -p "$fonts" && cp /usr/share/wine/fonts/*.ttf "$fonts/" || {
    echo "wine-session.sh: could not copy Wine's fonts into $fonts" >&2
    exit 1
  }
fi
# Wine's own desktop window in place of a window manager: without it every top-level
# window that is destroyed makes Wine wait about two seconds for the absent manager.
if [ ! -f "$WINEPREFIX/.quiptide-desktop" ]; then
  "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
  "$wineserver" -w
  touch "$WINEPREFIX/.quiptide-desktop"
fi
# QUIPTIDE_SERVER_LOG names a file for the server's output: its request trace, for the
# programs started with WINEDEBUG=+server.
"$wineserver" -p >/dev/null 2>>"${QUIPTIDE_SERVER_LOG:-/dev/null}"
# Start Wine's own services (explorer, services, winedevice) now, detached from our
# output: a test runner would otherwise wait on the pipes they inherit.
"$wine" cmd /c exit </dev/null >/dev/null 2>&1

"$@"
