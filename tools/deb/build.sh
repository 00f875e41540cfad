#!/usr/bin/env bash
# Builds the Debian package of the native qtdb from the optimized build (preset release):
#   tools/deb/build.sh OUTDIR      writes OUTDIR/qtdb_<version>_<arch>.deb and prints its path
# It holds /usr/bin/qtdb (stripped), the dictionary in /usr/share/quiptide, the manual
# page qtdb(1) and the bash completion, both made from the one list of commands in
# tools/deb/commands.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
here="$top/tools/deb"
out=$1
build="$top/build/release"
for f in qtdb american.vtd; do
  [ -f "$build/$f" ] || { echo "deb/build.sh: $build/$f is missing; build the release preset first" >&2; exit 1; }
done
version=$(sed -n 's/^#define QUIPTIDE_VERSION "\(.*\)"$/\1/p' "$build/generated/QuiptideVersion.h")
arch=$(dpkg --print-architecture)
dictionary=/usr/share/quiptide/american.vtd
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
umask 022

install -d "$root/DEBIAN" "$root/usr/bin" "$root/usr/share/quiptide" "$root/usr/share/man/man1" \
  "$root/usr/share/bash-completion/completions" "$root/usr/share/doc/qtdb"
install -m 755 "$build/qtdb" "$root/usr/bin/qtdb"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/bin/qtdb"
install -m 644 "$build/american.vtd" "$root$dictionary"

# The list of commands, without its comments: NAME | OPERANDS | OPTIONS | TEXT.
commands() { grep -v '^#' "$here/commands" | grep -v '^[[:space:]]*$'; }
# Each command as a tagged paragraph of the manual, its operands in italics and its
# options in bold.
commands | awk -F' *[|] *' '{
  synopsis = $2
  gsub(/[A-Z]+/, "\\fI&\\fR", synopsis)
  gsub(/--?[a-z][a-z-]*/, "\\fB&\\fR", synopsis)
  gsub(/-/, "\\-", synopsis)
  text = $4
  gsub(/\\/, "\\\\e", text)
  gsub(/-/, "\\-", text)
  printf ".TP\n\\fB%s\\fR %s\n%s\n", $1, synopsis, text
}' >"$work/commands.man"
sed -e "s/@VERSION@/$version/" -e "s/@DATE@/$(date -u -d "@$(stat -c %Y "$here/commands")" +%Y-%m-%d)/" \
  -e "s|@DICTIONARY@|$dictionary|g" -e "/@COMMANDS@/{r $work/commands.man" -e 'd}' \
  "$here/qtdb.1.in" | gzip -9n >"$root/usr/share/man/man1/qtdb.1.gz"
commands | awk -F' *[|] *' '{ printf "        [%s]=\"%s\"\n", $1, $3 }' >"$work/options.bash"
sed -e "/@OPTIONS@/{r $work/options.bash" -e 'd}' "$here/qtdb.bash-completion.in" \
  >"$root/usr/share/bash-completion/completions/qtdb"
chmod 644 "$root/usr/share/bash-completion/completions/qtdb"
install -m 644 "$here/copyright" "$root/usr/share/doc/qtdb/copyright"
printf 'qtdb (%s) unstable; urgency=medium\n\n  * The release of Quiptide %s.\n\n -- Brindlex <quiptide@example.org>  %s\n' \
  "$version" "$version" "$(date -u -R -d "@$(stat -c %Y "$here/commands")")" |
  gzip -9n >"$root/usr/share/doc/qtdb/changelog.gz"

# The libraries qtdb links, as dpkg-shlibdeps names their packages.
mkdir -p "$work/src/debian"
printf 'Source: qtdb\n\nPackage: qtdb\nArchitecture: any\n' >"$work/src/debian/control"
depends=$(cd "$work/src" && dpkg-shlibdeps -O "$root/usr/bin/qtdb" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@DEPENDS@/$depends/" \
  -e "s/@SIZE@/$(du -sk --exclude=DEBIAN "$root" | cut -f1)/" "$here/control.in" >"$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

mkdir -p "$out"
deb="$out/qtdb_${version}_$arch.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
