#!/usr/bin/env bash
# The updater's main job on this machine: builds tolvex.exe, lays out a stand-in installed suite
# in build/demo/suite, serves a demo update folder from a local HTTP server, points the updater's
# settings at it and opens the window under Wine.
# With a display (DISPLAY set) the window stays until you close it. Without one, the demo runs on
# a private Xvfb, saves screenshots to build/demo/*.png and closes the window itself.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
demo="$root/build/demo"

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" x64 >/dev/null

interactive=0
[ -n "${DISPLAY:-}" ] && interactive=1
saved_display="${DISPLAY:-}"
export TOLVEX_RIG_DIR="$demo/rig"
mkdir -p "$TOLVEX_RIG_DIR"
bash "$root/scripts/wine-rig.sh" start "$TOLVEX_RIG_DIR"
source "$root/scripts/wine-env.sh"
[ "$interactive" = 1 ] && export DISPLAY="$saved_display"

server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  bash "$root/scripts/wine-rig.sh" stop "$TOLVEX_RIG_DIR" >/dev/null 2>&1 || true
}
trap cleanup EXIT

python3 "$root/scripts/make_demo.py" --build "$root/build/x64" --out "$demo"
python3 "$root/scripts/http_test_server.py" --root "$demo/server" --port-file "$demo/port" \
  --log "$demo/server.log" </dev/null >"$demo/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$demo/port" ] && break; sleep 0.05; done
port="$(cat "$demo/port")"
"$WINE64" reg add 'HKCU\Software\Halvorn\R58\tolvex\OPTION' /v URL /t REG_SZ \
  /d "http://127.0.0.1:$port/pc/stablon/velo2/aupd/" /f >/dev/null 2>&1
echo "demo: update server on http://127.0.0.1:$port/pc/stablon/velo2/aupd/"

cd "$demo/suite"
if [ "$interactive" = 1 ]; then
  echo "demo: opening the updater window; press ﾊﾞｰｼﾞｮﾝﾁｪｯｸ or ｱｯﾌﾟﾃﾞｰﾄ, close it to end"
  "$WINE64" tolvex.exe
else
  "$WINE64" tolvex.exe </dev/null >/dev/null 2>&1 &
  sleep 6
  import -display "$DISPLAY" -window root "$demo/full.png"
  /usr/bin/convert "$demo/full.png" -trim +repage "$demo/window.png"
  echo "demo: screenshot of the window saved to $demo/window.png"
  "$WINESERVER" -k >/dev/null 2>&1 || true
fi
