#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when something is
# missing, so that `make run` and `make test` work on a fresh Debian 12 machine.
set -euo pipefail

packages=(
  cmake ninja-build make ccache g++ clang libclang-rt-14-dev pkg-config
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine64 fonts-wine xvfb xauth imagemagick
  googletest pxlib-dev sqlite3 libsqlite3-dev
  fortunes-min fortune-mod nsis zip p7zip-full dpkg-dev lintian man-db file
  wamerican-small wamerican wamerican-large wamerican-huge hunspell hunspell-en-us
)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# The 32-bit program runs under Debian's 32-bit Wine, which comes from the i386
# architecture; a machine whose kernel runs no 32-bit code gets nothing it cannot use.
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tools/wine-env.sh"
if runs_32bit_code; then
  packages+=(wine32:i386)
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
fi

# The tests pin LANG=en_US.UTF-8 so that Wine's user locale (date and time formats) is
# the same on every machine.
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
  dpkg-query -W -f='${Status}' locales 2>/dev/null | grep -q 'install ok installed' || {
    $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq locales; }
  echo 'en_US.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
