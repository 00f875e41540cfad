# Which Wine runs which build, sourced by every script that starts a Windows program.
# QUIPTIDE_ARCH (win64, the default, or win32) picks the loader and the prefix of its own
# under build/: 64-bit programs run under wine64, 32-bit ones under Debian's 32-bit Wine
# (wine32, i386) in a 32-bit prefix. Sets `wine`, `wineserver` and a default WINEPREFIX.
quiptide_arch=${QUIPTIDE_ARCH:-win64}
case "$quiptide_arch" in
  win64)
    wine=/usr/lib/wine/wine64
    quiptide_prefix=wineprefix
    ;;
  win32)
    wine=/usr/lib/wine/wine
    quiptide_prefix=wineprefix32
    export WINEARCH=win32
    ;;
  *)
    echo "QUIPTIDE_ARCH must be win64 or win32, not '$quiptide_arch'" >&2
    exit 2
    ;;
esac
export QUIPTIDE_ARCH=$quiptide_arch
export WINEPREFIX="${WINEPREFIX:-$top/build/$quiptide_prefix}"
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64

# True when this machine runs 32-bit x86 code, tried with a 91-byte i386 program that
# only exits. Some kernels have IA-32 emulation off, and there no 32-bit Wine can start.
runs_32bit_code() {
  local probe status
  probe=$(mktemp)
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\133\000\000\000\133\000\000\000\005\000\000\000\000\020\000\000\061\333\061\300\100\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ $status -eq 0 ]
}
