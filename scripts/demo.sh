#!/usr/bin/env bash
# The updater's main job on this machine: makes the maker's demo key pair, builds tolvex.exe
# carrying its public key, lays out a stand-in installed suite in build/demo/suite (two sibling
# programs among its files), publishes and signs a demo release with the maker's publisher tool,
# serves the result from a local HTTP server, points the updater's settings at it and opens the
# window under Wine with the two sibling stand-ins running.
#   demo.sh              the signed release is installed
#   demo.sh --tampered   one archive is changed on the server after signing: the updater refuses it
#                        and installs nothing
#   demo.sh --x86        the same with the 32-bit build, the one that ships (beside the 32-bit
#                        archive library), under the 32-bit Wine loader (through qemu-i386 where
#                        the kernel refuses 32-bit programs); combines with --tampered
# With a display (DISPLAY set) the window stays until you close it: press ﾊﾞｰｼﾞｮﾝﾁｪｯｸ, then
# ｱｯﾌﾟﾃﾞｰﾄ. Without one, the demo runs on a private Xvfb, presses the buttons itself, prints what
# the message boxes say and saves screenshots to build/demo/*.png.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
demo="$root/build/demo"
native="$root/build/native"
tampered=0
width=x64
for arg in "$@"; do
  case "$arg" in
    --tampered) tampered=1 ;;
    --x86) width=x86 ;;
    *) echo "usage: demo.sh [--x86] [--tampered]" >&2; exit 2 ;;
  esac
done
if [ "$width" = x86 ]; then
  build="$root/build/x86" keyed="$root/build/demo-keyed-x86" toolchain=i686 wine_arch=win32
else
  build="$root/build/x64" keyed="$root/build/demo-keyed" toolchain=x86_64 wine_arch=win64
fi

bash "$root/scripts/setup.sh"
if [ "$width" = x86 ]; then
  if ! how="$(bash "$root/scripts/wine32-ready.sh")"; then
    echo "demo: the 32-bit build cannot run on this machine: $how" >&2
    exit 1
  fi
  echo "demo: 32-bit programs run $how"
fi
bash "$root/scripts/build.sh" "$width" >/dev/null
# The maker's tool with signing (natively, over OpenSSL's libcrypto) and the maker's key pair,
# made once; then the updater that carries the public key.
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
cmake --build "$native" --target tolvex-publish -j "$(nproc)" >/dev/null
publisher="$native/bin/tolvex-publish"
mkdir -p "$demo/keys"
[ -f "$demo/keys/maker.pub" ] || "$publisher" keygen "$demo/keys/maker.pem" "$demo/keys/maker.pub"
cmake -S "$root" -B "$keyed" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVEX_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$toolchain.cmake" -DTOLVEX_UPDATE_PUBLIC_KEY="$demo/keys/maker.pub" >/dev/null
cmake --build "$keyed" --target tolvex -j "$(nproc)" >/dev/null

interactive=0
[ -n "${DISPLAY:-}" ] && interactive=1
saved_display="${DISPLAY:-}"
export TOLVEX_RIG_DIR="$demo/rig-$width"
mkdir -p "$TOLVEX_RIG_DIR"
bash "$root/scripts/wine-rig.sh" start "$TOLVEX_RIG_DIR" "$wine_arch"
source "$root/scripts/wine-env.sh"
[ "$interactive" = 1 ] && export DISPLAY="$saved_display"

server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  bash "$root/scripts/wine-rig.sh" stop "$TOLVEX_RIG_DIR" >/dev/null 2>&1 || true
}
trap cleanup EXIT

# The maker's side: the publisher tool turns a release folder into the signed update folder.
aupd="$demo/server/pc/stablon/velo2/aupd"
python3 "$root/scripts/make_demo.py" --build "$build" --updater "$keyed/bin" --sign "$demo/keys/maker.pem" \
  --out "$demo" --publisher "$publisher"
"$publisher" verify --key "$demo/keys/maker.pub" "$aupd" 2>&1 | sed 's/^/publisher: /'
if [ "$tampered" = 1 ]; then
  # Someone between the maker and the user swaps an archive: here, another file's bytes.
  cp "$aupd/zevo.lzh" "$aupd/vemoda.lzh"
  echo "demo: vemoda.lzh replaced on the server after signing"
fi
rm -f "$demo/port"
python3 "$root/scripts/http_test_server.py" --root "$demo/server" --port-file "$demo/port" \
  --log "$demo/server.log" </dev/null >"$demo/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$demo/port" ] && break; sleep 0.05; done
port="$(cat "$demo/port")"
url="http://127.0.0.1:$port/pc/stablon/velo2/aupd/"
"$WINE" reg add 'HKCU\Software\Halvorn\R58\tolvex\OPTION' /v URL /t REG_SZ /d "$url" /f >/dev/null 2>&1
echo "demo: update server on $url"
echo "demo: the server offers:"; sed 's/^/  /' "$aupd/update.txt" | tr -d '\r'

cd "$demo/suite"
# Two of the suite's programs are running, as on a user's desktop.
"$WINE" plo.exe </dev/null >/dev/null 2>&1 &
"$WINE" mepli.exe </dev/null >/dev/null 2>&1 &
sleep 2

if [ "$interactive" = 1 ]; then
  echo "demo: opening the updater window; press ﾊﾞｰｼﾞｮﾝﾁｪｯｸ, then ｱｯﾌﾟﾃﾞｰﾄ; close it to end"
  "$WINE" tolvex.exe
  exit 0
fi

drive() { "$WINE" "$build/tools-bin/tolvex_drive.exe" "$@" 2>/dev/null | iconv -f CP932 -t UTF-8; }
shot() {
  sleep 0.5
  import -display "$DISPLAY" -window root "$demo/full.png"
  # The updater and its boxes open centred on the screen.
  /usr/bin/convert "$demo/full.png" -gravity center -crop 760x640+0+0 +repage -trim +repage "$demo/$1.png"
  echo "demo: screenshot $demo/$1.png"
}

"$WINE" tolvex.exe </dev/null >/dev/null 2>&1 &
drive wait-box >/dev/null 2>&1 & waiter=$!  # nothing: just let the window come up
sleep 4; kill "$waiter" 2>/dev/null || true
shot window
echo "demo: pressing ﾊﾞｰｼﾞｮﾝﾁｪｯｸ"
drive press check
echo "demo: the updater says: $(drive wait-box)"
shot check
drive answer ok
if [ "$tampered" = 1 ]; then
  echo "demo: pressing ｱｯﾌﾟﾃﾞｰﾄ (the changed archive must be refused)"
  drive press update
  echo "demo: the updater says: $(drive wait-box)"
  echo "demo: its status line says: $(drive status)"
  shot refused
  drive answer ok
else
  echo "demo: pressing ｱｯﾌﾟﾃﾞｰﾄ (closes plo.exe and mepli.exe, installs, starts them again)"
  drive press update
  echo "demo: the updater says: $(drive wait-box)"
  shot update
  drive answer ok
  shot after
fi
echo "demo: the server was asked for:"
python3 -c 'import json,sys; [print("  " + json.loads(l)["method"] + " " + json.loads(l)["path"]) for l in open(sys.argv[1])]' "$demo/server.log"
drive close
echo "demo: done"
