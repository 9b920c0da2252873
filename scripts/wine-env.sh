# Sourced by the Wine scripts: the environment every Wine process of the rig runs in.
# TOLVEX_RIG_DIR is the rig's folder (prefix, display record); it must be set by the caller.
# The rig's width is recorded in its file "arch" by wine-rig.sh: win64 (the default) runs
# 64-bit programs with Debian's 64-bit loader; win32 runs 32-bit programs with Debian's 32-bit
# loader, unpacked by setup-wine32.sh into TOLVEX_WINE32_ROOT (default build/wine32). The 64-bit
# loader must never run a 32-bit program: its wow64 mode breaks WinInet and ECDSA.
: "${TOLVEX_RIG_DIR:?TOLVEX_RIG_DIR must name the rig folder}"
TOLVEX_WINE_ARCH="win64"
[ -f "$TOLVEX_RIG_DIR/arch" ] && TOLVEX_WINE_ARCH="$(cat "$TOLVEX_RIG_DIR/arch")"
export WINEPREFIX="$TOLVEX_RIG_DIR/prefix"
export WINEARCH="$TOLVEX_WINE_ARCH"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
unset LC_ALL LANGUAGE http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY
# Local time of the help-file version texts: POSIX form, which both the C runtime and Windows
# honour under Wine. A caller may set another.
export TZ="${TZ:-JST-9}"
if [ "$TOLVEX_WINE_ARCH" = win32 ]; then
  wine32_root="${TOLVEX_WINE32_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine32}"
  export LD_LIBRARY_PATH="$wine32_root/usr/lib/i386-linux-gnu:$wine32_root/lib/i386-linux-gnu${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
  WINE="$wine32_root/usr/lib/wine/wine"
else
  WINE=/usr/lib/wine/wine64
fi
# One server serves 32-bit and 64-bit clients of a prefix alike; the 32-bit loader is told which.
export WINESERVER=/usr/lib/wine/wineserver64
if [ -f "$TOLVEX_RIG_DIR/display" ]; then
  DISPLAY="$(cat "$TOLVEX_RIG_DIR/display")"
  export DISPLAY
fi
