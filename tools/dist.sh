#!/usr/bin/env bash
# make dist: the portable zips and the installers of both architectures, and the Debian
# package of the native qtdb, under build/dist/:
#   Quiptide-<version>-win64.zip, -win32.zip      the program folder, qtdb.exe included
#   Quiptide-<version>-setup-win64.exe, -win32.exe per-user installers (NSIS)
#   qtdb_<version>_<arch>.deb                       qtdb for Debian and Ubuntu
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/build/dist"
mkdir -p "$out"
version=$(sed -n 's/^#define QUIPTIDE_VERSION "\(.*\)"$/\1/p' "$top/build/win64/generated/QuiptideVersion.h")
for arch in win64 win32; do
  stage=$(mktemp -d)
  # The user's side files and settings never come from a build folder that was run.
  (cd "$top/build/$arch" && find Quiptide -maxdepth 1 -type f \
     ! -name 'mv-*.smv' ! -name 'UserVars.QTV' ! -name '*.lck' -print0 |
     xargs -0 cp --parents -t "$stage")
  rm -f "$out/Quiptide-$version-$arch.zip"
  (cd "$stage" && zip -qr "$out/Quiptide-$version-$arch.zip" Quiptide)
  rm -rf "$stage"
  echo "Zip: $out/Quiptide-$version-$arch.zip"
  "$top/tools/installer/build.sh" "$arch" "$out/Quiptide-$version-setup-$arch.exe"
done
echo "Debian package: $("$top/tools/deb/build.sh" "$out")"
