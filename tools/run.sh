#!/usr/bin/env bash
# Starts Quiptide from build/win64/Quiptide/ under Wine with the given command line
# (`make run ARGS=/unload`); QUIPTIDE_ARCH=win32 (`make run ARCH=win32`) starts the 32-bit
# program from build/win32/Quiptide/ under the 32-bit Wine. With a display the program simply runs there. Without one it
# runs on a virtual display: the window is photographed once it is up, the picture is
# saved as build/screenshots/main.png, and the program is stopped.
#
# `tools/run.sh --shoot FILE [ARGS]` is the photographing step alone; it expects to run
# inside tools/wine-session.sh (tools/screenshots.sh uses it for each window).
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tools/wine-env.sh"
exe="$top/build/$quiptide_arch/Quiptide/QUIPTIDE.EXE"

if [ ! -f "$exe" ]; then
  echo "run.sh: $exe is missing; build first (make run does)" >&2
  exit 1
fi

# A picture that is one colour only has no window on it yet.
has_window() {
  local sd
  sd=$(convert "$1" -colorspace gray -format '%[fx:standard_deviation]' info: 2>/dev/null)
  awk -v s="${sd:-0}" 'BEGIN { exit !(s > 0.05) }'
}

shoot() {
  local out=$1
  shift
  mkdir -p "$(dirname "$out")"
  # Wine's own desktop window draws the frames and captions that a window manager would.
  "$wine" explorer /desktop=Quiptide,1024x768 "$exe" "$@" </dev/null >/dev/null 2>&1 &
  local pid=$! tmp
  tmp=$(mktemp --suffix=.png)
  local up=""
  for _ in $(seq 60); do
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || break
    import -window root "$tmp" 2>/dev/null && has_window "$tmp" && { up=1; break; }
  done
  if [ -n "$up" ]; then
    sleep 7 # every control painted, and a tooltip under the pointer timed out
    import -window root "$out"
  fi
  # The program, then its desktop, so the next picture starts on an empty desktop.
  "$wine" taskkill /f /im QUIPTIDE.EXE </dev/null >/dev/null 2>&1
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  rm -f "$tmp"
  if [ -z "$up" ]; then
    echo "run.sh: Quiptide ended or did not show a window; no picture taken" >&2
    return 1
  fi
  echo "Screenshot saved: $out"
}

if [ "${1:-}" = "--shoot" ]; then
  shift
  out=$1
  shift
  shoot "$out" "$@"
  exit
fi

if [ -n "${DISPLAY:-}" ]; then
  exec "$top/tools/wine-session.sh" "$wine" "$exe" "$@"
fi
exec "$top/tools/wine-session.sh" "$0" --shoot "$top/build/screenshots/$([ "$quiptide_arch" = win32 ] && echo win32/)main.png" "$@"
