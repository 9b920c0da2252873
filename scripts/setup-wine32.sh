#!/usr/bin/env bash
# Makes Debian's 32-bit Wine loader available in a private root, without changing any installed
# package: the i386 packages of exactly the installed wine64 version and the i386 libraries
# that Wine needs are downloaded through a private apt state (the system's apt lists, dpkg
# architectures and package set stay as they are) and unpacked into ROOT.
#   setup-wine32.sh ROOT     (idempotent; prints the reason and exits 3 when it cannot be done)
# The loader is then ROOT/usr/lib/wine/wine, run with wine32-env.sh's library path.
set -euo pipefail
root_dir="${1:?root folder}"
mkdir -p "$root_dir"
root_dir="$(cd "$root_dir" && pwd)"
stamp="$root_dir/.tolvex-wine32-ready"
recipe=2  # raise when what this script makes changes: an older root is then made again

cannot() { echo "setup-wine32: $*" >&2; exit 3; }

wine_version="$(dpkg-query -W -f='${Version}' wine64 2>/dev/null)" || cannot "wine64 is not installed"
[ -n "$wine_version" ] || cannot "wine64 is not installed"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wine_version recipe $recipe" ]; then
  exit 0
fi
[ -x /lib/ld-linux.so.2 ] || cannot "no 32-bit C library (/lib/ld-linux.so.2, package libc6-i386)"

# The i386 libraries Wine loads; libc itself comes from the amd64 package libc6-i386. The
# dlopened X extensions, fonts, TLS and bcrypt (gnutls and nettle) are among them; libudev and
# libusb only quiet start-up errors.
libraries=(
  libx11-6 libxext6 libxcb1 libxau6 libxdmcp6 libbsd0 libmd0
  libxrender1 libxi6 libxrandr2 libxinerama1 libxcursor1 libxfixes3 libxcomposite1 libxxf86vm1
  libfreetype6 libpng16-16 libbrotli1 zlib1g libbz2-1.0 libfontconfig1 libexpat1
  libgnutls30 libgmp10 libhogweed6 libnettle8 libidn2-0 libunistring2 libp11-kit0 libffi8 libtasn1-6
  libgcc-s1 libudev1 libusb-1.0-0
)

state="$root_dir.apt"
rm -rf "$root_dir.new"
source "$(dirname "${BASH_SOURCE[0]}")/private-apt.sh"
private_apt_init "$state" i386 bookworm
(cd "$state/debs" &&
  apt-get "${apt_opts[@]}" -qq download \
    "wine32=$wine_version" "libwine=$wine_version" "fonts-wine=$wine_version" "${libraries[@]}" \
    >"$state/download.log" 2>&1) ||
  cannot "the i386 packages of wine $wine_version cannot be downloaded ($(tail -n 1 "$state/download.log"))"

mkdir -p "$root_dir.new"
for deb in "$state/debs"/*.deb; do
  dpkg-deb -x "$deb" "$root_dir.new"
done
lib="$root_dir.new/usr/lib/i386-linux-gnu"
# What libwine's own installation step does: Wine's zlib1.dll, marked as a builtin DLL by the
# text "Wine builtin DLL" and its terminating NUL at offset 64 (Wine compares all 17 bytes; without
# the NUL user32 cannot load and no program with a window starts).
for arch in i386:i686 x86_64:x86_64; do
  dest="$lib/wine/${arch%%:*}-windows"
  mkdir -p "$dest"
  cp "/usr/${arch##*:}-w64-mingw32/lib/zlib1.dll" "$dest/zlib1.dll"
  printf 'Wine builtin DLL\0' | dd of="$dest/zlib1.dll" bs=1 seek=64 conv=notrunc status=none
done
# A 32-bit process starts 64-bit programs through the 64-bit loader beside its own.
ln -sf /usr/lib/wine/wine64 "$root_dir.new/usr/lib/wine/wine64"

rm -rf "$root_dir"
mv "$root_dir.new" "$root_dir"
rm -rf "$state"
echo "$wine_version recipe $recipe" >"$stamp"
echo "setup-wine32: 32-bit Wine $wine_version in $root_dir ($(du -sh "$root_dir" | cut -f1))"
