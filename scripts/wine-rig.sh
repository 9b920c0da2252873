#!/usr/bin/env bash
# Starts or stops the Wine test rig in a folder: a private Xvfb display, a private Wine prefix
# with a Japanese locale and fonts, and a warm wineserver. ARCH is the width of the programs the
# rig runs: win64 (default) or win32 (a 32-bit prefix run by the 32-bit loader of
# setup-wine32.sh).
#   wine-rig.sh start DIR [ARCH]   (idempotent)
#   wine-rig.sh stop DIR
set -euo pipefail
cmd="${1:?start|stop}"
export TOLVEX_RIG_DIR="$(mkdir -p "${2:?rig folder}" && cd "$2" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
rig="$TOLVEX_RIG_DIR"

xvfb_alive() { [ -f "$rig/xvfb.pid" ] && kill -0 "$(cat "$rig/xvfb.pid")" 2>/dev/null; }

start_display() {
  if xvfb_alive && [ -f "$rig/display" ]; then return; fi
  local n
  for n in $(seq 90 250); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  echo $! >"$rig/xvfb.pid"
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  echo ":$n" >"$rig/display"
}

init_prefix() {
  source "$here/wine-env.sh"
  [ -x "$WINE" ] || { echo "wine-rig: no Wine loader at $WINE (the 32-bit one: scripts/setup-wine32.sh)" >&2; exit 1; }
  if [ ! -f "$rig/prefix/.tolvex-ready" ]; then
    rm -rf "$rig/prefix"
    "$WINE" wineboot --init </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    "$WINE" regedit /S "$(winepath_of "$here/fonts-ja.reg")" </dev/null >/dev/null 2>&1
    # No window manager on Xvfb: let Wine draw captions itself and avoid the hide stalls.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$rig/prefix/.tolvex-ready"
  fi
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
}

winepath_of() { echo "Z:${1//\//\\}"; }

case "$cmd" in
  start)
    arch="${3:-win64}"
    case "$arch" in win64 | win32) ;; *) echo "wine-rig: unknown width $arch" >&2; exit 2 ;; esac
    if [ "$(cat "$rig/arch" 2>/dev/null || echo win64)" != "$arch" ]; then rm -rf "$rig/prefix"; fi
    echo "$arch" >"$rig/arch"
    start_display
    init_prefix
    ;;
  stop)
    source "$here/wine-env.sh"
    "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
    if xvfb_alive; then kill "$(cat "$rig/xvfb.pid")" 2>/dev/null || true; fi
    rm -f "$rig/xvfb.pid" "$rig/display"
    ;;
  *) echo "usage: wine-rig.sh start|stop DIR" >&2; exit 2 ;;
esac
