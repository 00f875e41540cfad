#!/usr/bin/env bash
# Builds the installer of one architecture from its program folder with makensis:
#   tools/installer/build.sh win64|win32 OUTFILE
# The version is CMake's project version, read from the build's generated header. A
# warning from makensis fails the build, with makensis's own words.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
arch=$1
out=$2
source="$top/build/$arch/Quiptide"
header="$top/build/$arch/generated/QuiptideVersion.h"
[ -f "$source/QUIPTIDE.EXE" ] || { echo "build.sh: $source/QUIPTIDE.EXE is missing; build $arch first" >&2; exit 1; }
version=$(sed -n 's/^#define QUIPTIDE_VERSION "\(.*\)"$/\1/p' "$header")
mkdir -p "$(dirname "$out")"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! makensis -WX -V2 -DVERSION="$version" -DARCH="$arch" -DSOURCE="$source" -DOUTFILE="$out" \
  "$top/tools/installer/Quiptide.nsi" >"$log" 2>&1; then
  cat "$log" >&2
  echo "build.sh: makensis failed on the $arch installer" >&2
  exit 1
fi
echo "Installer: $out"
