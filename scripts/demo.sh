#!/usr/bin/env bash
# The updater's main job on this machine: builds tolvex.exe, lays out a stand-in installed suite in
# build/demo/suite (two sibling programs among its files), publishes a demo release with the
# maker's publisher tool, serves the result from a local HTTP server, points the updater's
# settings at it and opens the window under Wine with the two sibling stand-ins running.
# With a display (DISPLAY set) the window stays until you close it: press ﾊﾞｰｼﾞｮﾝﾁｪｯｸ, then
# ｱｯﾌﾟﾃﾞｰﾄ. Without one, the demo runs on a private Xvfb, presses the buttons itself, prints what
# the message boxes say and saves screenshots to build/demo/*.png.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
demo="$root/build/demo"
build="$root/build/x64"

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

# The maker's side: the publisher tool turns a release folder into the update folder.
python3 "$root/scripts/make_demo.py" --build "$build" --out "$demo" \
  --publisher "$WINE64" "$build/bin/tolvex-publish.exe"
"$WINE64" "$build/bin/tolvex-publish.exe" verify "$demo/server/pc/stablon/velo2/aupd" 2>&1 | tr -d '\r' |
  sed 's/^/publisher: /'
rm -f "$demo/port"
python3 "$root/scripts/http_test_server.py" --root "$demo/server" --port-file "$demo/port" \
  --log "$demo/server.log" </dev/null >"$demo/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$demo/port" ] && break; sleep 0.05; done
port="$(cat "$demo/port")"
url="http://127.0.0.1:$port/pc/stablon/velo2/aupd/"
"$WINE64" reg add 'HKCU\Software\Halvorn\R58\tolvex\OPTION' /v URL /t REG_SZ /d "$url" /f >/dev/null 2>&1
echo "demo: update server on $url"
echo "demo: the server offers:"; sed 's/^/  /' "$demo/server/pc/stablon/velo2/aupd/update.txt" | tr -d '\r'

cd "$demo/suite"
# Two of the suite's programs are running, as on a user's desktop.
"$WINE64" plo.exe </dev/null >/dev/null 2>&1 &
"$WINE64" mepli.exe </dev/null >/dev/null 2>&1 &
sleep 2

if [ "$interactive" = 1 ]; then
  echo "demo: opening the updater window; press ﾊﾞｰｼﾞｮﾝﾁｪｯｸ, then ｱｯﾌﾟﾃﾞｰﾄ; close it to end"
  "$WINE64" tolvex.exe
  exit 0
fi

drive() { "$WINE64" "$build/tools-bin/tolvex_drive.exe" "$@" 2>/dev/null | iconv -f CP932 -t UTF-8; }
shot() {
  sleep 0.5
  import -display "$DISPLAY" -window root "$demo/full.png"
  # The updater and its boxes open centred on the screen.
  /usr/bin/convert "$demo/full.png" -gravity center -crop 760x640+0+0 +repage -trim +repage "$demo/$1.png"
  echo "demo: screenshot $demo/$1.png"
}

"$WINE64" tolvex.exe </dev/null >/dev/null 2>&1 &
drive wait-box >/dev/null 2>&1 & waiter=$!  # nothing: just let the window come up
sleep 4; kill "$waiter" 2>/dev/null || true
shot window
echo "demo: pressing ﾊﾞｰｼﾞｮﾝﾁｪｯｸ"
drive press 1000
echo "demo: the updater says: $(drive wait-box)"
shot check
drive answer 1
echo "demo: pressing ｱｯﾌﾟﾃﾞｰﾄ (closes plo.exe and mepli.exe, installs, starts them again)"
drive press 1002
echo "demo: the updater says: $(drive wait-box)"
shot update
drive answer 1
shot after
echo "demo: the server was asked for:"
python3 -c 'import json,sys; [print("  " + json.loads(l)["method"] + " " + json.loads(l)["path"]) for l in open(sys.argv[1])]' "$demo/server.log"
drive close
echo "demo: done"
