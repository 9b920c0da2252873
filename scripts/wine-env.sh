# Sourced by the Wine scripts: the environment every Wine process of the rig runs in.
# TOLVEX_RIG_DIR is the rig's folder (prefix, display record); it must be set by the caller.
: "${TOLVEX_RIG_DIR:?TOLVEX_RIG_DIR must name the rig folder}"
export WINEPREFIX="$TOLVEX_RIG_DIR/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
unset LC_ALL LANGUAGE http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY
# Local time of the help-file version texts: POSIX form, which both the C runtime and Windows
# honour under Wine. A caller may set another.
export TZ="${TZ:-JST-9}"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
if [ -f "$TOLVEX_RIG_DIR/display" ]; then
  DISPLAY="$(cat "$TOLVEX_RIG_DIR/display")"
  export DISPLAY
fi
