#!/usr/bin/env bash
# Runs the native tests, then the Windows tests under Wine; ends with CTest's summary
# of the Windows run and fails when either run failed.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
status=0
echo "== Native tests =="
ctest --preset native -j2 || status=1
echo "== Windows tests under Wine =="
# One at a time: the tests share the prefix's registry and the virtual display.
tools/wine-session.sh ctest --preset win64 || status=1
echo "== The 32-bit installer (built, not run: this machine runs 64-bit programs only) =="
setup32=$(mktemp --suffix=.exe)
if tools/installer/build.sh win32 "$setup32" >/dev/null; then
  7z l "$setup32" | awk '/^-----/ { n++; next } n == 1 { print "  " $NF }'
else
  status=1
fi
rm -f "$setup32"
exit $status
