#!/usr/bin/env bash
# Keys and signatures cross between the two builds of tolvex-publish: the Windows build (run
# under the rig's Wine, with Windows paths and a Japanese folder name) and the native build.
# A key made by either signs a release the other verifies; a changed byte and the wrong key are
# refused. Exit 77 (skipped) when the native tool has not been built.
#   signing_between_builds.sh <source folder> <native tool> <Windows tool> <work folder>
set -uo pipefail
source_dir="$1" native="$2" windows="$3" work="$4"
if [ ! -x "$native" ]; then
  echo "no native tolvex-publish at $native (build it with scripts/build.sh native): skipped"
  exit 77
fi
failures=0
on_windows() { "$source_dir/scripts/wine-run.sh" "$windows" "$@" 2>&1 | iconv -f CP932 -t UTF-8; return "${PIPESTATUS[0]}"; }
on_linux() { "$native" "$@" 2>&1; }
expect() {  # expect <exit code> <what> <command...>
  local want="$1" what="$2"
  shift 2
  local output got
  output="$("$@")"
  got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAILED: $what: exit $got, expected $want"
    echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  else
    echo "ok: $what"
  fi
}

rm -rf "$work" && mkdir -p "$work/release" "$work/鍵" && cd "$work" || exit 1
printf 'the help file of the stand-in suite\n' > release/rova.chm

expect 0 "keygen on Windows" on_windows keygen '鍵\maker.pem' '鍵\maker.pub'
expect 0 "keygen natively" on_linux keygen native.pem native.pub
expect 0 "the Windows key file is the form OpenSSL reads" openssl pkey -in 鍵/maker.pem -noout
expect 0 "publish --sign on Windows" on_windows publish --sign '鍵\maker.pem' release signed-on-windows
expect 0 "... verified on Windows" on_windows verify --key '鍵\maker.pub' signed-on-windows
expect 0 "... verified natively" on_linux verify --key 鍵/maker.pub signed-on-windows
expect 0 "publish --sign natively with the Windows key" on_linux publish --sign 鍵/maker.pem release windows-key-on-linux
expect 0 "... verified on Windows" on_windows verify --key '鍵\maker.pub' windows-key-on-linux
expect 0 "publish --sign natively" on_linux publish --sign native.pem release signed-on-linux
expect 0 "... verified on Windows" on_windows verify --key native.pub signed-on-linux
expect 0 "publish --sign on Windows with the native key" on_windows publish --sign native.pem release native-key-on-windows
expect 0 "... verified natively" on_linux verify --key native.pub native-key-on-windows

expect 1 "the wrong key refused on Windows" on_windows verify --key native.pub signed-on-windows
expect 1 "the wrong key refused natively" on_linux verify --key native.pub signed-on-windows
printf 'x' | dd of=signed-on-windows/rova.lzh bs=1 seek=40 conv=notrunc status=none
expect 1 "a changed byte refused on Windows" on_windows verify --key '鍵\maker.pub' signed-on-windows
expect 1 "a changed byte refused natively" on_linux verify --key 鍵/maker.pub signed-on-windows

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
