#!/usr/bin/env bash
# Lets this machine run 32-bit (i386) Linux programs, which the 32-bit Wine loader is. Where the
# kernel runs them, nothing is done. Where it refuses them (IA-32 emulation off), Linux's
# binfmt_misc is told to hand every i386 program to the user-mode emulator qemu-i386: a static
# build from Debian trixie's qemu-user, downloaded through a private apt state and unpacked
# into ROOT (nothing installed), registered under the name "tolvex-qemu-i386" with the flags F
# (the emulator is opened once, at registration) and P (a program keeps its argv[0]).
#   setup-i386-emulator.sh ROOT   (idempotent; prints the reason and exits 3 when it cannot be done)
# TOLVEX_I386_EMULATION=always registers the emulator even where the kernel runs i386 programs
# (to try the emulated path on such a machine); TOLVEX_I386_EMULATION=remove takes the
# registration of this name away again. Registrations of other names are never touched: where
# one of them already makes i386 programs run, nothing is done either. A reboot forgets the
# registration; the next set-up makes it again.
set -euo pipefail
root_dir="${1:?root folder}"
mkdir -p "$root_dir"
root_dir="$(cd "$root_dir" && pwd)"
emulator="$root_dir/qemu-i386"
stamp="$root_dir/.tolvex-qemu-ready"
recipe=1  # raise when what this script makes changes: an older root is then made again
name=tolvex-qemu-i386
binfmt=/proc/sys/fs/binfmt_misc
mode="${TOLVEX_I386_EMULATION:-auto}"

cannot() { echo "setup-i386-emulator: $*" >&2; exit 3; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi; }
# write_to FILE TEXT: writes TEXT into a file of /proc as root, in one write.
write_to() { as_root sh -c 'printf "%s" "$2" >"$1"' sh "$1" "$2"; }
i386_runs() { [ -x /lib/ld-linux.so.2 ] && timeout 60 /lib/ld-linux.so.2 --version >/dev/null 2>&1; }

case "$mode" in
  auto | always) ;;
  remove)
    if [ -e "$binfmt/$name" ]; then write_to "$binfmt/$name" -1 || cannot "cannot remove $binfmt/$name"; fi
    exit 0
    ;;
  *) cannot "TOLVEX_I386_EMULATION must be auto, always or remove, not $mode" ;;
esac

[ -x /lib/ld-linux.so.2 ] || cannot "no 32-bit C library (/lib/ld-linux.so.2, package libc6-i386)"
if [ "$mode" = auto ] && i386_runs; then
  exit 0  # natively, or through a registration already in place
fi
if [ -e "$binfmt/$name" ] && i386_runs; then
  exit 0  # our own registration, made earlier, works
fi

# The emulator. bookworm's qemu-user-static (7.2) hangs under Wine: trixie's 10.0 is needed.
if ! { [ -x "$emulator" ] && [ -f "$stamp" ] && [ "$(sed -n 2p "$stamp")" = "recipe $recipe" ]; }; then
  state="$root_dir/apt"
  rm -rf "$root_dir/unpacked" "$stamp"
  source "$(dirname "${BASH_SOURCE[0]}")/private-apt.sh"
  private_apt_init "$state" amd64 trixie
  (cd "$state/debs" && apt-get "${apt_opts[@]}" -qq download qemu-user >"$state/download.log" 2>&1) ||
    cannot "trixie's qemu-user cannot be downloaded ($(tail -n 1 "$state/download.log"))"
  deb="$(ls "$state/debs"/qemu-user_*.deb)"
  version="$(dpkg-deb -f "$deb" Version)"
  dpkg-deb -x "$deb" "$root_dir/unpacked"
  [ -f "$root_dir/unpacked/usr/bin/qemu-i386" ] || cannot "qemu-user $version has no usr/bin/qemu-i386"
  # binfmt_misc starts the emulator without a dynamic loader of its own: it must be static.
  if LC_ALL=C readelf -l "$root_dir/unpacked/usr/bin/qemu-i386" 2>/dev/null | grep -q 'INTERP'; then
    cannot "qemu-i386 of qemu-user $version is not a static program"
  fi
  cp "$root_dir/unpacked/usr/bin/qemu-i386" "$emulator.new"
  mv -f "$emulator.new" "$emulator"
  rm -rf "$root_dir/unpacked" "$state"
  printf '%s\nrecipe %s\n' "$version" "$recipe" >"$stamp"
  echo "setup-i386-emulator: qemu-i386 of qemu-user $version in $root_dir"
fi

# binfmt_misc: mounted where it is not (no systemd here to do it); our registration made anew
# when it exists but does not work.
if ! mountpoint -q "$binfmt"; then
  as_root mount -t binfmt_misc binfmt_misc "$binfmt" || cannot "cannot mount binfmt_misc on $binfmt"
fi
[ -w "$binfmt/register" ] || [ "$(id -u)" -ne 0 ] || cannot "$binfmt/register cannot be written"
if [ -e "$binfmt/$name" ]; then write_to "$binfmt/$name" -1 || cannot "cannot remove $binfmt/$name"; fi
# An ELF file of 32 bits, little-endian, of type executable or shared object, for the i386.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
write_to "$binfmt/register" ":$name:M::$magic:$mask:$emulator:FP" ||
  cannot "cannot register $name in $binfmt/register"
i386_runs || cannot "i386 programs still do not start through $emulator"
echo "setup-i386-emulator: i386 programs run through $emulator ($(sed -n 1p "$stamp"))"
