#!/usr/bin/env bash
# Remakes docs/dpi-96.png, docs/dpi-144.png and docs/dpi-192.png: the updater's window under Wine
# at 100 %, 150 % and 200 % scale, each after a version check against a local server that offers
# newer versions of three files. Wine takes the scale from the prefix's
# HKCU\Control Panel\Desktop value LogPixels (the HKLM hardware-profile Fonts value is only read
# when that one is missing).
#   dpi-screenshots.sh [BUILD_DIR]   (default build/x64; built here if tolvex.exe is missing)
# The rig (display, prefix) lives in BUILD_DIR/dpi-rig; its display is larger than the test rig's
# so that the window at 200 % fits.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build/x64}" 2>/dev/null && pwd || echo "${1:-$root/build/x64}")"
work="$build/dpi-shots"
export TOLVEX_RIG_DIR="$build/dpi-rig"

if [ ! -f "$build/bin/tolvex.exe" ] || [ ! -f "$build/tools-bin/tolvex_drive.exe" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$build" --target tolvex tolvex_drive tolvex_version_fixtures -j "$(nproc)" >/dev/null
fi

# A display of our own, big enough for the window at 200 %; the rig script adopts a display
# that is already running.
mkdir -p "$TOLVEX_RIG_DIR" "$work"
if ! { [ -f "$TOLVEX_RIG_DIR/xvfb.pid" ] && kill -0 "$(cat "$TOLVEX_RIG_DIR/xvfb.pid")" 2>/dev/null; }; then
  for n in $(seq 260 400); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  setsid Xvfb ":$n" -screen 0 1600x1600x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  echo $! >"$TOLVEX_RIG_DIR/xvfb.pid"
  for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  echo ":$n" >"$TOLVEX_RIG_DIR/display"
fi
bash "$root/scripts/wine-rig.sh" start "$TOLVEX_RIG_DIR" win64
source "$root/scripts/wine-env.sh"

server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  bash "$root/scripts/wine-rig.sh" stop "$TOLVEX_RIG_DIR" >/dev/null 2>&1 || true
}
trap cleanup EXIT

# A stand-in suite: the updater, a few managed files with version records, a help file.
suite="$work/suite"
rm -rf "$suite" && mkdir -p "$suite"
cp "$build/bin/tolvex.exe" "$build/bin/UNLHA32.dll" "$suite/"
cp "$build/fixtures/sibling_1_0_0_1.exe" "$suite/plo.exe"
cp "$build/fixtures/ver_1_0_0_1.dll" "$suite/vemoda.dll"
cp "$build/fixtures/ver_1_2_3_45.dll" "$suite/nuri.dll"
cp "$build/fixtures/ver_10_11_12_13.dll" "$suite/sef.dll"
printf 'ITSF stand-in help file\n' >"$suite/rova.chm"
touch -d '2024-03-15 10:00:00' "$suite/rova.chm"

# The server's update list: three files newer than installed.
list="$work/server/aupd"
mkdir -p "$list"
printf 'plo.exe&1,00,0,0002\r\nvemoda.dll&1,02,3,0045\r\nrova.chm&2,00,2403,1510\r\nnuri.dll&1,02,3,0045\r\n' >"$list/update.txt"
rm -f "$work/port"
python3 "$root/scripts/http_test_server.py" --root "$work/server" --port-file "$work/port" \
  --log "$work/server.log" </dev/null >"$work/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
"$WINE" reg add 'HKCU\Software\Halvorn\R58\tolvex\OPTION' /v URL /t REG_SZ \
  /d "http://127.0.0.1:$(cat "$work/port")/aupd/" /f </dev/null >/dev/null 2>&1

drive() { "$WINE" "$build/tools-bin/tolvex_drive.exe" "$@" 2>/dev/null | iconv -f CP932 -t UTF-8; }

cd "$suite"
for dpi in 96 144 192; do
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
  "$WINE" tolvex.exe </dev/null >/dev/null 2>&1 &
  drive press check
  echo "dpi-screenshots: $dpi DPI: $(drive wait-box)"
  drive answer ok
  sleep 2
  # The updater's top-level X window, found by its caption; the capture is cropped to it.
  id="$(xwininfo -display "$DISPLAY" -root -tree | awk '/Stablon/ && / +[0-9]+x[0-9]+\+/ {print $1; exit}')"
  import -display "$DISPLAY" -window root "$work/full.png"
  geometry="$(xwininfo -display "$DISPLAY" -id "$id" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {printf "%dx%d+%d+%d", w, h, x, y}')"
  /usr/bin/convert "$work/full.png" -crop "$geometry" +repage -colors 256 "PNG8:$root/docs/dpi-$dpi.png"
  echo "dpi-screenshots: docs/dpi-$dpi.png ($geometry)"
  drive close
done
"$WINE" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1 || true
