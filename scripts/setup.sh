#!/usr/bin/env bash
# Installs what the build, the demo and the tests need, from Debian's packages.
# Idempotent: packages already present are skipped, the Japanese locale is made once.
set -euo pipefail

packages=(
  cmake make g++ clang clang-format-14 googletest python3
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 xvfb fonts-wine fonts-ipafont-gothic locales imagemagick x11-apps
  lhasa jlha-utils curl libclang-rt-14-dev openssl libssl-dev libz-mingw-w64 libc6-i386
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine reports code page 932 only under a Japanese locale that glibc knows.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
# The 32-bit Wine loader for the shipping (i686) build, in a private root: changes no installed
# package. Where it cannot be had, the 64-bit rig still works; the tests say so.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup-wine32.sh" "$root/build/wine32" || echo "setup: the 32-bit Wine loader is not set up"
# That loader is an i386 program: where the kernel refuses those, a user-mode emulator runs it.
bash "$root/scripts/setup-i386-emulator.sh" "$root/build/qemu-i386" || echo "setup: i386 programs cannot run here"
echo "setup: done"
